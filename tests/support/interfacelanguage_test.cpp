#include "common/tempdir.h"
#include "core/folders.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "support/interfacelanguage.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::support;
using velmora::testing::WriteAll;

namespace {

// A program folder with Lang/EN.lng and no NL file.
struct ProgramWithEnglish {
    QTemporaryDir dir;
    ProgramWithEnglish() {
        QDir(dir.path()).mkdir("Lang");
        WriteAll(dir.filePath("Lang/EN.lng"), "; Tarvo's Zendra Localizer Language File.\r\n"
                                              "[TMainForm]\r\n"
                                              "SelectDatabase.Caption='Open database'\r\n"
                                              "[RESOURCESTRINGS]\r\n"
                                              "1014_rsDiskFull='the disk is full'\r\n");
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
    }
    ~ProgramWithEnglish() {
        core::SetProgramDir({});
        core::CurrentSettings() = core::DefaultSettings();
    }
};

TEST(InterfaceLanguage, FileOfACode) {
    core::SetProgramDir("/opt/velmora");
    EXPECT_EQ(LanguageFilePath("EN"), "/opt/velmora/Lang/EN.lng");
    core::SetProgramDir({});
}

TEST(InterfaceLanguage, StartupAndTheLanguageButtons) {
    ProgramWithEnglish program;
    TFreeLocalizer& localizer = Localizer();
    localizer.SetAutoTranslate(false);

    // Start-up with the stored language "NL" and no NL file: built-in texts.
    core::CurrentSettings().language = "NL";
    EXPECT_FALSE(LoadStartupLanguage());
    EXPECT_FALSE(localizer.AutoTranslate());
    EXPECT_EQ(core::ResStr(core::rsDiskFull), "de schijf is vol");

    // "EN": stored at once, translation switched on, the file loaded.
    EXPECT_TRUE(SwitchLanguage("EN"));
    EXPECT_EQ(core::CurrentSettings().language, "EN");
    EXPECT_TRUE(localizer.AutoTranslate());
    EXPECT_EQ(localizer.LanguageFile(), program.dir.filePath("Lang/EN.lng"));
    EXPECT_EQ(core::ResStr(core::rsDiskFull), "the disk is full");

    // "NL" without a file: the language is stored, the English texts stay for this run.
    EXPECT_FALSE(SwitchLanguage("NL"));
    EXPECT_EQ(core::CurrentSettings().language, "NL");
    EXPECT_NE(localizer.Section("TMainForm"), nullptr);
    EXPECT_EQ(core::ResStr(core::rsDiskFull), "the disk is full");

    // The next start with "EN" stored loads the file again.
    core::CurrentSettings().language = "EN";
    EXPECT_TRUE(LoadStartupLanguage());
}

} // namespace
