// The program's start and end without a window: settings, the second-copy refusal, the
// reference lists, the default database and the end of the run.

#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/filelock.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/taxalistfile.h"
#include "session/messages.h"
#include "session/session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::WriteAll;

namespace {

struct SessionTest : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;

    void SetUp() override {
        QDir root(dir.path());
        for (const char* sub : {"Data", "Lib"})
            root.mkdir(sub);
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
    }
    void TearDown() override {
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }
    QString Lib(const QString& file) const { return dir.filePath("Lib/" + file); }

    // The reference files a start-up reads: a one-name Dutch taxa list, its additional list,
    // the field-name table and the shipped biotope table.
    void WriteReferenceFiles() {
        std::vector<core::dbf::FieldDef> fields;
        for (const QString& name : ecology::TaxaListFieldNames())
            fields.push_back(core::dbf::TextField(name.toStdString(), 50));
        core::Dataset::CreateTable(Lib("TaxaListAnnotatedNL.dbf"), fields,
                                   core::dbf::TableLevel::Level4);
        core::Dataset table;
        table.Open(Lib("TaxaListAnnotatedNL.dbf"));
        table.AppendRecord(
            {"Cosmarium nl", "Cosmarium nl", "Ralfs", "oligo", "acido", "", "1", "1", "", ""});
        table.Close();
        WriteAll(Lib("AdditionalTaxalistNL.csv"), "Closterium spec. nl\r\n");
        WriteAll(Lib("FieldNames.csv"), "Locatie, LOCATIE, C\r\n");
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                                Lib("Biotoopcodes.dbf")));
    }
};

TEST_F(SessionTest, StartsOpensAndEndsWithoutAWindow) {
    WriteReferenceFiles();
    {
        core::Settings stored = core::DefaultSettings();
        stored.analist = "A. Analist";
        stored.defaultDatabase = "Ven";
        core::WriteSettingsFile(stored, core::DataDir() + "VLX.ini");
    }
    session::Session session;
    session.ReadSettings();
    EXPECT_EQ(core::CurrentSettings().analist, "A. Analist");
    ASSERT_FALSE(session.SecondCopyRefused());
    session.LoadReferenceLists();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_EQ(session.Ecology().taxaList.FindTaxon("Cosmarium nl"), 0);
    EXPECT_TRUE(session.Ecology().searchList.Contains("Closterium spec. nl"));
    ASSERT_EQ(session.FieldNames().size(), 1u);
    EXPECT_EQ(session.FieldNames()[0][1], "LOCATIE");
    ASSERT_FALSE(session.Biotopes().empty());
    EXPECT_FALSE(session.Biotopes().front().code.isEmpty());
    // The biotope table is held for the run: an earlier version of the program started beside
    // this one sees it in use.
    EXPECT_TRUE(core::IsFileInUse(Lib("Biotoopcodes.dbf")));
    // So is the run lock: a second session is refused.
    {
        core::FileLock other;
        EXPECT_TRUE(session::SecondCopyRefused(other));
        EXPECT_EQ(prompts.shown.last(), session::ResStr(session::rsDatabaseInUse));
    }

    session.Store().CreateDatabase("Ven");
    ASSERT_TRUE(session.OpenDefaultDatabase());
    EXPECT_TRUE(session.Store().IsOpen());

    core::CurrentSettings().analist = "B. Analist";
    session.End();
    EXPECT_FALSE(session.Store().IsOpen());
    EXPECT_FALSE(core::IsFileInUse(Lib("Biotoopcodes.dbf")));
    EXPECT_EQ(core::ReadSettingsFile(core::DataDir() + "VLX.ini").analist, "B. Analist");
    core::FileLock after;
    EXPECT_FALSE(session::SecondCopyRefused(after)); // the run lock went with the end
}

TEST_F(SessionTest, MissingReferenceFilesAreMessagesAndEmptyLists) {
    session::Session session;
    session.ReadSettings();
    session.LoadReferenceLists();
    // One message per unreadable list; the run goes on with empty lists.
    EXPECT_GE(prompts.shown.size(), 3) << prompts.shown.join('|').toStdString();
    EXPECT_TRUE(session.FieldNames().empty());
    EXPECT_TRUE(session.Biotopes().empty());
    EXPECT_FALSE(session.OpenDefaultDatabase()); // no default database: nothing opened
    session.End();
}

} // namespace
