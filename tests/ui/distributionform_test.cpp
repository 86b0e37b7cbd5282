// The dot-map window's map part driven with clicks and drags: the database's map shown with its
// calibration state, fitted to the window and back, panned with the right button within the
// panel, another map opened, the drawn map saved, and the window's place kept.

#include "common/modalwindow.h"
#include "common/programfolder.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "session/session.h"
#include "ui/dotstylepanel.h"
#include "ui/mappanels.h"
#include "ui/messages.h"
#include "ui/tdistributionform.h"
#include "ui/tmainform.h"
#include "ui/tzoomform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct DistributionWindow : ::testing::Test {
    velmora::testing::ProgramFolder folder;
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();

    void SetUp() override {
        QDir(folder.path()).mkdir("Maps");
        QImage map(1200, 900, QImage::Format_RGB32);
        map.fill(Qt::white);
        map.setPixel(0, 0, qRgb(0, 0, 255));
        ASSERT_TRUE(map.save(folder.filePath("Maps/Proef_0_90_120_0_.png")));
        map.fill(Qt::green);
        ASSERT_TRUE(map.save(folder.filePath("Maps/Zonder.png")));
        store.SetCoordinateSystem(core::kKmBased);
        store.SetMapName("Proef_0_90_120_0_.png");
    }

    static void Click(QWidget& form, const char* name) {
        auto* button = form.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static void RightDrag(QWidget* panel, QPoint from, QPoint to) {
        QMouseEvent press(QEvent::MouseButtonPress, from, panel->mapToGlobal(from), Qt::RightButton,
                          Qt::RightButton, {});
        QApplication::sendEvent(panel, &press);
        QMouseEvent move(QEvent::MouseMove, to, panel->mapToGlobal(to), Qt::NoButton,
                         Qt::RightButton, {});
        QApplication::sendEvent(panel, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, panel->mapToGlobal(to), Qt::RightButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(panel, &release);
    }
};

TEST_F(DistributionWindow, TheDatabasesMapIsShownFittedAndPannedWithinThePanel) {
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle(), "Proef_0_90_120_0_.png");
    EXPECT_EQ(form.findChild<QLabel*>("CalLabel")->text(), "Gekalibreerd");
    ui::MapPanel* panel = form.Panel();
    EXPECT_EQ(panel->Picture().size(), QSize(1200, 900));

    // Right-drag to the left and up: the image follows, never leaving a gap in the panel.
    RightDrag(panel, {300, 300}, {250, 260});
    EXPECT_EQ(panel->ImagePosition(), QPoint(-50, -40));
    RightDrag(panel, {10, 10}, {400, 400});
    EXPECT_EQ(panel->ImagePosition(), QPoint(0, 0));
    RightDrag(panel, {400, 400}, {-5000, -5000});
    EXPECT_EQ(panel->ImagePosition(), QPoint(panel->width() - 1200, panel->height() - 900));
    // The left button does not pan.
    const QPoint before = panel->ImagePosition();
    QTest::mousePress(panel, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(panel, {150, 150});
    QTest::mouseRelease(panel, Qt::LeftButton, {}, {150, 150});
    EXPECT_EQ(panel->ImagePosition(), before);

    Click(form, "FitToWindow");
    const QSize fitted = panel->Picture().size();
    EXPECT_TRUE(fitted.width() == panel->width() || fitted.height() == panel->height())
        << fitted.width() << "x" << fitted.height();
    EXPECT_LE(fitted.width(), panel->width());
    EXPECT_LE(fitted.height(), panel->height());
    EXPECT_EQ(panel->ImagePosition(), QPoint(0, 0));
    Click(form, "FitToWindow");
    EXPECT_EQ(panel->Picture().size(), QSize(1200, 900));

    // Escape closes the window and keeps its place and the map's.
    RightDrag(panel, {300, 300}, {280, 290});
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(core::CurrentSettings().distMapLeft, -20);
    EXPECT_EQ(core::CurrentSettings().distMapTop, -10);
    EXPECT_EQ(core::CurrentSettings().distWidth, form.width());
}

TEST_F(DistributionWindow, AMapWithoutCalibrationSaysSoAndTheDrawnMapIsSaved) {
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.show();
    prompts.texts = {folder.filePath("Maps/Zonder.png")};
    Click(form, "OpenKaart");
    EXPECT_EQ(form.findChild<QLabel*>("CalLabel")->text(), "Niet gekalibreerd");
    EXPECT_EQ(form.Panel()->Picture().pixel(0, 0), qRgb(0, 255, 0));
    // The map name stays that of the last calibrated map.
    EXPECT_EQ(store.MapName(), "Proef_0_90_120_0_.png");

    // The tab "Bewaar", with the three plots asked for as well.
    auto* tabs = form.findChild<QTabWidget*>("Tabs");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    for (const char* box : {"SavePhEc", "SavePhenology", "SaveBoxplot"})
        QTest::mouseClick(form.findChild<QCheckBox*>(box), Qt::LeftButton, {}, QPoint(8, 8));
    const QString chosen = folder.filePath("Monsters.png");
    prompts.texts = {chosen};
    Click(form, "SavePNG");
    QImage saved(folder.filePath("Monsters - kaart.png"));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(1200, 900));
    EXPECT_FALSE(QImage(folder.filePath("Monsters - pH and EC.png")).isNull());
    EXPECT_FALSE(QImage(folder.filePath("Monsters - Phenology.png")).isNull());
    EXPECT_FALSE(QImage(folder.filePath("Monsters - pH-EGV Boxplot.png")).isNull());
    EXPECT_EQ(core::CurrentSettings().lastUsedMapDir, QDir(folder.path()).absolutePath() + "/");

    // Cancelled: nothing written.
    prompts.texts = {QString()};
    Click(form, "SaveJPG");
    EXPECT_FALSE(QFile::exists(folder.filePath("Monsters - kaart.jpg")));
}

TEST_F(DistributionWindow, TwoPointsCalibrateTheMapWithMouseAndKeys) {
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 800); // room beside the controls for both points
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ui::MapPanel* panel = form.Panel();
    ASSERT_GT(panel->width(), 420);
    ASSERT_GT(panel->height(), 320);
    auto edit = [&](const char* name) { return form.findChild<QLineEdit*>(name); };

    Click(form, "Calibreren");
    EXPECT_EQ(form.CalibrationStep(), 1);
    ASSERT_NE(form.Magnifier(), nullptr);
    EXPECT_TRUE(form.findChild<QWidget*>("CalibrationGroup")->isVisible());
    EXPECT_FALSE(edit("CX1")->isVisible());

    // The first point with the mouse: Alt + click.
    QTest::mouseClick(panel, Qt::LeftButton, Qt::AltModifier, {100, 100});
    ASSERT_TRUE(edit("CX1")->isVisible());
    QTest::keyClicks(edit("CX1"), "150");
    QTest::keyClicks(edit("CY1"), "450");
    Click(form, "OK2");
    EXPECT_EQ(form.CalibrationStep(), 2);

    // The magnifier shows the map around the pointer with the red cross.
    const QImage enlarged = form.Magnifier()->Enlarged({300, 300});
    EXPECT_EQ(enlarged.size(), QSize(120, 120));
    EXPECT_EQ(enlarged.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(QColor(enlarged.pixel(2, 60)).red(), 255);
    EXPECT_EQ(QColor(enlarged.pixel(2, 60)).green(), 0);

    // On the fitted map the magnifier still shows the full-size pixels: the single blue pixel
    // in the corner, which the fitted view smooths away.
    Click(form, "FitToWindow");
    EXPECT_EQ(form.Magnifier()->Enlarged({0, 0}).pixel(0, 0), qRgb(0, 0, 255));
    Click(form, "FitToWindow");

    // The second point with the keys: the pointer moved with Alt + arrows, Alt + Enter.
    QCursor::setPos(panel->mapToGlobal(QPoint(400, 300)));
    if (panel->mapFromGlobal(QCursor::pos()) == QPoint(400, 300)) {
        QTest::keyClick(&form, Qt::Key_Right, Qt::AltModifier);
        QTest::keyClick(&form, Qt::Key_Down, Qt::AltModifier);
        EXPECT_EQ(panel->mapFromGlobal(QCursor::pos()), QPoint(401, 301));
        QTest::keyClick(&form, Qt::Key_Return, Qt::AltModifier);
    } else {
        QTest::mouseClick(panel, Qt::LeftButton, Qt::AltModifier, {401, 301});
    }
    ASSERT_TRUE(edit("CX2")->isVisible());
    QTest::keyClicks(edit("CX2"), "180");
    QTest::keyClicks(edit("CY2"), "430");
    prompts.texts = {QString("Drenthe")};
    prompts.answers = {core::Answer::Yes};
    Click(form, "OK");

    // 0.1 km per pixel: the edges 140, 460.1, 260, 370.1 of the 1200 x 900 picture.
    const QString name = "Drenthe_140.000_460.100_260.000_370.100_.png";
    EXPECT_TRUE(QFile::exists(folder.filePath("Maps/" + name)))
        << prompts.shown.join('\n').toStdString();
    EXPECT_EQ(store.MapName(), name);
    EXPECT_EQ(form.windowTitle(), name);
    EXPECT_EQ(form.findChild<QLabel*>("CalLabel")->text(), "Gekalibreerd");
    EXPECT_EQ(form.Magnifier(), nullptr);
    EXPECT_EQ(form.CalibrationStep(), 0);
    EXPECT_FALSE(form.findChild<QWidget*>("CalibrationGroup")->isVisible());
}

TEST_F(DistributionWindow, AnUnreadableFirstPointCancelsTheCalibration) {
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.show();
    Click(form, "Calibreren");
    QTest::mouseClick(form.Panel(), Qt::LeftButton, Qt::AltModifier, {50, 50});
    QTest::keyClicks(form.findChild<QLineEdit*>("CX1"), "abc");
    Click(form, "OK2");
    EXPECT_EQ(prompts.shown.value(0), "Fout in waarde X1 of Y1");
    EXPECT_EQ(form.CalibrationStep(), 0);
    EXPECT_EQ(form.Magnifier(), nullptr);
    EXPECT_FALSE(form.findChild<QWidget*>("CalibrationGroup")->isVisible());
    // "Annuleer" ends a calibration too.
    Click(form, "Calibreren");
    Click(form, "Annuleer");
    EXPECT_EQ(form.Magnifier(), nullptr);
    EXPECT_EQ(QDir(folder.filePath("Maps")).entryList(QDir::Files).size(), 2);
}

// The style controls over an open database: the run of all locations, restyled by the lists,
// the colour dialog and the placement buttons, and the styles kept in dot settings files and
// with the database.
struct DotStyleControls : DistributionWindow {
    void SetUp() override {
        DistributionWindow::SetUp();
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        store.SetMapName("Proef_0_90_120_0_.png");
    }
    // 10 pixels per km: (20, 30) is the pixel (200, 599), (60.7, 45.2) the pixel (607, 448).
    void AddTwoLocations() {
        store.Locations().AppendRecord({1, "Plas", "05", "06", "1989", "", "", "20", "30"});
        store.Locations().AppendRecord({2, "Ven", "07", "08", "2001", "", "", "60.7", "45.2"});
    }
    void TearDown() override { store.CloseDatabase(); }

    QRgb Pixel(ui::TDistributionForm& form, int x, int y) {
        return form.Map().WorkingImage().pixel(x, y) & 0xFFFFFF;
    }
    template <class W> static W* Child(QWidget& form, const char* name) {
        auto* widget = form.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Types into an editable list and presses Enter.
    static void TypeInList(QWidget& form, const char* name, const char* text) {
        auto* list = Child<QComboBox>(form, name);
        list->setFocus();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), text);
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    }
};

TEST_F(DotStyleControls, AllLocationsAreDrawnAndRestyledByTheControls) {
    AddTwoLocations();
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 900);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* pages = Child<QTabWidget>(form, "PC");
    EXPECT_EQ(pages->currentIndex(), 0);

    // The user walks the style tabs with the keys; the tab "Alle Locaties" draws every
    // location in its style (red, 16, "Cirkel gevuld", 1).
    pages->tabBar()->setFocus();
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    ASSERT_EQ(pages->currentIndex(), 7);
    EXPECT_EQ(form.Title(), "Alle locaties");
    EXPECT_EQ(form.StylePanel()->LayerLabel(maps::StyleTab::AllLocations), "Test_Alle locaties");
    EXPECT_EQ(form.findChild<QLabel*>("SaveNameLabel")->text(), "Test_Alle locaties");
    EXPECT_EQ(Pixel(form, 200, 599), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 607, 448), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 597, 448), 0xFFFFFFu);

    // A typed size redraws when Enter is pressed.
    TypeInList(form, "StipgrootteAlleLocaties", "30");
    EXPECT_EQ(Pixel(form, 597, 448), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 591, 448), 0xFFFFFFu);

    // "km-hok" moves the dot to the centre of its km-square, (60.5, 45.5): (605, 445).
    QTest::mouseClick(Child<QRadioButton>(form, "KmHok"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(Pixel(form, 591, 445), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 620, 448), 0xFFFFFFu);

    // The next shape with the keys: "Cirkel open" leaves the centre empty.
    auto* shape = Child<QComboBox>(form, "VormAlleLocaties");
    shape->setFocus();
    QTest::keyClick(shape, Qt::Key_Down);
    EXPECT_EQ(shape->currentIndex(), 1);
    EXPECT_EQ(Pixel(form, 605, 445), 0xFFFFFFu);

    // "Kleur ": the colour chosen in the dialog; a cancelled dialog redraws all the same.
    prompts.colors = {core::TColor(0x00FF0000)};
    Click(form, "KleurAlleLocaties");
    int blue = 0, red = 0;
    for (int x = 580; x < 630; ++x) {
        blue += Pixel(form, x, 445) == 0x0000FFu;
        red += Pixel(form, x, 445) == 0xFF0000u;
    }
    EXPECT_GT(blue, 0);
    EXPECT_EQ(red, 0);
    prompts.colors = {std::nullopt};
    Click(form, "KleurAlleLocaties");
    EXPECT_TRUE(prompts.colors.empty());

    // A size that is no number: the message; the map shows no dots.
    prompts.shown.clear();
    TypeInList(form, "StipgrootteAlleLocaties", "groot");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("groot"));
    TypeInList(form, "StipgrootteAlleLocaties", "30");

    // Escape closes the window; the styles are kept with the database.
    QTest::keyClick(&form, Qt::Key_Escape);
    const maps::DotStyle kept = form.DatabaseStyles()[maps::StyleSlot::AllLocations];
    EXPECT_EQ(kept.size, "30");
    EXPECT_EQ(kept.shape, 1);
    EXPECT_EQ(kept.color, core::TColor(0x00FF0000));
    store.WriteDatabaseSettings();
    QFile ini(core::DatabaseStore::DatabaseFile("Test", ".ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[Alle locaties]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Size=30")) << text.toStdString();
}

TEST_F(DotStyleControls, DotSettingsFilesKeepTheStylesAndTheMap) {
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.show();
    TypeInList(form, "StipgroottePrimair", "7");
    prompts.texts = {folder.filePath("stijl")};
    Click(form, "SaveDotSettings");
    QFile saved(folder.filePath("stijl.dbd"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(text.startsWith("[Kaart]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Kaart=Proef_0_90_120_0_.png"));
    EXPECT_TRUE(text.contains("[Primair]"));

    // A file naming another map and only some sections: the map is opened, the missing
    // sections take the defaults.
    QFile other(folder.filePath("ander.dbd"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[Kaart]\r\nKaart=Zonder.png\r\n[Sec1]\r\nSize=9\r\nShape=8\r\n");
    other.close();
    prompts.texts = {other.fileName()};
    Click(form, "OpenDotSettings");
    EXPECT_EQ(store.MapName(), "Proef_0_90_120_0_.png"); // the picture has no calibration
    EXPECT_EQ(form.findChild<QLabel*>("CalLabel")->text(), "Niet gekalibreerd");
    EXPECT_EQ(Child<QComboBox>(form, "StipgrootteSec1")->currentText(), "9");
    EXPECT_EQ(Child<QComboBox>(form, "VormSec1")->currentText(), "Plus");
    EXPECT_EQ(Child<QComboBox>(form, "StipgroottePrimair")->currentText(), "16");
    EXPECT_EQ(Child<QComboBox>(form, "VormSec2")->currentText(), "Cirkel gevuld");

    // A picture chosen by mistake: refused, the styles stay.
    prompts.texts = {folder.filePath("Maps/Zonder.png")};
    prompts.shown.clear();
    Click(form, "OpenDotSettings");
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_TRUE(prompts.shown.last().contains("Zonder.png")) << prompts.shown.last().toStdString();
    EXPECT_EQ(Child<QComboBox>(form, "StipgrootteSec1")->currentText(), "9");

    // Back to the saved file: its map and styles again.
    prompts.texts = {saved.fileName()};
    Click(form, "OpenDotSettings");
    EXPECT_EQ(form.findChild<QLabel*>("CalLabel")->text(), "Gekalibreerd");
    EXPECT_EQ(Child<QComboBox>(form, "StipgroottePrimair")->currentText(), "7");
}

TEST_F(DotStyleControls, ShowingTheWindowPreparesTheControlsForTheDatabase) {
    core::CurrentSettings().separatieJaar = "1990";
    ui::TDistributionForm form(session);
    form.DatabaseStyles()[maps::StyleSlot::Secondary3].shape = -1;
    for (const QString& system : {core::kLatLon, core::kKmBased}) {
        store.SetCoordinateSystem(system);
        form.ShowForm();
        form.show();
        const bool latLon = system == core::kLatLon;
        EXPECT_EQ(Child<QRadioButton>(form, "KmHok")->text(), latLon ? "per hok" : "km-hok");
        EXPECT_EQ(Child<QRadioButton>(form, "UurHok")->isVisible(), !latLon);
        EXPECT_EQ(Child<QComboBox>(form, "Uurhoklijnbreedte")->isVisible(), !latLon);
        EXPECT_EQ(Child<QLineEdit>(form, "SeparatieJaar")->text(), "1990");
        EXPECT_EQ(Child<QComboBox>(form, "VormSec3")->currentText(), "Cirkel gevuld");
        EXPECT_EQ(Child<QComboBox>(form, "Uurhoklijnbreedte")->currentText(), "1");
        TypeInList(form, "Uurhoklijnbreedte", "4");
        form.hide();
    }
}

// A taxon drawn on the tab "Abund." lists its abundances; the sizes typed into the grid are
// used by "Teken Opnieuw".
TEST_F(DotStyleControls, SizesTypedPerAbundanceAreUsedByTekenOpnieuw) {
    AddTwoLocations();
    store.Samples().AppendRecord({1, "", "", "", "Cosmarium botrytis", "3"});
    store.Samples().AppendRecord({2, "", "", "", "Cosmarium botrytis", "1"});
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 900);
    form.show();
    auto* pages = Child<QTabWidget>(form, "PC");
    pages->tabBar()->setFocus();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    ASSERT_EQ(form.StylePanel()->Tab(), maps::StyleTab::Abundance);
    // The user clicks the taxon in the list.
    auto* names = Child<QListWidget>(form, "Names");
    const QList<QListWidgetItem*> found = names->findItems("Cosmarium botrytis", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                      names->visualItemRect(found[0]).center());
    EXPECT_EQ(form.Title(), "Cosmarium botrytis");
    EXPECT_EQ(form.StylePanel()->LayerLabel(maps::StyleTab::Abundance), "Cosmarium botrytis");
    auto* grid = Child<QTableWidget>(form, "AbundGrid");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), "1");
    EXPECT_EQ(grid->item(1, 0)->text(), "3");
    EXPECT_EQ(Pixel(form, 601, 448), 0xFF0000u); // size 16

    // Abundance 1 gets size 5: typed into its cell, Enter, then "Teken Opnieuw".
    grid->setFocus();
    grid->setCurrentCell(0, 1);
    QTest::keyClicks(grid, "5");
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "typing opens the cell's editor";
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits the edit after the key
    EXPECT_EQ(grid->item(0, 1)->text(), "5");
    Click(form, "TekenOpnieuw");
    EXPECT_EQ(Pixel(form, 601, 448), 0xFFFFFFu);
    EXPECT_EQ(Pixel(form, 607, 448), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 194, 599), 0xFF0000u); // abundance 3 keeps the slot's size
    EXPECT_EQ(grid->rowCount(), 2) << "a redraw keeps the table";
}

// Taxa clicked in the list: the first on "Primair", a second on "Sec2" over it; the run tables
// collect every location once; the period is read before a run; "Wis Kaart" and "Edit Record".
TEST_F(DotStyleControls, TaxonRunsDrawLayersAndFillThePanels) {
    const QVariantList fields[] = {{1, "Plas", "05", "06", "1989", "", "", "20", "30", "", "A. Bee",
                                    "", "", "6,58", "75", "", "M8"},
                                   {2, "Ven", "07", "08", "2001", "", "", "60.7", "45.2", "",
                                    "C. Dee", "", "", "7", "5", "", "H3160"},
                                   {3, "Gracht", "09", "04", "1995", "", "", "90", "60"}};
    for (const QVariantList& location : fields)
        store.Locations().AppendRecord(location);
    store.Samples().AppendRecord({1, "", "", "", "Cosmarium botrytis", "1"});
    store.Samples().AppendRecord({2, "", "", "", "Cosmarium botrytis", "2"});
    store.Samples().AppendRecord({3, "", "", "", "Closterium lunula", "1"});
    store.Samples().AppendRecord({1, "", "", "", "Closterium lunula", "3"});
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 900);
    form.show();
    auto* names = Child<QListWidget>(form, "Names");
    EXPECT_EQ(names->count(), 2);
    auto clickTaxon = [&](const char* name) {
        const QList<QListWidgetItem*> found = names->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                          names->visualItemRect(found[0]).center());
    };

    clickTaxon("Cosmarium botrytis");
    EXPECT_EQ(form.Title(), "Cosmarium botrytis");
    EXPECT_EQ(form.windowTitle(), "Cosmarium botrytis");
    EXPECT_EQ(Pixel(form, 200, 599), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 607, 448), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 900, 300), 0xFFFFFFu);

    // "Sec2" in blue: the second taxon is drawn over the first.
    auto* pages = Child<QTabWidget>(form, "PC");
    pages->tabBar()->setFocus();
    QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    prompts.colors = {core::TColor(0x00FF0000)};
    Click(form, "KleurSec2");
    clickTaxon("Closterium lunula");
    EXPECT_EQ(Pixel(form, 900, 300), 0x0000FFu);
    EXPECT_EQ(Pixel(form, 200, 599), 0x0000FFu);
    EXPECT_EQ(Pixel(form, 607, 448), 0xFF0000u);
    EXPECT_EQ(form.Title(), "Closterium lunula");
    EXPECT_EQ(form.StylePanel()->LayerLabel(maps::StyleTab::Primary), "Cosmarium botrytis");
    EXPECT_EQ(form.StylePanel()->LayerLabel(maps::StyleTab::Secondary2), "Closterium lunula");
    EXPECT_EQ(form.findChild<QLabel*>("SaveNameLabel")->text(), "Test_Closterium lunula");

    // The excursion panel: three locations, each once, by date; a header click sorts them.
    Click(form, "TabellenKnop");
    auto* grid = Child<QTableView>(form, "DataGrid");
    ASSERT_TRUE(grid->isVisible());
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Plas");
    EXPECT_EQ(Child<QLabel>(form, "Meldingen")->text(), "Totaal aantal meldingen: 3");
    QHeaderView* header = grid->horizontalHeader();
    const QPoint locationHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, locationHeader);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Ven");
    EXPECT_TRUE(Child<QPushButton>(form, "opLocatie")->isChecked());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, locationHeader);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Gracht");
    // A row shows its location and samples.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(2, 1)).center());
    EXPECT_EQ(Child<QLineEdit>(form, "LocatieEdit")->text(), "Ven");
    EXPECT_EQ(Child<QLineEdit>(form, "AantalEdit")->text(), "1");

    // The environment panel: pH classes and biotopes of the first layer's locations too.
    Click(form, "MilieuKnop");
    EXPECT_EQ(form.Tables().PhTable().RowCount(), 3);
    EXPECT_EQ(form.Tables().BiotopeTable().RowCount(), 3);

    // A period that is no number: the message, the box unchecked, nothing run.
    Click(form, "KaartKnop");
    QTest::mouseClick(Child<QCheckBox>(form, "Periode"), Qt::LeftButton, {}, QPoint(8, 8));
    auto* begin = Child<QLineEdit>(form, "BeginJaar");
    begin->setText("199x");
    prompts.shown.clear();
    clickTaxon("Cosmarium botrytis");
    EXPECT_EQ(prompts.shown, QStringList{"Beginjaar en Eindjaar moeten een getal zijn"});
    EXPECT_FALSE(Child<QCheckBox>(form, "Periode")->isChecked());
    EXPECT_EQ(form.Title(), "Closterium lunula");
    // The next click runs normally, here with the period 1990-2000 on "Sec2".
    begin->setText("1990");
    Child<QLineEdit>(form, "EindJaar")->setText("2000");
    Child<QCheckBox>(form, "Periode")->setChecked(true);
    clickTaxon("Closterium lunula");
    EXPECT_EQ(form.Title(), "Closterium lunula");

    // "Wis Kaart": the plain map, no title or labels.
    Click(form, "WisKaart");
    EXPECT_TRUE(form.Map().WorkingImage() == form.Map().PlainMap());
    EXPECT_EQ(form.Title(), "");
    EXPECT_EQ(form.StylePanel()->LayerLabel(maps::StyleTab::Primary), "");
    EXPECT_EQ(form.StylePanel()->Tab(), maps::StyleTab::Secondary2);

    // "Edit Record" hands the shown location to the main window and closes the window.
    Child<QCheckBox>(form, "Periode")->setChecked(false);
    clickTaxon("Cosmarium botrytis");
    Click(form, "TabellenKnop");
    ASSERT_NE(form.Excursion()->ShownId(), 0);
    const int shown = form.Excursion()->ShownId();
    Click(form, "EditRecord");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.EditLocationId(), shown);
}

// The legend: made from the labels of the drawn layers, placed with a click, taken off with
// "Verwijder tekst".
TEST_F(DotStyleControls, ALegendOfTheLayersIsPlacedAndTakenOff) {
    AddTwoLocations();
    store.Samples().AppendRecord({1, "", "", "", "Cosmarium botrytis", "1"});
    store.Samples().AppendRecord({2, "", "", "", "Closterium lunula var. minor", "1"});
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 900);
    form.show();
    auto* names = Child<QListWidget>(form, "Names");
    auto clickTaxon = [&](const char* name) {
        const QList<QListWidgetItem*> found = names->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                          names->visualItemRect(found[0]).center());
    };
    clickTaxon("Cosmarium botrytis");
    auto* pages = Child<QTabWidget>(form, "PC");
    pages->tabBar()->setFocus();
    QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    clickTaxon("Closterium lunula var. minor");
    const QImage drawn = form.Map().WorkingImage().copy();

    auto* tabs = Child<QTabWidget>(form, "Tabs");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
    Click(form, "MaakLegenda");
    auto* grid = Child<QTableWidget>(form, "LegendGrid");
    EXPECT_EQ(grid->item(0, 0)->text(), "Prim");
    EXPECT_EQ(grid->item(0, 1)->text(), "Cosmarium botrytis");
    EXPECT_EQ(grid->item(1, 0)->text(), "Sec1");
    EXPECT_EQ(grid->item(1, 1)->text(), "Closterium lunula var. minor");
    EXPECT_EQ(grid->item(2, 1)->text(), "");

    QTest::mouseClick(Child<QRadioButton>(form, "LinksOnder"), Qt::LeftButton, {}, QPoint(8, 8));
    Click(form, "PlaceLegend");
    const QImage& withLegend = form.Map().WorkingImage();
    EXPECT_NE(withLegend, drawn);
    // The legend lies in the lower left corner.
    int dark = 0;
    for (int y = 700; y < 900; ++y)
        for (int x = 0; x < 400; ++x)
            dark += qGray(withLegend.pixel(x, y)) < 100;
    EXPECT_GT(dark, 0);
    EXPECT_EQ(form.StylePanel()->Tab(), maps::StyleTab::Secondary1);

    Click(form, "UndoText");
    EXPECT_EQ(form.Map().WorkingImage(), drawn);
}

// After a taxon run the frequency lines give its squares against the database's, and the
// run's locations go to a KML file that is handed to the viewer.
TEST_F(DotStyleControls, FrequencyLinesAndTheKmlFileOfARun) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Frequentieklassen.dbf",
                            folder.filePath("Lib/Frequentieklassen.dbf")));
    AddTwoLocations();
    store.Samples().AppendRecord(
        {1, "1989-06-05", "020-030", "020-030", "Cosmarium botrytis", "1"});
    store.Samples().AppendRecord({2, "2001-08-07", "060-045", "060-045", "Closterium lunula", "1"});
    store.Samples().AppendRecord(
        {2, "2001-08-07", "061-045", "060-045", "Closterium acerosum", "1"});
    store.MarkSamplesChanged();
    ui::TDistributionForm form(session);
    QStringList opened;
    form.SetDocumentOpener([&](const QString& path) { opened << path; });
    form.ShowForm();
    form.show();
    auto* names = Child<QListWidget>(form, "Names");
    const QList<QListWidgetItem*> found = names->findItems("Cosmarium botrytis", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                      names->visualItemRect(found[0]).center());
    // One hour-square of two, one km-square of three.
    const QString uf = form.Environment()->UFText();
    const QString kf = form.Environment()->KFText();
    EXPECT_TRUE(uf.startsWith("UF: 1 (50%)  UFK: ")) << uf.toStdString();
    EXPECT_TRUE(kf.startsWith("KF: 1 (33%)  KFK: ")) << kf.toStdString();
    EXPECT_EQ(form.Environment()->SquareCountText(), "2 uurhokken;  3 kilometerhokken");
    EXPECT_EQ(form.MemoText(), uf + "\n" + kf);

    Click(form, "ToonInGoogleEarth");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("KML/Cosmarium botrytis.KML")) << opened[0].toStdString();
    QFile kml(opened[0]);
    ASSERT_TRUE(kml.open(QIODevice::ReadOnly));
    EXPECT_EQ(kml.readAll().count("<Placemark>"), 1);
}

// A filter typed into its grid restricts the run; a wrong field is refused before the run; the
// filter is saved to and opened from the folder "Filters".
TEST_F(DotStyleControls, AFilterTypedIntoTheGridRestrictsTheRun) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_SOURCE_DIR "/data/Lib/FieldNames.csv"),
                            folder.filePath("Lib/FieldNames.csv")));
    session.LoadReferenceLists();
    store.Locations().AppendRecord(
        {1, "Plas", "05", "06", "1989", "", "", "20", "30", "", "", "", "", "6,8"});
    store.Locations().AppendRecord({2, "Ven", "07", "08", "2001", "", "", "60.7", "45.2"});
    store.Samples().AppendRecord({1, "", "", "", "Cosmarium botrytis", "1"});
    store.Samples().AppendRecord({2, "", "", "", "Cosmarium botrytis", "1"});
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 900);
    form.show();
    auto* grid = Child<QTableWidget>(form, "FilterGrid");
    auto typeCell = [&](int row, int column, const QString& text) {
        grid->setFocus();
        grid->setCurrentCell(row, column);
        QTest::keyClick(grid, text[0].toLatin1());
        const QList<QLineEdit*> editors = grid->viewport()->findChildren<QLineEdit*>();
        ASSERT_FALSE(editors.isEmpty());
        QLineEdit* editor = editors.last();
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    };
    typeCell(0, 0, "ph");
    typeCell(0, 1, ">=");
    typeCell(0, 2, "6,5");
    EXPECT_EQ(form.FilterGridData().Cell(2, 1), "6,5");
    QTest::mouseClick(Child<QCheckBox>(form, "FilterCheck"), Qt::LeftButton, {}, QPoint(8, 8));
    auto* names = Child<QListWidget>(form, "Names");
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                      names->visualItemRect(names->item(0)).center());
    // pH 6,8 passes; an empty pH reads as 0 and fails.
    EXPECT_EQ(Pixel(form, 200, 599), 0xFF0000u);
    EXPECT_EQ(Pixel(form, 607, 448), 0xFFFFFFu);

    // Saved in "Filters" and opened again.
    prompts.texts = {folder.filePath("Filters/ph")};
    Click(form, "SaveFilter");
    EXPECT_EQ(Child<QGroupBox>(form, "FilterGroup")->title(), "ph.tsv");
    QFile saved(folder.filePath("Filters/ph.tsv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "ph.tsv\r\n2\r\nVeld\tOp.\tValue\t\r\nph\t>=\t6,5\t\r\n");

    // An unknown field: the messages, the box unchecked, no run.
    typeCell(0, 0, "phx");
    EXPECT_FALSE(Child<QCheckBox>(form, "FilterCheck")->isChecked());
    prompts.shown.clear();
    QTest::mouseClick(Child<QCheckBox>(form, "FilterCheck"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(prompts.shown, (QStringList{"Regel 1:  Onbekend LocationDatabase-Field 'phx'",
                                          "Herstel eerst de fouten in het filter"}));
    EXPECT_FALSE(Child<QCheckBox>(form, "FilterCheck")->isChecked());

    prompts.texts = {saved.fileName()};
    Click(form, "OpenFilter");
    EXPECT_EQ(form.FilterGridData().Cell(0, 1), "ph");
    EXPECT_EQ(Child<QGroupBox>(form, "FilterGroup")->title(), "ph");
    Click(form, "ClearFilter");
    EXPECT_EQ(form.FilterGridData().RowCount(), 2);
    EXPECT_EQ(form.FilterGridData().Cell(0, 1), "");
}

// The remaining buttons, pressed as a user does: "+ Filter" and "- Filter", "Plaats Freq. en
// Klasse", the two species-list saves, "Toon alle Locaties" and a sort button.
TEST_F(DotStyleControls, TheOtherButtonsOfTheWindowWork) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Frequentieklassen.dbf",
                            folder.filePath("Lib/Frequentieklassen.dbf")));
    AddTwoLocations();
    store.Samples().AppendRecord(
        {1, "1989-06-05", "020-030", "020-030", "Cosmarium botrytis", "1"});
    store.Samples().AppendRecord({2, "2001-08-07", "060-045", "060-045", "Closterium lunula", "1"});
    store.MarkSamplesChanged();
    ui::TDistributionForm form(session);
    form.ShowForm();
    form.resize(1300, 900);
    form.show();
    auto* filter = Child<QTableWidget>(form, "FilterGrid");
    Click(form, "AddFilter");
    EXPECT_EQ(filter->rowCount(), 2);
    Click(form, "DeleteFilter");
    EXPECT_EQ(filter->rowCount(), 1);

    auto* names = Child<QListWidget>(form, "Names");
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                      names->visualItemRect(names->item(1)).center());
    ASSERT_EQ(form.Title(), "Cosmarium botrytis");
    const QImage drawn = form.Map().WorkingImage().copy();
    auto* tabs = Child<QTabWidget>(form, "Tabs");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
    Click(form, "UFKFButton");
    EXPECT_NE(form.Map().WorkingImage(), drawn);
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());

    for (const char* button : {"BewaarSoortenlijst", "BewaarSoortenlijstauteur"}) {
        const QString path = folder.filePath(QString(button) + ".txt");
        prompts.texts = {path};
        Click(form, button);
        QFile list(path);
        ASSERT_TRUE(list.open(QIODevice::ReadOnly)) << button;
        EXPECT_EQ(list.readAll(), "Closterium lunula\r\nCosmarium botrytis\r\n") << button;
    }

    auto* pages = Child<QTabWidget>(form, "PC");
    pages->tabBar()->setFocus();
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    form.Map().ResetWorkingImage();
    Click(form, "AllLocationsbtn");
    EXPECT_EQ(form.Title(), "Alle locaties");
    EXPECT_EQ(Pixel(form, 607, 448), 0xFF0000u);

    Click(form, "TabellenKnop");
    auto* grid = Child<QTableView>(form, "DataGrid");
    QTest::mousePress(Child<QPushButton>(form, "opLocatie"), Qt::RightButton);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Ven");
    QTest::mousePress(Child<QPushButton>(form, "opLocatie"), Qt::LeftButton);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Plas");
}

// Atlas notation (block and km-square number) is drawn as the outline of its km-square under
// the Dutch rules, and read as ordinary km coordinates without them.
TEST_F(DotStyleControls, AtlasNotationFollowsTheInterfaceLanguage) {
    const auto [x, y] = core::AtlasToRD(1734, 12);
    const int left = int(x) - 60, top = int(y) + 45;
    QImage map(1200, 900, QImage::Format_RGB32);
    map.fill(Qt::white);
    const QString name =
        QString("Atlas_%1_%2_%3_%4_.png").arg(left).arg(top).arg(left + 120).arg(top - 90);
    ASSERT_TRUE(map.save(folder.filePath("Maps/" + name)));
    store.SetMapName(name);
    store.Locations().AppendRecord({3, "Blok", "01", "01", "2010", "", "", "1734", "12"});
    // The square's south-west corner is (Trunc(x), Trunc(y)): the outline runs 10 pixels
    // from there.
    const int column = (int(x) - left) * 10, row = (top - int(y)) * 10;
    for (const char* language : {"NL", "EN"}) {
        core::CurrentSettings().language = language;
        ui::TDistributionForm form(session);
        form.ShowForm();
        form.show();
        form.AllLocationsbtnClick();
        const bool dutch = QString(language) == "NL";
        EXPECT_EQ(Pixel(form, column, row - 5), dutch ? 0xFF0000u : 0xFFFFFFu) << language;
        EXPECT_EQ(Pixel(form, column + 5, row - 5), 0xFFFFFFu) << "an outline, not a dot";
        // Without the Dutch rules (1734, 12) is far off this map: nothing is drawn at all.
        if (!dutch) {
            EXPECT_TRUE(form.Map().WorkingImage() == form.Map().PlainMap()) << language;
        }
    }
}

// "Stippenkaart" of the main window: refused for a database without samples; otherwise the
// window shows the database's map, and the database's settings are written when it closes.
TEST(DistributionMenu, OpensOverADatabaseWithSamplesOnly) {
    velmora::testing::ProgramFolder dir{velmora::testing::ProgramFolder::Lib::WithBiotopes};
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    QDir(dir.path()).mkdir("Maps");
    QImage map(300, 200, QImage::Format_RGB32);
    map.fill(Qt::white);
    ASSERT_TRUE(map.save(dir.filePath("Maps/Proef_0_90_120_0_.png")));
    store.CreateDatabase("Test");
    ASSERT_TRUE(store.OpenDatabase("Test"));
    store.Locations().AppendRecord({1, "Ven", "05", "06", "2019", "", "", "60", "45"});
    store.SetMapName("Proef_0_90_120_0_.png");
    store.CloseDatabase();
    core::CurrentSettings().defaultDatabase = "Test";

    ui::TMainForm form(session);
    ui::TDistributionForm window(session, &form);
    form.SetDistributionDialog([&] { return window.Run(); });
    ASSERT_TRUE(form.FormCreate());
    form.FormShow();
    form.show();
    QAction* item = form.MenuAction("Stippenkaart1");
    ASSERT_TRUE(item && item->isEnabled());

    prompts.shown.clear();
    item->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0], ui::ResStr(ui::rsNoMapSense) + "\n" + ui::ResStr(ui::rsNoDataInDb));
    EXPECT_FALSE(window.isVisible());

    store.Samples().AppendRecord({1, "", "", "", "Cosmarium botrytis", "3"});
    auto ran = std::make_shared<bool>(false);
    QSize shown;
    velmora::testing::InModalWindow(
        &window, [&] { shown = window.Panel()->Picture().size(); }, ran);
    item->trigger();
    EXPECT_TRUE(*ran);
    EXPECT_EQ(shown, QSize(300, 200));
    // The database's settings were written after the window: the map name is in the file.
    QFile ini(core::DatabaseStore::DatabaseFile("Test", ".ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("MapName=Proef_0_90_120_0_.png"));

    // "Edit Record" on a location of a drawn taxon: the main window shows that event after
    // the window closed.
    {
        const core::DatabaseStore::BulkChange bulk(store);
        store.Locations().AppendRecord({2, "Poel", "01", "07", "2020", "", "", "50", "40"});
        store.Samples().AppendRecord({2, "", "", "", "Closterium lunula", "1"});
        store.MarkLocationsChanged();
        store.MarkSamplesChanged();
    }
    velmora::testing::InModalWindow(&window, [&] {
        auto* names = window.findChild<QListWidget*>("Names");
        const QList<QListWidgetItem*> found =
            names->findItems("Closterium lunula", Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                          names->visualItemRect(found[0]).center());
        QTest::mouseClick(window.findChild<QPushButton*>("TabellenKnop"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QPushButton*>("EditRecord"), Qt::LeftButton);
    });
    item->trigger();
    EXPECT_EQ(store.Locations().FieldByName("ID").AsInteger(), 2);
    EXPECT_EQ(store.Locations().FieldByName("LOCATIE").AsString(), "Poel");
    store.CloseDatabase();
}

} // namespace
