// The square outline, the hour-square blocks on the overlay and the blending of the maps.

#include "squares/squaredrawing.h"

#include "common/printers.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::squares;

namespace {

// A 280 x 325 km map at 1 pixel per km: (x, y) lies at column x, row 625 - y.
SquareMapCalibration Map() {
    return *SquareMapCalibration::FromFileName("Noord_0_625_280_300_.png", QSize(280, 325));
}

QImage Plain(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

int Count(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

maps::SampleRow Sample(int id, const QString& kxy, const QString& uxy, const QString& desmid) {
    maps::SampleRow s;
    s.id = id;
    s.datum = "2001-01-01";
    s.kxy = kxy;
    s.uxy = uxy;
    s.desmid = desmid;
    return s;
}

TEST(DrawSquareOutline, HourSquareBetweenItsCornerPixels) {
    const auto map = Map();
    QImage image = Plain(QSize(280, 325), Qt::white);
    DrawSquareOutline(image, map, SquareKind::Hour, 234, 558);
    // 230-555: columns 230..235, rows 625 - 560 = 65 .. 70.
    EXPECT_EQ(image.pixelColor(230, 67), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(235, 67), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(232, 65), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(232, 70), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(232, 67), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(240, 67), QColor(Qt::white));
}

TEST(DrawSquareOutline, KmSquareAroundItsCentreAtLeastFourPixels) {
    const auto map = Map();
    QImage image = Plain(QSize(280, 325), Qt::white);
    DrawSquareOutline(image, map, SquareKind::Km, 100, 500);
    // Centre: column trunc(100.5 + 0.5) = 101, row trunc(-500.5 + 625 + 0.5) = 125.
    EXPECT_EQ(image.pixelColor(97, 125), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(105, 125), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(101, 121), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(101, 125), QColor(Qt::white));
}

TEST(DrawBlockData, ColoursByKmSquareCountAndSkipsEmptyBlocks) {
    const auto map = Map();
    const std::vector<maps::SampleRow> samples = {
        Sample(1, "", "", "Cosmarium a"), // no hour-square: passed over
        Sample(1, "100-400", "100-400", "Cosmarium a"),
        Sample(1, "101-400", "100-400", "Cosmarium a"),
        Sample(1, "200-500", "200-500", "Cosmarium a"),
        Sample(1, "150-450", "150-450", "Cosmarium ?"),
    };
    BlockStyle style;
    style.colourMode = true;
    SquareOptions options;
    options.ignoreDoubtful = true;
    QImage overlay = NewOverlay(QSize(280, 325));
    int blocks = 0;
    const QStringList lines =
        DrawBlockData(overlay, samples, map, style, options, {}, [&] { ++blocks; });
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(blocks, 3);
    // 100-400 has two km-squares (blue, columns 100..105 and rows 220..225 with the outline).
    EXPECT_EQ(overlay.pixelColor(102, 222), QColor(Qt::blue));
    EXPECT_EQ(overlay.pixelColor(100, 222), QColor(Qt::black));
    EXPECT_EQ(overlay.pixelColor(202, 122), QColor(Qt::red));
    // Every sample of 150-450 is excluded: nothing drawn.
    EXPECT_EQ(overlay.pixelColor(152, 172), QColor(Qt::white));
}

TEST(DrawBlockData, NumberModeLinesAndText) {
    const auto map = Map();
    const std::vector<maps::SampleRow> samples = {
        Sample(1, "100-400", "100-400", "Cosmarium a"),
        Sample(2, "101-400", "100-400", "Cosmarium b"),
        Sample(1, "150-450", "150-450", "Cosmarium ?"),
    };
    BlockStyle style;
    SquareOptions options;
    options.ignoreDoubtful = true;
    QImage overlay = NewOverlay(QSize(280, 325));
    const QHash<int, QString> locations = {{1, "Ven"}, {2, "Plas"}};
    const QStringList lines = DrawBlockData(overlay, samples, map, style, options, locations);
    EXPECT_EQ(lines, (QStringList{BlockHeaderLine(), "100-400\t2\t2\t2", "150-450\t0\t0\t0"}));
    EXPECT_GT(Count(overlay, Qt::white), 0);
    EXPECT_LT(Count(overlay, Qt::white), 280 * 325); // the numbers were written
    EXPECT_EQ(BlockFont(map, style).pointSize(), 1);
    style.bold = true;
    const auto big = *SquareMapCalibration::FromFileName("N_0_625_280_300_.png", QSize(2800, 3250));
    EXPECT_EQ(BlockFont(big, style).pointSize(), 13);
    EXPECT_TRUE(BlockFont(big, style).bold());
}

TEST(BlendMaps, Modes) {
    const QImage b = Plain(QSize(4, 3), QColor(200, 100, 0));
    QImage o = Plain(QSize(5, 2), QColor(255, 255, 255));
    o.setPixelColor(1, 1, QColor(10, 20, 30));

    const QImage plain = BlendMaps(b, o, BlendMode::Mix, 1.0);
    EXPECT_EQ(plain.size(), QSize(4, 2)); // the smaller of both sizes
    EXPECT_EQ(plain.format(), QImage::Format_RGB888);
    EXPECT_EQ(plain.pixelColor(0, 0), QColor(200, 100, 0));
    EXPECT_EQ(plain.pixelColor(1, 1), QColor(200, 100, 0));

    const QImage half = BlendMaps(b, o, BlendMode::Mix, 0.5); // weight 128
    EXPECT_EQ(half.pixelColor(0, 0),
              QColor((200 * 128 + 255 * 128) >> 8, (100 * 128 + 255 * 128) >> 8, (255 * 128) >> 8));
    EXPECT_EQ(BlendMaps(b, o, BlendMode::Mix, 0).pixelColor(1, 1), QColor(10, 20, 30));
    // 0.3 * 256 = 76.8 -> 77.
    EXPECT_EQ(BlendMaps(b, o, BlendMode::Mix, 0.3).pixelColor(1, 1),
              QColor((200 * 77 + 10 * 179) >> 8, (100 * 77 + 20 * 179) >> 8, (30 * 179) >> 8));

    const QImage combined = BlendMaps(b, o, BlendMode::Combine, 0);
    EXPECT_EQ(combined.pixelColor(0, 0), QColor((200 * 255) >> 8, (100 * 255) >> 8, 0));
    EXPECT_EQ(combined.pixelColor(1, 1), QColor((200 * 10) >> 8, (100 * 20) >> 8, 0));

    QImage almostWhite = o;
    almostWhite.setPixelColor(2, 0, QColor(255, 255, 254));
    const QImage overlaid = BlendMaps(b, almostWhite, BlendMode::Overlay, 0);
    EXPECT_EQ(overlaid.pixelColor(0, 0), QColor(200, 100, 0));
    EXPECT_EQ(overlaid.pixelColor(1, 1), QColor(10, 20, 30));
    EXPECT_EQ(overlaid.pixelColor(2, 0), QColor(255, 255, 254));

    // Another format is converted first.
    EXPECT_EQ(
        BlendMaps(b.convertToFormat(QImage::Format_RGB32), o, BlendMode::Mix, 1.0).pixelColor(3, 1),
        QColor(200, 100, 0));
}

} // namespace
