// Cost of "Toon in Google Earth" without the viewer: the KML of N locations of a km-based
// database under the Dutch rules (coordinates read, snapped to the km-square, converted from
// RD to longitude and latitude, balloon and placemark lines) built in memory (Build), and
// built and written to disk, flushed and renamed into place (Write).

#include "core/coordinates.h"
#include "core/folders.h"
#include "core/grid/grid.h"
#include "maps/kml.h"
#include "maps/runtables.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

core::Grid Locations(int count) {
    core::Grid grid(maps::kLocationColumns, count + 1);
    grid.SetRow(0, {"ID", "Location", "Date", "X", "Y"});
    for (long long i = 0; i < count; ++i) {
        // Mostly km coordinates with a decimal comma, some in metres and some in atlas notation.
        QString x = QString::number(20 + i * 7919 % 2500 / 10.0).replace('.', ',');
        QString y = QString::number(310 + i * 104729 % 3000 / 10.0);
        if (i % 10 == 1) {
            x = QString::number(20000 + i * 7919 % 250000);
            y = QString::number(310000 + i * 104729 % 300000);
        } else if (i % 10 == 2) {
            x = QString::number(1000 + i % 50 * 100 + 11 + i % 5 * 10 + i % 4);
            y = i % 3 == 0 ? QStringLiteral("0") : QString::number(11 + i % 5 * 10 + i % 5);
        }
        grid.SetRow(int(i + 1),
                    {QString::number(i + 1), QStringLiteral("Ven bij Oisterwijk %1").arg(i),
                     QStringLiteral("2001-06-15"), x, y});
    }
    return grid;
}

const maps::PlacementRules kRules{core::kKmBased, true, maps::Placement::KmSquare};

} // namespace

static void Build(benchmark::State& state) {
    const core::Grid grid = Locations(int(state.range(0)));
    for (auto _ : state) {
        const maps::KmlBuild build =
            maps::BuildKml(grid, QStringLiteral("Closterium lunula"), kRules);
        if (build.errorRow >= 0)
            state.SkipWithError("coordinate error");
        benchmark::DoNotOptimize(maps::KmlText(build.lines).size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Build)->Arg(5'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

static void Write(benchmark::State& state) {
    const core::Grid grid = Locations(int(state.range(0)));
    QTemporaryDir dir;
    core::SetProgramDir(dir.path() + QLatin1Char('/'));
    for (auto _ : state) {
        const maps::KmlWriteResult result =
            maps::WriteKml(grid, QStringLiteral("Closterium lunula"), kRules);
        if (result.path.isEmpty())
            state.SkipWithError("nothing written");
    }
    core::SetProgramDir({});
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Write)->Arg(5'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
