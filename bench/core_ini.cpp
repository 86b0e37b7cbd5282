// Reading settings files of growing size: the time per key must stay the same (a settings
// file with tens of thousands of keys, as a careless tool or an attack leaves it, must not
// stall the start). Timed: read the file from disk and parse it, as the start does.

#include "core/text/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using velmora::core::IniFile;

namespace {

void BM_LoadIni(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath("VLX.ini");
    QByteArray text = "[Common]\r\nLanguage=EN\r\n[Extra]\r\n";
    for (int i = 0; i < keys; ++i)
        text += "Key" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\r\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        state.SkipWithError("cannot write the file");
    f.close();
    for (auto _ : state) {
        const IniFile ini = IniFile::Load(path);
        benchmark::DoNotOptimize(ini.Value("Common", "Language"));
    }
    state.SetComplexityN(keys);
}
BENCHMARK(BM_LoadIni)
    ->RangeMultiplier(4)
    ->Range(1250, 80000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
