// The name correction window driven from the main window's menu with clicks and keys: a
// doubtful name clicked, a suggestion taken, renamed everywhere, the names normalised, nameless
// samples deleted, and "Bewerk record" bringing the main window to that sample's event.

#include "common/modalwindow.h"
#include "common/programfolder.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "session/session.h"
#include "ui/tcheckform.h"
#include "ui/tmainform.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct CheckWindow : ::testing::Test {
    velmora::testing::ProgramFolder dir{velmora::testing::ProgramFolder::Lib::WithBiotopes};
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TCheckForm> window;

    void SetUp() override {
        session.Ecology().searchList.Add("Cosmarium botrytis");
        session.Ecology().searchList.Add("Closterium lunula");
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        store.Locations().AppendRecord({1, "Ven", "05", "06", "2019", "", "", "160", "450"});
        store.Locations().AppendRecord({2, "Poel", "01", "07", "2020", "", "", "160", "450"});
        core::Dataset& s = store.Samples();
        s.AppendRecord({1, "2019-06-05", "", "", "Cosmarium botrytys"});
        s.AppendRecord({2, "2020-07-01", "", "", "Cosmarium botrytys"});
        s.AppendRecord({2, "2020-07-01", "", "", "closterium  LUNULA"});
        s.AppendRecord({2, "2020-07-01", "", "", "Closterium lunula"});
        store.CloseDatabase();
        core::CurrentSettings().defaultDatabase = "Test";
        form = std::make_unique<ui::TMainForm>(session);
        window = std::make_unique<ui::TCheckForm>(store, session.Ecology().searchList, form.get());
        form->SetCheckNamesDialog([this] { return window->Run(); });
        window->SetAddToSearchList([this](const QString& name) { form->AddToSearchList(name); });
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
        QAction* item = form->MenuAction("CheckNames");
        EXPECT_TRUE(item && item->isEnabled());
        if (item)
            item->trigger();
        return *ran;
    }
    void ClickItem(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void Click(const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    QStringList Items(QListWidget* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    QStringList Names() {
        QStringList names;
        core::Dataset& s = store.Samples();
        s.SetIndexName({});
        for (s.First(); !s.Eof(); s.Next())
            names << s.FieldByName("DESMID").AsString();
        return names;
    }
};

} // namespace

TEST_F(CheckWindow, ADoubtfulNameIsRenamedEverywhereFromASuggestion) {
    ASSERT_TRUE(ThroughTheMenu([&] {
        EXPECT_EQ(Items(window->Doubtful()),
                  QStringList({"closterium  LUNULA", "Cosmarium botrytys", "Cosmarium botrytys"}));
        // The list saved as it is shown.
        prompts.texts = {dir.filePath("namen.txt")};
        Click("BewaarLijst");
        EXPECT_EQ(QString::fromUtf8(velmora::testing::ReadAll(dir.filePath("namen.txt"))),
                  "closterium  LUNULA\r\nCosmarium botrytys\r\nCosmarium botrytys\r\n");
        ClickItem(window->Doubtful(), 1);
        EXPECT_EQ(window->findChild<QLineEdit*>("CorrigeerNaam")->text(), "Cosmarium botrytys");
        EXPECT_EQ(window->findChild<QLineEdit*>("LocEdit")->text(), "Ven");
        const QStringList suggestions = Items(window->SuggestionList());
        ASSERT_GE(suggestions.size(), 3);
        EXPECT_EQ(suggestions[0], "Cosmarium botrytys   <-- twijfelachtige naam");
        EXPECT_EQ(suggestions[2], "Cosmarium botrytis");
        ClickItem(window->SuggestionList(), 2);
        EXPECT_EQ(window->findChild<QLineEdit*>("NewName")->text(), "Cosmarium botrytis");
        auto* changeAll = window->findChild<QCheckBox*>("ChangeAll");
        EXPECT_FALSE(changeAll->isChecked());
        changeAll->setFocus();
        QTest::keyClick(changeAll, Qt::Key_Space);
        EXPECT_TRUE(changeAll->isChecked());
        Click("WijzigNaam");
        EXPECT_EQ(Items(window->Doubtful()), QStringList{"closterium  LUNULA"});
        // A new name goes into the search list after the question.
        auto* newName = window->findChild<QLineEdit*>("NewName");
        newName->clear();
        QTest::keyClicks(newName, "Cosmarium novum");
        prompts.answers = {core::Answer::Yes};
        Click("VoegToeZoeklijst");
        EXPECT_TRUE(Items(window->KnownNames()).contains("Cosmarium novum"));
        EXPECT_TRUE(session.Ecology().searchList.Contains("Cosmarium novum"));
        // The rules mend the last one.
        Click("VoerCorrectiesUit");
        EXPECT_EQ(window->Doubtful()->count(), 0);
        QTest::keyClick(window.get(), Qt::Key_Escape);
    }));
    EXPECT_EQ(Names(), QStringList({"Cosmarium botrytis", "Cosmarium botrytis", "Closterium lunula",
                                    "Closterium lunula"}));
}

TEST_F(CheckWindow, EditRecordShowsTheEventOfTheChosenSample) {
    ASSERT_TRUE(ThroughTheMenu([&] {
        ClickItem(window->Doubtful(), 0); // "closterium  LUNULA" of "Poel"
        EXPECT_EQ(window->findChild<QLineEdit*>("LocEdit")->text(), "Poel");
        Click("BewerkRecord");
        EXPECT_FALSE(window->isVisible());
    }));
    EXPECT_EQ(store.Locations().FieldByName("LOCATIE").AsString(), "Poel");
}

TEST_F(CheckWindow, NamelessSamplesGoWithTheirButtonAndTheWindowClosesWithItsButton) {
    {
        // Samples without a name, as an older program or an import left them.
        const core::DatabaseStore::BulkChange bulk(store);
        store.Samples().AppendRecord({1, "2019-06-05", "", "", ""});
        store.Samples().AppendRecord({1, "2019-06-05", "", "", ""});
    }
    ASSERT_TRUE(ThroughTheMenu([&] {
        EXPECT_EQ(Items(window->Doubtful()).mid(0, 2), QStringList({" Geen naam", " Geen naam"}));
        Click("VerwijderZonderNaam");
        EXPECT_FALSE(Items(window->Doubtful()).contains(" Geen naam"));
        Click("ZoekNamen");
        EXPECT_EQ(window->Doubtful()->count(), 3);
        Click("Sluit");
        EXPECT_FALSE(window->isVisible());
    }));
    EXPECT_EQ(Names().size(), 4);
}
