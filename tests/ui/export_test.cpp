// The export commands of the main window's menu: the file chosen, the extension added, the
// question before an existing file is replaced, a spreadsheet file held by another program
// refused, and the flat table written.

#include "common/otherprogram.h"
#include "common/programfolder.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/textutils.h"
#include "recording/messages.h"
#include "session/session.h"
#include "ui/tmainform.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

struct ExportMenu : ::testing::Test {
    velmora::testing::ProgramFolder dir{velmora::testing::ProgramFolder::Lib::WithBiotopes};
    core::ScriptedPrompts prompts;
    session::Session session;
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;

    void SetUp() override {
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        store.Locations().AppendRecord({1, "Ven", "05", "06", "2019", "", "", "160", "450"});
        store.Samples().AppendRecord({1, "", "", "", "Cosmarium botrytis"});
        store.Samples().AppendRecord({1, "", "", "", "Closterium lunula"});
        store.CloseDatabase();
        core::CurrentSettings().defaultDatabase = "Test";
        form = std::make_unique<ui::TMainForm>(session);
        ASSERT_TRUE(form->FormCreate());
        form->FormShow();
        form->show();
        prompts.shown.clear();
    }
    void TearDown() override {
        form.reset();
        store.CloseDatabase();
    }
    void Choose(const char* item) {
        QAction* action = form->MenuAction(item);
        ASSERT_TRUE(action && action->isEnabled()) << item;
        action->trigger();
    }
};

} // namespace

TEST_F(ExportMenu, TheTextExportAddsItsExtensionAndAsksBeforeReplacing) {
    prompts.texts = {dir.filePath("uitvoer")};
    Choose("TextExport");
    const QStringList lines =
        QString::fromUtf8(ReadAll(dir.filePath("uitvoer.tsv"))).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains("Closterium lunula"));

    // Replacing: No keeps the file, Yes writes it again.
    WriteAll(dir.filePath("uitvoer.tsv"), "oud");
    prompts.texts = {dir.filePath("uitvoer.tsv")};
    prompts.answers = {core::Answer::No};
    Choose("TextExport");
    EXPECT_EQ(ReadAll(dir.filePath("uitvoer.tsv")), "oud");
    EXPECT_TRUE(prompts.shown.last().endsWith(recording::ResStr(recording::rsReplaceQuestion)));
    prompts.texts = {dir.filePath("uitvoer.tsv")};
    prompts.answers = {core::Answer::Yes};
    Choose("TextExport");
    EXPECT_NE(ReadAll(dir.filePath("uitvoer.tsv")), "oud");
    // The main window is usable afterwards.
    EXPECT_FALSE(store.Locations().ControlsDisabled());
}

TEST_F(ExportMenu, ASpreadsheetHeldByAnotherProgramIsNotWritten) {
    const QString path = dir.filePath("tabel.xlsx");
    WriteAll(path, "in gebruik");
    {
        velmora::testing::OtherProgram other(path);
        prompts.texts = {path};
        prompts.answers = {core::Answer::Yes};
        Choose("ExporteerXLSbestand");
    }
    EXPECT_EQ(prompts.shown.last(), recording::ResStr(recording::rsExportFileInUse));
    EXPECT_EQ(ReadAll(path), "in gebruik");

    prompts.texts = {path};
    prompts.answers = {core::Answer::Yes};
    Choose("ExporteerXLSbestand");
    EXPECT_EQ(core::ReadSpreadsheetFile(path).RowCount(), 4);
}
