// The photo folder of an event: the proposed name, the path below the main folder whatever
// is typed, the folder made with its parents, and where the folder dialog starts.

#include "core/settings.h"
#include "support/photofolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(PhotoFolder, TheProposalNamesYearMonthLocationAndCoordinatesEachAsOneFolder) {
    struct Case {
        support::PhotoEvent event;
        const char* proposal;
    } cases[] = {
        {{"2019", "05", "Ven", "181.2", "372.9"}, "/2019/Maand 05/Ven#coord. 181.2 - 372.9"},
        // Separators in a name would make folders of their own, or climb out of the main one.
        {{"2019", "05", "Ven/Oost", "1", "2"}, "/2019/Maand 05/Ven_Oost#coord. 1 - 2"},
        {{"2019", "05", "../../etc", "1", "2"}, "/2019/Maand 05/.._.._etc#coord. 1 - 2"},
        {{"2019", "05", "Ven\\Noord", "1", "2"}, "/2019/Maand 05/Ven_Noord#coord. 1 - 2"},
        {{"..", "05", "Ven", "1", "2"}, "/_../Maand 05/Ven#coord. 1 - 2"},
        {{"2019", "/", "Ven", "1", "2"}, "/2019/Maand _/Ven#coord. 1 - 2"},
        {{"2019", "05", "Ven:1", "1", "2"}, "/2019/Maand 05/Ven:1#coord. 1 - 2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(support::ProposedSubfolder(c.event), QString::fromUtf8(c.proposal))
            << c.event.location.toStdString();
}

TEST(PhotoFolder, TheFullPathStaysBelowTheMainFolder) {
    struct Case {
        const char* main;
        const char* sub;
        const char* path; // empty: refused
    } cases[] = {
        {"/photos", "/2019/Maand 05/Ven", "/photos/2019/Maand 05/Ven"},
        {"/photos/", "\\2019\\Maand 05\\Ven", "/photos/2019/Maand 05/Ven"},
        {"/photos", "2019//Ven/", "/photos/2019/Ven"},
        {"/photos", "/2019/../../etc", ""},
        {"/photos", "/./x", ""},
        {"/photos", "/..", ""},
        {"/photos", "//", ""},
        {"/photos", "", ""},
        {"", "/2019", ""},
        {"/photos", "/..x/x..", "/photos/..x/x.."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(support::PhotoFolderPath(c.main, c.sub), QString::fromUtf8(c.path))
            << c.main << " + " << c.sub;
}

TEST(PhotoFolder, TheFolderIsMadeWithItsParentsAndAnExistingOneIsNoError) {
    QTemporaryDir dir;
    const QString main = dir.filePath("Desmids");
    EXPECT_TRUE(support::MakePhotoFolder(main, "/2019/Maand 05/Ven#coord. 1 - 2"));
    EXPECT_TRUE(QFileInfo(main + "/2019/Maand 05/Ven#coord. 1 - 2").isDir());
    EXPECT_TRUE(support::MakePhotoFolder(main, "/2019/Maand 05/Ven#coord. 1 - 2"));

    // A file where a folder must go, and a path that would climb out: not made, and nothing
    // is made beside the main folder.
    QFile file(main + "/2020");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(support::MakePhotoFolder(main, "/2020/Maand 01"));
    EXPECT_FALSE(support::MakePhotoFolder(main, "/../outside"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("outside")));
}

TEST(PhotoFolder, AnEmptySettingMeansTheDesmidsFolderInTheHomeFolder) {
    EXPECT_EQ(support::MainPhotoFolder(QString()), QDir::homePath() + "/Desmids");
    EXPECT_EQ(support::MainPhotoFolder("/data/photos"), "/data/photos");
}

// The folder dialog never refuses to open: a missing folder starts it in the documents
// folder, and without one in the home folder.
TEST(PhotoFolder, TheFolderDialogStartsInTheHomeFolderWhenThereIsNoDocumentsFolder) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDocs = qgetenv("XDG_DOCUMENTS_DIR");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_DOCUMENTS_DIR");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));

    EXPECT_EQ(support::FolderDialogStart(home.filePath("missing")), QDir::homePath());
    EXPECT_EQ(support::FolderDialogStart(QString()), QDir::homePath());
    QDir(home.path()).mkdir("Documents");
    EXPECT_EQ(support::FolderDialogStart(home.filePath("missing")), home.filePath("Documents"));
    EXPECT_EQ(support::FolderDialogStart(home.path()), home.path());

    qputenv("HOME", oldHome);
    if (!oldDocs.isEmpty())
        qputenv("XDG_DOCUMENTS_DIR", oldDocs);
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace
