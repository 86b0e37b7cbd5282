// Dot styles: the style of a record, sizes by abundance, dot settings files and the styles
// kept with a database.

#include "common/programfolder.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "maps/dotstyles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

// Styles whose slots differ in every field, so that a test sees which slot was used.
DotStyles DistinctStyles() {
    DotStyles styles;
    for (int i = 0; i < kStyleSlotCount; ++i) {
        DotStyle& s = styles.entries[std::size_t(i)];
        s.color = core::TColor(0x010000 * (i + 1));
        s.size = QString::number(10 + i);
        s.shape = i;
        s.lineWidth = QString::number(i);
    }
    return styles;
}

StyleRequest Request(StyleTab tab, RunKind run = RunKind::Taxon) {
    StyleRequest r;
    r.tab = tab;
    r.run = run;
    r.separationYear = QStringLiteral("1990");
    return r;
}

TEST(ResolveStyle, TheSpecialTabComparesTheYearAsText) {
    const DotStyles styles = DistinctStyles();
    const int before = 10 + int(StyleSlot::Before);
    const int from = 10 + int(StyleSlot::From);
    for (const auto& [year, size] : {std::pair{"1989", before},
                                     {"1990", from},
                                     {"2001", from},
                                     {"990", from},
                                     {"", before},
                                     {"19900", from}}) {
        StyleRequest r = Request(StyleTab::Special);
        r.year = QString::fromUtf8(year);
        EXPECT_EQ(ResolveStyle(styles, r).size, size) << year;
    }
}

TEST(ResolveStyle, SlotsByTabAndRun) {
    const DotStyles styles = DistinctStyles();
    const ResolvedStyle sec3 = ResolveStyle(styles, Request(StyleTab::Secondary3));
    EXPECT_EQ(sec3.color, styles[StyleSlot::Secondary3].color);
    EXPECT_EQ(sec3.size, 13);
    EXPECT_EQ(sec3.shape, Shape::OpenSquare); // list position 3
    EXPECT_EQ(sec3.lineWidth, 3);
    // An all-locations run: colour and line width of "Alle locaties", shape and size of the
    // tab's slot.
    const ResolvedStyle all =
        ResolveStyle(styles, Request(StyleTab::Secondary3, RunKind::AllLocations));
    EXPECT_EQ(all.color, styles[StyleSlot::AllLocations].color);
    EXPECT_EQ(all.lineWidth, 8);
    EXPECT_EQ(all.size, 13);
    EXPECT_EQ(all.shape, Shape::OpenSquare);
    // A shape that names no list entry draws nothing.
    DotStyles none = styles;
    none[StyleSlot::Primary].shape = -1;
    EXPECT_EQ(ResolveStyle(none, Request(StyleTab::Primary)).shape, Shape::None);
}

TEST(ResolveStyle, SizesByAbundanceAfterTekenOpnieuw) {
    DotStyles styles;
    styles[StyleSlot::Abundance].size = QStringLiteral("16");
    AbundanceSizes sizes;
    sizes.Note(QStringLiteral("3"));
    sizes.Note(QStringLiteral("1"));
    sizes.Note(QStringLiteral("3"));
    sizes.Sort();
    ASSERT_EQ(sizes.Grid().RowCount(), 3);
    EXPECT_EQ(sizes.Grid().Row(0), (QStringList{"Abund.", "Stipmaat"}));
    EXPECT_EQ(sizes.Grid().Cell(0, 1), "1");
    sizes.Grid().SetCell(1, 1, QStringLiteral("5"));
    sizes.Grid().SetCell(1, 2, QStringLiteral("  "));

    auto size = [&](const char* abundance, bool redraw, StyleTab tab) {
        StyleRequest r = Request(tab);
        r.redraw = redraw;
        r.abundance = QString::fromUtf8(abundance);
        r.abundanceSizes = &sizes;
        return ResolveStyle(styles, r).size;
    };
    EXPECT_EQ(size("1", true, StyleTab::Abundance), 5);
    EXPECT_EQ(size("3", true, StyleTab::Abundance), 16);  // blank size
    EXPECT_EQ(size("7", true, StyleTab::Abundance), 16);  // no row
    EXPECT_EQ(size("1", false, StyleTab::Abundance), 16); // not a run of "Teken Opnieuw"
    EXPECT_EQ(size("1", true, StyleTab::Primary), 16);    // another tab
    sizes.Grid().SetCell(1, 1, QStringLiteral("vijf"));
    EXPECT_THROW(size("1", true, StyleTab::Abundance), core::Error);
    sizes.Clear();
    EXPECT_EQ(sizes.Grid().RowCount(), 1);
}

TEST(ResolveStyle, SizesAndLineWidthsMustBeWholeNumbersInRange) {
    for (const char* bad : {"", "abc", "1.5", "-1", "2001", "99999999999"}) {
        DotStyles styles;
        styles[StyleSlot::Primary].size = QString::fromUtf8(bad);
        try {
            ResolveStyle(styles, Request(StyleTab::Primary));
            ADD_FAILURE() << "size '" << bad << "' accepted";
        } catch (const core::Error& e) {
            EXPECT_TRUE(e.Reason().contains("stipgrootte")) << e.Reason().toStdString();
        }
        styles = DotStyles();
        styles[StyleSlot::Primary].lineWidth = QString::fromUtf8(bad);
        EXPECT_THROW(ResolveStyle(styles, Request(StyleTab::Primary)), core::Error) << bad;
    }
    DotStyles styles;
    styles[StyleSlot::Primary].size = QStringLiteral(" 0 ");
    styles[StyleSlot::Primary].lineWidth = QStringLiteral("15");
    EXPECT_EQ(ResolveStyle(styles, Request(StyleTab::Primary)).size, 0);
}

TEST(DotSettingsFile, RoundTripAndLayout) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stippen.dbd");
    DotSettingsFile file;
    file.mapName = QStringLiteral("Nederland_0_625_280_300_.png");
    file.styles = DistinctStyles();
    file.styles[StyleSlot::Secondary1].size = QStringLiteral("12x"); // kept as typed
    file.styles.fontName = QStringLiteral("Arial");
    file.styles.fontSize = QStringLiteral("14");
    SaveDotSettingsFile(path, file);

    const DotSettingsFile read = OpenDotSettingsFile(path);
    EXPECT_EQ(read.mapName, file.mapName);
    EXPECT_EQ(read.styles, file.styles);

    const QStringList lines =
        QString::fromUtf8(velmora::testing::ReadAll(path)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.mid(0, 7),
              (QStringList{"[Kaart]", "Kaart=Nederland_0_625_280_300_.png", "[Primair]",
                           "Kleur=$00010000", "Size=10", "Shape=0", "Lijnbreedte=0"}));
    QStringList sections;
    for (const QString& line : lines)
        if (line.startsWith('['))
            sections << line;
    EXPECT_EQ(sections, (QStringList{"[Kaart]", "[Primair]", "[Sec1]", "[Sec2]", "[Sec3]", "[Sec4]",
                                     "[Abund]", "[Speciaal Voor]", "[Speciaal Na]",
                                     "[Alle locaties]", "[Font]"}));
    EXPECT_TRUE(lines.contains("Style=Arial"));
}

TEST(DotSettingsFile, MissingAndUnreadableValuesTakeTheDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath("oud.dbd");
    velmora::testing::WriteAll(path, "[Primair]\r\nKleur=clBlue\r\nShape=12\r\n"
                                     "[Sec1]\r\nKleur=geen kleur\r\nShape=x\r\n"
                                     "[Sec3]\r\nShape=-1\r\nSize=\r\n");
    const DotSettingsFile read = OpenDotSettingsFile(path);
    EXPECT_EQ(read.mapName, "");
    EXPECT_EQ(read.styles[StyleSlot::Primary].color, core::TColor(0x00FF0000));
    EXPECT_EQ(read.styles[StyleSlot::Primary].shape, -1); // no such list entry
    EXPECT_EQ(read.styles[StyleSlot::Secondary1], DotStyle());
    EXPECT_EQ(read.styles[StyleSlot::Secondary2], DotStyle()); // the section is missing
    EXPECT_EQ(read.styles[StyleSlot::Secondary3].shape, -1);
    EXPECT_EQ(read.styles[StyleSlot::Secondary3].size, ""); // present but empty
    EXPECT_EQ(read.styles.fontName, "Verdana");
    EXPECT_EQ(LegendFontSize(read.styles), 9);
    const DotStyle defaults;
    EXPECT_EQ(defaults.color, core::TColor(0x000000FF));
    EXPECT_EQ(defaults.size, "16");
    EXPECT_EQ(defaults.shape, 0);
    EXPECT_EQ(defaults.lineWidth, "1");

    // A file that does not exist gives every default.
    EXPECT_EQ(OpenDotSettingsFile(dir.filePath("geen.dbd")).styles, DotStyles());

    EXPECT_EQ(WithDefaultDotExtension("/x/stippen"), "/x/stippen.dbd");
    EXPECT_EQ(WithDefaultDotExtension("/x/stippen.ini"), "/x/stippen.ini");
    EXPECT_EQ(WithDefaultDotExtension("/x/stippen.dbd"), "/x/stippen.dbd");
}

TEST(DatabaseDotStyles, StylesAreKeptWithTheDatabase) {
    velmora::testing::ProgramFolder folder;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    DatabaseDotStyles kept(store);
    store.CreateDatabase(QStringLiteral("Ven"));
    ASSERT_TRUE(store.OpenDatabase(QStringLiteral("Ven")));
    EXPECT_EQ(kept.styles, DotStyles()); // a database without stored styles

    kept.styles = DistinctStyles();
    store.CloseDatabase();
    const core::IniFile ini = core::IniFile::Load(folder.Data("Ven.ini"));
    EXPECT_EQ(ini.Value("Sec2", "Size"), "12");
    EXPECT_EQ(ini.Value("Coordinates", "System"), "km-based"); // the store's own keys stay

    kept.styles = DotStyles();
    ASSERT_TRUE(store.OpenDatabase(QStringLiteral("Ven")));
    EXPECT_EQ(kept.styles, DistinctStyles());
    store.CloseDatabase();
}

} // namespace
