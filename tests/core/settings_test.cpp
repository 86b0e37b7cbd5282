#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/colors.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/grid/gridfiles.h"
#include "core/imagefiles.h"
#include "core/resourcestrings.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/inifile.h"
#include "core/text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora::core;
using velmora::testing::FillDisk;
using velmora::testing::kNoSmallFileSystem;
using velmora::testing::ReadAll;
using velmora::testing::RunOnSmallFileSystem;
using velmora::testing::WriteAll;

namespace {

const char* const kDefaultFileTail =
    "[Abundance]\r\nConversion=4\r\n"
    "[Sort]\r\nOrder=0\r\n"
    "[TaxaList]\r\nNumber=0\r\n"
    "[Taxon]\r\nAddInfo=0\r\n"
    "[Distribution Map]\r\nTop=0\r\nLeft=0\r\n"
    "[Period]\r\nBeginJaar=1900\r\nEindJaar=2011\r\nSeparatieJaar=1990\r\n"
    "[Forms]\r\nMainTop=237\r\nMainLeft=457\r\nMainWidth=738\r\nMainHeight=566\r\n"
    "DistTop=212\r\nDistLeft=365\r\nDistWidth=1024\r\nDistHeight=566\r\nDistState=0\r\n"
    "[Density colors]\r\nKlasse0=clRed\r\nKlasse1=$0080FFFF\r\nKlasse2=$0060CFDF\r\n"
    "Klasse3=$00409FBF\r\nKlasse4=$002070A0\r\nKlasse5=$00004080\r\nRaster=clSilver\r\n";

TEST(Settings, MissingFileGivesAllDefaultsWrittenInFixedOrder) {
    QTemporaryDir dir;
    const Settings s = ReadSettingsFile(dir.filePath("VLX.ini"));
    EXPECT_EQ(s, DefaultSettings());
    EXPECT_EQ(s.language, "EN");
    EXPECT_EQ(s.mainLeft, 457);
    EXPECT_EQ(s.mainTop, 237);
    EXPECT_TRUE(s.defaultDatabase.isEmpty());

    WriteSettingsFile(s, dir.filePath("VLX.ini"));
    const QByteArray expected =
        QByteArray("[Database]\r\nDefaultDatabase=\r\n[Common]\r\nAnalist=\r\nPhoto Folder=") +
        DefaultPhotoFolder().toUtf8() +
        "\r\nBackup Folder=\r\nLastUsedMapDir=\r\nLanguage=EN\r\nBoxplotOrientation=0\r\n" +
        kDefaultFileTail;
    EXPECT_EQ(ReadAll(dir.filePath("VLX.ini")), expected);
}

TEST(Settings, RoundTripKeepsEveryValue) {
    QTemporaryDir dir;
    Settings s = DefaultSettings();
    s.defaultDatabase = "Vennen Brabant";
    s.analist = "J. de Vries";
    s.photoFolder = "/data/foto's";
    s.language = "NL";
    s.boxplotOrientation = 1;
    s.order = 2;
    s.number = 1;
    s.addInfo = true;
    s.distMapTop = -40;
    s.beginJaar = "1975";
    s.mainWidth = 800;
    s.distState = 1;
    s.densityClass[3] = 0x00123456;
    s.densityRaster = 0x000000FF;
    WriteSettingsFile(s, dir.filePath("VLX.ini"));
    EXPECT_EQ(ReadSettingsFile(dir.filePath("VLX.ini")), s);
    const QByteArray text = ReadAll(dir.filePath("VLX.ini"));
    EXPECT_TRUE(text.contains("AddInfo=1\r\n"));
    EXPECT_TRUE(text.contains("Klasse3=$00123456\r\n"));
    EXPECT_TRUE(text.contains("Raster=clRed\r\n"));
}

TEST(Settings, BadValuesFallBackToDefaultsAndHandAddedSectionsAreDropped) {
    QTemporaryDir dir;
    const QString path = dir.filePath("VLX.ini");
    WriteAll(path, "garbage line without equals\n"
                   "[Mine]\nKey=Value\n"
                   "[forms]\nmaintop=abc\nMainLeft= 12 \nMainHeight=\n"
                   "[Sort]\nOrder=2x\n"
                   "[Taxon]\nAddInfo=7\n"
                   "[Density colors]\nKlasse0=clBlue\nKlasse1=notacolour\nKlasse2=255\n"
                   "[Common]\nLanguage=NL\n");
    const Settings s = ReadSettingsFile(path);
    EXPECT_EQ(s.mainTop, 237); // not a number: default
    EXPECT_EQ(s.mainLeft, 12); // section and key letter case ignored
    EXPECT_EQ(s.mainHeight, 566);
    EXPECT_EQ(s.order, 0);
    EXPECT_TRUE(s.addInfo); // any integer other than 0 is true
    EXPECT_EQ(s.densityClass[0], 0x00FF0000u);
    EXPECT_EQ(s.densityClass[1], 0x0080FFFFu);
    EXPECT_EQ(s.densityClass[2], 0x000000FFu);
    EXPECT_EQ(s.language, "NL");

    WriteSettingsFile(s, path);
    const QByteArray text = ReadAll(path);
    EXPECT_FALSE(text.contains("[Mine]"));
    EXPECT_FALSE(text.contains("garbage"));
    EXPECT_TRUE(text.contains("Klasse2=clRed\r\n")); // a pure red is written by name
}

TEST(Settings, BinaryContentLoadsAsDefaults) {
    QTemporaryDir dir;
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919) & 0xFF);
    WriteAll(dir.filePath("VLX.ini"), junk);
    EXPECT_EQ(ReadSettingsFile(dir.filePath("VLX.ini")), DefaultSettings());
}

TEST(Settings, Windows1252FileIsRead) {
    QTemporaryDir dir;
    WriteAll(dir.filePath("VLX.ini"), "[Common]\r\nAnalist=Ren\xe9 M\xfcller\r\n");
    EXPECT_EQ(ReadSettingsFile(dir.filePath("VLX.ini")).analist, QString::fromUtf8("René Müller"));
}

TEST(Settings, FailedSaveKeepsThePreviousFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString path = dir.filePath("VLX.ini");
    Settings s = DefaultSettings();
    s.analist = "first";
    WriteSettingsFile(s, path);
    const QByteArray before = ReadAll(path);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    s.analist = "second";
    EXPECT_THROW(WriteSettingsFile(s, path), Error);
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(ReadAll(path), before);
}

TEST(Settings, SaveOverAFolderReportsTheFileError) {
    // Works as root too: the settings path is taken by a folder, so nothing can be written.
    QTemporaryDir dir;
    const QString path = dir.filePath("VLX.ini");
    ASSERT_TRUE(QDir(dir.path()).mkdir("VLX.ini"));
    try {
        WriteSettingsFile(DefaultSettings(), path);
        FAIL() << "expected an error";
    } catch (const Error& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_FALSE(e.Reason().isEmpty());
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(Settings, LoadAndSaveUseTheDataFolder) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Data");
    SetProgramDir(dir.path());
    CurrentSettings() = DefaultSettings();
    CurrentSettings().analist = "Saved";
    SaveSettings();
    CurrentSettings() = DefaultSettings();
    LoadSettings();
    EXPECT_EQ(CurrentSettings().analist, "Saved");
    EXPECT_TRUE(QFile::exists(dir.filePath("Data/VLX.ini")));
    SetProgramDir({});
}

TEST(Colors, NamesHexAndDecimal) {
    struct Case {
        const char* text;
        std::optional<TColor> value;
    };
    const Case cases[] = {
        {"clRed", 0x000000FF},
        {"CLRED", 0x000000FF},
        {"clMoneyGreen", 0x00C0DCC0},
        {"$00FF8000", 0x00FF8000},
        {"$ff", 0xFF},
        {"16711680", 0x00FF0000},
        {"", std::nullopt},
        {"clNothing", std::nullopt},
        {"$xyz", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringToColor(c.text), c.value) << c.text;
    EXPECT_EQ(ColorToString(0x000000FF), "clRed");
    EXPECT_EQ(ColorToString(0x00A4A0A0), "clMedGray");
    EXPECT_EQ(ColorToString(0x000000FE), "$000000FE");
    EXPECT_EQ(ToQColor(0x00FF8000), QColor(0x00, 0x80, 0xFF));
    EXPECT_EQ(FromQColor(QColor(0x00, 0x80, 0xFF)), 0x00FF8000u);
}

// Every writer of the program's files meets a real full disk: each reports the disk full,
// and the file that was there stays byte for byte, with no temporary file left behind.
TEST(FileWriters, AFullDiskLeavesThePreviousFileWholeAndSaysSo) {
    QTemporaryDir dir;
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const int code = RunOnSmallFileSystem(disk, 256 * 1024, [&] {
        struct Writer {
            const char* file;
            std::function<void(const QString& path, int size)> write;
        };
        auto grid = [](int size) {
            Grid g(3, size / 30 + 2);
            for (int r = 0; r < g.RowCount(); ++r)
                g.SetRow(r, {"Cosmarium", "botrytis", QString::number(r)});
            return g;
        };
        const Writer writers[] = {
            {"VLX.ini",
             [](const QString& path, int size) {
                 Settings s = DefaultSettings();
                 s.analist = QString(size, 'a');
                 WriteSettingsFile(s, path);
             }},
            {"Demo.ini",
             [](const QString& path, int size) {
                 IniFile ini;
                 ini.SetValue("Distribution Map", "MapName", QString(size, 'm'));
                 ini.Save(path);
             }},
            {"list.csv",
             [](const QString& path, int size) { WriteTextLines(path, {QString(size, 'n')}); }},
            {"export.txt", [&](const QString& path, int size) { SaveGridAsTSV(grid(size), path); }},
            {"export.xls",
             [&](const QString& path, int size) {
                 ScriptedPrompts overwrite; // "a file named … exists, overwrite?" Yes
                 overwrite.answers = {Answer::Yes};
                 SetUserPrompts(&overwrite);
                 const bool written = SaveGridAsXLS(grid(size), path);
                 SetUserPrompts(nullptr);
                 if (!written)
                     throw std::runtime_error("not written");
             }},
            {"map.png",
             [](const QString& path, int size) {
                 QImage image(size / 50 + 8, 64, QImage::Format_RGB32);
                 for (int y = 0; y < image.height(); ++y)
                     for (int x = 0; x < image.width(); ++x)
                         image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
                 SaveImage(image, path);
             }},
        };
        // Small files first, while there is room.
        QMap<QString, QByteArray> before;
        for (const Writer& w : writers) {
            w.write(disk + "/" + w.file, 100);
            before[w.file] = ReadAll(disk + "/" + w.file);
        }
        FillDisk(disk);
        // A small write fits a write buffer, a large one does not: both must be seen.
        int failure = 1;
        for (const int size : {300, 64 * 1024}) {
            for (const Writer& w : writers) {
                try {
                    w.write(disk + "/" + w.file, size);
                    return failure; // reported success on a full disk
                } catch (const Error& e) {
                    if (e.Reason() != ResStr(rsDiskFull) || e.File() != disk + "/" + w.file)
                        return failure + 50;
                }
                if (ReadAll(disk + "/" + w.file) != before[w.file])
                    return failure + 70;
                ++failure;
            }
        }
        if (QDir(disk).entryList(QDir::Files).size() != std::size(writers) + 1)
            return 40; // a temporary file was left behind
        return 0;
    });
    ASSERT_NE(code, kNoSmallFileSystem) << "no tmpfs could be mounted for the test";
    EXPECT_EQ(code, 0);
}

TEST(Settings, NamesThatWouldLeaveTheirFolderFallBackToTheDefault) {
    QTemporaryDir dir;
    const QString path = dir.filePath("VLX.ini");
    WriteAll(path, "[Database]\r\nDefaultDatabase=../../victim\r\n[Common]\r\n"
                   "Language=../../../etc/passwd\r\nAnalist=Jan\r\n");
    ScriptedPrompts prompts;
    SetUserPrompts(&prompts);
    const Settings s = ReadSettingsFile(path);
    SetUserPrompts(nullptr);
    EXPECT_EQ(s.defaultDatabase, DefaultSettings().defaultDatabase);
    EXPECT_EQ(s.language, DefaultSettings().language);
    EXPECT_EQ(s.analist, "Jan");
    EXPECT_EQ(prompts.shown,
              (QStringList{
                  ResStr(rsInvalidSetting).arg("[Database] DefaultDatabase", path, "../../victim"),
                  ResStr(rsInvalidSetting).arg("[Common] Language", path, "../../../etc/passwd")}));
}

} // namespace
