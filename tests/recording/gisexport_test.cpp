// The export for GIS programs: where the coordinate texts place a location and how precisely;
// the demonstration database and a small one with every kind of coordinate written as a
// GeoPackage and as CSV and read back by GDAL's own ogrinfo; a refused extension; a cancel and a
// full disk that leave an existing file as it was.

#include "common/libreoffice.h"
#include "common/printers.h"
#include "common/programfolder.h"
#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/gisexport.h"
#include "recording/messages.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::recording;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

// ---- GDAL's command-line programs as the reader of the files

QString Ogrinfo() {
    return QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
}

// ogrinfo's output (read-only, summary lines left to the arguments).
QString RunOgrinfo(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Ogrinfo(), QStringList{"-ro"} + arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "ogrinfo did not finish";
        return {};
    }
    const QString output = QString::fromUtf8(process.readAll());
    if (process.exitCode() != 0)
        ADD_FAILURE() << "ogrinfo failed: " << output.toStdString();
    return output;
}

// The number after "Feature Count: " in ogrinfo's summary.
long long FeatureCount(const QString& summary) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Feature Count: (\\d+)")).match(summary);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

// The points of ogrinfo's feature listing (or of WKT texts), in order.
std::vector<std::pair<double, double>> Points(const QString& text) {
    std::vector<std::pair<double, double>> points;
    static const QRegularExpression point(QStringLiteral("POINT \\(([-0-9.e]+) ([-0-9.e]+)\\)"));
    for (auto it = point.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        points.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return points;
}

// Longitude and latitude of RD km, the way round a point is written.
std::pair<double, double> LonLatOfRD(double x, double y) {
    const auto [lat, lon] = core::RDToLatLon(x, y);
    return {lon, lat};
}

// ---- Positions

TEST(GisPosition, TheCoordinateTextsGiveAPlaceAndItsPrecision) {
    using P = GisPrecision;
    const QString km = core::kKmBased;
    const QString deg = core::kLatLon;
    struct Case {
        QString system, language, x, y;
        P precision;
        double px, py; // RD km, or longitude and latitude in a LatLon database
        int size;
    };
    const Case cases[] = {
        // RD in km with decimals, in metres, and in whole km (a km-square: its centre)
        {km, "EN", "162,4", "458,9", P::Point, 162.4, 458.9, 100},
        {km, "EN", "162.45", "458.9", P::Point, 162.45, 458.9, 100},
        {km, "EN", "162.451", "458.905", P::Point, 162.451, 458.905, 1},
        {km, "EN", "162400", "458900", P::Point, 162.4, 458.9, 1},
        {km, "EN", "162", "458", P::KmSquare, 162.5, 458.5, 1000},
        {km, "EN", " -5 ", "380", P::KmSquare, -4.5, 380.5, 1000},
        // Atlas notation, under NL only: km-square 23 of block 3245, and the whole block
        {km, "NL", "3245", "23", P::KmSquare, 162.5, 458.5, 1000},
        {km, "NL", "3245", "0", P::AtlasBlock, 162.5, 457.5, 5000},
        {km, "NL", "3245", "", P::AtlasBlock, 162.5, 457.5, 5000},
        {km, "NL", "162,4", "458,9", P::Point, 162.4, 458.9, 100},
        {km, "EN", "3245", "23", P::Invalid, 0, 0, 0}, // metres: far south of the grid
        // Sheets, blocks and squares the atlas does not have
        {km, "NL", "6345", "23", P::Invalid, 0, 0, 0},
        {km, "NL", "3265", "23", P::Invalid, 0, 0, 0},
        {km, "NL", "3249", "23", P::Invalid, 0, 0, 0},
        {km, "NL", "3240", "23", P::Invalid, 0, 0, 0},
        {km, "NL", "3245", "26", P::Invalid, 0, 0, 0},
        {km, "NL", "3245", "7", P::Invalid, 0, 0, 0},
        {km, "NL", "3245", "-12", P::Invalid, 0, 0, 0},
        // No coordinates, and texts that are no place
        {km, "EN", "", "458", P::None, 0, 0, 0},
        {km, "EN", "0,7", "458", P::None, 0, 0, 0},
        {km, "EN", "abc", "458", P::Invalid, 0, 0, 0},
        {km, "EN", "162", "4x", P::Invalid, 0, 0, 0},
        {km, "EN", "999999999", "458", P::Invalid, 0, 0, 0},
        {km, "EN", "900", "458", P::Invalid, 0, 0, 0},
        {"", "EN", "162", "458", P::None, 0, 0, 0},
        // Degrees
        {deg, "EN", "5.12345", "52.1", P::Point, 5.12345, 52.1, 11132},
        {deg, "NL", "5,5", "52,25", P::Point, 5.5, 52.25, 11132},
        {deg, "EN", "-3.7038", "40.4168", P::Point, -3.7038, 40.4168, 11},
        {deg, "EN", "0", "52.2", P::None, 0, 0, 0},
        {deg, "EN", "190", "52", P::Invalid, 0, 0, 0},
        {deg, "EN", "5", "-91", P::Invalid, 0, 0, 0},
        {deg, "EN", "5:30", "52", P::Invalid, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string what =
            (c.system + " " + c.language + " '" + c.x + "' '" + c.y + "'").toStdString();
        const GisPosition p = LocatePosition(c.x, c.y, c.system, c.language);
        EXPECT_EQ(PrecisionName(p.precision), PrecisionName(c.precision)) << what;
        EXPECT_EQ(p.sizeMetres, c.size) << what;
        EXPECT_EQ(p.HasPoint(), c.size > 0) << what;
        if (!p.HasPoint())
            continue;
        const auto [lon, lat] = c.system == deg ? std::pair{c.px, c.py} : LonLatOfRD(c.px, c.py);
        EXPECT_NEAR(p.lon, lon, 1e-9) << what;
        EXPECT_NEAR(p.lat, lat, 1e-9) << what;
    }
}

// ---- A small database with every kind of coordinate

struct GisExport : ::testing::Test {
    velmora::testing::ProgramFolder dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;

    void SetUp() override {
        core::CurrentSettings().language = QStringLiteral("NL");
        store.CreateDatabase("Vijvers");
        ASSERT_TRUE(store.OpenDatabase("Vijvers"));
        store.SetCoordinateSystem(core::kKmBased);
        core::Dataset& loc = store.Locations();
        loc.AppendRecord(
            {1, "Ven, \"Oost\"", "05", "06", "2001", "", "regel 1\nregel 2", "162,4", "458,9"});
        loc.AppendRecord({2, "Meter", "01", "02", "1999", "", "", "162400", "458900"});
        loc.AppendRecord({3, "Kmhok", "01", "02", "1999", "", "", "3245", "23"});
        loc.AppendRecord({4, "Uurhok", "01", "02", "1999", "", "", "3245", "0"});
        loc.AppendRecord({5, "Fout", "01", "02", "1999", "", "", "abc", "1"});
        loc.AppendRecord({6, "Zonder", "01", "02", "1999", "", "", "", ""});
        loc.AppendRecord({7, "Kwelder é", "01", "02", "1999", "", "", "155", "463"});
        core::Dataset& s = store.Samples();
        s.AppendRecord({1, "2001-06-05", "", "", "Staurastrum hirsutum", "3", "", "", "", "",
                        "\"citaat\", lang"});
        s.AppendRecord({1, "2001-06-05", "", "", "Cosmarium botrytis"});
        for (int id = 2; id <= 7; ++id)
            s.AppendRecord({id, "1999-02-01", "", "", "Closterium lunula"});
        s.AppendRecord({42, "2000-01-01", "", "", "Zonder locatie"});
        s.AppendRecord({7, "", "", "", "Verwijderd"});
        s.SetRecNo(static_cast<int>(s.Table().PhysicalCount()));
        s.Delete();
    }
    void TearDown() override { store.CloseDatabase(); }

    // The rows of an exported CSV file.
    velmora::testing::CsvRows Csv(const QString& path) {
        return velmora::testing::ParseCsv(QString::fromUtf8(ReadAll(path)));
    }
};

TEST_F(GisExport, TheCsvHoldsEverySampleWithItsLocationAndPoint) {
    const QString path = dir.filePath("vijvers.csv");
    EXPECT_EQ(ExportGis(store, path), 9);
    const velmora::testing::CsvRows rows = Csv(path);
    ASSERT_EQ(rows.size(), 10u);
    QStringList header;
    for (const auto& field : rows[0])
        header << field.text;
    EXPECT_EQ(
        header,
        QStringList({"WKT",        "ID",         "LOCATIE", "DAG",       "MAAND",      "JAAR",
                     "ZUURGRAAD",  "OPMLOCATIE", "COORDX",  "COORDY",    "MONSTERSRT", "ANALIST",
                     "OWNER",      "LOCCODE",    "PH",      "GELEIDING", "WATERTEMP",  "WTYPE",
                     "HERBARIUM",  "AMAAT",      "DATUM",   "KXY",       "UXY",        "DESMID",
                     "ABUND",      "DL",         "ZYGO",    "FOTO",      "ZEKER",      "OPMDESMID",
                     "DESMIDINFO", "LON",        "LAT",     "PRECISION", "PREC_M"}));
    auto cell = [&](std::size_t row, const char* column) {
        return rows[row][static_cast<std::size_t>(header.indexOf(column))].text;
    };
    for (std::size_t r = 1; r < rows.size(); ++r)
        ASSERT_EQ(rows[r].size(), static_cast<std::size_t>(header.size())) << r;

    struct Expected {
        const char* id;
        const char* precision;
        const char* size;
        double x, y; // RD km of the point
    };
    const Expected expected[] = {
        {"1", "point", "100", 162.4, 458.9},
        {"1", "point", "100", 162.4, 458.9},
        {"2", "point", "1", 162.4, 458.9},
        {"3", "km-square", "1000", 162.5, 458.5},
        {"4", "atlas block", "5000", 162.5, 457.5},
        {"5", "invalid", "", 0, 0},
        {"6", "none", "", 0, 0},
        {"7", "km-square", "1000", 155.5, 463.5},
        {"42", "none", "", 0, 0},
    };
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const Expected& e = expected[k];
        const std::size_t r = k + 1;
        EXPECT_EQ(cell(r, "ID"), e.id) << r;
        EXPECT_EQ(cell(r, "PRECISION"), e.precision) << r;
        EXPECT_EQ(cell(r, "PREC_M"), e.size) << r;
        const auto points = Points(cell(r, "WKT"));
        if (e.x == 0) {
            EXPECT_TRUE(cell(r, "WKT").isEmpty()) << r;
            EXPECT_TRUE(cell(r, "LON").isEmpty()) << r;
            continue;
        }
        ASSERT_EQ(points.size(), 1u) << r;
        const auto [lon, lat] = LonLatOfRD(e.x, e.y);
        EXPECT_NEAR(points[0].first, lon, 1e-7) << r;
        EXPECT_NEAR(points[0].second, lat, 1e-7) << r;
        EXPECT_EQ(cell(r, "LON").toDouble(), points[0].first) << r;
        EXPECT_EQ(cell(r, "LAT").toDouble(), points[0].second) << r;
    }
    // The texts as they are, quoted where CSV needs it; the sample without a location keeps
    // its own fields.
    EXPECT_EQ(cell(1, "LOCATIE"), "Ven, \"Oost\"");
    EXPECT_EQ(cell(1, "OPMLOCATIE"), "regel 1\nregel 2");
    EXPECT_EQ(cell(1, "OPMDESMID"), "\"citaat\", lang");
    EXPECT_EQ(cell(8, "LOCATIE"), "Kwelder é");
    EXPECT_EQ(cell(6, "COORDX"), "abc");
    EXPECT_EQ(cell(9, "DESMID"), "Zonder locatie");
    EXPECT_EQ(cell(9, "DATUM"), "2000-01-01");
    EXPECT_TRUE(cell(9, "LOCATIE").isEmpty());
}

TEST_F(GisExport, GdalReadsTheGeoPackageAndTheCsvAsTheSamePoints) {
    if (Ogrinfo().isEmpty())
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    const QString gpkg = dir.filePath("vijvers.gpkg");
    const QString csv = dir.filePath("vijvers.csv");
    EXPECT_EQ(ExportGis(store, gpkg), 9);
    EXPECT_EQ(ExportGis(store, csv), 9);

    const QString summary = RunOgrinfo({"-so", gpkg, "Vijvers"});
    EXPECT_EQ(FeatureCount(summary), 9) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Geometry: Point")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("ID[\"EPSG\",4326]")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("ID: Integer64")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("LOCATIE: String")) << summary.toStdString();
    // A layer of this size has its spatial index.
    EXPECT_TRUE(RunOgrinfo({"-q", gpkg, "-sql", "SELECT HasSpatialIndex('Vijvers', 'geom')"})
                    .contains("= 1"));
    // GDAL's own check of the GeoPackage rules, where its Python scripts are installed.
    const QString validator =
        QStringLiteral("/usr/lib/python3/dist-packages/osgeo_utils/samples/validate_gpkg.py");
    if (QFile::exists(validator) && QFile::exists("/usr/bin/python3")) {
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start("/usr/bin/python3", {validator, gpkg});
        ASSERT_TRUE(check.waitForFinished(120000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
    }

    // Feature by feature: the same points in both files, in the order of the samples; the
    // GeoPackage holds the converted values themselves.
    const QString features = RunOgrinfo({"-q", gpkg, "Vijvers"});
    const QString csvFeatures = RunOgrinfo({"-q", csv, "vijvers"});
    const auto points = Points(features);
    ASSERT_EQ(points.size(), 6u) << features.toStdString();
    const auto csvPoints = Points(csvFeatures);
    ASSERT_EQ(csvPoints.size(), 6u * 2) << csvFeatures.toStdString(); // the WKT text and point
    const auto [lon, lat] = LonLatOfRD(162.4, 458.9);
    EXPECT_NEAR(points[0].first, lon, 1e-9);
    EXPECT_NEAR(points[0].second, lat, 1e-9);
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_NEAR(csvPoints[2 * k + 1].first, points[k].first, 1e-7) << k;
        EXPECT_NEAR(csvPoints[2 * k + 1].second, points[k].second, 1e-7) << k;
    }
    EXPECT_TRUE(features.contains("LOCATIE (String) = Ven, \"Oost\"")) << features.toStdString();
    EXPECT_TRUE(features.contains("PRECISION (String) = atlas block"));
    EXPECT_TRUE(features.contains("LOCATIE (String) = Kwelder é"));
    EXPECT_TRUE(csvFeatures.contains("LOCATIE (String) = Ven, \"Oost\""));
    EXPECT_EQ(FeatureCount(RunOgrinfo({"-so", csv, "vijvers"})), 9);
}

TEST_F(GisExport, AtlasNotationIsReadUnderDutchOnly) {
    core::CurrentSettings().language = QStringLiteral("EN");
    const QString path = dir.filePath("engels.csv");
    EXPECT_EQ(ExportGis(store, path), 9);
    const velmora::testing::CsvRows rows = Csv(path);
    ASSERT_EQ(rows.size(), 10u);
    const std::size_t precision = rows[0].size() - 2;
    EXPECT_EQ(rows[4][precision].text, "invalid"); // 3245 and 23 as metres
    EXPECT_EQ(rows[5][precision].text, "invalid");
    EXPECT_EQ(rows[4][0].text, "");
}

TEST_F(GisExport, ADegreesDatabaseKeepsItsDegrees) {
    store.SetCoordinateSystem(core::kLatLon);
    const QString path = dir.filePath("graden.csv");
    core::Dataset& loc = store.Locations();
    loc.AppendRecord({8, "Graden", "01", "02", "1999", "", "", "5,5", "52,25"});
    store.Samples().AppendRecord({8, "1999-02-01", "", "", "Closterium lunula"});
    EXPECT_EQ(ExportGis(store, path), 10);
    const velmora::testing::CsvRows rows = Csv(path);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[10][0].text, "POINT (5.5 52.25)");
    EXPECT_EQ(rows[10][rows[0].size() - 2].text, "point");
    // RD values are no degrees.
    EXPECT_EQ(rows[1][rows[0].size() - 2].text, "invalid");
}

TEST_F(GisExport, AnotherExtensionIsRefusedAndNothingIsWritten) {
    for (const char* name : {"vijvers.shp", "vijvers", "vijvers.gpkg.txt", "vijvers.tsv"}) {
        try {
            ExportGis(store, dir.filePath(name));
            ADD_FAILURE() << name << " was written";
        } catch (const core::Error& e) {
            EXPECT_EQ(e.Reason(), ResStr(rsGisExtension)) << name;
            EXPECT_EQ(e.File(), dir.filePath(name)) << name;
        }
        EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name;
    }
    // Letter case does not matter.
    EXPECT_EQ(ExportGis(store, dir.filePath("HOOFD.GPKG")), 9);
    EXPECT_EQ(ExportGis(store, dir.filePath("Hoofd.Csv")), 9);
}

TEST_F(GisExport, ACancelLeavesAnExistingFileAsItWasAndNoOtherFile) {
    for (const char* name : {"oud.gpkg", "oud.csv"}) {
        const QString path = dir.filePath(name);
        WriteAll(path, "vorige export\r\n");
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
        QList<int> told;
        EXPECT_EQ(ExportGis(store, path,
                            [&](int percent) {
                                told << percent;
                                return percent >= 50;
                            }),
                  -1)
            << name;
        EXPECT_EQ(ReadAll(path), "vorige export\r\n") << name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before) << name;
        EXPECT_FALSE(told.isEmpty());
        EXPECT_EQ(told.last(), 50) << name;
    }
}

TEST_F(GisExport, AFullDiskGivesAnErrorAndLeavesTheOldFile) {
    for (int k = 0; k < 3000; ++k)
        store.Samples().AppendRecord({1, "2001-06-05", "", "", QString("Cosmarium %1").arg(k), "1",
                                      "", "", "", "", QString(90, 'o')});
    QDir(dir.path()).mkdir("mnt");
    for (const char* name : {"export.gpkg", "export.csv"}) {
        const int code =
            velmora::testing::RunOnSmallFileSystem(dir.filePath("mnt"), 256 * 1024, [&] {
                const QString path = dir.filePath("mnt/") + name;
                WriteAll(path, "vorige export\r\n");
                try {
                    ExportGis(store, path);
                    return 1;
                } catch (const core::Error& e) {
                    if (e.File() != path)
                        return 2;
                }
                if (ReadAll(path) != "vorige export\r\n")
                    return 3;
                if (QDir(dir.filePath("mnt"))
                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) !=
                    QStringList{name})
                    return 4;
                return 0;
            });
        if (code == velmora::testing::kNoSmallFileSystem)
            GTEST_SKIP() << "no small file system can be made here";
        EXPECT_EQ(code, 0) << name;
    }
}

TEST_F(GisExport, ARunWithoutADatabaseIsRefused) {
    store.CloseDatabase();
    EXPECT_THROW(ExportGis(store, dir.filePath("x.gpkg")), core::Error);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.gpkg")));
}

// ---- The demonstration database

TEST(GisExportDemo, EverySampleOfTheDemonstrationDatabaseIsAPointInTheNetherlands) {
    if (Ogrinfo().isEmpty())
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    velmora::testing::ProgramFolder dir;
    const QString program = QStringLiteral(VELMORA_PROGRAM_DIR) + "/Data/";
    for (const char* file : {"Demo1.dbf", "Demo2.dbf", "Demo.ini"})
        ASSERT_TRUE(QFile::copy(program + file, dir.Data(file))) << file;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    ASSERT_TRUE(store.OpenDatabase("Demo"));
    const int samples = store.Samples().RecordCount();
    ASSERT_GT(samples, 1000);
    const QString gpkg = dir.filePath("demo.gpkg");
    const QString csv = dir.filePath("demo.csv");
    EXPECT_EQ(ExportGis(store, gpkg), samples);
    EXPECT_EQ(ExportGis(store, csv), samples);

    const QString summary = RunOgrinfo({"-so", gpkg, "Demo"});
    EXPECT_EQ(FeatureCount(summary), samples);
    // Every location has RD coordinates: the extent lies within the Netherlands.
    const QRegularExpressionMatch extent =
        QRegularExpression(QStringLiteral("Extent: \\(([-0-9.]+), ([-0-9.]+)\\) - \\(([-0-9.]+), "
                                          "([-0-9.]+)\\)"))
            .match(summary);
    ASSERT_TRUE(extent.hasMatch()) << summary.toStdString();
    EXPECT_GT(extent.captured(1).toDouble(), 3.2);
    EXPECT_GT(extent.captured(2).toDouble(), 50.7);
    EXPECT_LT(extent.captured(3).toDouble(), 7.3);
    EXPECT_LT(extent.captured(4).toDouble(), 53.6);
    EXPECT_EQ(FeatureCount(RunOgrinfo({"-so", csv, "demo"})), samples);

    // One feature against the conversion of its location's coordinates.
    core::Dataset& s = store.Samples();
    s.SetIndexName({});
    s.First();
    const long long id = s.FieldByName("ID").AsInteger();
    core::Dataset& loc = store.Locations();
    ASSERT_TRUE(loc.Locate("ID", id));
    const GisPosition expected =
        LocatePosition(loc.FieldByName("COORDX").AsString(), loc.FieldByName("COORDY").AsString(),
                       core::kKmBased, "EN");
    ASSERT_EQ(expected.precision, GisPrecision::Point);
    double x = core::ParseCoordinate(loc.FieldByName("COORDX").AsString());
    double y = core::ParseCoordinate(loc.FieldByName("COORDY").AsString());
    if (x > 1000) {
        x /= 1000;
        y /= 1000;
    }
    const QString feature = RunOgrinfo({"-q", "-fid", "1", gpkg, "Demo"});
    EXPECT_TRUE(feature.contains(QString("ID (Integer64) = %1").arg(id))) << feature.toStdString();
    const auto points = Points(feature);
    ASSERT_EQ(points.size(), 1u) << feature.toStdString();
    const auto [lon, lat] = LonLatOfRD(x, y);
    EXPECT_NEAR(points[0].first, lon, 1e-9);
    EXPECT_NEAR(points[0].second, lat, 1e-9);
    store.CloseDatabase();
}

} // namespace
