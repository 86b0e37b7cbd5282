// The photo folder dialog driven through the main window's "Maak fotomap" with keys and
// clicks: the proposal for the current event, the folder made below the main folder, the
// main folder kept as the setting, Cancel and Escape, and names that must not leave the
// main folder.

#include "common/modalwindow.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "session/session.h"
#include "support/messages.h"
#include "ui/tfotomapform.h"
#include "ui/tmainform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct PhotoWindow : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TFotoMapForm> foto;
    QByteArray oldHome = qgetenv("HOME");

    void SetUp() override {
        QDir root(dir.path());
        root.mkdir("Data");
        root.mkdir("Lib");
        root.mkdir("home");
        qputenv("HOME", QFile::encodeName(dir.filePath("home")));
        QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                    dir.filePath("Lib/Biotoopcodes.dbf"));
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        store.CreateDatabase("Test");
    }
    void TearDown() override {
        foto.reset();
        form.reset();
        store.CloseDatabase();
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
        qputenv("HOME", oldHome);
    }

    void AddLocation(const QString& name, const QString& year, const QString& month,
                     const QString& x, const QString& y) {
        ASSERT_TRUE(store.OpenDatabase("Test"));
        store.Locations().AppendRecord({1, name, "05", month, year, "", "", x, y});
        store.CloseDatabase();
    }

    void Start(const QString& photoFolder) {
        core::CurrentSettings().defaultDatabase = "Test";
        core::CurrentSettings().photoFolder = photoFolder;
        form = std::make_unique<ui::TMainForm>(session);
        foto = std::make_unique<ui::TFotoMapForm>(form.get());
        form->SetPhotoFolderDialog([this](QString& mainFolder, QString& subfolder) {
            return foto->Run(mainFolder, subfolder);
        });
        ASSERT_TRUE(form->FormCreate());
        form->FormShow();
        form->show();
    }

    QLineEdit* Field(const char* name) { return foto->findChild<QLineEdit*>(name); }
    QPushButton* ButtonOf(const char* name) { return foto->findChild<QPushButton*>(name); }

    // "Maak fotomap" from the menu with `steps` run in the dialog once it is open; a dialog
    // left open by a failed step is cancelled. Returns whether the dialog was shown.
    bool ThroughTheMenu(const std::function<void()>& steps) {
        auto ran = std::make_shared<bool>(false);
        InDialog(steps, ran);
        form->MenuAction("MaakFotoDIR")->trigger();
        return *ran;
    }
    void InDialog(const std::function<void()>& steps, const std::shared_ptr<bool>& ran) {
        velmora::testing::InModalWindow(
            foto.get(),
            [this, steps] {
                EXPECT_TRUE(foto->isModal());
                steps();
            },
            ran);
    }

    QString StoredPhotoFolder() {
        return core::ReadSettingsFile(core::DataDir() + "VLX.ini").photoFolder;
    }
    // Every folder below `root`, relative to it.
    static QStringList FoldersBelow(const QString& root) {
        QStringList found;
        QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(root).relativeFilePath(it.next());
        found.sort();
        return found;
    }
};

TEST_F(PhotoWindow, EnterMakesTheProposedFolderBelowTheMainFolderAndKeepsTheSetting) {
    AddLocation("Ven/Oost", "2019", "05", "181.2", "372.9");
    const QString photos = dir.filePath("photos");
    Start(photos);
    QString shownMain, shownSub;
    ASSERT_TRUE(ThroughTheMenu([&] {
        shownMain = Field("Hoofdmap")->text();
        shownSub = Field("Submap")->text();
        EXPECT_TRUE(Field("Hoofdmap")->isReadOnly());
        EXPECT_EQ(foto->focusWidget(), Field("Submap"));
        QTest::keyClick(foto->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(foto->focusWidget(), ButtonOf("OKbtn"));
        QTest::keyClick(foto->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(foto->focusWidget(), ButtonOf("Cancelbtn"));
        QTest::keyClick(foto->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(foto->focusWidget(), ButtonOf("Wijzig"));
        Field("Submap")->setFocus();
        QTest::keyClick(Field("Submap"), Qt::Key_Return);
    }));
    EXPECT_EQ(shownMain, photos);
    // The "/" of the name is no folder of its own.
    EXPECT_EQ(shownSub, "/2019/Maand 05/Ven_Oost#coord. 181.2 - 372.9");
    EXPECT_EQ(FoldersBelow(photos), QStringList({"2019", "2019/Maand 05",
                                                 "2019/Maand 05/Ven_Oost#coord. 181.2 - 372.9"}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join("|").toStdString();
    EXPECT_EQ(StoredPhotoFolder(), photos);

    // The same folder again: it exists, which is no error.
    ASSERT_TRUE(ThroughTheMenu([&] { QTest::mouseClick(ButtonOf("OKbtn"), Qt::LeftButton); }));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(PhotoWindow, AnEmptySettingProposesDesmidsInTheHomeFolderAndStoresIt) {
    AddLocation("Ven", "2020", "11", "1", "2");
    Start(QString());
    QString shownMain;
    ASSERT_TRUE(ThroughTheMenu([&] {
        shownMain = Field("Hoofdmap")->text();
        QTest::mouseClick(ButtonOf("OKbtn"), Qt::LeftButton);
    }));
    const QString desmids = dir.filePath("home") + "/Desmids";
    EXPECT_EQ(shownMain, desmids);
    EXPECT_TRUE(QFileInfo(desmids + "/2020/Maand 11/Ven#coord. 1 - 2").isDir());
    EXPECT_EQ(core::CurrentSettings().photoFolder, desmids);
    EXPECT_EQ(StoredPhotoFolder(), desmids);
}

// "Wijzig" picks another main folder; Cancel (the button or Escape) puts the old one back
// and makes nothing.
TEST_F(PhotoWindow, CancelAfterChoosingAnotherMainFolderLeavesTheSettingAlone) {
    AddLocation("Ven", "2019", "05", "1", "2");
    const QString photos = dir.filePath("photos");
    const QString other = dir.filePath("other");
    QDir().mkpath(photos);
    QDir().mkpath(other);
    Start(photos);
    for (bool escape : {false, true}) {
        prompts.texts.push_back(other);
        QString afterWijzig;
        ASSERT_TRUE(ThroughTheMenu([&] {
            QTest::mouseClick(ButtonOf("Wijzig"), Qt::LeftButton);
            afterWijzig = Field("Hoofdmap")->text();
            if (escape)
                QTest::keyClick(Field("Submap"), Qt::Key_Escape);
            else
                QTest::mouseClick(ButtonOf("Cancelbtn"), Qt::LeftButton);
        }));
        EXPECT_EQ(afterWijzig, other);
        EXPECT_EQ(core::CurrentSettings().photoFolder, photos);
        EXPECT_EQ(StoredPhotoFolder(), photos);
        EXPECT_TRUE(FoldersBelow(photos).isEmpty());
        EXPECT_TRUE(FoldersBelow(other).isEmpty());
    }

    // The choice kept on OK.
    prompts.texts.push_back(other);
    ASSERT_TRUE(ThroughTheMenu([&] {
        QTest::mouseClick(ButtonOf("Wijzig"), Qt::LeftButton);
        QTest::mouseClick(ButtonOf("OKbtn"), Qt::LeftButton);
    }));
    EXPECT_EQ(StoredPhotoFolder(), other);
    EXPECT_EQ(FoldersBelow(other).size(), 3);
}

TEST_F(PhotoWindow, AnEditedSubfolderThatClimbsOutIsRefusedWithTheMessage) {
    AddLocation("Ven", "2019", "05", "1", "2");
    const QString photos = dir.filePath("photos");
    Start(photos);
    ASSERT_TRUE(ThroughTheMenu([&] {
        QLineEdit* sub = Field("Submap");
        sub->selectAll();
        QTest::keyClicks(sub, "/../escaped");
        QTest::keyClick(sub, Qt::Key_Return);
    }));
    EXPECT_EQ(prompts.shown, QStringList{support::ResStr(support::rsPhotoFolderNotMade) + "\n" +
                                         support::ResStr(support::rsPhotoFolderBadCharacters)});
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("escaped")));
    EXPECT_FALSE(QFileInfo::exists(photos));
    // Whatever the outcome, the main folder is kept.
    EXPECT_EQ(StoredPhotoFolder(), photos);
}

TEST_F(PhotoWindow, WithoutALocationThereIsNothingToMakeAFolderFor) {
    Start(dir.filePath("photos"));
    EXPECT_FALSE(ThroughTheMenu([] {}));
    EXPECT_EQ(prompts.shown, QStringList{support::ResStr(support::rsNoLocationForPhotoFolder)});
}

} // namespace
