// The import window driven as a user drives it from the main window's menu: a file opened
// with the button, the choosers set with keys in their Tab order, a layout saved and applied,
// a row removed with Ctrl+click, "Maak database" with its question, a failing row left
// selected, and the tables and the main window afterwards.

#include "common/modalwindow.h"
#include "common/programfolder.h"
#include "common/tempdir.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "recording/messages.h"
#include "session/session.h"
#include "ui/tdataform.h"
#include "ui/tmainform.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::recording;
using velmora::testing::WriteAll;

namespace {

const char* const kFile = "Locatie\tX\tY\tDag\tMaand\tJaar\tSieralg\n"
                          "Poel\t162\t458\t7\t5\t2008\tcosmarium BOTRYTIS\n"
                          "Ven\t163\t459\t1\t6\t2009\tStaurastrum hirsutum\n"
                          "Poel\t162\t458\t7\t5\t2008\tClosterium lunula\n";

struct ImportWindow : ::testing::Test {
    velmora::testing::ProgramFolder dir{velmora::testing::ProgramFolder::Lib::WithBiotopes};
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TDataForm> window;

    void SetUp() override {
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        store.SetCoordinateSystem(core::kKmBased);
        store.Locations().AppendRecord({1, "Oud ven", "05", "06", "2019", "", "", "160", "450"});
        store.Samples().AppendRecord({1, "2019-06-05", "", "", "Cosmarium oud"});
        store.CloseDatabase();
        WriteAll(dir.filePath("data.tsv"), kFile);

        core::CurrentSettings().defaultDatabase = "Test";
        form = std::make_unique<ui::TMainForm>(session);
        window = std::make_unique<ui::TDataForm>(store, form.get());
        form->SetImportDialog([this](const QString& name) { window->Run(name); });
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

    template <class T> T* Find(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Click(const char* button) {
        if (auto* b = Find<QPushButton>(button))
            QTest::mouseClick(b, Qt::LeftButton);
    }
    // Types a column number into the focused chooser and checks which one it was.
    void Choose(const char* chooser, const char* number) {
        QWidget* focus = window->focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName().toStdString(), chooser);
        QTest::keyClicks(focus, number);
        auto* box = qobject_cast<QComboBox*>(focus);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->currentText(), number) << chooser;
    }
    void Tab(int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    }

    // The window opened from the menu item with `steps` run in it; a window a step leaves
    // open is closed with Escape. False when the window never opened.
    bool ThroughTheMenu(const std::function<void()>& steps) {
        auto ran = std::make_shared<bool>(false);
        InWindow(steps, ran);
        QAction* item = form->MenuAction("Importeer");
        EXPECT_TRUE(item && item->isEnabled());
        if (item)
            item->trigger();
        return *ran;
    }
    void InWindow(const std::function<void()>& steps, const std::shared_ptr<bool>& ran) {
        velmora::testing::InModalWindow(window.get(), steps, ran);
    }
    // Opens data.tsv with the button.
    void OpenFile(int rows = 4) {
        prompts.texts = {dir.filePath("data.tsv")};
        Click("OpenTSVXLSfile");
        EXPECT_EQ(window->DataGrid()->model()->rowCount(), rows);
        EXPECT_EQ(window->DataGrid()->model()->columnCount(), 7);
    }
    // Sets the choosers of data.tsv with the keyboard, walking their Tab order.
    void ChooseColumns() {
        window->Chooser(kImportLocation)->setFocus();
        Choose("Box1", "1");
        Tab(2); // past the second location column and the date text, off in column mode
        EXPECT_EQ(window->focusWidget()->objectName(), "Box3");
        Tab(2); // past the second remark column
        Choose("Box4", "2");
        Tab();
        Choose("Box5", "3");
        window->Chooser(kImportDay)->setFocus();
        Choose("Box17", "4");
        Tab();
        Choose("Box18", "5");
        Tab();
        Choose("Box19", "6");
        Tab();
        Choose("Box20", "7");
        window->UniqueChooser(0)->setFocus();
        Choose("TSL1", "1");
        window->Chooser(kImportStartRow)->setFocus();
        Choose("Startrijbox", "2");
    }
    std::vector<QStringList> Table(const QString& file, const QStringList& fields) {
        core::Dataset t;
        t.Open(dir.filePath("Data/" + file), true);
        std::vector<QStringList> rows;
        for (t.First(); !t.Eof(); t.Next()) {
            QStringList row;
            for (const QString& f : fields)
                row << t.FieldByName(f).AsString();
            rows.push_back(row);
        }
        t.Close();
        return rows;
    }
};

TEST_F(ImportWindow, AFileIsImportedWithKeysAndClicksAndTheMainWindowShowsIt) {
    ASSERT_TRUE(ThroughTheMenu([&] {
        EXPECT_FALSE(store.IsOpen()); // the window writes the table files itself
        EXPECT_EQ(Find<QLabel>("DatabaseLabel")->text(), "Database : Test");
        OpenFile();
        ChooseColumns();
        QTest::mouseClick(Find<QRadioButton>("Vervang"), Qt::LeftButton);
        auto* system = Find<QComboBox>("CoordinateBox");
        system->setFocus();
        QTest::keyClicks(system, "A");
        EXPECT_EQ(system->currentText(), "Amersfoort");
        // The date text chooser is off while dates are in columns.
        EXPECT_FALSE(window->Chooser(kImportDateText)->isEnabled());
        prompts.answers = {core::Answer::Yes};
        Click("MaakDatabase");
        EXPECT_FALSE(window->isVisible()); // a complete import closes the window
    }));
    EXPECT_TRUE(prompts.shown.contains(ResStr(rsImportReplaceQuestion)));
    EXPECT_TRUE(store.IsOpen());
    EXPECT_EQ(store.Locations().RecordCount(), 2);
    EXPECT_EQ(store.Samples().RecordCount(), 3);
    store.CloseDatabase();
    // Sorted on the location: Poel (two samples) then Ven.
    EXPECT_EQ(Table("Test1.dbf", {"ID", "LOCATIE", "DAG", "MAAND", "JAAR"}),
              (std::vector<QStringList>{{"0", "Poel", "07", "05", "2008"},
                                        {"1", "Ven", "01", "06", "2009"}}));
    EXPECT_EQ(Table("Test2.dbf", {"ID", "DESMID", "DATUM"}),
              (std::vector<QStringList>{{"0", "Cosmarium botrytis", "2008-05-07"},
                                        {"0", "Closterium lunula", "2008-05-07"},
                                        {"1", "Staurastrum hirsutum", "2009-06-01"}}));
}

TEST_F(ImportWindow, CtrlClickRemovesARowAfterYesAndAFailingRowStaysSelected) {
    WriteAll(dir.filePath("data.tsv"), QByteArray(kFile) + "Beek\toost\t458\t1\t1\t2001\tx\n");
    ASSERT_TRUE(ThroughTheMenu([&] {
        OpenFile(5);
        QTableView* grid = window->DataGrid();
        auto ctrlClick = [&](int row) {
            const QRect cell = grid->visualRect(grid->model()->index(row, 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        };
        prompts.answers = {core::Answer::No};
        ctrlClick(1);
        EXPECT_EQ(grid->model()->rowCount(), 5);
        prompts.answers = {core::Answer::Yes};
        ctrlClick(1); // the first Poel row
        EXPECT_EQ(prompts.shown.last(), ResStr(rsImportRemoveRowQuestion));
        ASSERT_EQ(grid->model()->rowCount(), 4);
        EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "Ven");

        ChooseColumns();
        prompts.answers = {core::Answer::Yes}; // adding
        Click("MaakDatabase");
        // "Beek" sorts first: data row 2 of the grid, with its bad coordinate, and the row
        // numbers shown are those of the sorted rows.
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(grid->model()->headerData(1, Qt::Vertical).toString(), "2");
        EXPECT_TRUE(prompts.shown.last().contains(ResStr(rsImportCheckRow).arg(2)));
        EXPECT_EQ(grid->selectionModel()->selectedRows().value(0).row(), 1);
        EXPECT_EQ(window->focusWidget(), grid);
        EXPECT_TRUE(grid->isVisible());
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }));
    // Nothing was added, and the database is open again.
    EXPECT_TRUE(store.IsOpen());
    EXPECT_EQ(store.Locations().RecordCount(), 1);
    EXPECT_EQ(store.Samples().RecordCount(), 1);
}

TEST_F(ImportWindow, ALayoutIsSavedAndAppliedAgainAfterTheNextFile) {
    const QString layout = dir.filePath("indeling"); // the extension is added
    ASSERT_TRUE(ThroughTheMenu([&] {
        OpenFile();
        ChooseColumns();
        QTest::mouseClick(Find<QRadioButton>("RadioButton2"), Qt::LeftButton);
        EXPECT_TRUE(window->Chooser(kImportDateText)->isEnabled());
        EXPECT_FALSE(window->Chooser(kImportDay)->isEnabled());
        prompts.texts = {layout};
        Click("SaveSettings");
        EXPECT_TRUE(QFile::exists(layout + ".vlf"));
        prompts.texts = {layout + ".vlf"};
        Click("LoadSettings");
        // Saving over it asks first.
        prompts.texts = {layout + ".vlf"};
        prompts.answers = {core::Answer::No};
        Click("SaveSettings");
    }));
    // Shown again: the choosers show no choice until the file is read again, which applies the
    // remembered layout.
    ASSERT_TRUE(ThroughTheMenu([&] {
        EXPECT_EQ(window->Chooser(kImportLocation)->currentIndex(), -1);
        OpenFile();
        EXPECT_EQ(window->Chooser(kImportLocation)->currentText(), "1");
        EXPECT_EQ(window->Chooser(kImportStartRow)->currentText(), "2");
        EXPECT_EQ(window->UniqueChooser(0)->currentText(), "1");
        EXPECT_TRUE(Find<QRadioButton>("RadioButton2")->isChecked());
        window->Chooser(kImportLocation)->setCurrentIndex(3);
        Click("LaatstGebruikt");
        EXPECT_EQ(window->Chooser(kImportLocation)->currentText(), "1");
        // The wheel over a chooser that has not the focus scrolls the column, not the choice.
        QComboBox* waterType = window->Chooser(kImportWaterType);
        waterType->clearFocus();
        const int before = waterType->currentIndex();
        const QPoint at = waterType->rect().center();
        QWheelEvent wheel(at, waterType->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(waterType, &wheel);
        EXPECT_EQ(waterType->currentIndex(), before);
        // Enter in a chooser presses no button: the window stays.
        window->Chooser(kImportLocation)->setFocus();
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(window->isVisible());
    }));
    EXPECT_EQ(store.Locations().RecordCount(), 1);
}

} // namespace

TEST_F(ImportWindow, TheSortAndCoordinateButtons) {
    ASSERT_TRUE(ThroughTheMenu([&] {
        OpenFile();
        ChooseColumns();
        Click("CheckCoord");
        EXPECT_EQ(prompts.shown.last(), ResStr(rsImportNoErrorsFound));
        Click("Sorteer");
        QAbstractItemModel* model = window->DataGrid()->model();
        QStringList names;
        for (int r = 1; r < model->rowCount(); ++r)
            names << model->index(r, 0).data().toString();
        EXPECT_EQ(names, QStringList({"Poel", "Poel", "Ven"}));
        EXPECT_EQ(model->headerData(3, Qt::Vertical).toString(), "4");
    }));
}
