// The build's own tools on program folders of their own: tools/makedata and
// cmake/stage.cmake refresh a file below Lib/ only while it is absent or a version the build
// wrote (Lib/.shipped), so a list the user imported or a file the user changed survives every
// rebuild; a folder from before the manifest counts its files as shipped.

#include "common/printers.h"
#include "common/tempdir.h"
#include "core/shippedfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora::core;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120'000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

struct BuildTools : ::testing::Test {
    QTemporaryDir dir;
    QString source = dir.filePath("src");
    QString program = dir.filePath("program");

    void SetUp() override {
        QDir().mkpath(source + "/data/Lib");
        QDir().mkpath(source + "/data/Data");
        QDir().mkpath(program);
        WriteAll(source + "/schemas.txt", "table T 4 t.csv Lib/T.dbf\nfield NAME C 20\n"
                                          "table D 4 d.csv Data/D.dbf\nfield NAME C 20\n");
        WriteAll(source + "/d.csv", "NAME\nuser data\n");
        SetTable("first");
    }
    void SetTable(const char* name) {
        WriteAll(source + "/t.csv", QByteArray("NAME\n") + name + "\n");
    }
    ToolRun MakeData() const {
        return RunTool(VELMORA_MAKEDATA, {source + "/schemas.txt", source, program});
    }
    ToolRun Stage() const {
        return RunTool(VELMORA_CMAKE_COMMAND, {"-DSRC=" + source + "/data", "-DDST=" + program,
                                               "-P", VELMORA_SOURCE_DIR "/cmake/stage.cmake"});
    }
    QString Lib(const QString& file) const { return program + "/Lib/" + file; }
    QByteArray Manifest() const { return ReadAll(ShippedFiles::ManifestPath(program)); }
};

TEST_F(BuildTools, MakeDataRefreshesItsTablesButKeepsAChangedOne) {
    ToolRun run = MakeData();
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("wrote Lib/T.dbf"));
    const QByteArray first = ReadAll(Lib("T.dbf"));
    EXPECT_EQ(Manifest(), ("Lib/T.dbf\t" + FileSha256(Lib("T.dbf")) + "\n").toUtf8());

    // A new version of the source replaces the shipped table, and its stale index goes.
    SetTable("second");
    WriteAll(Lib("T.mdx"), "stale index");
    run = MakeData();
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const QByteArray second = ReadAll(Lib("T.dbf"));
    EXPECT_NE(second, first);
    EXPECT_TRUE(second.contains("second"));
    EXPECT_FALSE(QFile::exists(Lib("T.mdx")));

    // A table that is no version the build wrote (a list the user imported) stays, with its
    // index, however often the build runs and whatever the source says.
    QByteArray imported = second;
    imported.replace("second", "import");
    WriteAll(Lib("T.dbf"), imported);
    WriteAll(Lib("T.mdx"), "the imported list's index");
    SetTable("third");
    for (int i = 0; i < 2; ++i) {
        run = MakeData();
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("kept Lib/T.dbf")) << run.output.toStdString();
        EXPECT_EQ(ReadAll(Lib("T.dbf")), imported);
        EXPECT_EQ(ReadAll(Lib("T.mdx")), "the imported list's index");
    }
    // The user's data below Data/ was written once and never again.
    EXPECT_TRUE(QFile::exists(program + "/Data/D.dbf"));
    EXPECT_FALSE(Manifest().contains("Data/"));

    // Once the user puts a shipped version back, the build takes care of it again.
    WriteAll(Lib("T.dbf"), second);
    run = MakeData();
    EXPECT_TRUE(run.output.contains("wrote Lib/T.dbf")) << run.output.toStdString();
    EXPECT_TRUE(ReadAll(Lib("T.dbf")).contains("third"));
}

TEST_F(BuildTools, StageRefreshesLibFilesButKeepsAChangedOne) {
    WriteAll(source + "/data/Lib/Names.csv", "Cosmarium a\r\n");
    WriteAll(source + "/data/Data/VLX.ini", "[Database]\r\n");
    QDir().mkpath(source + "/data/Lang");
    WriteAll(source + "/data/Lang/EN.lng", "one");
    ToolRun run = Stage();
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(ReadAll(Lib("Names.csv")), "Cosmarium a\r\n");
    EXPECT_EQ(Manifest(), ("Lib/Names.csv\t" + FileSha256(Lib("Names.csv")) + "\n").toUtf8());

    WriteAll(source + "/data/Lib/Names.csv", "Cosmarium b\r\n");
    ASSERT_EQ(Stage().exitCode, 0);
    EXPECT_EQ(ReadAll(Lib("Names.csv")), "Cosmarium b\r\n");

    // The program added a name to the list in the folder: kept, while the program's own files
    // elsewhere are refreshed as ever.
    WriteAll(Lib("Names.csv"), "Cosmarium b\r\nCosmarium mine\r\n");
    WriteAll(source + "/data/Lib/Names.csv", "Cosmarium c\r\n");
    WriteAll(source + "/data/Lang/EN.lng", "two");
    run = Stage();
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("kept Lib/Names.csv")) << run.output.toStdString();
    EXPECT_EQ(ReadAll(Lib("Names.csv")), "Cosmarium b\r\nCosmarium mine\r\n");
    EXPECT_EQ(ReadAll(program + "/Lang/EN.lng"), "two");
}

// A folder staged before the manifest existed: the stage, which runs first in a build, takes
// every file below Lib/ for shipped (the tables makedata wrote too), so both tools refresh
// their files as before.
TEST_F(BuildTools, AFolderWithoutManifestCountsItsFilesAsShipped) {
    ASSERT_EQ(MakeData().exitCode, 0);
    WriteAll(source + "/data/Lib/Names.csv", "old\r\n");
    ASSERT_EQ(Stage().exitCode, 0);
    ASSERT_TRUE(QFile::remove(ShippedFiles::ManifestPath(program)));

    WriteAll(source + "/data/Lib/Names.csv", "new\r\n");
    SetTable("second");
    ASSERT_EQ(Stage().exitCode, 0);
    ToolRun run = MakeData();
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("wrote Lib/T.dbf")) << run.output.toStdString();
    EXPECT_EQ(ReadAll(Lib("Names.csv")), "new\r\n");
    EXPECT_TRUE(ReadAll(Lib("T.dbf")).contains("second"));

    // The same when makedata is the first to find no manifest.
    ASSERT_TRUE(QFile::remove(ShippedFiles::ManifestPath(program)));
    SetTable("third");
    run = MakeData();
    EXPECT_TRUE(run.output.contains("wrote Lib/T.dbf")) << run.output.toStdString();
    ShippedFiles shipped(program);
    EXPECT_TRUE(shipped.MayReplace("Lib/Names.csv"));
    EXPECT_TRUE(shipped.MayReplace("Lib/T.dbf"));
    EXPECT_TRUE(shipped.MayReplace("Lib/Absent.csv"));
}

} // namespace
