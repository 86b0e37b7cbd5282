// libFuzzer target for the spreadsheet readers: ReadSpreadsheetFile on .xlsx packages and
// on the minimal spreadsheet file, and XlsxFirstSheetName.
//
// Input: the first byte chooses what the rest is.
//   even: a whole file, read as the program reads a file a user picks;
//   odd:  the XML parts of a workbook divided by kPartDivider (see fuzz/storedzip.h), packed
//         here as stored zip members, so that the fuzzer works on the XML itself and not on
//         compressed bytes.
// Legacy .xls workbooks (the compound-file signature) are passed over: they are read by
// FreeXL in a child process on purpose, and fuzzing that library is not this target's job.
//
// The limits are smaller than the program's, so that a refusal costs milliseconds rather than
// seconds; the code that enforces them is the same. Besides "no crash, no hang", the grid
// promises are checked: row 0 and column 0 empty, the used range within the cell limit.

#include "core/error.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/spreadsheet/spreadsheetcells.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/storedzip.h"

#include <algorithm>
#include <cstdint>

namespace core = velmora::core;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::fuzz::InstallQuietPrompts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string file;
    if (data[0] % 2 == 0) {
        if (rest.rfind("\xD0\xCF\x11\xE0", 0) == 0)
            return -1; // not added to the corpus
        file = rest;
    } else {
        std::vector<std::pair<std::string, std::string>> members;
        std::size_t at = 0;
        for (const std::string& name : velmora::fuzz::WorkbookPartNames()) {
            if (at > rest.size())
                break;
            std::size_t end = rest.find(velmora::fuzz::kPartDivider, at);
            if (end == std::string::npos)
                end = rest.size();
            members.emplace_back(name, rest.substr(at, end - at));
            at = end + sizeof velmora::fuzz::kPartDivider - 1;
        }
        file = velmora::fuzz::StoredZip(members);
    }
    const QString path = velmora::fuzz::WriteScratchFile("input.xlsx", file.data(), file.size());

    core::SpreadsheetLimits limits;
    limits.maxCells = 20'000;
    limits.maxUnpackedBytes = 4 * 1024 * 1024;
    try {
        const core::Grid grid = core::ReadSpreadsheetFile(path, limits);
        if (velmora::fuzz::Verbose()) {
            std::fprintf(stderr, "grid %d x %d\n", grid.ColCount(), grid.RowCount());
            for (int row = 1; row < grid.RowCount() && row < 8; ++row)
                std::fprintf(stderr, "  %s\n",
                             grid.Row(row).join(QLatin1Char('|')).toUtf8().constData());
        }
        VELMORA_FUZZ_CHECK(grid.RowCount() >= 2 && grid.ColCount() >= 2);
        VELMORA_FUZZ_CHECK(qint64(grid.RowCount() - 1) * (grid.ColCount() - 1) <=
                           std::max<qint64>(limits.maxCells, 1));
        for (int col = 0; col < grid.ColCount(); ++col)
            VELMORA_FUZZ_CHECK(grid.Cell(col, 0).isEmpty());
        for (int row = 0; row < grid.RowCount(); ++row) {
            VELMORA_FUZZ_CHECK(grid.Row(row).size() == grid.ColCount());
            VELMORA_FUZZ_CHECK(grid.Cell(0, row).isEmpty());
        }
    } catch (const core::Error& e) {
        if (velmora::fuzz::Verbose())
            std::fprintf(stderr, "refused: %s\n", e.what());
        // A clear refusal is the expected answer to a bad file.
    }
    if (file.rfind("PK", 0) == 0) {
        try {
            (void)core::spreadsheet::XlsxFirstSheetName(path);
        } catch (const core::Error&) {
        }
    }
    return 0;
}
