// The record filter of the dot-map window: compiling a full filter of twenty rule rows,
// evaluating a five-row filter for 50,000 locations, and what a five-row filter adds to a
// whole map run (the run of all 50,000 locations and a taxon run of 5,000 samples, timed as
// bench_maps_runs times them: the map started afresh, the walk, every record collected and
// drawn, the tables finished). The filter that keeps every location gives the run the same
// drawing work as the run without a filter, so the difference is the filter's own cost.

#include "charts/boxplotdata.h"
#include "charts/environmentrun.h"
#include "charts/phenology.h"
#include "charts/tplotpanel.h"
#include "core/coordinates.h"
#include "core/prompts.h"
#include "core/text/fieldnametable.h"
#include "maps/mapimage.h"
#include "maps/maprun.h"
#include "maps/recordfilter.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

const QString kMap = QStringLiteral(VELMORA_SOURCE_DIR "/data/Maps/Nederland_0_625_280_300_.png");
const QString kFieldNames = QStringLiteral(VELMORA_SOURCE_DIR "/data/Lib/FieldNames.csv");

const std::vector<core::FieldNameRow>& FieldNames() {
    static const std::vector<core::FieldNameRow> rows = core::ReadFieldNameTable(kFieldNames);
    return rows;
}

// The locations and samples of bench_maps_runs, with analysts and pH texts of both kinds.
maps::RunSource& Source() {
    static maps::RunSource source = [] {
        static const char* const analysts[] = {"P. Jansen", "M. de Vries", "A. Bakker",
                                               "J. van Dijk", ""};
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
            if (id % 3 == 0)
                l.ph.replace(QLatin1Char('.'), QLatin1Char(',')); // typed with a comma
            l.geleiding = QString::number(10 + id % 900);
            l.wtype = QStringLiteral("M%1").arg(id % 20);
            l.analist = QString::fromUtf8(analysts[id % 5]);
            locations.push_back(l);
        }
        std::vector<maps::SampleRow> samples;
        samples.reserve(5000);
        for (int i = 0; i < 5000; ++i) {
            maps::SampleRow s;
            s.recNo = i + 1;
            s.id = 1 + (2500 * 7 + i * 10) % 50000;
            s.desmid = QStringLiteral("Closterium lunula");
            s.abund = QString::number(1 + i % 3);
            s.kxy = QStringLiteral("%1-%2").arg(100 + i % 100).arg(400 + i % 200);
            s.uxy = s.kxy;
            samples.push_back(s);
        }
        maps::RunSource made;
        made.Assign(std::move(locations), std::move(samples));
        return made;
    }();
    return source;
}

core::Grid Grid(const std::vector<std::array<const char*, 3>>& rules) {
    core::Grid grid = maps::NewFilterGrid();
    grid.SetRowCount(1 + int(rules.size()));
    for (std::size_t r = 0; r < rules.size(); ++r) {
        for (int c = 0; c < 3; ++c)
            grid.SetCell(c, int(r) + 1, QString::fromUtf8(rules[r][std::size_t(c)]));
    }
    return grid;
}

// 6 <= pH < 7, or an analyst whose name holds "jan": about 36 % of the locations.
const core::Grid& ExampleFilter() {
    static const core::Grid grid = Grid({{"pH", ">=", "6"},
                                         {"pH", "<", "7"},
                                         {"", "and", ""},
                                         {"Analist", "like", "jan"},
                                         {"", "or", ""}});
    return grid;
}

// Five rows that hold for every location.
const core::Grid& KeepAllFilter() {
    static const core::Grid grid = Grid({{"pH", ">=", "0"},
                                         {"EGV", "<", "100000"},
                                         {"", "and", ""},
                                         {"Locatie", "=", "ven"},
                                         {"", "and", ""}});
    return grid;
}

maps::RecordFilter Compiled(const core::Grid& grid) {
    maps::RecordFilter filter;
    if (!filter.Compile(grid, FieldNames()))
        std::abort();
    return filter;
}

void BM_CompileTwentyRuleRows(benchmark::State& state) {
    std::vector<std::array<const char*, 3>> rules;
    for (int i = 0; i < 5; ++i) {
        rules.push_back({"Geleiding", ">", "120,5"});
        rules.push_back({"Temperatuur", "<=", "1.5e1"});
        rules.push_back({"", "Or", ""});
        rules.push_back({"Biotoop", "notlike", "Ven"});
    }
    const core::Grid grid = Grid(rules);
    FieldNames();
    maps::RecordFilter filter;
    for (auto _ : state) {
        const bool ok = filter.Compile(grid, FieldNames());
        benchmark::DoNotOptimize(ok);
    }
    if (filter.RowCount() != maps::kMaxFilterRows)
        state.SkipWithError("the filter did not compile");
}
BENCHMARK(BM_CompileTwentyRuleRows)->Unit(benchmark::kMicrosecond);

void BM_EvaluateFiveRowsFor50000Locations(benchmark::State& state) {
    const std::vector<maps::LocationRow>& locations = Source().Locations();
    const maps::RecordFilter filter = Compiled(ExampleFilter());
    int passed = 0;
    for (auto _ : state) {
        passed = 0;
        for (const maps::LocationRow& l : locations)
            passed += filter.Evaluate(l) == maps::FilterOutcome::Pass;
        benchmark::DoNotOptimize(passed);
    }
    state.counters["passed"] = passed;
}
BENCHMARK(BM_EvaluateFiveRowsFor50000Locations)->Unit(benchmark::kMillisecond);

// The charts and tables of the window, and the map, as bench_maps_runs sets them up.
struct Window {
    charts::BoxplotData boxplots;
    charts::EnvironmentRun environment{boxplots};
    charts::TPlotPanel phEc, boxplotPhEc, phenology1, phenology2;
    maps::RunTables tables{environment};
    core::DatabaseStore store;
    maps::MapImage map{store};
    ecology::TaxaList taxa;
    maps::AbundanceSizes sizes;

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

    int Run(maps::RunKind kind, const maps::RecordFilter* filter) {
        maps::DrawSettings draw;
        draw.rules.coordinateSystem = core::kKmBased;
        draw.tab = kind == maps::RunKind::AllLocations ? maps::StyleTab::AllLocations
                                                       : maps::StyleTab::Primary;
        maps::RunTablesSettings settings;
        settings.coordinateSystem = core::kKmBased;
        tables.Reset(true, kind == maps::RunKind::AllLocations, settings);
        sizes.Clear();
        map.ResetWorkingImage();
        maps::RunOptions options;
        if (filter)
            options.filter = filter->AsRunFilter();
        const maps::RunWalk walk =
            kind == maps::RunKind::AllLocations
                ? maps::WalkAllLocations(Source(), options)
                : maps::WalkTaxon(Source(), taxa, "Closterium lunula", options);
        maps::RecordDrawer drawer(map.WorkingImage(), *map.Calibration(), draw, kind, false, sizes);
        return maps::TakeSteps(walk, tables, drawer, draw.tab, sizes).drawn;
    }
};

enum Filter { kNone, kExample, kKeepAll };

void BM_Run(benchmark::State& state, maps::RunKind kind) {
    Source();
    Window window;
    const Filter which = Filter(state.range(0));
    const maps::RecordFilter filter =
        Compiled(which == kExample ? ExampleFilter() : KeepAllFilter());
    int drawn = 0;
    for (auto _ : state) {
        drawn = window.Run(kind, which == kNone ? nullptr : &filter);
        benchmark::DoNotOptimize(drawn);
    }
    state.counters["drawn"] = drawn;
    state.SetLabel(which == kNone      ? "no filter"
                   : which == kExample ? "example filter"
                                       : "filter keeping all");
}
BENCHMARK_CAPTURE(BM_Run, AllLocations, maps::RunKind::AllLocations)
    ->Arg(kNone)
    ->Arg(kKeepAll)
    ->Arg(kExample)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(BM_Run, Taxon, maps::RunKind::Taxon)
    ->Arg(kNone)
    ->Arg(kKeepAll)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
