#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/filelock.h"
#include "core/folders.h"
#include "core/resourcestrings.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "session/session.h"
#include "ui/application.h"
#include "ui/startup.h"
#include "ui/tmainform.h"
#include "ui/tprogress.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::WriteAll;

namespace {

// A program folder in a temporary place with a copy of the real executable.
struct ProgramFolder {
    QTemporaryDir dir;
    QString exe;
    ProgramFolder() {
        QDir root(dir.path());
        for (const char* sub : {"Data", "Lib", "Maps", "Lang", "help"})
            root.mkdir(sub);
        // The real reference files, so that the first copy starts without a message.
        const QDir lib(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib");
        for (const QString& f : lib.entryList(QDir::Files))
            QFile::copy(lib.filePath(f), dir.filePath("Lib/" + f));
        exe = dir.filePath("velmora");
        QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/velmora", exe);
    }
};

TEST(Startup, SecondCopyIsRefusedWhileTheFirstRuns) {
    // With the reference files, and without the biotope table (the guard must not depend on
    // a reference file being there).
    for (const bool withBiotopes : {true, false}) {
        ProgramFolder folder;
        ASSERT_TRUE(QFile::exists(folder.exe));
        if (!withBiotopes) {
            ASSERT_TRUE(QFile::remove(folder.dir.filePath("Lib/Biotoopcodes.dbf")));
        }
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        first.setProcessEnvironment(env);
        first.start(folder.exe, {});
        ASSERT_TRUE(first.waitForStarted(10000));

        const QString lock = folder.dir.filePath("Data/Velmora.lock");
        QElapsedTimer timer;
        timer.start();
        while (!core::IsFileInUse(lock) && timer.elapsed() < 20000)
            QThread::msleep(50);
        ASSERT_TRUE(core::IsFileInUse(lock)) << "the first copy never took its lock";

        core::SetProgramDir(folder.dir.path());
        {
            core::ScriptedPrompts prompts;
            core::FileLock runLock;
            EXPECT_TRUE(session::SecondCopyRefused(runLock)) << withBiotopes;
            EXPECT_FALSE(runLock.Held());
            ASSERT_EQ(prompts.shown.size(), 1);
            EXPECT_EQ(prompts.shown[0], "De database is al open in een ander programma");
        }
        first.kill();
        first.waitForFinished(5000);
        {
            core::ScriptedPrompts prompts;
            core::FileLock runLock;
            EXPECT_FALSE(session::SecondCopyRefused(runLock));
            EXPECT_TRUE(runLock.Held());
            EXPECT_TRUE(prompts.shown.isEmpty());
        }
        // The refused copy wrote nothing: no settings file appeared.
        EXPECT_FALSE(QFile::exists(folder.dir.filePath("Data/VLX.ini")));
        core::SetProgramDir({});
    }
}

// Each window is created once at start-up, in a fixed order (a window's creation may rely on
// those made before it). Read from the start-up's source: the windows not built yet are
// simply absent from it.
TEST(Startup, TheWindowsAreCreatedInTheirOrder) {
    const QStringList order = {
        "TMainForm",     "TDataForm",    "TNWForm",       "TDistributionForm", "TPrefForm",
        "TLocationForm", "TFotoMapForm", "TSquareForm",   "TTableForm",        "TGridColumnSelect",
        "TAboutBox",     "TProgress",    "TSelectDBForm", "TBoxplotForm",      "TCheckForm"};
    const QString startup = QString::fromUtf8(
        velmora::testing::ReadAll(QStringLiteral(VELMORA_SOURCE_DIR "/ui/startup.cpp")));
    static const QRegularExpression created(
        QStringLiteral(R"((?:make_unique<|new\s+)(?:ui::)?(T[A-Z]\w*)\b)"));
    qsizetype previous = -1;
    QString previousName;
    for (const QRegularExpressionMatch& m : created.globalMatch(startup)) {
        const QString name = m.captured(1);
        const qsizetype position = order.indexOf(name);
        EXPECT_GE(position, 0) << name.toStdString() << " has no place in the order";
        EXPECT_GT(position, previous)
            << name.toStdString() << " is created after " << previousName.toStdString();
        previous = std::max(previous, position);
        previousName = name;
    }
}

TEST(MainForm, CaptionRule) {
    EXPECT_EQ(ui::TMainForm::MainCaption("velmora", "/home/u/velmora/"),
              "VelmoraDataBase Versie 2.92");
    EXPECT_EQ(ui::TMainForm::MainCaption("velmora", "/opt/prog/"), "Velmora Database");
}

TEST(MainForm, MenuAndPlacementFromSettings) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Data");
    QDir(dir.path()).mkdir("Lib");
    QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                dir.filePath("Lib/Biotoopcodes.dbf"));
    core::SetProgramDir(dir.path());
    core::CurrentSettings() = core::DefaultSettings();
    core::ScriptedPrompts prompts;
    session::Session session;
    ui::TMainForm form(session);
    ASSERT_TRUE(form.FormCreate());
    form.FormShow();
    form.show();
    EXPECT_EQ(form.width(), 800); // width fixed by the size limits
    for (const char* name : {"SelectDatabase", "Importeer", "Afsluiten", "Natuurwaarde",
                             "Stippenkaart1", "Preferences", "HelpItem", "About"})
        EXPECT_NE(form.MenuAction(name), nullptr) << name;
    EXPECT_TRUE(form.MenuAction("Afsluiten")->isEnabled());
    EXPECT_FALSE(form.ExpertMode());
    form.SetExpertMode(true);
    EXPECT_TRUE(form.findChild<QLabel*>("ExpertLabel")->isVisibleTo(&form));

    form.resize(800, 600);
    QApplication::processEvents();
    EXPECT_EQ(core::CurrentSettings().mainHeight, 600);
    EXPECT_EQ(core::CurrentSettings().mainWidth, 800);
    form.MenuAction("Afsluiten")->trigger();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(prompts.shown.isEmpty());
    core::SetProgramDir({});
}

TEST(Progress, CancelIsSeenByTheLoop) {
    ui::TProgress::SetFinishPause(10);
    ui::TProgress progress;
    progress.SetRange(0, 100);
    progress.StartProgress();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.windowTitle(), "Progress");
    EXPECT_EQ(progress.Label()->text(), "Data wordt verwerkt.....");
    int stoppedAt = -1;
    for (int i = 0; i <= 100; ++i) {
        if (i == 30)
            QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
        if (progress.StepProgress(i)) {
            stoppedAt = i;
            break;
        }
    }
    EXPECT_EQ(stoppedAt, 30);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.Bar()->value(), 30);
    progress.StartProgress(); // a new run clears the request
    EXPECT_FALSE(progress.StepProgress(1));
    progress.FinishProgress();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.Label()->text(), "Klaar");
}

TEST(Application, AnErrorEscapingAHandlerBecomesAMessage) {
    core::ScriptedPrompts prompts;
    core::SetUserPrompts(&prompts);
    struct Case {
        std::function<bool()> deliver;
        bool handled;
        QStringList shown;
    };
    const Case cases[] = {
        {[] { return true; }, true, {}},
        {[]() -> bool { throw core::Error("disk full", "/data/Ven2.dbf"); },
         false,
         {"/data/Ven2.dbf: disk full"}},
        {[]() -> bool { throw std::bad_alloc(); }, false, {core::ResStr(core::rsNotEnoughMemory)}},
        {[]() -> bool { throw std::runtime_error("odd"); }, false, {"odd"}},
        {[]() -> bool { throw core::Refusal{}; }, false, {}}, // already said
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        EXPECT_EQ(ui::DeliverGuarded(c.deliver), c.handled);
        EXPECT_EQ(prompts.shown, c.shown);
    }
    core::SetUserPrompts(nullptr);
}

} // namespace
