// What the user waits for in the dot-map window over the large database (50,000 events,
// 1,000,000 samples): reading the tables into the runs' copy when the window is shown, a taxon
// run of 5,000 samples and the run of all 50,000 locations. A run is timed whole: the map
// started afresh on the shipped base map, the walk, every record collected into the tables
// (with the charts the window feeds) and drawn, and the tables finished.

#include "bench/bench_database.h"
#include "charts/boxplotdata.h"
#include "charts/environmentrun.h"
#include "charts/phenology.h"
#include "charts/tplotpanel.h"
#include "core/coordinates.h"
#include "core/folders.h"
#include "maps/mapimage.h"
#include "maps/maprun.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

const QString kMap = QStringLiteral(VELMORA_SOURCE_DIR "/data/Maps/Nederland_0_625_280_300_.png");

// 50,000 locations; 1,000,000 samples of 5,000 names, of which "Closterium lunula" has 5,000.
maps::RunSource& Source() {
    static maps::RunSource source = [] {
        std::vector<maps::LocationRow> locations;
        locations.reserve(50000);
        for (long long id = 1; id <= 50000; ++id) {
            maps::LocationRow l;
            l.id = int(id);
            l.locatie = QStringLiteral("Ven %1").arg(id);
            l.dag = QString::number(1 + id % 28);
            l.maand = QString::number(1 + id % 12);
            l.jaar = QString::number(1975 + id % 50);
            l.coordX = QString::number(15 + id * 7919 % 2600 / 10.0);
            l.coordY = QString::number(305 + id * 104729 % 3100 / 10.0);
            l.ph = QString::number(4 + id % 50 / 10.0);
            l.geleiding = QString::number(10 + id % 900);
            l.wtype = QStringLiteral("M%1").arg(id % 20);
            locations.push_back(l);
        }
        std::vector<maps::SampleRow> samples;
        samples.reserve(1000000);
        int recNo = 0;
        for (int name = 0; name < 5000; ++name) {
            const bool lunula = name == 2500;
            const QString desmid =
                lunula ? QStringLiteral("Closterium lunula")
                       : QStringLiteral("Cosmarium sp%1").arg(name, 4, 10, QLatin1Char('0'));
            for (int i = 0; i < (lunula ? 5000 : 199); ++i) {
                maps::SampleRow s;
                s.recNo = ++recNo;
                s.id = 1 + (name * 7 + i * 10) % 50000;
                s.desmid = desmid;
                s.abund = QString::number(1 + i % 3);
                s.kxy = QStringLiteral("%1-%2").arg(100 + i % 100).arg(400 + i % 200);
                s.uxy = s.kxy;
                samples.push_back(s);
            }
        }
        std::stable_sort(
            samples.begin(), samples.end(),
            [](const maps::SampleRow& a, const maps::SampleRow& b) { return a.desmid < b.desmid; });
        maps::RunSource made;
        made.Assign(std::move(locations), std::move(samples));
        return made;
    }();
    return source;
}

// The charts and tables of the window, and the map.
struct Window {
    charts::BoxplotData boxplots;
    charts::EnvironmentRun environment{boxplots};
    charts::TPlotPanel phEc, boxplotPhEc, phenology1, phenology2;
    maps::RunTables tables{environment};
    core::DatabaseStore store;
    maps::MapImage map{store};
    ecology::TaxaList taxa;
    maps::AbundanceSizes sizes;
    qint64 resetTables = 0, resetMap = 0, walking = 0, taking = 0;
    int runs = 0;

    Window() {
        charts::SetupPHEGVPlot(phEc);
        charts::SetupPHEGVPlot(boxplotPhEc);
        charts::SetupPhenologyPlot1(phenology1);
        charts::SetupPhenologyPlot2(phenology2);
        environment.AddScatterPlot(phEc);
        environment.AddScatterPlot(boxplotPhEc);
        environment.AddPhenologyPlot(phenology1);
        environment.AddPhenologyPlot(phenology2);
        store.SetCoordinateSystem(core::kKmBased);
        map.LoadMap(kMap);
    }

    int Run(maps::RunKind kind) {
        maps::DrawSettings draw;
        draw.rules.coordinateSystem = core::kKmBased;
        draw.tab = kind == maps::RunKind::AllLocations ? maps::StyleTab::AllLocations
                                                       : maps::StyleTab::Primary;
        maps::RunTablesSettings settings;
        settings.coordinateSystem = core::kKmBased;
        QElapsedTimer timer;
        timer.start();
        tables.Reset(true, kind == maps::RunKind::AllLocations, settings);
        sizes.Clear();
        resetTables += timer.nsecsElapsed();
        timer.restart();
        map.ResetWorkingImage();
        resetMap += timer.nsecsElapsed();
        timer.restart();
        const maps::RunOptions options;
        const maps::RunWalk walk =
            kind == maps::RunKind::AllLocations
                ? maps::WalkAllLocations(Source(), options)
                : maps::WalkTaxon(Source(), taxa, "Closterium lunula", options);
        walking += timer.nsecsElapsed();
        timer.restart();
        maps::RecordDrawer drawer(map.WorkingImage(), *map.Calibration(), draw, kind, false, sizes);
        const int drawn = maps::TakeSteps(walk, tables, drawer, draw.tab, sizes).drawn;
        taking += timer.nsecsElapsed();
        ++runs;
        return drawn;
    }

    // The parts of a run, in milliseconds per run.
    void Report(benchmark::State& state) const {
        state.counters["reset tables ms"] = double(resetTables) / runs / 1e6;
        state.counters["reset map ms"] = double(resetMap) / runs / 1e6;
        state.counters["walk ms"] = double(walking) / runs / 1e6;
        state.counters["collect+draw+finish ms"] = double(taking) / runs / 1e6;
    }
};

void BM_TaxonRunOf5000Samples(benchmark::State& state) {
    Source();
    Window window;
    for (auto _ : state)
        benchmark::DoNotOptimize(window.Run(maps::RunKind::Taxon));
    window.Report(state);
}
BENCHMARK(BM_TaxonRunOf5000Samples)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_AllLocationsRunOf50000(benchmark::State& state) {
    Source();
    Window window;
    for (auto _ : state)
        benchmark::DoNotOptimize(window.Run(maps::RunKind::AllLocations));
    window.Report(state);
}
BENCHMARK(BM_AllLocationsRunOf50000)->Unit(benchmark::kMillisecond)->MinTime(2);

// The tables of the synthetic database file read into the runs' copy.
void BM_ReadTablesIntoTheRunsCopy(benchmark::State& state) {
    core::SetProgramDir(bench::Folder());
    bench::MakeDatabase();
    core::DatabaseStore store;
    store.OpenDatabase("Bench");
    maps::RunSource source;
    for (auto _ : state) {
        source.Read(store.Locations(), store.Samples());
        benchmark::DoNotOptimize(source.Samples().size());
    }
    store.CloseDatabase();
}
BENCHMARK(BM_ReadTablesIntoTheRunsCopy)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    velmora::bench::RemoveFolder();
    return 0;
}
