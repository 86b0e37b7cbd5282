#include "common/tempdir.h"
#include "core/error.h"
#include "core/grid/gridfiles.h"
#include "core/imagefiles.h"
#include "core/scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora::core;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

QByteArray Words(std::initializer_list<int> words) {
    QByteArray bytes;
    for (int w : words) {
        bytes += char(w & 0xFF);
        bytes += char((w >> 8) & 0xFF);
    }
    return bytes;
}

QByteArray Label(int row, int col, const QByteArray& text) {
    return Words({0x0204, 8 + int(text.size()), row, col, 0, int(text.size())}) + text;
}

} // namespace

TEST(GridFiles, TsvWritesEveryRowWithTabsAndCrLf) {
    QTemporaryDir dir;
    Grid grid(3, 3);
    grid.SetRow(0, {QStringLiteral("Naam"), QStringLiteral("Aantal"), QStringLiteral("Opm")});
    grid.SetRow(1, {QStringLiteral("Cosmarium é"), QStringLiteral("12"), QString()});
    grid.SetRow(
        2, {QStringLiteral("a\tb"), QStringLiteral("line1\r\nline2"), QStringLiteral("x\ny\rz")});
    grid.SetRowCount(4);
    grid.SetRow(3, {QStringLiteral("\"begin"), QStringLiteral("mid\"den"), QStringLiteral("\"\"")});
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    WriteAll(path, "old content that is longer than the new one ..........................");
    SaveGridAsTSV(grid, path);
    EXPECT_EQ(ReadAll(path), QStringLiteral("Naam\tAantal\tOpm\r\n"
                                            "Cosmarium é\t12\t\r\n"
                                            "a b\tline1 line2\tx y z\r\n"
                                            "\"\"\"begin\"\tmid\"den\t\"\"\"\"\"\"\r\n")
                                 .toUtf8());
    EXPECT_THROW(SaveGridAsTSV(grid, dir.filePath(QStringLiteral("missing/out.txt"))), Error);
}

TEST(GridFiles, MinimalXlsRecordSequenceOfTwoColumnsAndThreeRows) {
    Grid grid(2, 3);
    grid.SetRow(0, {QStringLiteral("A"), QStringLiteral("Bé")});
    grid.SetRow(1, {QStringLiteral("7,25"), QString()});
    grid.SetRow(2, {QStringLiteral("12"), QStringLiteral("xyz")});
    const QByteArray expected = Words({0x0809, 8, 0x0000, 0x0010, 0, 0}) + Label(0, 0, "A") +
                                Label(1, 0, "7,25") + Label(2, 0, "12") + Label(0, 1, "B\xE9") +
                                Label(1, 1, "") + Label(2, 1, "xyz") + Words({0x000A, 0});
    EXPECT_EQ(MinimalXlsBytes(grid), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.xls"));
    ScriptedPrompts prompts;
    ASSERT_TRUE(SaveGridAsXLS(grid, path));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(ReadAll(path), expected);
}

TEST(GridFiles, MinimalXlsAsksBeforeOverwriting) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.xls"));
    WriteAll(path, "keep me");
    Grid grid(1, 1);
    grid.SetCell(0, 0, QStringLiteral("new"));
    ScriptedPrompts prompts;
    prompts.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(SaveGridAsXLS(grid, path));
    EXPECT_EQ(ReadAll(path), QByteArray("keep me"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0],
              QStringLiteral("Een bestand met de naam ") + path +
                  QStringLiteral(" bestaat al\nWil je dit bestand overschrijven?"));
    EXPECT_TRUE(SaveGridAsXLS(grid, path));
    EXPECT_EQ(ReadAll(path), MinimalXlsBytes(grid));
}

TEST(GridFiles, MinimalXlsRefusesWhatItsFieldsCannotHold) {
    Grid tooWide(kXlsMaxCols + 1, 1);
    EXPECT_THROW(MinimalXlsBytes(tooWide), Error);
    Grid tooLong(1, kXlsMaxRows + 1);
    QTemporaryDir dir;
    ScriptedPrompts prompts; // no question may come before the refusal
    EXPECT_THROW((void)SaveGridAsXLS(tooLong, dir.filePath(QStringLiteral("x.xls"))), Error);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.xls"))));
    // A cell longer than a record can carry is cut, keeping the record structure whole.
    Grid big(1, 1);
    big.SetCell(0, 0, QString(70000, QLatin1Char('x')));
    const QByteArray bytes = MinimalXlsBytes(big);
    EXPECT_EQ(bytes.size(), 12 + 4 + 8 + kXlsMaxLabelBytes + 4);
}

TEST(ImageFiles, RoundTripByExtension) {
    QTemporaryDir dir;
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, 20, 30, QColor(200, 30, 40));
    for (const char* name : {"a.bmp", "b.PNG", "c.jpg"}) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(SaveImage(image, path)) << name;
        QImage loaded(1, 1, QImage::Format_RGB32);
        ASSERT_TRUE(LoadImage(loaded, path)) << name;
        EXPECT_EQ(loaded.size(), image.size()) << name;
        const QColor left = loaded.pixelColor(5, 5);
        EXPECT_NEAR(left.red(), 200, 3) << name; // JPEG at quality 100 stays close
        EXPECT_NEAR(left.green(), 30, 3) << name;
        EXPECT_NEAR(loaded.pixelColor(35, 5).blue(), 255, 3) << name;
    }
    EXPECT_TRUE(ReadAll(dir.filePath(QStringLiteral("c.jpg"))).startsWith("\xFF\xD8"));
    EXPECT_TRUE(ReadAll(dir.filePath(QStringLiteral("a.bmp"))).startsWith("BM"));
}

TEST(ImageFiles, OtherExtensionsMissingAndDamagedFiles) {
    QTemporaryDir dir;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    EXPECT_FALSE(SaveImage(image, dir.filePath(QStringLiteral("a.gif"))));
    EXPECT_FALSE(SaveImage(image, dir.filePath(QStringLiteral("a.jpeg"))));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    QImage kept(2, 2, QImage::Format_RGB32);
    kept.fill(Qt::green);
    const QImage before = kept;
    EXPECT_FALSE(LoadImage(kept, dir.filePath(QStringLiteral("missing.png"))));
    EXPECT_EQ(kept, before);
    const QString damaged = dir.filePath(QStringLiteral("damaged.png"));
    WriteAll(damaged, "not a png at all");
    EXPECT_THROW(LoadImage(kept, damaged), Error);
    EXPECT_EQ(kept, before);
    EXPECT_THROW(SaveImage(image, dir.filePath(QStringLiteral("no/such/dir/x.png"))), Error);
}

TEST(ImageFiles, PicturesAboveThePixelLimitAreRefusedBeforeDecoding) {
    QTemporaryDir dir;
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QString path = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(SaveImage(image, path));
    QImage kept(2, 2, QImage::Format_RGB32);
    const QImage before = kept;
    try {
        LoadImage(kept, path, 40 * 30 - 1);
        ADD_FAILURE() << "a picture above the limit was read";
    } catch (const Error& e) {
        EXPECT_TRUE(e.Reason().contains(QStringLiteral("40 x 30"))) << e.Reason().toStdString();
    }
    EXPECT_EQ(kept, before);
    EXPECT_TRUE(LoadImage(kept, path, 40 * 30));
}
