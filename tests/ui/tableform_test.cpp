// The tables window driven from the main window's menu with clicks and keys: the filter typed
// and applied with Enter, rows selected with the mouse and the space bar, a location number
// typed into "Merge", the header sorts, the species list and the nature value table with
// their options, saving, the export of the selection, and the database untouched afterwards.

#include "common/modalwindow.h"
#include "common/programfolder.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/textfile.h"
#include "ecology/ecologydata.h"
#include "ecology/messages.h"
#include "session/session.h"
#include "ui/messages.h"
#include "ui/tmainform.h"
#include "ui/ttableform.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using ecology::TableView;

namespace {

struct TableWindow : ::testing::Test {
    velmora::testing::ProgramFolder dir{velmora::testing::ProgramFolder::Lib::WithBiotopes};
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TTableForm> window;
    QByteArray locationsBefore, samplesBefore;

    void SetUp() override {
        session.Ecology().searchList.Add("Cosmarium botrytis");
        session.Ecology().searchList.Add("Euastrum ansatum");
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        // ID, LOCATIE, DAG, MAAND, JAAR, ZUURGRAAD, OPMLOCATIE, COORDX, COORDY, MONSTERSRT,
        // ANALIST, OWNER, LOCCODE, PH, GELEIDING
        core::Dataset& loc = store.Locations();
        loc.AppendRecord({1, "Ven", "05", "06", "2019", "Zuur", "", "160", "450", "", "Jan"});
        loc.AppendRecord({2, "Poel", "01", "07", "2020", "", "", "161", "451", "", "Piet"});
        loc.AppendRecord({3, "Plas", "02", "08", "2020", "", "", "162", "452", "", "Jan"});
        loc.AppendRecord({4, "Meer", "03", "09", "2021", "", "", "163", "453", "", "Kees"});
        // ID, DATUM, KXY, UXY, DESMID, ABUND, DL, ZYGO, FOTO, ZEKER, OPMDESMID, DESMIDINFO
        core::Dataset& s = store.Samples();
        s.AppendRecord({1, "", "", "", "Cosmarium botrytis", "3"});
        s.AppendRecord({2, "", "", "", "Cosmarium botrytis", "1"});
        s.AppendRecord({2, "", "", "", "Euastrum ansatum", "2", "", "+", "", "N"});
        s.AppendRecord({3, "", "", "", "Onbekendia", "1"});
        s.AppendRecord({4, "", "", "", "Euastrum ansatum", "1"});
        store.CloseDatabase();
        locationsBefore = velmora::testing::ReadAll(dir.filePath("Data/Test1.dbf"));
        samplesBefore = velmora::testing::ReadAll(dir.filePath("Data/Test2.dbf"));
        core::CurrentSettings().defaultDatabase = "Test";
        form = std::make_unique<ui::TMainForm>(session);
        window = std::make_unique<ui::TTableForm>(store, session.Ecology(), form.get());
        form->SetTablesDialog([this] { window->Run(); });
        ASSERT_TRUE(form->FormCreate());
        form->FormShow();
        form->show();
        prompts.shown.clear();
    }
    void TearDown() override {
        window.reset();
        form.reset();
        store.CloseDatabase();
    }
    bool ThroughTheMenu(const std::function<void()>& steps) {
        auto ran = std::make_shared<bool>(false);
        velmora::testing::InModalWindow(window.get(), steps, ran);
        QAction* item = form->MenuAction("Tabellen");
        EXPECT_TRUE(item && item->isEnabled());
        if (item)
            item->trigger();
        return *ran;
    }
    template <class W = QPushButton> W* Get(const char* name) {
        W* widget = window->findChild<W*>(name);
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    // A click on a control, scrolled into view first as a user would on a low screen.
    void Press(QWidget* control) {
        if (auto* scroll = window->findChild<QScrollArea*>("ControlsScroll");
            scroll && scroll->widget()->isAncestorOf(control))
            scroll->ensureWidgetVisible(control);
        // A check box takes a click on its box or its text, not on the blank beside them.
        const QPoint at = qobject_cast<QCheckBox*>(control) ? QPoint(8, control->height() / 2)
                                                            : control->rect().center();
        QTest::mouseClick(control, Qt::LeftButton, {}, at);
    }
    void Click(const char* button) { Press(Get(button)); }
    // A click on a cell of a view (grid row 1 is the view's first row when it has a header).
    void ClickCell(QTableView* view, int column, int viewRow) {
        const QRect rect = view->visualRect(view->model()->index(viewRow, column));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void ClickHeader(QTableView* view, int column, Qt::MouseButton button = Qt::LeftButton) {
        QHeaderView* header = view->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), button, {},
            QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }
    QStringList Column(const core::Grid& grid, int column) {
        QStringList cells;
        for (int row = 1; row < grid.RowCount(); ++row)
            cells << grid.Cell(column, row);
        return cells;
    }
    QStringList Names() { return Column(window->LocationGrid(), ecology::LcLocatie); }
};

} // namespace

TEST_F(TableWindow, FilterSelectionAndLocationNumbersWithMouseAndKeys) {
    ASSERT_TRUE(ThroughTheMenu([&] {
        EXPECT_EQ(window->View(), TableView::LocationTable);
        EXPECT_EQ(Names(), (QStringList{"Meer", "Plas", "Poel", "Ven"}));
        EXPECT_EQ(Get<QLabel>("AantalRecords")->text(), "4");
        EXPECT_EQ(Get("Locatietabel")->text(), ui::ResStr(ui::rsClearSelection));

        // The focus starts in the year field; Tab walks the filter fields in order.
        EXPECT_EQ(window->focusWidget(), Get<QLineEdit>("JaarEdit"));
        QStringList walked;
        for (int i = 0; i < 5; ++i) {
            walked << window->focusWidget()->objectName();
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(walked, (QStringList{"JaarEdit", "EigenaarEdit", "LocatieEdit", "AnalistEdit",
                                       "SieralgEdit"}));

        // A period typed with blanks around it, applied with Enter.
        QLineEdit* year = Get<QLineEdit>("JaarEdit");
        year->setFocus();
        QTest::keyClicks(year, " 2019-2020 ");
        QTest::keyClick(year, Qt::Key_Return);
        EXPECT_EQ(year->text(), "2019-2020");
        EXPECT_EQ(Names(), (QStringList{"Plas", "Poel", "Ven"}));
        EXPECT_TRUE(window->isVisible()) << "Enter in a field does not close the window";
        QTest::keyClicks(Get<QLineEdit>("AnalistEdit"), "JAN");
        Click("PasFilterToe");
        EXPECT_EQ(Names(), (QStringList{"Plas", "Ven"}));
        Click("WisFilter");
        EXPECT_TRUE(year->text().isEmpty());
        EXPECT_EQ(Names(), (QStringList{"Meer", "Plas", "Poel", "Ven"}));

        // Rows selected by clicks and the space bar; a second click unselects.
        QTableView* view = window->LocationView();
        ClickCell(view, ecology::LcLocatie, 0); // Meer
        ClickCell(view, ecology::LcDatum, 1);   // Plas
        ClickCell(view, ecology::LcX, 3);       // Ven
        ClickCell(view, ecology::LcX, 3);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(3, ecology::LcLocatie));
        QTest::keyClick(view, Qt::Key_Space);
        EXPECT_EQ(Column(window->LocationGrid(), ecology::LcId),
                  (QStringList{"S4", "S3", "2", "S1"}));

        // 1 typed into the "Merge" cell of Plas, then the header "Merge": the others follow.
        ClickCell(view, ecology::LcMerge, 1);
        QTest::keyClicks(view, "1x");
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor commits after its key
        ClickHeader(view, ecology::LcMerge);
        EXPECT_EQ(Names(), (QStringList{"Poel", "Plas", "Meer", "Ven"}));
        EXPECT_EQ(Column(window->LocationGrid(), ecology::LcMerge),
                  (QStringList{"", "1", "2", "3"}));

        // The right button sorts descending.
        ClickHeader(view, ecology::LcLocatie, Qt::RightButton);
        EXPECT_EQ(Names(), (QStringList{"Ven", "Poel", "Plas", "Meer"}));
        EXPECT_TRUE(view->isColumnHidden(ecology::LcId)) << "the IDs stay the window's own";
        ClickHeader(view, ecology::LcLocatie);
        EXPECT_EQ(Names(), (QStringList{"Meer", "Plas", "Poel", "Ven"}));

        // The back button's second meaning: a new table, the selection gone.
        Click("Locatietabel");
        EXPECT_FALSE(ecology::HasSelectedRow(window->LocationGrid()));
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }));
    store.CloseDatabase();
    EXPECT_EQ(velmora::testing::ReadAll(dir.filePath("Data/Test1.dbf")), locationsBefore);
    EXPECT_EQ(velmora::testing::ReadAll(dir.filePath("Data/Test2.dbf")), samplesBefore);
}

TEST_F(TableWindow, SpeciesListNatureValueTableSavingAndExport) {
    const QString out = dir.filePath("uit");
    QDir().mkpath(out);
    ASSERT_TRUE(ThroughTheMenu([&] {
        // Nothing selected: a message and still the location table.
        Click("MaakSoortenlijst");
        EXPECT_EQ(prompts.shown, QStringList{ecology::ResStr(ecology::rsNoSelection)});
        EXPECT_EQ(window->View(), TableView::LocationTable);
        prompts.shown.clear();
        Click("ExportSelectie");
        EXPECT_EQ(prompts.shown, QStringList{ecology::ResStr(ecology::rsNoSelection)});

        Click("SelecteerAlles");
        Click("InverteerSelectie");
        EXPECT_FALSE(ecology::HasSelectedRow(window->LocationGrid()));
        Click("SelecteerAlles");
        Click("SelecteerNiets");
        EXPECT_FALSE(ecology::HasSelectedRow(window->LocationGrid()));
        Click("SelecteerAlles");
        // The location table saved under its default name.
        prompts.texts = {out + "/Locatietabel.tsv"};
        Click("BewaarTSV");
        EXPECT_EQ(core::ReadTextLines(out + "/Locatietabel.tsv").size(), 5);

        Click("MaakSoortenlijst");
        EXPECT_EQ(window->View(), TableView::SpeciesList);
        EXPECT_EQ(Get("Locatietabel")->text(), ui::ResStr(ui::rsBackToLocationTable));
        EXPECT_FALSE(Get<QGroupBox>("FilterGroup")->isEnabled());
        EXPECT_FALSE(Get<QGroupBox>("SelectieGroup")->isEnabled());
        EXPECT_TRUE(Get<QCheckBox>("MergeAbund")->isVisible());
        EXPECT_FALSE(Get("Transponeer")->isVisible());
        EXPECT_FALSE(Get("ExportSelectie")->isVisible());
        EXPECT_TRUE(window->LocationListView()->isVisible());
        const core::Grid& list = window->ResultGrid();
        EXPECT_EQ(list.Cell(1, 0), "Locatienummer");
        EXPECT_EQ(list.Cell(1, 6), "Cosmarium botrytis");
        EXPECT_EQ(list.Cell(1, 8), "Onbekendia");
        // The first six rows stay in view above the taxa.
        QTableView* fixed = window->FixedRowsView();
        ASSERT_TRUE(fixed->isVisible());
        EXPECT_EQ(fixed->model()->rowCount(), 6);
        EXPECT_EQ(fixed->model()->index(0, 1).data().toString(), "Locatienummer");
        EXPECT_TRUE(window->ResultView()->isRowHidden(0));
        EXPECT_FALSE(window->ResultView()->isRowHidden(6));

        // An option rebuilds the list shown.
        QCheckBox* nit = Get<QCheckBox>("NegeerNIT");
        Press(nit);
        ASSERT_TRUE(nit->isChecked());
        EXPECT_EQ(window->ResultGrid().Cell(1, 8), "");
        EXPECT_EQ(window->ResultGrid().Cell(1, 10), "NIT: Onbekendia ( 2 )");

        // Saved as text: the list and the location list beside it.
        prompts.texts = {out + "/lijst"};
        Click("BewaarTSV");
        EXPECT_TRUE(QFile::exists(out + "/lijst.tsv"));
        EXPECT_EQ(core::ReadTextLines(out + "/lijst-LocatieLijst.tsv").value(0),
                  "MNr\tNr\tLocaties\tDatum\tX\tY\tZuurgraad\tpH\tEC");
        // And as a workbook, with the full location grid beside it.
        Press(Get<QCheckBox>("AlleLocatiegegevens"));
        prompts.texts = {out + "/lijst.xlsx"};
        Click("BewaarExcel");
        EXPECT_TRUE(QFile::exists(out + "/lijst.xlsx"));
        EXPECT_TRUE(QFile::exists(out + "/lijst-LocatieLijst.xlsx"));

        // Back: the selection kept.
        Click("Locatietabel");
        EXPECT_EQ(window->View(), TableView::LocationTable);
        EXPECT_TRUE(Get<QGroupBox>("FilterGroup")->isEnabled());
        EXPECT_EQ(Column(window->LocationGrid(), ecology::LcMerge),
                  (QStringList{"1", "2", "3", "4"}));

        Click("MaakNatuurwaardenTabel");
        EXPECT_EQ(window->View(), TableView::NatureValueTable);
        EXPECT_FALSE(Get<QCheckBox>("MergeAbund")->isVisible());
        EXPECT_TRUE(Get("Transponeer")->isVisible());
        EXPECT_FALSE(window->LocationListView()->isVisible());
        const core::Grid& nv = window->ResultGrid();
        ASSERT_EQ(nv.RowCount(), 1 + 4 + 2);
        // The rows the species list kept in view are shown again.
        EXPECT_FALSE(window->FixedRowsView()->isVisible());
        EXPECT_FALSE(window->ResultView()->isRowHidden(0));
        EXPECT_EQ(nv.Cell(1, 6), "Natuurwaarde van alle locaties samen");
        // A header click sorts on d; the total stays last.
        ClickHeader(window->ResultView(), 5);
        EXPECT_EQ(window->ResultGrid().Cell(1, 6), "Natuurwaarde van alle locaties samen");
        EXPECT_EQ(window->ResultGrid().Cell(5, 4), "2");
        Click("Transponeer");
        EXPECT_EQ(window->ResultGrid().Cell(0, 0), "Locatie");
        EXPECT_FALSE(window->ResultView()->isRowHidden(0)) << "Datum";
        const core::Grid transposed = window->ResultGrid();
        Click("Transponeer");
        ClickHeader(window->ResultView(), 2);
        EXPECT_EQ(window->ResultGrid(), transposed);

        // The export of the selected samples.
        Click("Locatietabel");
        prompts.texts = {out + "/selectie.tsv"};
        Click("ExportSelectie");
        EXPECT_EQ(core::ReadTextLines(out + "/selectie.tsv").size(), 1 + 5);
        Click("Sluit");
    }));
}
