// The database selection window driven through the main window's menu with clicks and keys,
// the backup command, and the start-up that ends in the selection window when the default
// database is gone. What the tables and files hold afterwards is checked, not the window.

#include "common/modalwindow.h"
#include "common/otherprogram.h"
#include "common/printers.h"
#include "common/tempdir.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/inifile.h"
#include "core/text/textutils.h"
#include "recording/messages.h"
#include "session/session.h"
#include "support/tfreelocalizer.h"
#include "ui/formtranslator.h"
#include "ui/messages.h"
#include "ui/startup.h"
#include "ui/tmainform.h"
#include "ui/tselectdbform.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::ReadAll;

namespace {

struct Sample {
    QString kxy;
    QString uxy;
};

// Counts the store's requests to read the map again.
struct MapRecorder : core::DatabaseListener {
    int reloads = 0;
    void MapMustReload() override { ++reloads; }
};

struct SelectWindow : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    MapRecorder map;
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TSelectDBForm> select;

    void SetUp() override {
        QDir root(dir.path());
        root.mkdir("Data");
        root.mkdir("Lib");
        QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                    dir.filePath("Lib/Biotoopcodes.dbf"));
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        store.AddListener(&map);
        MakeDatabase("Test", core::kKmBased, "162", "458", {{"162-458", "160-455"}});
    }
    void TearDown() override {
        select.reset();
        form.reset();
        store.CloseDatabase();
        store.RemoveListener(&map);
        core::CurrentSettings() = core::DefaultSettings();
        core::SetDecimalSeparator('.');
        core::SetProgramDir({});
    }

    // A closed database with one location and its samples as stored.
    void MakeDatabase(const QString& name, const QString& system, const QString& x,
                      const QString& y, const std::vector<Sample>& samples,
                      const QString& mapName = {}) {
        store.CreateDatabase(name);
        ASSERT_TRUE(store.OpenDatabase(name));
        store.SetCoordinateSystem(system);
        store.SetMapName(mapName);
        store.SetSquaresTable({});
        store.Locations().AppendRecord({1, "Ven", "05", "06", "2001", "", "", x, y});
        for (const Sample& s : samples)
            store.Samples().AppendRecord({1, "2001-06-05", s.kxy, s.uxy, "Cosmarium"});
        store.CloseDatabase();
    }

    // The windows as the start-up makes them; the main window opens `database`.
    void Start(const QString& database = QStringLiteral("Test")) {
        core::CurrentSettings().defaultDatabase = database;
        form = std::make_unique<ui::TMainForm>(session);
        select = std::make_unique<ui::TSelectDBForm>(store, form.get());
        select->SetCoordinateLabelsHandler([this] { form->SetCoordinateLabels(); });
        form->SetSelectDatabaseDialog([this] { select->exec(); });
        ASSERT_TRUE(form->FormCreate());
        form->FormShow();
        form->show();
    }

    // Runs `steps` in the selection window once it is open (as the next event); a window
    // that a failed step leaves open is closed.
    void InWindow(const std::function<void()>& steps, const std::shared_ptr<bool>& ran = {}) {
        velmora::testing::InModalWindow(
            select.get(),
            [this, steps] {
                EXPECT_TRUE(select->isModal() && select->isVisible());
                steps();
            },
            ran);
    }
    // The menu item "Open, maak of verwijder Database" with `steps` in the window.
    bool ThroughTheMenu(const std::function<void()>& steps) {
        auto ran = std::make_shared<bool>(false);
        InWindow(steps, ran);
        form->MenuAction("SelectDatabase")->trigger();
        return *ran;
    }

    template <class W> W* Find(const char* name) {
        W* widget = select->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString CurrentField() { return Find<QLineEdit>("CurrentDB")->text(); }
    QStringList Listed() {
        QStringList names;
        auto* box = Find<QListWidget>("DatabaseBox");
        for (int i = 0; i < box->count(); ++i)
            names << box->item(i)->text();
        return names;
    }
    bool Shown(const char* name) { return Find<QWidget>(name)->isVisibleTo(select.get()); }
    void Click(const char* name) {
        auto* button = Find<QPushButton>(name);
        ASSERT_TRUE(button->isVisible()) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    void ClickDatabase(const QString& name) {
        auto* box = Find<QListWidget>("DatabaseBox");
        const QList<QListWidgetItem*> items = box->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {},
                          box->visualItemRect(items[0]).center());
    }
    QRadioButton* Choice(int choice) {
        return Find<QGroupBox>("RDLatLon")
            ->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)
            .value(choice);
    }
    void Choose(int choice) {
        QRadioButton* radio = Choice(choice);
        ASSERT_NE(radio, nullptr);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
        ASSERT_TRUE(radio->isChecked());
    }
    QString CoordXLabel() { return form->findChild<QLabel*>("CoordXLabel")->text(); }
    QStringList Codes(const QString& name) {
        core::Dataset t;
        t.Open(dir.filePath("Data/" + name + "2.dbf"), /*readOnly=*/true);
        QStringList codes;
        for (t.First(); !t.Eof(); t.Next())
            codes << t.FieldByName("KXY").AsString() + "|" + t.FieldByName("UXY").AsString();
        t.Close();
        return codes;
    }
    QString System(const QString& name) {
        return core::IniFile::Load(dir.filePath("Data/" + name + ".ini"))
            .Value("Coordinates", "System");
    }
};

TEST_F(SelectWindow, TheMenuClosesTheDatabaseAndOpensTheOneChosen) {
    MakeDatabase("Ven", core::kLatLon, "5.5", "52.25", {{"   5:30", " 52:030"}}, "Ven.png");
    Start();
    ASSERT_TRUE(store.IsOpen());
    EXPECT_TRUE(form->MenuAction("SelectDatabase")->isEnabled());
    // Not while a record is being edited: closing the database would drop the edit.
    int runs = 0;
    form->SetSelectDatabaseDialog([&] { ++runs; });
    form->LocationNavigator()->Press(ui::DBNavigator::EditRecord);
    form->MenuAction("SelectDatabase")->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(prompts.shown, QStringList{ui::ResStr(ui::rsSaveEditsFirst)});
    EXPECT_EQ(store.Locations().State(), core::DatasetState::Edit);
    form->LocationNavigator()->Press(ui::DBNavigator::Cancel);
    form->SetSelectDatabaseDialog([this] { select->exec(); });
    prompts.shown.clear();

    const int reloads = map.reloads;
    const bool ran = ThroughTheMenu([&] {
        EXPECT_EQ(select->windowTitle(), "Selecteer de database");
        EXPECT_FALSE(store.IsOpen()); // closed while the window is open
        EXPECT_EQ(CurrentField(), "Test");
        EXPECT_EQ(Listed(), (QStringList{"Test", "Ven"}));
        EXPECT_TRUE(Choice(ui::TSelectDBForm::RD)->isChecked());
        EXPECT_TRUE(Shown("Cedit"));
        EXPECT_FALSE(Shown("UpdateKXYUXY"));
        // The square-coordinates table: typed, or chosen in Lib; written at once.
        QTest::keyClicks(Find<QLineEdit>("Cedit"), "Hok");
        EXPECT_EQ(
            core::IniFile::Load(dir.filePath("Data/Test.ini")).Value("Squares", "Coordinates"),
            "Hok");
        prompts.texts = {dir.filePath("Lib/KmHokkenNL.dbf")};
        Click("SelectCoord");
        EXPECT_EQ(Find<QLineEdit>("Cedit")->text(), "KmHokkenNL");
        EXPECT_EQ(
            core::IniFile::Load(dir.filePath("Data/Test.ini")).Value("Squares", "Coordinates"),
            "KmHokkenNL");
        prompts.shown.clear();
        QTest::keyClick(Find<QListWidget>("DatabaseBox"), Qt::Key_Down);
        EXPECT_EQ(CurrentField(), "Ven");
        EXPECT_TRUE(Choice(ui::TSelectDBForm::LatLon)->isChecked());
        EXPECT_FALSE(Shown("Cedit"));
        EXPECT_FALSE(Shown("UpdateKXYUXY")); // its codes are those of its system
        EXPECT_EQ(CoordXLabel(), recording::ResStr(recording::rsLongitudeLabel));
        Click("OKbtn");
    });
    ASSERT_TRUE(ran);
    EXPECT_EQ(select->result(), QDialog::Accepted);
    EXPECT_TRUE(store.IsOpen());
    EXPECT_EQ(store.Name(), "Ven");
    EXPECT_EQ(store.MapName(), "Ven.png");
    EXPECT_EQ(form->DatabaseLabelWidget()->text(), "Database: Ven");
    EXPECT_GT(map.reloads, reloads);
    EXPECT_EQ(CoordXLabel(), recording::ResStr(recording::rsLongitudeLabel));
    EXPECT_EQ(form->LocationEdit("LOCATIE")->text(), "Ven");
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();

    // Escape leaves the window too; the database that is current opens again.
    ASSERT_TRUE(ThroughTheMenu([&] { QTest::keyClick(select.get(), Qt::Key_Escape); }));
    EXPECT_EQ(store.Name(), "Ven");
    EXPECT_TRUE(store.IsOpen());
}

TEST_F(SelectWindow, ANewDatabaseAsksAboutAnExistingNameAndWaitsForItsCoordinateSystem) {
    Start();
    const QByteArray testSettings = ReadAll(dir.filePath("Data/Test.ini"));
    ASSERT_TRUE(ThroughTheMenu([&] {
        prompts.texts = {QString("tEST")};
        prompts.answers = {core::Answer::No};
        Click("Nieuw");
        EXPECT_EQ(prompts.shown, (QStringList{"Geef een naam voor de database",
                                              "Een database met deze naam bestaat al.\nWil je "
                                              "dit bestand vervangen?"}));
        EXPECT_EQ(Listed(), QStringList{"Test"});
        EXPECT_FALSE(Shown("OKbtn")); // until a coordinate system is chosen

        prompts.shown.clear();
        prompts.texts = {QString("Plas")};
        Click("Nieuw");
        EXPECT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(Listed(), (QStringList{"Plas", "Test"}));
        EXPECT_EQ(CurrentField(), "Plas");
        EXPECT_FALSE(Shown("Nieuw"));
        EXPECT_FALSE(Choice(0)->isChecked());
        EXPECT_FALSE(Choice(1)->isChecked());
        EXPECT_EQ(Find<QLineEdit>("Cedit")->text(), "");
        EXPECT_FALSE(Shown("OKbtn"));
        EXPECT_FALSE(QFile::exists(dir.filePath("Data/Plas.ini")));

        Choose(ui::TSelectDBForm::LatLon);
        EXPECT_EQ(System("Plas"), "LatLon");
        EXPECT_EQ(core::CurrentSettings().number, 1);
        EXPECT_FALSE(Shown("UpdateKXYUXY")); // no samples
        EXPECT_FALSE(Shown("Cedit"));
        ASSERT_TRUE(Shown("OKbtn"));
        Click("OKbtn");
    }));
    EXPECT_EQ(store.Name(), "Plas");
    EXPECT_TRUE(store.IsOpen());
    EXPECT_EQ(store.Locations().RecordCount(), 0);
    EXPECT_FALSE(form->SampleNavigator()->isEnabled());
    EXPECT_EQ(CoordXLabel(), recording::ResStr(recording::rsLongitudeLabel));
    // The old database kept its records and settings.
    EXPECT_EQ(ReadAll(dir.filePath("Data/Test.ini")), testSettings);
    EXPECT_EQ(Codes("Test"), QStringList{"162-458|160-455"});
}

TEST_F(SelectWindow, DeletingTheOnlyDatabaseLeavesNoneToOpen) {
    Start();
    const int reloads = map.reloads;
    ASSERT_TRUE(ThroughTheMenu([&] {
        prompts.answers = {core::Answer::Yes};
        Click("DeleteDB");
        EXPECT_EQ(prompts.defaultNo,
                  QStringList{"Weet je zeker dat je database \"Test\" wilt verwijderen?"});
        EXPECT_TRUE(Listed().isEmpty());
        EXPECT_EQ(CurrentField(), "");
        EXPECT_TRUE(Shown("Nieuw"));
        Click("OKbtn");
    }));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.Name(), "");
    EXPECT_EQ(form->DatabaseLabelWidget()->text(), "Database: ");
    EXPECT_EQ(map.reloads, reloads + 1); // the map of the deleted database goes too
    EXPECT_FALSE(form->SampleNavigator()->isEnabled());
    EXPECT_FALSE(form->LocationNavigator()->isEnabled());
    EXPECT_EQ(QDir(dir.filePath("Data")).entryList({"Test*"}, QDir::Files), QStringList{});
}

TEST_F(SelectWindow, ADatabaseThatAnotherProgramHoldsIsNotDeleted) {
    MakeDatabase("Alfa", core::kKmBased, "162", "458", {{"162-458", "160-455"}});
    Start();
    const QStringList files = QDir(dir.filePath("Data")).entryList(QDir::Files, QDir::Name);
    ASSERT_TRUE(ThroughTheMenu([&] {
        ClickDatabase("Alfa");
        EXPECT_EQ(CurrentField(), "Alfa");
        velmora::testing::OtherProgram other(dir.filePath("Data/Alfa2.dbf"));
        ASSERT_TRUE(other.Holding());
        prompts.shown.clear();
        Click("DeleteDB"); // refused before any question: no answer is queued
        EXPECT_EQ(prompts.shown,
                  QStringList{recording::ResStr(recording::rsDatabaseHeldElsewhere).arg("Alfa")});
        EXPECT_EQ(Listed(), (QStringList{"Alfa", "Test"}));
        Click("OKbtn");
    }));
    // Alfa stays, and is the database opened now.
    EXPECT_EQ(store.Name(), "Alfa");
    store.CloseDatabase();
    EXPECT_EQ(QDir(dir.filePath("Data")).entryList(QDir::Files, QDir::Name), files);
    EXPECT_EQ(Codes("Alfa"), QStringList{"162-458|160-455"});
}

TEST_F(SelectWindow, TheSquareCodesAreRewrittenAlikeUnderEitherLanguage) {
    // Graden: degrees in a database that was km-based, its codes km-squares. Atlas: atlas
    // notation whose samples were posted under the English rules (a point near the origin).
    MakeDatabase("Graden", core::kKmBased, "5.5", "52.25", {{"005-052", "005-050"}});
    MakeDatabase("Atlas", core::kKmBased, "3245", "23",
                 {{"003-000", "000-000"}, {"003-000", "000-000"}});
    for (const char* language : {"EN", "NL"}) {
        SCOPED_TRACE(language);
        for (const char* name : {"Graden", "Atlas"})
            QFile::copy(dir.filePath(QString("Data/") + name + "2.dbf"),
                        dir.filePath(QString("Data/") + name + "2.orig"));
        core::CurrentSettings() = core::DefaultSettings();
        core::CurrentSettings().language = language;
        Start();
        support::TFreeLocalizer english;
        if (QString(language) == "EN") {
            english.LoadLanguageFile(QStringLiteral(VELMORA_SOURCE_DIR "/data/Lang/EN.lng"));
            ui::WidgetFormAccess access(select.get());
            english.TranslateForm(access);
            EXPECT_EQ(Find<QPushButton>("UpdateKXYUXY")->text(), "Update KXY and UXY");
        }
        ASSERT_TRUE(ThroughTheMenu([&] {
            ClickDatabase("Graden");
            EXPECT_FALSE(Shown("UpdateKXYUXY"));
            Choose(ui::TSelectDBForm::LatLon);
            EXPECT_EQ(System("Graden"), "LatLon");
            ASSERT_TRUE(Shown("UpdateKXYUXY"));
            Click("UpdateKXYUXY");
            EXPECT_EQ(Codes("Graden"), QStringList{"   5:30| 52:030"});
            EXPECT_FALSE(Shown("UpdateKXYUXY"));
            EXPECT_TRUE(Shown("OKbtn"));

            // The small button rewrites whatever the system; atlas notation is read as such.
            ClickDatabase("Atlas");
            EXPECT_TRUE(Choice(ui::TSelectDBForm::RD)->isChecked());
            Click("UpdateKXYUXYSmall");
            EXPECT_EQ(Codes("Atlas"), (QStringList{"162-458|160-455", "162-458|160-455"}));
            Click("OKbtn");
        }));
        EXPECT_EQ(store.Name(), "Atlas");
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
        select.reset();
        form.reset();
        store.CloseDatabase();
        for (const char* name : {"Graden", "Atlas"}) {
            QFile::remove(dir.filePath(QString("Data/") + name + "2.dbf"));
            QFile::rename(dir.filePath(QString("Data/") + name + "2.orig"),
                          dir.filePath(QString("Data/") + name + "2.dbf"));
        }
        core::IniFile ini = core::IniFile::Load(dir.filePath("Data/Graden.ini"));
        ini.SetValue("Coordinates", "System", "km-based");
        ini.Save(dir.filePath("Data/Graden.ini"));
    }
}

TEST_F(SelectWindow, TheBackupCommandCopiesTheOpenDatabaseIntoANewFolder) {
    Start();
    const QString root = dir.filePath("Backups");
    QDir().mkpath(root);
    core::CurrentSettings().backupFolder = root;

    // Cancelled chooser: nothing.
    prompts.texts = {std::nullopt};
    form->MenuAction("Backup")->trigger();
    EXPECT_EQ(prompts.shown, QStringList{ui::ResStr(ui::rsSelectDirectory)});
    EXPECT_TRUE(QDir(root).isEmpty());

    prompts.shown.clear();
    prompts.texts = {root};
    form->MenuAction("Backup")->trigger();
    const QStringList made = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith("Backup_Test_20"));
    EXPECT_EQ(prompts.shown, (QStringList{ui::ResStr(ui::rsSelectDirectory),
                                          "Backup gemaakt in directory: " + root + "/" + made[0]}));
    EXPECT_EQ(QDir(root + "/" + made[0]).entryList(QDir::Files),
              (QStringList{"Test1.dbf", "Test2.dbf"}));
    EXPECT_TRUE(store.IsOpen()); // the database stays open

    // A fixed clock names the folder; a second backup in the same second is refused and the
    // first stays as it was.
    const QDateTime when(QDate(2011, 5, 23), QTime(14, 5, 9));
    form->SetBackupClock([&] { return when; });
    const QString name = "Backup_Test_2011-05-23_14-05-09";
    prompts.shown.clear();
    prompts.texts = {root};
    form->MenuAction("Backup")->trigger();
    EXPECT_EQ(prompts.shown.last(), "Backup gemaakt in directory: " + root + "/" + name);
    const QByteArray first = ReadAll(root + "/" + name + "/Test2.dbf");
    prompts.shown.clear();
    prompts.texts = {root};
    form->MenuAction("Backup")->trigger();
    EXPECT_EQ(prompts.shown.last(), recording::ResStr(recording::rsBackupNotMade));
    EXPECT_EQ(ReadAll(root + "/" + name + "/Test2.dbf"), first);
    EXPECT_EQ(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);

    // The Data folder itself is refused.
    prompts.shown.clear();
    prompts.texts = {dir.filePath("Data")};
    form->MenuAction("Backup")->trigger();
    EXPECT_EQ(prompts.shown.last(), "Een backup in de Data directory is niet toegestaan");
}

TEST_F(SelectWindow, AStartWithoutItsDefaultDatabaseEndsInTheSelectionWindow) {
    MakeDatabase("Ven", core::kKmBased, "162", "458", {});
    struct Case {
        const char* database;
        bool window;
    };
    for (const Case& c : {Case{"Weg", true}, Case{"", false}, Case{"Test", false}}) {
        SCOPED_TRACE(c.database);
        Start(c.database);
        const bool opened = store.IsOpen();
        bool shown = false;
        form->SetSelectDatabaseDialog([&] {
            shown = true;
            InWindow([&] {
                EXPECT_EQ(Listed(), (QStringList{"Test", "Ven"}));
                // No database is current, and the list's focus alone picks none.
                QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
                QApplication::sendEvent(Find<QListWidget>("DatabaseBox"), &focus);
                EXPECT_EQ(CurrentField(), "");
                EXPECT_EQ(core::CurrentSettings().defaultDatabase, "");
                ClickDatabase("Ven");
                Click("OKbtn");
            });
            select->exec();
        });
        ui::ChooseDatabaseIfNotOpened(*form, store, c.database);
        QTest::qWait(50);
        EXPECT_EQ(shown, c.window);
        if (c.window) {
            EXPECT_FALSE(opened);
            EXPECT_EQ(store.Name(), "Ven");
            EXPECT_TRUE(store.IsOpen());
        }
        select.reset();
        form.reset();
        store.CloseDatabase();
        prompts.shown.clear();
    }
}

} // namespace
