// libFuzzer target for the import of data files: a tab-separated file split into the grid,
// the same bytes read as a column layout file (.vlf), and the grid written into a database by
// the import run.
//
// Input: the bytes of a data file (or of a layout file). Besides "no crash, no hang", the
// checks are:
// - every grid row holds every column, row 0 and column 0 are numbered;
// - a layout read and written once is read back the same;
// - an import run either completes with one sample per data row, or names a data row that
//   failed and leaves the database as it was.

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/settings.h"
#include "fuzz/fuzz_support.h"
#include "recording/dataimport.h"

#include <QDir>
#include <QFile>
#include <cstdint>

namespace core = velmora::core;
namespace recording = velmora::recording;

namespace {

QByteArray TableBytes() {
    QByteArray all;
    for (const char* f : {"F1.dbf", "F2.dbf"}) {
        QFile file(core::DataDir() + f);
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

int Samples() {
    core::Dataset t;
    t.Open(core::DataDir() + "F2.dbf", true);
    const int n = t.RecordCount();
    t.Close();
    return n;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::fuzz::InstallQuietPrompts();
    const QString dir = QString::fromStdString(velmora::fuzz::ScratchDir());
    QDir(dir).mkpath("Data");
    QDir(dir).mkpath("Lib");
    core::SetProgramDir(dir);
    core::CurrentSettings() = core::DefaultSettings();
    core::DatabaseStore store;
    store.CreateDatabase("F");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // The bytes as a layout file.
    const QString layoutPath = velmora::fuzz::WriteScratchFile("input.vlf", data, size);
    const recording::ColumnLayout layout = recording::ReadColumnLayout(layoutPath);
    recording::WriteColumnLayout(layout, layoutPath);
    VELMORA_FUZZ_CHECK(recording::ReadColumnLayout(layoutPath) == layout);

    // The bytes as a data file.
    recording::ImportLimits limits;
    limits.maxCells = 20000;
    limits.maxColumns = 64;
    core::Grid grid;
    try {
        grid = recording::CopyToGrid(recording::DecodeTSVBytes(bytes), limits);
    } catch (const core::Error&) {
        return 0;
    }
    VELMORA_FUZZ_CHECK(grid.ColCount() >= 3 && grid.RowCount() >= 1);
    for (int r = 0; r < grid.RowCount(); ++r)
        VELMORA_FUZZ_CHECK(grid.Row(r).size() == grid.ColCount());
    for (int r = 1; r < grid.RowCount(); ++r)
        VELMORA_FUZZ_CHECK(grid.Cell(0, r) == QString::number(r));
    if (grid.RowCount() > 300)
        return 0;

    // Every field from a column of the file, dates as text or in columns by the first byte.
    recording::ImportSettings settings;
    for (int key = 1; key < recording::kImportStartRow; ++key)
        settings.columns[static_cast<std::size_t>(key)] = 1 + (key - 1) % (grid.ColCount() - 1);
    settings.unique = {1, 2, 0, 0, 0, 0, 0, 0};
    settings.startRow = 1;
    settings.textDates = size > 0 && (data[0] & 1);
    settings.replace = size > 0 && (data[0] & 2);
    recording::SortOnUniqueLocation(grid, settings.startRow, settings.unique);
    const QByteArray before = TableBytes();
    const int samplesBefore = Samples();
    recording::ImportOutcome outcome;
    try {
        outcome = recording::WriteImport(
            grid, settings, "F", (size > 1 && (data[1] & 1)) ? core::kLatLon : core::kKmBased,
            "NL");
    } catch (const core::Error&) {
        VELMORA_FUZZ_CHECK(TableBytes() == before);
        return 0;
    }
    if (outcome.complete) {
        VELMORA_FUZZ_CHECK(Samples() ==
                           (settings.replace ? 0 : samplesBefore) + grid.RowCount() - 1);
        // Keep the database small for the next inputs.
        if (Samples() > 2000)
            core::DatabaseStore().CreateDatabase("F");
    } else {
        VELMORA_FUZZ_CHECK(outcome.failedRow >= 1 && outcome.failedRow < grid.RowCount());
        VELMORA_FUZZ_CHECK(TableBytes() == before);
    }
    return 0;
}
