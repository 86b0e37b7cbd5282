// Speed of the table engine and the dataset on a samples table of a million records (the
// samples layout, ~5,000 taxon names, ~50,000 location IDs) and a locations table of
// 50,000 records: appending, opening with all tags built, walking each tag, locating by ID
// and packing. Resident memory while the samples table is open is reported beside the
// table file's size.
//
// VELMORA_BENCH_RECORDS sets another number of samples (the TDbf peer is run with the
// Pascal oracle: dbforacle bench <folder> <records>).

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/dbf/dbftable.h"

#include <QCoreApplication>
#include <QVariant>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace dbf = velmora::core::dbf;
using velmora::core::Dataset;
using velmora::core::LocationFields; // the user tables' layouts
using velmora::core::SampleFields;

namespace {

std::uint32_t SampleCount() {
    const char* env = std::getenv("VELMORA_BENCH_RECORDS");
    return env ? static_cast<std::uint32_t>(std::atol(env)) : 1000000u;
}

const std::string& Folder() {
    static const std::string folder = [] {
        char name[] = "/tmp/velmora-bench-dbf-XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        return std::string(name);
    }();
    return folder;
}

std::string SamplesPath() {
    return Folder() + "/Bench2.dbf";
}
std::string LocationsPath() {
    return Folder() + "/Bench1.dbf";
}

// About 5,000 names: desmid genera times epithets, a few with a variety.
std::vector<std::string> TaxonNames() {
    const char* genera[] = {"Actinotaenium", "Closterium",  "Cosmarium",    "Cylindrocystis",
                            "Desmidium",     "Euastrum",    "Gonatozygon",  "Hyalotheca",
                            "Micrasterias",  "Netrium",     "Penium",       "Pleurotaenium",
                            "Spirotaenia",   "Staurastrum", "Staurodesmus", "Tetmemorus",
                            "Xanthidium",    "Mesotaenium", "Roya",         "Teilingia"};
    const char* stems[] = {"acer",  "lun",   "botry",  "ans",  "rot",   "punct", "margarit",
                           "tetra", "quadr", "brebis", "ral",  "obl",   "cuc",   "sub",
                           "trunc", "crist", "dent",   "gran", "orbic", "pyg",   "spin",
                           "lae",   "curt",  "mono",   "dilat"};
    const char* ends[] = {"um",   "ula",   "is",     "atum", "ata",
                          "ense", "oides", "iforme", "ulum", "ii"};
    std::vector<std::string> names;
    for (const char* g : genera)
        for (const char* s : stems)
            for (const char* e : ends)
                names.push_back(std::string(g) + " " + s + e +
                                (names.size() % 7 == 0 ? " var. minor" : ""));
    return names;
}

void FillSample(const dbf::DbfTable& t, char* rec, std::mt19937& rng,
                const std::vector<std::string>& names) {
    const int id = static_cast<int>(rng() % 50000);
    t.SetInteger(rec, 0, id);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", 1980 + id % 40, 1 + id % 12, 1 + id % 28);
    t.SetText(rec, 1, text);
    std::snprintf(text, sizeof text, "%03d-%03d", id % 280, (id / 280) % 620);
    t.SetText(rec, 2, text);
    std::snprintf(text, sizeof text, "%c%d-%02d", 'A' + id % 26, id % 10, id % 60);
    t.SetText(rec, 3, text);
    t.SetText(rec, 4, names[rng() % names.size()]);
    t.SetText(rec, 5, std::to_string(1 + rng() % 5));
    t.SetText(rec, 6, rng() % 2 ? "L" : "D");
}

void AddSampleTags(dbf::DbfTable& t) {
    t.AddTag({"DESMID", "DESMID", false, true});
    t.AddTag({"ID", "ID", false, true});
    t.AddTag({"KXY", "KXY", false, true});
    t.AddTag({"UXY", "UXY", false, true});
}

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

long FileKiB(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return static_cast<long>(in.tellg()) / 1024;
}

// 1 % of the samples marked deleted, for the pack to remove (not timed).
void MarkOnePercentDeleted() {
    dbf::DbfTable t;
    t.Open(SamplesPath());
    for (std::uint32_t r = 1; r <= t.PhysicalCount(); r += 100)
        t.SetDeleted(r, true);
    t.Close();
}

// Appends every sample as its own posted record (record and header written each time),
// with the four tags kept current. The records are made beforehand: what is timed is the
// table's work, as a user posting samples one by one waits for it, and the close.
void BM_AppendSamples(benchmark::State& state) {
    const auto names = TaxonNames();
    for (auto _ : state) {
        state.PauseTiming();
        dbf::DbfTable::Create(SamplesPath(), SampleFields());
        dbf::DbfTable t;
        t.Open(SamplesPath());
        AddSampleTags(t);
        std::mt19937 rng(7);
        const std::size_t length = static_cast<std::size_t>(t.RecordLength());
        std::string records;
        records.reserve(length * SampleCount());
        const std::string blank = t.BlankRecord();
        for (std::uint32_t i = 0; i < SampleCount(); ++i) {
            records += blank;
            FillSample(t, records.data() + i * length, rng, names);
        }
        state.ResumeTiming();
        for (std::uint32_t i = 0; i < SampleCount(); ++i)
            t.AppendRecord(records.data() + i * length);
        t.Close(); // the tags settle and the index file is written: part of the wait
        state.PauseTiming();
        MarkOnePercentDeleted();
        state.ResumeTiming();
    }
    state.counters["records"] = SampleCount();
}

// The same, written in batches of 1,000 records per write (as an import does).
void BM_AppendSamplesBatched(benchmark::State& state) {
    const auto names = TaxonNames();
    for (auto _ : state) {
        state.PauseTiming();
        dbf::DbfTable::Create(SamplesPath(), SampleFields());
        dbf::DbfTable t;
        t.Open(SamplesPath());
        AddSampleTags(t);
        std::mt19937 rng(7);
        const std::size_t length = static_cast<std::size_t>(t.RecordLength());
        std::string batch;
        const std::string blank = t.BlankRecord();
        state.ResumeTiming();
        for (std::uint32_t i = 0; i < SampleCount(); i += 1000) {
            const std::uint32_t n = std::min<std::uint32_t>(1000, SampleCount() - i);
            batch.clear();
            for (std::uint32_t k = 0; k < n; ++k) {
                batch += blank;
                FillSample(t, batch.data() + k * length, rng, names);
            }
            t.AppendRecords(batch.data(), n);
        }
        t.Close();
        state.PauseTiming();
        MarkOnePercentDeleted();
        state.ResumeTiming();
    }
}

void BM_OpenWithAllTags(benchmark::State& state) {
    for (auto _ : state) {
        dbf::DbfTable t;
        t.Open(SamplesPath(), true);
        benchmark::DoNotOptimize(t.TagOrder(0).data());
        state.PauseTiming();
        state.counters["rss_MiB"] = ResidentKiB() / 1024.0;
        state.counters["file_MiB"] = FileKiB(SamplesPath()) / 1024.0;
        t.Close();
        state.ResumeTiming();
    }
}

void BM_WalkTag(benchmark::State& state) {
    const char* tags[] = {"DESMID", "ID", "KXY", "UXY"};
    Dataset ds;
    ds.Open(QString::fromStdString(SamplesPath()), true);
    ds.SetIndexName(QString::fromLatin1(tags[state.range(0)]));
    for (auto _ : state) {
        std::int64_t n = 0;
        for (ds.First(); !ds.Eof(); ds.Next())
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetLabel(tags[state.range(0)]);
}

void BM_LocateById(benchmark::State& state) {
    static bool made = false;
    if (!made) {
        dbf::DbfTable::Create(LocationsPath(), LocationFields());
        dbf::DbfTable t;
        t.Open(LocationsPath());
        t.AddTag({"ID", "ID", false, true});
        t.AddTag({"Locatie", "SUBSTR(LOCATIE,1,91)+JAAR+MAAND+DAG", false, true});
        t.AddTag({"Datum", "JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)", false, true});
        t.AddTag({"DatumDesc", "JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)", true, true});
        std::string rec = t.BlankRecord();
        for (int i = 0; i < 50000; ++i) {
            t.SetInteger(rec.data(), 0, i);
            t.SetText(rec.data(), 1, "Ven " + std::to_string(i * 7 % 3001));
            t.SetText(rec.data(), 4, std::to_string(1980 + i % 40));
            t.AppendRecord(rec.data());
        }
        t.Close();
        made = true;
    }
    Dataset ds;
    ds.Open(QString::fromStdString(LocationsPath()), true);
    ds.SetIndexName(QStringLiteral("Locatie"));
    std::mt19937 rng(3);
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i < 10000; ++i)
            found += ds.Locate(QStringLiteral("ID"), static_cast<int>(rng() % 50000)) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
}

void BM_Pack(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        dbf::DbfTable t;
        t.Open(SamplesPath());
        for (std::uint32_t r = 2; r <= t.PhysicalCount(); r += 100)
            t.SetDeleted(r, true);
        state.ResumeTiming();
        t.Pack();
        t.Close(); // with the index file, as a pack at the close of the program writes it
    }
}

} // namespace

BENCHMARK(BM_AppendSamples)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_AppendSamplesBatched)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_OpenWithAllTags)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_WalkTag)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_LocateById)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf " + Folder()).c_str());
    return 0;
}
