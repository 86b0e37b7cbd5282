// libFuzzer target for filter files (.tsv): OpenFilterFile, the record filter compiled from
// the grid it gives and evaluated for a few locations, and the grid written back.
//
// Input: the file. Besides "no crash, no hang", the checks are:
// - a file is either read into a grid of three columns and 1 to 21 rows whose rule rows name
//   only fields of the field-name table, or refused with core::Error giving a reason;
// - a compiled filter holds at most kMaxFilterRows rows, and one that compiled evaluates to
//   Error only with a message shown;
// - the grid written by SaveFilterFile reads back the same.

#include "core/error.h"
#include "fuzz/fuzz_support.h"
#include "maps/recordfilter.h"

#include <cstdint>

namespace core = velmora::core;
namespace maps = velmora::maps;

namespace {

// The quiet prompts, counting the messages the filter shows.
class CountingPrompts final : public core::Prompts {
public:
    int messages = 0;
    void Message(const QString&, core::MessageKind) override { ++messages; }
    bool YesNo(const QString&) override { return false; }
    core::Answer YesNoCancel(const QString&) override { return core::Answer::Cancel; }
    bool OkAbort(const QString&) override { return false; }
    std::optional<QString> InputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString ChooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&, bool) override { return {}; }
    std::optional<core::TColor> ChooseColor(core::TColor) override { return std::nullopt; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    void SetProgressRange(int, int) override {}
    void StartProgress() override {}
    bool StepProgress(int) override { return false; }
    void FinishProgress() override {}
};

CountingPrompts& Prompts() {
    static CountingPrompts prompts;
    return prompts;
}

// A few rows of the shipped table, one naming a field that Locations lacks.
const std::vector<core::FieldNameRow> kFieldNames = {
    {"Locatie", "LOCATIE", "tekst"}, {"pH", "PH", "getal"},     {"EGV", "GELEIDING", "getal"},
    {"Analist", "ANALIST", "tekst"}, {"Jaar", "JAAR", "getal"}, {"ID", "ID", "getal"},
    {"Biotoop", "WTYPE", "tekst"},   {"Hok nummer", "KXY", ""}, {"X", "COORDX", "tekst"},
};

std::vector<maps::LocationRow> Locations() {
    std::vector<maps::LocationRow> rows(4);
    rows[0].id = 1;
    rows[0].ph = "6,8";
    rows[0].analist = "P. Jansen";
    rows[0].locatie = "Ven bij Één";
    rows[1].id = -2147483647 - 1;
    rows[1].ph = "";
    rows[1].geleiding = "1e999";
    rows[1].jaar = "19xx";
    rows[2].id = 2147483647;
    rows[2].ph = "6,5,1";
    rows[2].analist = "ŞAHİN";
    rows[2].coordX = " 155.7";
    rows[3].ph = "   ";
    rows[3].wtype = "M1\tM2";
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    core::SetUserPrompts(&Prompts());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = velmora::fuzz::WriteScratchFile("input.tsv", data, size);
    core::Grid grid;
    try {
        grid = maps::OpenFilterFile(path, kFieldNames);
    } catch (const core::Error& e) {
        VELMORA_FUZZ_CHECK(!e.Reason().isEmpty());
        if (velmora::fuzz::Verbose())
            std::fprintf(stderr, "refused: %s\n", qPrintable(e.Message()));
        return 0;
    }
    VELMORA_FUZZ_CHECK(grid.ColCount() == maps::kFilterGridColumns);
    VELMORA_FUZZ_CHECK(grid.RowCount() >= 1 && grid.RowCount() <= maps::kMaxFilterRows + 1);
    for (int r = 1; r < grid.RowCount(); ++r) {
        const QString field = grid.Cell(0, r).trimmed();
        VELMORA_FUZZ_CHECK(field.isEmpty() || maps::ResolveFilterField(field, kFieldNames) >= 0);
    }

    maps::RecordFilter filter;
    const bool compiled = filter.Compile(grid, kFieldNames);
    VELMORA_FUZZ_CHECK(filter.RowCount() <= maps::kMaxFilterRows);
    if (velmora::fuzz::Verbose())
        std::fprintf(stderr, "read %d rows, compiled: %d\n", grid.RowCount(), int(compiled));
    if (compiled) {
        static const std::vector<maps::LocationRow> locations = Locations();
        for (const maps::LocationRow& location : locations) {
            const int before = Prompts().messages;
            const maps::FilterOutcome outcome = filter.Evaluate(location);
            VELMORA_FUZZ_CHECK((outcome == maps::FilterOutcome::Error) ==
                               (Prompts().messages > before));
            // One evaluation shows at most a message per row and one for the last pop.
            VELMORA_FUZZ_CHECK(Prompts().messages - before <= 2 * filter.RowCount() + 1);
        }
    }

    const QString copy = QString::fromStdString(velmora::fuzz::ScratchDir() + "/copy.tsv");
    maps::SaveFilterFile(copy, grid);
    VELMORA_FUZZ_CHECK(maps::OpenFilterFile(copy, kFieldNames) == grid);
    return 0;
}
