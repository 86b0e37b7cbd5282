// Loading maps, refusing pictures that cannot or should not be read, the fitted view, the
// two-point calibration that writes a calibrated copy, and saving.

#include "common/programfolder.h"
#include "common/tempdir.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "maps/mapimage.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

class Maps : public ::testing::Test {
protected:
    Maps() {
        QDir(folder.path()).mkdir(QStringLiteral("Maps"));
        store.SetCoordinateSystem(core::kKmBased);
    }

    // A picture in the Maps folder, grey with one red pixel at (1, 1).
    QString Picture(const QString& name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(0xFF808080);
        image.setPixel(1, 1, 0xFFFF0000);
        const QString path = core::MapsDir() + name;
        EXPECT_TRUE(image.save(path));
        return path;
    }

    velmora::testing::ProgramFolder folder;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    MapImage map{store};
};

TEST_F(Maps, ACalibratedMapLoadsOnce) {
    const QString path = Picture("Kaart_150_500_250_400_.png", 1000, 500);
    EXPECT_EQ(map.LoadMap(path), LoadResult::Calibrated);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(map.Loaded());
    EXPECT_EQ(map.CalibrationLabel(), "Gekalibreerd");
    EXPECT_EQ(store.MapName(), "Kaart_150_500_250_400_.png");
    EXPECT_EQ(map.Caption(), "Kaart_150_500_250_400_.png");
    EXPECT_EQ(map.Extension(), ".png");
    EXPECT_EQ(map.LegendFontMinimum(), 4);
    ASSERT_TRUE(map.Calibration());
    EXPECT_EQ(map.Calibration()->Pixel(155, 480), QPoint(50, 100));
    EXPECT_EQ(map.PlainMap().format(), QImage::Format_RGB32);
    EXPECT_EQ(map.WorkingImage(), map.PlainMap());

    // While loaded, a second load changes nothing, even of another file.
    map.WorkingImage().setPixel(0, 0, 0xFF0000FF);
    EXPECT_EQ(map.LoadMap(Picture("Ander_0_1_2_3_.png", 10, 10)), LoadResult::AlreadyLoaded);
    EXPECT_EQ(map.WorkingImage().pixel(0, 0), 0xFF0000FFu);
    EXPECT_NE(map.PlainMap().pixel(0, 0), 0xFF0000FFu); // the plain map is never drawn on
    map.ResetWorkingImage();
    EXPECT_EQ(map.WorkingImage(), map.PlainMap());

    // Another database (or map) makes the next load read the file again.
    store.MarkMapForReload();
    EXPECT_FALSE(map.Loaded());
}

TEST_F(Maps, APictureWithoutCalibrationKeepsThePreviousOne) {
    map.LoadMap(Picture("Kaart_150_500_250_400_.png", 1000, 500));
    for (const char* name : {"Gebied.png", "Gebied_1_2_3.png", "Plat_150_500_250_500_.png"}) {
        SCOPED_TRACE(name);
        prompts.shown.clear();
        EXPECT_EQ(map.OpenMap(Picture(name, 300, 200)), LoadResult::NotCalibrated);
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_TRUE(prompts.shown[0].endsWith("\nDe kaart moet eerst gekalibreerd worden"));
        EXPECT_EQ(map.CalibrationLabel(), "Niet gekalibreerd");
        EXPECT_FALSE(map.Loaded());
        EXPECT_EQ(map.Caption(), name);
        EXPECT_EQ(map.WorkingImage().size(), QSize(300, 200)); // shown, may be calibrated
        EXPECT_EQ(store.MapName(), "Kaart_150_500_250_400_.png");
        EXPECT_DOUBLE_EQ(map.Calibration()->scaleX, 10);
    }
    EXPECT_EQ(prompts.shown[0],
              "De coördinaten in de filenaam geven de kaart geen breedte of geen hoogte.\n"
              "De kaart moet eerst gekalibreerd worden");
}

TEST_F(Maps, MetresInTheNameAreReadAsKilometres) {
    map.LoadMap(Picture("Kaart_150000_500000_250000_400000_.png", 1000, 500));
    EXPECT_EQ(map.Calibration()->Pixel(155, 480), QPoint(50, 100));
    store.SetCoordinateSystem(core::kLatLon);
    map.OpenMap(core::MapsDir() + "Kaart_150000_500000_250000_400000_.png");
    EXPECT_DOUBLE_EQ(map.Calibration()->scaleX, 0.01);
}

// A Windows bitmap header announcing the size, with a few bytes of pixels after it.
QByteArray BitmapHeader(qint32 width, qint32 height) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(54 + 16) << quint32(0) << quint32(54);
    out << quint32(40) << width << height << quint16(1) << quint16(24) << quint32(0) << quint32(0)
        << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    out.writeRawData("0123456789abcdef", 16);
    return bytes;
}

// A JPEG picture whose frame header announces the size: pixels that would take 1.6 GB.
QByteArray JpegClaiming(quint16 width, quint16 height) {
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(0xFF808080);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "JPEG");
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    EXPECT_GT(frame, 0);
    bytes[frame + 5] = char(height >> 8);
    bytes[frame + 6] = char(height & 0xFF);
    bytes[frame + 7] = char(width >> 8);
    bytes[frame + 8] = char(width & 0xFF);
    return bytes;
}

TEST_F(Maps, PicturesThatCannotBeReadAreRefusedAndChangeNothing) {
    map.LoadMap(Picture("Kaart_150_500_250_400_.png", 1000, 500));
    map.ClearLoaded();
    const QString maps = core::MapsDir();
    velmora::testing::WriteAll(maps + "Groot_0_1_2_3_.jpg", JpegClaiming(20000, 20000));
    velmora::testing::WriteAll(maps + "Breed_0_1_2_3_.bmp", BitmapHeader(20000, 16000));
    velmora::testing::WriteAll(maps + "Kapot_0_1_2_3_.png", "\x89PNG\r\n\x1a\nrommel");
    velmora::testing::WriteAll(maps + "Leeg_0_1_2_3_.jpg", "");
    velmora::testing::WriteAll(maps + "Plaatje_0_1_2_3_.gif", "GIF89a");
    const struct {
        const char* name;
        const char* says;
    } cases[] = {
        {"Groot_0_1_2_3_.jpg", "20000 x 20000"},
        {"Breed_0_1_2_3_.bmp", "kan niet gelezen worden"}, // beyond what bitmaps may be
        {"Kapot_0_1_2_3_.png", "kan niet gelezen worden"},
        {"Leeg_0_1_2_3_.jpg", "kan niet gelezen worden"},
        {"Plaatje_0_1_2_3_.gif", "geen kaartbestand"},
        {"Weg_0_1_2_3_.png", "bestaat niet"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        EXPECT_EQ(map.LoadMap(maps + c.name), LoadResult::NotRead);
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_TRUE(prompts.shown[0].contains(c.says)) << prompts.shown[0].toStdString();
        EXPECT_EQ(map.PlainMap().size(), QSize(1000, 500));
        EXPECT_EQ(map.Caption(), "Kaart_150_500_250_400_.png");
        EXPECT_EQ(store.MapName(), "Kaart_150_500_250_400_.png");
        EXPECT_TRUE(map.IsCalibrated());
        EXPECT_FALSE(map.Loaded());
    }
}

TEST_F(Maps, TheStoredMapName) {
    EXPECT_EQ(map.LoadStoredMap(), LoadResult::NoMap);
    EXPECT_EQ(prompts.shown.value(0), "Er is geen kaart gevonden, open eerst een kaartbestand");
    store.SetMapName("../Kaart_150_500_250_400_.png");
    EXPECT_EQ(map.LoadStoredMap(), LoadResult::NotRead);
    Picture("Kaart_150_500_250_400_.png", 1000, 500);
    store.SetMapName("Kaart_150_500_250_400_.png");
    EXPECT_EQ(map.LoadStoredMap(), LoadResult::Calibrated);
    EXPECT_EQ(map.LoadStoredMap(), LoadResult::AlreadyLoaded);
}

TEST_F(Maps, FittedView) {
    EXPECT_EQ(MapImage::FittedSize(QSize(2800, 3250), QSize(600, 600)), QSize(516, 600));
    EXPECT_EQ(MapImage::FittedSize(QSize(2800, 3250), QSize(400, 800)), QSize(400, 464));
    EXPECT_EQ(MapImage::FittedSize(QSize(2800, 3250), QSize(0, 800)), QSize());
    EXPECT_TRUE(map.FittedView(QSize(600, 600)).isNull()); // no map yet
    map.LoadMap(Picture("Kaart_150_500_250_400_.png", 1000, 500));
    const QImage view = map.FittedView(QSize(500, 500));
    EXPECT_EQ(view.size(), QSize(500, 250));
    EXPECT_EQ(view.pixel(250, 125), 0xFF808080u);
}

class Calibration : public Maps {
protected:
    Calibration() {
        map.LoadMap(Picture("Oud_150_500_250_400_.png", 1000, 500));
        map.OpenMap(Picture("Gebied.png", 1000, 800));
        prompts.shown.clear();
    }
    static CalibrationRequest Request() {
        CalibrationRequest r;
        r.first = QPoint(100, 100);
        r.second = QPoint(601, 351);
        r.x1 = QStringLiteral("150");
        r.y1 = QStringLiteral("450");
        r.x2 = QStringLiteral("200,0");
        r.y2 = QStringLiteral("425");
        return r;
    }
};

TEST_F(Calibration, WritesTheCalibratedCopyAndLoadsIt) {
    prompts.texts = {std::nullopt}; // the name box cancelled: the proposal is taken
    prompts.answers = {core::Answer::Yes};
    EXPECT_EQ(map.Calibrate(Request()), CalibrationOutcome::Saved);
    const QString name = "Oud_140.000_460.100_240.000_380.100_.png";
    EXPECT_EQ(prompts.shown,
              (QStringList{"Voer een naam in", "Kaart wordt bewaard als:\n" + name}));
    EXPECT_TRUE(QFile::exists(core::MapsDir() + name));
    EXPECT_EQ(store.MapName(), name);
    EXPECT_TRUE(map.Loaded());
    EXPECT_TRUE(map.IsCalibrated());
    EXPECT_EQ(map.Calibration()->Pixel(140, 460.1), QPoint(0, 0));
    EXPECT_EQ(map.PlainMap().pixel(1, 1), 0xFFFF0000u); // the plain map, not the working image
}

TEST_F(Calibration, ClicksInTheFittedPictureAndATypedName) {
    CalibrationRequest r = Request();
    r.first = QPoint(50, 50);    // (100, 100) at full size
    r.second = QPoint(301, 176); // (602, 352)
    r.x2 = QStringLiteral("200.1");
    r.y2 = QStringLiteral("424.9");
    r.shownSize = QSize(500, 400);
    prompts.texts = {QStringLiteral("Noord_Holland/West")};
    prompts.answers = {core::Answer::Yes};
    EXPECT_EQ(map.Calibrate(r), CalibrationOutcome::Saved);
    EXPECT_EQ(store.MapName(), "Noord-Holland-West_140.000_460.100_240.000_380.100_.png");
}

TEST_F(Calibration, DeclinedOrRefusedWritesNothing) {
    prompts.texts = {QStringLiteral("Nieuw")};
    prompts.answers = {core::Answer::No};
    EXPECT_EQ(map.Calibrate(Request()), CalibrationOutcome::NotSaved);
    EXPECT_EQ(prompts.shown.last(), "De kaart is niet bewaard.");

    CalibrationRequest close = Request();
    close.second = QPoint(101, 351);
    CalibrationRequest badFirst = Request();
    badFirst.y1 = QStringLiteral("4a0");
    CalibrationRequest badSecond = Request();
    badSecond.x2 = QString();
    CalibrationRequest sameX = Request();
    sameX.x2 = QStringLiteral("150");
    const std::pair<CalibrationRequest, const char*> cases[] = {
        {close, "minder dan twee beeldpunten"},
        {badFirst, "Fout in waarde X1 of Y1"},
        {badSecond, "Fout in waarde X2 of Y2"},
        {sameX, "dezelfde X- of Y-coördinaat"},
    };
    for (const auto& [request, says] : cases) {
        SCOPED_TRACE(says);
        prompts.shown.clear();
        EXPECT_EQ(map.Calibrate(request), CalibrationOutcome::Refused);
        ASSERT_EQ(prompts.shown.size(), 1); // no name asked
        EXPECT_TRUE(prompts.shown[0].contains(QString::fromUtf8(says)));
    }
    EXPECT_EQ(QDir(core::MapsDir()).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(store.MapName(), "Oud_150_500_250_400_.png");
}

TEST_F(Maps, SavingTheDrawnMap) {
    map.LoadMap(Picture("Kaart_150_500_250_400_.png", 1000, 500));
    map.WorkingImage().setPixel(5, 5, 0xFF00FF00);
    const QString path = SavedImagePath(folder.filePath("Monsters.png"), kMapFilePart, ".png");
    EXPECT_EQ(path, folder.filePath("Monsters - kaart.png"));
    EXPECT_EQ(SavedImagePath("/a/b/Ven.2001", kPhenologyFilePart, ".jpg"),
              "/a/b/Ven - Phenology.jpg");
    ASSERT_TRUE(map.SaveWorkingImage(path));
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), map.WorkingImage());
    EXPECT_FALSE(map.SaveWorkingImage(folder.filePath("Monsters.gif")));
}

TEST_F(Maps, ClosingTheDatabaseEmptiesTheWorkingImage) {
    store.CreateDatabase(QStringLiteral("Ven"));
    ASSERT_TRUE(store.OpenDatabase(QStringLiteral("Ven")));
    map.LoadMap(Picture("Kaart_150_500_250_400_.png", 1000, 500));
    store.CloseDatabase();
    EXPECT_TRUE(map.WorkingImage().isNull());
    EXPECT_FALSE(map.PlainMap().isNull());
}

} // namespace
