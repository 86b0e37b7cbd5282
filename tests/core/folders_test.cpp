#include "common/tempdir.h"
#include "core/error.h"
#include "core/filelock.h"
#include "core/folders.h"
#include "core/text/fieldnametable.h"
#include "core/text/textutils.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora::core;
using velmora::testing::WriteAll;

namespace {

TEST(Folders, BuiltFromTheExecutableFolderNotTheWorkingDirectory) {
    const QString exeDir = QCoreApplication::applicationDirPath() + "/";
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    EXPECT_EQ(ProgramDir(), exeDir);
    EXPECT_EQ(DataDir(), exeDir + "Data/");
    EXPECT_EQ(LibDir(), exeDir + "Lib/");
    EXPECT_EQ(MapsDir(), exeDir + "Maps/");
    EXPECT_EQ(LanguageDir(), exeDir + "Lang/");
    EXPECT_EQ(ManualPath(), exeDir + "help/Handleiding Velmora Database.pdf");
    QDir::setCurrent(before);

    SetProgramDir("/opt/velmora");
    EXPECT_EQ(DataDir(), "/opt/velmora/Data/");
    SetProgramDir({});
    EXPECT_EQ(ProgramDir(), exeDir);
}

TEST(FieldNameTable, SplitsAtCommasAndUnquotedBlanks) {
    struct Case {
        const char* line;
        QStringList cells;
    };
    const Case cases[] = {
        {"pH,PH,N", {"pH", "PH", "N"}},
        {"Locatie , LOCATIE , T", {"Locatie", "LOCATIE", "T"}},
        {"Jaar JAAR T", {"Jaar", "JAAR", "T"}},
        {"\"Water temp\",WTEMP", {"Water temp", "WTEMP"}},
        {"\"say \"\"hi\"\"\",X", {"say \"hi\"", "X"}},
        {"\"a,b\" c", {"a,b", "c"}},
        {"  lead   trail  ", {"lead", "trail"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitFieldNameLine(c.line), c.cells) << c.line;
}

TEST(FieldNameTable, ReadsThreeCellsPerLine) {
    QTemporaryDir dir;
    WriteAll(dir.filePath("FieldNames.csv"),
             "pH,PH,N\r\n\r\nEGV,EGV\r\nLocatie,LOCATIE,T,extra\r\n");
    const auto rows = ReadFieldNameTable(dir.filePath("FieldNames.csv"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (FieldNameRow{"pH", "PH", "N"}));
    EXPECT_EQ(rows[1], (FieldNameRow{"EGV", "EGV", ""}));
    EXPECT_EQ(rows[2], (FieldNameRow{"Locatie", "LOCATIE", "T"}));
    EXPECT_THROW(ReadFieldNameTable(dir.filePath("missing.csv")), Error);
}

TEST(FileInUse, MissingFreeAndLockedByAnotherProcess) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Biotoopcodes.dbf");
    EXPECT_FALSE(IsFileInUse(path)); // missing
    WriteAll(path, "x");
    EXPECT_FALSE(IsFileInUse(path)); // free; the test released it again
    EXPECT_FALSE(IsFileInUse(path));

    int toParent[2];
    int toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        FileLock lock;
        const char ok = lock.Acquire(path) ? '1' : '0';
        (void)!write(toParent[1], &ok, 1);
        char c;
        (void)!read(toChild[0], &c, 1); // hold until the parent has looked
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(toParent[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_TRUE(IsFileInUse(path));
    FileLock mine;
    EXPECT_FALSE(mine.Acquire(path));
    (void)!write(toChild[1], "x", 1);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_FALSE(IsFileInUse(path)); // released when the holder ends
    EXPECT_TRUE(mine.Acquire(path));
    EXPECT_TRUE(IsFileInUse(path)); // also refused within one process
}

TEST(Numbers, ParseNumberAcceptsCommaOrPoint) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"7,5", 7.5}, {"7.5", 7.5}, {" -3 ", -3}, {"12.", 12}, {"0,25", 0.25}};
    SetDecimalSeparator(',');
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ParseNumber(c.text), c.value) << c.text;
    EXPECT_EQ(DecimalSeparator(), QChar(','));
    for (const char* bad : {"", "abc", "1.2.3", "1,2,3", "-", "1 2"})
        EXPECT_THROW(ParseNumber(bad), Error) << bad;
    EXPECT_EQ(FormatDecimal(7.5, 1), "7,5");
    SetDecimalSeparator('.');
    EXPECT_EQ(FormatDecimal(7.5, 2), "7.50");
    EXPECT_EQ(FormatDate(QDate(2011, 5, 23)), "2011-05-23");
}

} // namespace
