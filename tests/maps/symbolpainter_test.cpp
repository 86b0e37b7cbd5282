// The symbols and square outlines, checked on the rendered pixels.

#include "core/coordinates.h"
#include "core/scriptedprompts.h"
#include "maps/recordsymbol.h"
#include "maps/symbolpainter.h"

#include <QImage>
#include <QRect>
#include <gtest/gtest.h>
#include <set>

using namespace velmora;
using namespace velmora::maps;

namespace {

constexpr core::TColor kRed = 0x000000FF;
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;
constexpr QRgb kRedRgb = 0xFFFF0000;
constexpr QRgb kBlackRgb = 0xFF000000;

QImage WhiteImage(int width = 200, int height = 120) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kWhiteRgb);
    return image;
}

// The pixels that are not white.
std::set<std::pair<int, int>> Marked(const QImage& image) {
    std::set<std::pair<int, int>> marked;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhiteRgb)
                marked.insert({x, y});
    return marked;
}

// The smallest rectangle holding every pixel that is not white.
QRect Bounds(const QImage& image) {
    QRect bounds;
    for (const auto& [x, y] : Marked(image))
        bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QImage Draw(Shape shape, int size, int lineWidth, QPoint at = QPoint(100, 50)) {
    QImage image = WhiteImage();
    SymbolPainter painter(image);
    painter.DrawSymbol(at, shape, size, lineWidth, kRed);
    return image;
}

TEST(SymbolPainter, BoxesCoverExactlyTheirSize) {
    const struct {
        Shape shape;
        int size;
        QRect box;
    } cases[] = {
        {Shape::FilledSquare, 7, QRect(QPoint(97, 47), QPoint(103, 53))},
        {Shape::FilledSquare, 16, QRect(QPoint(92, 42), QPoint(107, 57))},
        {Shape::OpenSquare, 7, QRect(QPoint(97, 47), QPoint(103, 53))},
        {Shape::FilledCircle, 7, QRect(QPoint(97, 47), QPoint(103, 53))},
        {Shape::FilledCircle, 16, QRect(QPoint(92, 42), QPoint(107, 57))},
        {Shape::OpenCircle, 16, QRect(QPoint(92, 42), QPoint(107, 57))},
        {Shape::FilledSquare, 1, QRect(100, 50, 1, 1)},
        {Shape::FilledSquare, 0, QRect()},
        // Triangles and the cross reach e = h + 1 on the right and the bottom.
        {Shape::TriangleUp, 7, QRect(QPoint(97, 47), QPoint(104, 54))},
        {Shape::TriangleDown, 7, QRect(QPoint(97, 47), QPoint(104, 54))},
        {Shape::Cross, 7, QRect(QPoint(97, 47), QPoint(103, 54))},
        {Shape::TriangleUp, 16, QRect(QPoint(92, 42), QPoint(108, 58))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.shape)) + " size " + std::to_string(c.size));
        const QImage image = Draw(c.shape, c.size, 1);
        EXPECT_EQ(Bounds(image), c.box);
    }
    // A filled square with line width 0 is the style colour all over its box.
    const QImage square = Draw(Shape::FilledSquare, 16, 0);
    EXPECT_EQ(Marked(square).size(), 16u * 16u);
    EXPECT_EQ(square.pixel(92, 42), kRedRgb);
    EXPECT_EQ(square.pixel(107, 57), kRedRgb);
    // The open square leaves its inside alone.
    EXPECT_EQ(Draw(Shape::OpenSquare, 7, 1).pixel(100, 50), kWhiteRgb);
}

TEST(SymbolPainter, PlusArmsReachOnePixelBeyondHalfTheSize) {
    // Size 7 at (100, 50): lines (96, 50) -> (104, 50) and (100, 54) -> (100, 46), each
    // without its last point.
    std::set<std::pair<int, int>> expected;
    for (int x = 96; x < 104; ++x)
        expected.insert({x, 50});
    for (int y = 54; y > 46; --y)
        expected.insert({100, y});
    EXPECT_EQ(Marked(Draw(Shape::Plus, 7, 1)), expected);
}

TEST(SymbolPainter, DiamondUsesHalfTheSizeOnAllCorners) {
    const std::set<std::pair<int, int>> expected = {{100, 47}, {101, 48}, {102, 49}, {103, 50},
                                                    {102, 51}, {101, 52}, {100, 53}, {99, 52},
                                                    {98, 51},  {97, 50},  {98, 49},  {99, 48}};
    EXPECT_EQ(Marked(Draw(Shape::Diamond, 7, 1)), expected);
}

TEST(SymbolPainter, FilledCircleRims) {
    // Line width 0: the outline is the style colour, so no black at all.
    const QImage plain = Draw(Shape::FilledCircle, 16, 0);
    for (const auto& [x, y] : Marked(plain))
        ASSERT_EQ(plain.pixel(x, y), kRedRgb) << x << "," << y;

    // Line width 2: a black rim two pixels wide, centred on the ellipse through the box's
    // edge pixels. (Size 16 has its centre between rows and columns, so no pixel lies
    // exactly on an axis and the rim stays inside the box.)
    const QImage rimmed = Draw(Shape::FilledCircle, 16, 2);
    QString row;
    for (int x = 89; x <= 110; ++x)
        row += rimmed.pixel(x, 50) == kBlackRgb ? 'K' : rimmed.pixel(x, 50) == kRedRgb ? 'R' : '.';
    EXPECT_EQ(row, "...KKRRRRRRRRRRRRKK...");
    QString column;
    for (int y = 39; y <= 60; ++y)
        column += rimmed.pixel(100, y) == kBlackRgb ? 'K'
                  : rimmed.pixel(100, y) == kRedRgb ? 'R'
                                                    : '.';
    EXPECT_EQ(column, "...KKRRRRRRRRRRRRKK...");
    // The rim closes all round: every red pixel has black or red neighbours only, never
    // white ones.
    for (const auto& [x, y] : Marked(rimmed)) {
        if (rimmed.pixel(x, y) != kRedRgb)
            continue;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            ASSERT_NE(rimmed.pixel(x + dx, y + dy), kWhiteRgb) << x << "," << y;
    }
}

TEST(SymbolPainter, OpenCircleIsARingWithoutGaps) {
    const QImage ring = Draw(Shape::OpenCircle, 16, 1);
    EXPECT_EQ(ring.pixel(100, 50), kWhiteRgb);
    // Walking from the centre outwards in any of the eight directions meets the ring.
    for (const auto& [dx, dy] :
         {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}}) {
        bool met = false;
        for (int step = 0; step < 12 && !met; ++step)
            met = ring.pixel(100 + dx * step, 50 + dy * step) == kRedRgb;
        EXPECT_TRUE(met) << dx << "," << dy;
    }
}

TEST(SymbolPainter, WidePensAreCentredOnThePath) {
    // Width 3 on the open square of size 7: one pixel outside the box and one inside.
    const QImage image = Draw(Shape::OpenSquare, 7, 3);
    EXPECT_EQ(Bounds(image), QRect(QPoint(96, 46), QPoint(104, 54)));
    EXPECT_EQ(image.pixel(98, 50), kRedRgb);
    EXPECT_EQ(image.pixel(99, 50), kWhiteRgb);
}

TEST(SymbolPainter, SymbolsAtTheEdgeAreCutOff) {
    QImage image = WhiteImage(10, 10);
    SymbolPainter painter(image);
    painter.DrawSymbol(QPoint(0, 0), Shape::FilledSquare, 16, 0, kRed);
    painter.DrawSymbol(QPoint(-100, 5), Shape::FilledSquare, 16, 0, kRed);
    painter.DrawRectangleOutline(QPoint(-1000000, 8), QPoint(1000000, 1000000), 15, kRed);
    EXPECT_EQ(Bounds(image), QRect(0, 0, 10, 10));
    EXPECT_EQ(image.pixel(7, 7), kRedRgb);   // the square's quarter: 0 to 7
    EXPECT_EQ(image.pixel(8, 0), kWhiteRgb); // the wide pen reaches 7 rows up, from row 8
    EXPECT_EQ(image.pixel(9, 1), kRedRgb);
}

// The 1000 x 500 map with the edges 150, 500, 250, 400 km.
MapCalibration TestMap() {
    return *MapCalibration::FromEdges({150, 500, 250, 400}, QSize(1000, 500));
}

LocationRecord Location(const QString& x, const QString& y) {
    LocationRecord r;
    r.coordX = x;
    r.coordY = y;
    r.locatie = QStringLiteral("Ven");
    r.dag = QStringLiteral("05");
    r.maand = QStringLiteral("06");
    r.jaar = QStringLiteral("2001");
    return r;
}

struct RecordDrawing {
    QImage image = WhiteImage(1000, 500);
    RecordSymbolResult result;
};

RecordDrawing DrawRecord(const LocationRecord& record, bool dutch, Placement placement,
                         int outlineWidth = 1) {
    RecordDrawing d;
    SymbolPainter painter(d.image);
    PlacementRules rules;
    rules.coordinateSystem = core::kKmBased;
    rules.dutchRules = dutch;
    rules.placement = placement;
    ResolvedStyle style;
    style.size = 7;
    d.result = DrawRecordSymbol(painter, TestMap(), rules, style, outlineWidth, record);
    return d;
}

TEST(RecordSymbol, AtlasNotationDrawsSquareOutlinesUnderTheDutchRules) {
    core::ScriptedPrompts prompts;
    // 3245 23: the km-square 162-458, from (Trunc(1620) - 1500, Trunc(-2290) + 2499) =
    // (120, 209) to (Trunc(1630.5) - 1500, Trunc(-2294.5) + 2499) = (130, 205).
    RecordDrawing km = DrawRecord(Location("3245", "23"), true, Placement::Exact);
    EXPECT_TRUE(km.result.drawn);
    EXPECT_EQ(Bounds(km.image), QRect(QPoint(120, 205), QPoint(129, 208)));
    EXPECT_EQ(km.image.pixel(125, 207), kWhiteRgb);

    // 3245 0: the block 160-455, from (100, 224) to (150, 200) in either order.
    for (const Placement placement : {Placement::Exact, Placement::KmSquare}) {
        RecordDrawing block = DrawRecord(Location("3245", "0"), true, placement, 3);
        EXPECT_EQ(Bounds(block.image), QRect(QPoint(99, 199), QPoint(150, 224)));
        EXPECT_EQ(block.image.pixel(101, 210), kRedRgb);
        EXPECT_EQ(block.image.pixel(102, 210), kWhiteRgb);
    }

    // "km-hok" with a km-square number: the slot's symbol at the square's centre
    // (162.5, 458.5), pixel (125, 207).
    RecordDrawing dot = DrawRecord(Location("3245", "23"), true, Placement::KmSquare);
    EXPECT_EQ(Bounds(dot.image), QRect(QPoint(122, 204), QPoint(128, 210)));

    // Under another interface language the same texts are km coordinates far off the map:
    // nothing on the picture and no message.
    RecordDrawing english = DrawRecord(Location("3245", "23"), false, Placement::Exact);
    EXPECT_TRUE(Marked(english.image).empty());
    EXPECT_FALSE(english.result.abortRun);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(RecordSymbol, CoordinateErrorsAskWhetherToGoOn) {
    core::ScriptedPrompts prompts;
    // Unreadable: the message, nothing drawn; Abort ends the run.
    prompts.answers = {core::Answer::Abort};
    RecordDrawing bad = DrawRecord(Location("", "463"), true, Placement::Exact);
    EXPECT_TRUE(bad.result.abortRun);
    EXPECT_FALSE(bad.result.drawn);
    EXPECT_TRUE(Marked(bad.image).empty());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(
        prompts.shown[0].startsWith("Er zit een fout in de coördinaten van locatie: \nVen"));

    // Outside the Netherlands: drawn all the same, then the message; OK goes on.
    prompts.answers = {core::Answer::Ok};
    RecordDrawing outside = DrawRecord(Location("155", "700"), true, Placement::Exact);
    EXPECT_TRUE(outside.result.drawn);
    EXPECT_FALSE(outside.result.abortRun);
    EXPECT_EQ(prompts.shown.size(), 2);

    // In the Netherlands: the dot at its pixel, no message.
    RecordDrawing inside = DrawRecord(Location("155", "480"), true, Placement::Exact);
    EXPECT_EQ(Bounds(inside.image), QRect(QPoint(47, 97), QPoint(53, 103)));
    EXPECT_EQ(prompts.shown.size(), 2);
}

} // namespace
