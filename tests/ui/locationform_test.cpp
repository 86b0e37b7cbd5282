// The location search window driven through the main window with keys and clicks: the taxon
// search and the name list, the modes with a year, a row click moving the main window's
// event, the column chooser, the selection run and its cancel, and what closing leaves.

#include "common/modalwindow.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "session/session.h"
#include "ui/dbcontrols.h"
#include "ui/tgridcolumnselect.h"
#include "ui/tlocationform.h"
#include "ui/tmainform.h"
#include "ui/tnwform.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct LocationWindow : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    session::Session session;
    ecology::EcologyData& eco = session.Ecology();
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TNWForm> nwForm;
    std::unique_ptr<ui::TGridColumnSelect> chooser;
    std::unique_ptr<ui::TLocationForm> window;
    int natureValueShown = 0;

    void SetUp() override {
        QDir root(dir.path());
        root.mkdir("Data");
        root.mkdir("Lib");
        QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                    dir.filePath("Lib/Biotoopcodes.dbf"));
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        core::SetDecimalSeparator('.');
        eco.taxaList.Assign(
            {{"Cosmarium botrytis", "Cosmarium botrytis", "", "", "", "", "1", "2", "", ""},
             {"Cosmarium margaritiferum", "Cosmarium margaritiferum", "", "", "", "", "3", "4", "",
              ""},
             {"Staurastrum hirsutum", "Staurastrum hirsutum", "", "", "", "", "2", "1", "", ""}},
            &eco.searchList);
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        core::Dataset& loc = store.Locations();
        loc.AppendRecord({1, "Ven Oost", "05", "06", "2019", "", "", "1", "2"});
        loc.AppendRecord({2, "Plas", "01", "07", "2020", "", "", "1", "2"});
        loc.AppendRecord({3, "Ven West", "10", "08", "2020", "", "", "1", "2"});
        core::Dataset& s = store.Samples();
        s.AppendRecord({1, "", "", "", "Cosmarium botrytis"});
        s.AppendRecord({1, "", "", "", "Staurastrum hirsutum"});
        s.AppendRecord({2, "", "", "", "cosmarium spec."});
        s.AppendRecord({3, "", "", "", "Cosmarium margaritiferum"});
        s.AppendRecord({3, "", "", "", "Staurastrum hirsutum"});
        store.CloseDatabase();

        core::CurrentSettings().defaultDatabase = "Test";
        form = std::make_unique<ui::TMainForm>(session);
        nwForm = std::make_unique<ui::TNWForm>(eco, form.get());
        form->SetNatureValueWindow(nwForm.get());
        chooser = std::make_unique<ui::TGridColumnSelect>(form.get());
        window = std::make_unique<ui::TLocationForm>(store, eco, form.get());
        window->SetColumnChooser(chooser.get());
        window->SetLoadEvent([this] { form->LoadCurrentEvent(); });
        window->SetShowNatureValue([this] { ++natureValueShown; });
        form->SetLocationSearchDialog([this] { window->exec(); });
        ASSERT_TRUE(form->FormCreate());
        form->FormShow();
        form->show();
        prompts.shown.clear();
    }
    void TearDown() override {
        window.reset();
        chooser.reset();
        nwForm.reset();
        form.reset();
        store.CloseDatabase();
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }

    template <class T> T* Find(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QTableView* Grid() { return window->Grid(); }
    // The names of the events shown, in order.
    QStringList ShownNames() {
        QStringList names;
        const int column = static_cast<int>(window->ColumnFields().indexOf("LOCATIE"));
        for (int r = 0; r < Grid()->model()->rowCount(); ++r)
            names << Grid()->model()->index(r, column).data().toString();
        return names;
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, 1));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    void Type(QWidget* field, const QString& text, bool enter = true) {
        QTest::keyClicks(field, text);
        if (enter)
            QTest::keyClick(field, Qt::Key_Return);
    }
    QString MainLocation() { return form->LocationEdit("LOCATIE")->text(); }

    // The window opened from the button "Lijst met locaties" with `steps` run in it; a window
    // that a failed step leaves open is closed with Escape.
    bool ThroughTheButton(const std::function<void()>& steps) {
        auto ran = std::make_shared<bool>(false);
        InWindow(steps, ran);
        auto* button = form->findChild<QPushButton*>("SelectLocBtn");
        EXPECT_TRUE(button && button->isEnabled());
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        return *ran;
    }
    void InWindow(const std::function<void()>& steps, const std::shared_ptr<bool>& ran) {
        velmora::testing::InModalWindow(window.get(), steps, ran);
    }
};

TEST_F(LocationWindow, TheTaxonSearchHeedsLetterCaseAndTheNameListDoesNot) {
    ASSERT_TRUE(ThroughTheButton([&] {
        EXPECT_EQ(ShownNames(), (QStringList{"Plas", "Ven Oost", "Ven West"}));
        auto* search = Find<QLineEdit>("SearchEdit");
        Type(search, "COSM", false);
        // The name list ignores letter case...
        auto* names = Find<QListWidget>("Names");
        ASSERT_EQ(names->count(), 2);
        EXPECT_EQ(names->item(0)->text(), "Cosmarium botrytis");
        // ...the search of the samples does not: "COSM" is in no sample's name.
        QTest::keyClick(search, Qt::Key_Return);
        EXPECT_TRUE(ShownNames().isEmpty());
        EXPECT_TRUE(Find<QRadioButton>("RB1")->isChecked());
        search->clear();
        Type(search, "cosm");
        EXPECT_EQ(ShownNames(), QStringList{"Plas"});
        // A genus finds the events of all its species.
        search->clear();
        Type(search, "Cosmarium");
        EXPECT_EQ(ShownNames(), (QStringList{"Ven Oost", "Ven West"}));
        // A click on a name searches for that name.
        names = Find<QListWidget>("Names");
        const QRect item = names->visualItemRect(names->item(1));
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, item.center());
        EXPECT_EQ(Find<QLineEdit>("SelectedDesmid")->text(), "Cosmarium margaritiferum");
        EXPECT_EQ(ShownNames(), QStringList{"Ven West"});
        // "Alle locaties" shows everything again.
        auto* all = Find<QRadioButton>("RB0");
        QTest::mouseClick(all, Qt::LeftButton, {}, QPoint(8, all->height() / 2));
        EXPECT_EQ(ShownNames().size(), 3);
    }));
}

TEST_F(LocationWindow, ANameTextWithAYearShowsThatYearOnly) {
    ASSERT_TRUE(ThroughTheButton([&] {
        Type(Find<QLineEdit>("Locatie"), "ven");
        EXPECT_TRUE(Find<QRadioButton>("RB3")->isChecked());
        EXPECT_EQ(ShownNames(), (QStringList{"Ven Oost", "Ven West"}));
        auto* year = Find<QLineEdit>("Jaar");
        Type(year, "2020");
        EXPECT_EQ(ShownNames(), QStringList{"Ven West"});
        year->clear();
        QTest::keyClick(year, Qt::Key_Return);
        EXPECT_EQ(ShownNames(), (QStringList{"Ven Oost", "Ven West"}));
        // The window is still open: Enter in a field does not close it.
        EXPECT_TRUE(window->isVisible());
    }));
    // The mode and fields are kept for the next time.
    ASSERT_TRUE(ThroughTheButton([&] {
        EXPECT_TRUE(Find<QRadioButton>("RB3")->isChecked());
        EXPECT_EQ(ShownNames(), (QStringList{"Ven Oost", "Ven West"}));
    }));
}

TEST_F(LocationWindow, ARowClickMakesItTheMainWindowsEventAndClosingLeavesSamplesByID) {
    ASSERT_TRUE(ThroughTheButton([&] {
        ClickRow(2); // Ven West
        EXPECT_EQ(MainLocation(), "Ven West");
        QTest::keyClick(Grid(), Qt::Key_Up);
        EXPECT_EQ(MainLocation(), "Ven Oost");
        // Tab leads from the grid to the buttons.
        Grid()->setFocus();
        QTest::keyClick(Grid(), Qt::Key_Tab);
        EXPECT_EQ(window->focusWidget(), Find<QPushButton>("SelectAllBtn"));
        QTest::mouseClick(Find<QPushButton>("OKbtn"), Qt::LeftButton);
    }));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(MainLocation(), "Ven Oost");
    EXPECT_EQ(store.Samples().IndexName().toUpper(), "ID");
    EXPECT_EQ(form->NatureValueField("AantalTaxa")->text(), "2");
}

TEST_F(LocationWindow, TheColumnChooserChangesAColumnAndCtrlClicksAddAndRemoveColumns) {
    ASSERT_TRUE(ThroughTheButton([&] {
        const int columns = Grid()->model()->columnCount();
        // The title of "Dag" (column 2): the chooser proposes DAG; the user picks "Eigenaar".
        QTimer::singleShot(0, chooser.get(), [&] {
            auto* list = chooser->FieldList();
            EXPECT_EQ(list->currentRow(), 2);
            EXPECT_EQ(chooser->ProposedCaption(), "Dag");
            const QRect item = list->visualItemRect(list->item(11));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
            QTest::mouseClick(chooser->findChild<QPushButton*>("OKbtn"), Qt::LeftButton);
        });
        QHeaderView* header = Grid()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        EXPECT_EQ(window->ColumnFields()[2], "OWNER");
        EXPECT_EQ(Grid()->model()->headerData(2, Qt::Horizontal).toString(), "Eigenaar");
        // The ID column: nothing proposed, and Cancel keeps the column.
        QTimer::singleShot(0, chooser.get(), [&] {
            EXPECT_TRUE(chooser->FieldList()->selectedItems().isEmpty());
            QTest::keyClick(chooser.get(), Qt::Key_Escape);
        });
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        EXPECT_EQ(window->ColumnFields()[0], "ID");

        ClickRow(0, Qt::ControlModifier);
        EXPECT_EQ(Grid()->model()->columnCount(), columns + 1);
        const QRect cell = Grid()->visualRect(Grid()->model()->index(0, 1));
        QTest::mouseClick(Grid()->viewport(), Qt::RightButton, Qt::ControlModifier, cell.center());
        QTest::mouseClick(Grid()->viewport(), Qt::RightButton, Qt::ControlModifier, cell.center());
        EXPECT_EQ(Grid()->model()->columnCount(), columns - 1);
    }));
}

TEST_F(LocationWindow, TheSelectionRunCountsASharedTaxonOnceAndACancelLeavesSingleValues) {
    ASSERT_TRUE(ThroughTheButton([&] {
        // Both events with Staurastrum hirsutum; all rows selected with the button.
        Type(Find<QLineEdit>("SearchEdit"), "Staurastrum");
        ASSERT_EQ(ShownNames(), (QStringList{"Ven Oost", "Ven West"}));
        auto* selectAll = Find<QPushButton>("SelectAllBtn");
        QTest::mouseClick(selectAll, Qt::LeftButton);
        EXPECT_EQ(Grid()->selectionModel()->selectedRows().size(), 2);
        QTest::mouseClick(Find<QPushButton>("BerekenBtn"), Qt::LeftButton);
        EXPECT_EQ(natureValueShown, 1);
        // Three taxa, the shared one once.
        EXPECT_EQ(eco.tally.D(), 3);
        EXPECT_FALSE(eco.selectionRun);

        // A cancelled run; then one event's own value.
        prompts.cancelAtStep = 50;
        QTest::mouseClick(Find<QPushButton>("BerekenBtn"), Qt::LeftButton);
        EXPECT_EQ(natureValueShown, 1);
        EXPECT_FALSE(eco.selectionRun);
        prompts.cancelAtStep = -1;
        QTest::mouseClick(selectAll, Qt::LeftButton); // the second press clears the selection
        EXPECT_TRUE(Grid()->selectionModel()->selectedRows().isEmpty());
        ClickRow(1);
        EXPECT_EQ(MainLocation(), "Ven West");
        EXPECT_EQ(eco.tally.D(), 2);
        EXPECT_EQ(form->NatureValueField("AantalTaxa")->text(), "2");
    }));
}

TEST_F(LocationWindow, TheMenuItemIsThereOnlyWithAnOpenDatabase) {
    EXPECT_TRUE(form->MenuAction("SelectLoc")->isEnabled());
    EXPECT_FALSE(form->NatureValueField("AantalTaxa")->text().isEmpty());
    store.CloseDatabase();
    // Nothing of the closed database stays on show.
    EXPECT_TRUE(form->NatureValueField("AantalTaxa")->text().isEmpty());
    EXPECT_FALSE(form->MenuAction("SelectLoc")->isEnabled());
    EXPECT_FALSE(form->findChild<QPushButton*>("SelectLocBtn")->isEnabled());
}

} // namespace
