// The KML file of a map run's locations: the lines of the file, the positions of the
// placemarks under the coordinate rules, the balloons, the file and its name, coordinate
// errors, and texts that would break the XML. Every file is read back with an XML parser.

#include "core/coordinates.h"
#include "core/folders.h"
#include "core/grid/grid.h"
#include "core/scriptedprompts.h"
#include "maps/kml.h"
#include "maps/runtables.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

struct Row {
    QString location;
    QString date;
    QString x;
    QString y;
};

core::Grid LocationGrid(const std::vector<Row>& rows) {
    core::Grid grid(kLocationColumns, 1 + int(rows.size()));
    grid.SetRow(0, {"ID", "Location", "Date", "X", "Y"});
    for (int i = 0; i < int(rows.size()); ++i) {
        const Row& r = rows[std::size_t(i)];
        grid.SetRow(i + 1, {QString::number(i + 1), r.location, r.date, r.x, r.y});
    }
    return grid;
}

// What a KML file holds for each placemark, read with an XML parser.
struct Placemark {
    QString description;
    QString icon;
    QString coordinates;
};

std::vector<Placemark> ParseKml(const QByteArray& bytes) {
    std::vector<Placemark> placemarks;
    QXmlStreamReader xml(bytes);
    bool inPlacemark = false;
    int documents = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("kml"))
                EXPECT_EQ(xml.namespaceUri(), kKmlNamespace);
            else if (name == QLatin1String("Document"))
                ++documents;
            else if (name == QLatin1String("Placemark")) {
                inPlacemark = true;
                placemarks.emplace_back();
            } else if (inPlacemark && name == QLatin1String("description"))
                placemarks.back().description = xml.readElementText();
            else if (inPlacemark && name == QLatin1String("href"))
                placemarks.back().icon = xml.readElementText();
            else if (inPlacemark && name == QLatin1String("coordinates"))
                placemarks.back().coordinates = xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("Placemark")) {
            inPlacemark = false;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    EXPECT_EQ(documents, 1);
    return placemarks;
}

QString Coordinates(double longitude, double latitude) {
    return QString::number(longitude, 'g', 15) + ',' + QString::number(latitude, 'g', 15) + ",0";
}

QString RdCoordinates(double x, double y) {
    const auto [latitude, longitude] = core::RDToLatLon(x, y);
    return Coordinates(longitude, latitude);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

const PlacementRules kDutchKmSquare{core::kKmBased, true, Placement::KmSquare};

struct Kml : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    void SetUp() override { core::SetProgramDir(dir.path() + '/'); }
    void TearDown() override { core::SetProgramDir({}); }
};

TEST_F(Kml, FileLineByLine) {
    const core::Grid grid = LocationGrid({{"Ven", "2001-06-15", "155,7", "463.2"}});
    const KmlWriteResult result = WriteKml(grid, "Closterium lunula", kDutchKmSquare);
    EXPECT_FALSE(result.aborted);
    ASSERT_EQ(result.path, dir.path() + "/KML/Closterium lunula.KML");
    const QByteArray bytes = ReadFile(result.path);

    // The placemark stands at the centre of the km-square; the balloon shows the cells.
    const QStringList expected = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">",
        "<Document>",
        "<Style id=\"FEATURES\">",
        "<BalloonStyle>",
        "<text>$[description]</text>",
        "</BalloonStyle>",
        "<Icon>",
        "<href>http://maps.google.com/mapfiles/kml/shapes/placemark_circle_highlight.png</href>",
        "</Icon>",
        "</Style>",
        "<Placemark>",
        "<styleUrl>#FEATURES</styleUrl>",
        "<description> <![CDATA[Closterium lunula<br><B>Locatie:</B> Ven<br>"
        "<B>Coördinaten:</B> 155,7 - 463.2<br><B>Datum:</B> 2001-06-15]]></description>",
        "<Style id=\"FEATURES\">",
        "<Icon>",
        "<href>http://maps.google.com/mapfiles/kml/shapes/placemark_circle_highlight.png</href>",
        "</Icon>",
        "</Style>",
        "<Point>",
        "<coordinates>" + RdCoordinates(155.5, 463.5) + "</coordinates>",
        "</Point>",
        "</Placemark>",
        "</Document>",
        "</kml>",
    };
    EXPECT_EQ(QString::fromUtf8(bytes), expected.join("\r\n") + "\r\n");
    EXPECT_EQ(ParseKml(bytes).size(), 1u);
}

TEST_F(Kml, PlacemarkPositions) {
    const QString km = core::kKmBased;
    const QString ll = core::kLatLon;
    const QString circle = kKmlPlacemarkIcon;
    const QString square = kKmlSquareIcon;
    const auto [blockX, blockY] = core::AtlasToRD(1734, 0);
    const auto [squareX, squareY] = core::AtlasToRD(1734, 57);
    const struct {
        const char* x;
        const char* y;
        PlacementRules rules;
        QString coordinates;
        QString icon;
    } cases[] = {
        {"155,7", "463.2", {km, true, Placement::Exact}, RdCoordinates(155.7, 463.2), circle},
        {"155,7", "463.2", {km, false, Placement::HourSquare}, RdCoordinates(157.5, 462.5), circle},
        {"155700", "463200", {km, true, Placement::Exact}, RdCoordinates(155.7, 463.2), circle},
        // A whole atlas block: its centre, also with "km-hok"; the square icon.
        {"1734",
         "0",
         {km, true, Placement::Exact},
         RdCoordinates(blockX + 0.5, blockY + 0.5),
         square},
        {"1734",
         "0",
         {km, true, Placement::KmSquare},
         RdCoordinates(blockX + 0.5, blockY + 0.5),
         square},
        // Atlas notation up to 59, snapped like any other position.
        {"1734", "57", {km, true, Placement::Exact}, RdCoordinates(squareX, squareY), circle},
        {"1734",
         "57",
         {km, true, Placement::KmSquare},
         RdCoordinates(squareX + 0.5, squareY + 0.5),
         circle},
        {"155.2", "60", {km, true, Placement::Exact}, RdCoordinates(155.2, 60), circle},
        // Without the Dutch rules a y of 0 is a km coordinate, shown with the square icon.
        {"155", "0", {km, false, Placement::Exact}, RdCoordinates(155, 0), square},
        {"5.1234", "52.0101", {ll, true, Placement::Exact}, "5.1234,52.0101,0", circle},
        {"5.1234", "52.0101", {ll, true, Placement::KmSquare}, "5.125,52.0125,0", circle},
        {"5.1234", "52.0101", {ll, true, Placement::HourSquare}, "5.1234,52.0101,0", circle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.x) + " " + c.y + " placement " +
                     std::to_string(int(c.rules.placement)));
        const KmlBuild build =
            BuildKml(LocationGrid({{"Ven", "2001-06-15", c.x, c.y}}), "Taxon", c.rules);
        ASSERT_EQ(build.errorRow, -1);
        const auto placemarks = ParseKml(KmlText(build.lines));
        ASSERT_EQ(placemarks.size(), 1u);
        EXPECT_EQ(placemarks[0].coordinates, c.coordinates);
        EXPECT_EQ(placemarks[0].icon, c.icon);
    }
}

TEST_F(Kml, TitleLineAndFileName) {
    const core::Grid grid =
        LocationGrid({{"Ven", "2001-06-15", "155", "463"}, {"Plas", "2002-07-01", "156", "464"}});
    int rowsDone = 0;
    const KmlWriteResult all = WriteKml(grid, "Alle locaties", kDutchKmSquare, [&] { ++rowsDone; });
    EXPECT_EQ(rowsDone, 2);
    ASSERT_EQ(all.path, core::KmlDir() + "Alle locaties.KML");
    for (const Placemark& p : ParseKml(ReadFile(all.path)))
        EXPECT_TRUE(p.description.trimmed().startsWith("<B>Locatie:</B> "))
            << p.description.toStdString();

    // The title names the file; an older file of that name is replaced.
    const QString path = core::KmlDir() + "Closterium_Cosmarium_.KML";
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    EXPECT_EQ(WriteKml(grid, "Closterium/Cosmarium?", kDutchKmSquare).path, path);
    const auto placemarks = ParseKml(ReadFile(path));
    ASSERT_EQ(placemarks.size(), 2u);
    EXPECT_TRUE(
        placemarks[1].description.trimmed().startsWith("Closterium/Cosmarium?<br><B>Locatie:</B> "
                                                       "Plas<br>"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Kml, TextsThatWouldBreakTheFile) {
    const QString title = "Cosmarium <i>a & b</i> ]]>";
    const std::vector<Row> rows = {
        {"Ven ]]> bij <Loon> & Drunen", "2001]]>", "155", "463"},
        {"Sloot &amp; plas <![CDATA[x]]>", "2002", "155,5", "463,5"},
        {QString("Regel\r\neen\x01twee"), "2003 & later", "156", "464"},
    };
    const KmlWriteResult result = WriteKml(LocationGrid(rows), title, kDutchKmSquare);
    ASSERT_FALSE(result.path.isEmpty());
    const auto placemarks = ParseKml(ReadFile(result.path));
    ASSERT_EQ(placemarks.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        // The balloon as the viewer shows it holds the texts as typed (the control
        // characters as blanks); the markup of the program is markup.
        const QString shown = QTextDocumentFragment::fromHtml(placemarks[i].description)
                                  .toPlainText()
                                  .replace(QChar::LineSeparator, '\n')
                                  .replace(QChar::ParagraphSeparator, '\n');
        QString location = rows[i].location;
        location.replace('\r', ' ').replace('\n', ' ').replace('\x01', ' ');
        const QString expected = title + "\nLocatie: " + location + "\nCoördinaten: " + rows[i].x +
                                 " - " + rows[i].y + "\nDatum: " + rows[i].date;
        // HTML folds runs of blanks into one.
        EXPECT_EQ(shown.simplified(), QString(expected).replace('\n', ' ').simplified());
        EXPECT_EQ(shown.count('\n'), 3);
    }
}

TEST_F(Kml, CoordinateErrorWritesNothing) {
    const QString kmlFolder = core::KmlDir();
    const struct {
        const char* x;
        const char* y;
        PlacementRules rules;
    } errors[] = {
        {"155", "abc", kDutchKmSquare},
        {"", "463", kDutchKmSquare},
        {"4000", "463200", kDutchKmSquare}, // metres, but x is not
        {"9934", "12", kDutchKmSquare},     // a sheet the atlas lacks
        {"5,1", "x", {core::kLatLon, true, Placement::Exact}},
    };
    for (const auto& e : errors) {
        for (const core::Answer answer : {core::Answer::Ok, core::Answer::Abort}) {
            SCOPED_TRACE(std::string(e.x) + " " + e.y);
            prompts.shown.clear();
            prompts.answers = {answer};
            const core::Grid grid = LocationGrid({{"Ven", "2001-06-15", "155", "463"},
                                                  {"Plas", "2002-07-01", e.x, e.y},
                                                  {"Sloot", "2003-08-02", "157", "465"}});
            const KmlWriteResult result = WriteKml(grid, "Taxon", e.rules);
            EXPECT_TRUE(result.path.isEmpty());
            EXPECT_EQ(result.aborted, answer == core::Answer::Abort);
            EXPECT_EQ(prompts.shown,
                      QStringList({"Er zit een fout in de coördinaten van locatie: \nPlas\nOp "
                                   "datum: 2002-07-01"}));
            EXPECT_FALSE(QFileInfo::exists(kmlFolder + "Taxon.KML"));
        }
    }

    // A table without locations: nothing asked, nothing written.
    const KmlWriteResult none = WriteKml(LocationGrid({}), "Taxon", kDutchKmSquare);
    EXPECT_TRUE(none.path.isEmpty());
    EXPECT_FALSE(none.aborted);
    EXPECT_FALSE(QDir(kmlFolder).exists());
}

TEST_F(Kml, ReadByGdal) {
    const QString ogrinfo = QStandardPaths::findExecutable("ogrinfo");
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    std::vector<Row> rows;
    for (int i = 0; i < 25; ++i)
        rows.push_back({QString("Ven %1 <&>").arg(i), "2001-06-15", QString::number(100 + i * 5),
                        i % 5 == 0 ? "0" : QString::number(400 + i)});
    rows[0].x = "1734"; // a whole atlas block
    const KmlWriteResult result = WriteKml(LocationGrid(rows), "Taxon ]]>", kDutchKmSquare);
    ASSERT_FALSE(result.path.isEmpty());
    QProcess process;
    process.start(ogrinfo, {"-ro", "-al", result.path});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(output.contains("Feature Count: 25")) << output.toStdString();
    // Every feature is a point with its geometry read.
    EXPECT_EQ(output.count(QRegularExpression("^  POINT Z \\([0-9.]+ [0-9.]+ 0\\)$",
                                              QRegularExpression::MultilineOption)),
              25)
        << output.toStdString();
}

} // namespace
