// Cost of the tables of a map run: a new map, N distinct locations with one sample each
// (pH, conductivity, biotope and date varied) collected, and the run finished (classes
// sorted, shares written, square keys made distinct, the location table sorted on date).
// TablesOnly feeds no chart; WithCharts feeds the two scatter plots and the two phenology
// plots the dot-map window and the boxplot window register.

#include "charts/boxplotdata.h"
#include "charts/environmentrun.h"
#include "charts/phenology.h"
#include "charts/tplotpanel.h"
#include "core/coordinates.h"
#include "maps/runtables.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <vector>

using namespace velmora;

namespace {

struct Records {
    std::vector<maps::LocationRow> locations;
    std::vector<maps::SampleRow> samples;
};

Records MakeRecords(int count) {
    static const char* const biotopes[] = {"120", "1203b", "12A", "210", "310c", "", "41"};
    Records r;
    r.locations.reserve(std::size_t(count));
    r.samples.reserve(std::size_t(count));
    for (long long i = 0; i < count; ++i) {
        maps::LocationRow l;
        l.id = int(i + 1);
        l.locatie = QStringLiteral("Ven %1").arg(i);
        l.dag = QString::number(1 + i * 7 % 28).rightJustified(2, QLatin1Char('0'));
        l.maand = QString::number(1 + i * 5 % 12).rightJustified(2, QLatin1Char('0'));
        l.jaar = QString::number(1950 + i % 70);
        l.coordX = QString::number(20 + i * 7919 % 2500 / 10.0);
        l.coordY = QString::number(310 + i * 104729 % 3000 / 10.0);
        if (i % 10 != 0)
            l.ph = QString::number(3.5 + double(i * 37 % 55) / 10, 'f', 1);
        if (i % 8 != 0)
            l.geleiding = QString::number(5 + i * 131 % 1500);
        l.analist = QStringLiteral("PC");
        l.wtype = QString::fromLatin1(biotopes[i % 7]);
        r.locations.push_back(l);
        maps::SampleRow s;
        s.id = l.id;
        s.desmid = QStringLiteral("Closterium lunula");
        s.abund = QString::number(1 + i % 3);
        s.kxy = QStringLiteral("%1-%2")
                    .arg(20 + i * 7919 % 250, 3, 10, QLatin1Char('0'))
                    .arg(310 + i * 104729 % 300, 3, 10, QLatin1Char('0'));
        s.uxy = s.kxy;
        r.samples.push_back(s);
    }
    return r;
}

void Run(benchmark::State& state, bool charts) {
    const Records records = MakeRecords(int(state.range(0)));
    charts::BoxplotData boxplots;
    charts::EnvironmentRun environment(boxplots);
    charts::TPlotPanel scatter1, scatter2, phenology1, phenology2;
    if (charts) {
        charts::SetupPHEGVPlot(scatter1);
        charts::SetupPHEGVPlot(scatter2);
        charts::SetupPhenologyPlot1(phenology1);
        charts::SetupPhenologyPlot2(phenology2);
        environment.AddScatterPlot(scatter1);
        environment.AddScatterPlot(scatter2);
        environment.AddPhenologyPlot(phenology1);
        environment.AddPhenologyPlot(phenology2);
    }
    maps::RunTables tables(environment);
    maps::AbundanceSizes sizes;
    maps::RunTablesSettings settings;
    settings.coordinateSystem = core::kKmBased;
    settings.biotopeName = [](const QString& code) { return code + QStringLiteral(" water"); };
    // Besides the whole, the share of each step (reported as counters, in ms per run).
    double resetMs = 0, collectMs = 0, finishMs = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        sizes.Clear();
        tables.Reset(true, false, settings);
        resetMs += double(timer.nsecsElapsed()) / 1e6;
        timer.start();
        for (std::size_t i = 0; i < records.locations.size(); ++i)
            tables.Collect(records.locations[i], &records.samples[i], maps::StyleTab::Abundance,
                           sizes);
        collectMs += double(timer.nsecsElapsed()) / 1e6;
        timer.start();
        tables.Finish(sizes);
        benchmark::DoNotOptimize(tables.LocationTable().RowCount());
        finishMs += double(timer.nsecsElapsed()) / 1e6;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    const double runs = double(state.iterations());
    state.counters["reset_ms"] = resetMs / runs;
    state.counters["collect_ms"] = collectMs / runs;
    state.counters["finish_ms"] = finishMs / runs;
}

} // namespace

static void TablesOnly(benchmark::State& state) {
    Run(state, false);
}
BENCHMARK(TablesOnly)->Arg(5'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

static void WithCharts(benchmark::State& state) {
    Run(state, true);
}
BENCHMARK(WithCharts)->Arg(5'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
