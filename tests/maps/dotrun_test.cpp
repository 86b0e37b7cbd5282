// Drawing a run's records: the slot chosen per record on the special tab, the sizes by
// abundance of a redraw, the all-locations colours, Abort in the coordinate message, and a bad
// size refused before anything is drawn.

#include "core/coordinates.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "maps/dotrun.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace velmora;
using maps::StyleSlot;

namespace {

constexpr core::TColor kBlue = 0x00FF0000; // 00BBGGRR
constexpr core::TColor kGreen = 0x0000FF00;

// A 200 x 100 map of 1 pixel per km: x 100 at column 0, y 500 at row 0, so (150, 450) is the
// pixel (50, 50).
struct DotRun : ::testing::Test {
    core::ScriptedPrompts prompts;
    QImage image{200, 100, QImage::Format_RGB32};
    maps::MapCalibration calibration =
        *maps::MapCalibration::FromEdges({100, 500, 300, 400}, {200, 100});
    maps::DrawSettings settings;
    maps::AbundanceSizes sizes;

    void SetUp() override {
        image.fill(Qt::white);
        settings.rules.coordinateSystem = core::kKmBased;
        for (maps::DotStyle& style : settings.styles.entries)
            style = {kBlue, "5", 2 /* filled square */, "0"};
    }
    static maps::RunRecord At(const QString& x, const QString& jaar = "2000",
                              const QString& abundance = {}) {
        maps::RunRecord record;
        record.location = {x, "450", "Ven", "01", "06", jaar};
        record.abundance = abundance;
        return record;
    }
    maps::DrawOutcome Draw(maps::RunKind run, bool redraw,
                           const std::vector<maps::RunRecord>& records) {
        return maps::DrawRecords(image, calibration, settings, run, redraw, sizes, records);
    }
    QRgb At(int column, int row = 50) const { return image.pixel(column, row) & 0xFFFFFF; }
    // The columns of row 50 coloured around a column.
    int WidthAt(int column) const {
        int from = column, to = column;
        while (from > 0 && At(from - 1) != 0xFFFFFF)
            --from;
        while (to < image.width() - 1 && At(to + 1) != 0xFFFFFF)
            ++to;
        return At(column) == 0xFFFFFF ? 0 : to - from + 1;
    }
};

TEST_F(DotRun, TheSpecialTabComparesTheYearAsText) {
    settings.tab = maps::StyleTab::Special;
    settings.separationYear = "1990";
    settings.styles[StyleSlot::Before].color = kBlue;
    settings.styles[StyleSlot::From].color = kGreen;
    const struct {
        const char* x;
        const char* jaar;
        QRgb color;
    } cases[] = {{"120", "1989", 0x0000FF}, // before
                 {"140", "1990", 0x00FF00}, // from
                 {"160", "2001", 0x00FF00},
                 {"180", "990", 0x00FF00}}; // "990" sorts after "1990"
    std::vector<maps::RunRecord> records;
    for (const auto& c : cases)
        records.push_back(At(c.x, c.jaar));
    EXPECT_EQ(Draw(maps::RunKind::Taxon, false, records).drawn, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(At(20 + 20 * i), cases[i].color) << cases[i].jaar;
}

TEST_F(DotRun, ARedrawOnTheAbundanceTabTakesTheSizesOfTheTable) {
    settings.tab = maps::StyleTab::Abundance;
    settings.styles[StyleSlot::Abundance].size = "11";
    const std::vector<maps::RunRecord> records = {At("150", "2000", "3"), At("180", "2000", "1"),
                                                  At("120", "2000", "7")};
    // The first run notes the abundances, sorted, and draws every dot at the slot's size.
    Draw(maps::RunKind::Taxon, false, records);
    ASSERT_EQ(sizes.Grid().RowCount(), 4);
    EXPECT_EQ(sizes.Grid().Cell(0, 1), "1");
    EXPECT_EQ(sizes.Grid().Cell(0, 2), "3");
    EXPECT_EQ(sizes.Grid().Cell(0, 3), "7");
    EXPECT_EQ(WidthAt(80), 11);

    // 1 -> 5, 3 -> blank: a redraw draws abundance 1 at 5 pixels, the others at the slot's.
    sizes.Grid().SetCell(1, 1, "5");
    sizes.Grid().SetCell(1, 2, "  ");
    image.fill(Qt::white);
    Draw(maps::RunKind::Taxon, true, records);
    EXPECT_EQ(WidthAt(80), 5);
    EXPECT_EQ(WidthAt(50), 11);
    EXPECT_EQ(WidthAt(20), 11);
    // An ordinary run does not use the table.
    image.fill(Qt::white);
    Draw(maps::RunKind::Taxon, false, records);
    EXPECT_EQ(WidthAt(80), 11);
}

TEST_F(DotRun, AnAllLocationsRunTakesItsColourAndTheTabsShapeAndSize) {
    settings.tab = maps::StyleTab::Primary;
    settings.styles[StyleSlot::Primary] = {kBlue, "9", 2, "0"};
    settings.styles[StyleSlot::AllLocations] = {kGreen, "3", 0, "0"};
    Draw(maps::RunKind::AllLocations, false, {At("150")});
    EXPECT_EQ(At(50), 0x00FF00u);
    EXPECT_EQ(WidthAt(50), 9);
    EXPECT_EQ(At(46, 46), 0x00FF00u); // a square's corner: the primary shape
    EXPECT_EQ(sizes.Grid().RowCount(), 1) << "no abundances noted outside the abundance tab";
}

TEST_F(DotRun, AbortInTheCoordinateMessageEndsTheRun) {
    maps::RunRecord unreadable = At("150");
    unreadable.location.coordX = "abc";
    const std::vector<maps::RunRecord> records = {unreadable, At("180")};
    prompts.answers = {core::Answer::Abort};
    maps::DrawOutcome outcome = Draw(maps::RunKind::Taxon, false, records);
    EXPECT_TRUE(outcome.aborted);
    EXPECT_EQ(outcome.drawn, 0);
    EXPECT_EQ(At(80), 0xFFFFFFu);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("X = abc")) << prompts.shown[0].toStdString();

    prompts.answers = {core::Answer::Ok};
    outcome = Draw(maps::RunKind::Taxon, false, records);
    EXPECT_FALSE(outcome.aborted);
    EXPECT_EQ(outcome.drawn, 1);
    EXPECT_EQ(At(80), 0x0000FFu);
}

TEST_F(DotRun, ASizeThatIsNoNumberIsRefusedBeforeAnythingIsDrawn) {
    for (const char* bad : {"abc", "-1", "99999"}) {
        settings.styles[StyleSlot::Primary].size = bad;
        EXPECT_THROW(Draw(maps::RunKind::Taxon, false, {At("150")}), core::Error) << bad;
        EXPECT_EQ(At(50), 0xFFFFFFu) << bad;
    }
    settings.styles[StyleSlot::Primary].size = "5";
    settings.outlineWidth = "x";
    EXPECT_THROW(Draw(maps::RunKind::Taxon, false, {At("150")}), core::Error);
}

} // namespace
