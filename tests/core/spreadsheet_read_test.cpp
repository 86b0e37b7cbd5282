// Reading .xlsx packages put together here part by part, so that every feature and every
// kind of damage the reader must handle is shown by a small package of its own.

#include "common/tempdir.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/spreadsheet/spreadsheetcells.h"
#include "core/text/textutils.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace velmora::core;

namespace {

quint32 Crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A zip file with stored or deflated entries. The declared unpacked size can be falsified
// to imitate packages that lie about their contents.
class ZipWriter {
public:
    void Add(const QString& name, const QByteArray& data, bool deflate = true,
             qint64 declaredSize = -1) {
        QByteArray packed = data;
        if (deflate) {
            // qCompress gives a 4-byte length, a 2-byte zlib header, the raw deflate stream
            // and a 4-byte checksum; zip wants the raw stream.
            const QByteArray z = qCompress(data, 9);
            packed = z.mid(6, z.size() - 10);
        }
        const QByteArray n = name.toUtf8();
        const quint32 size = quint32(declaredSize < 0 ? data.size() : declaredSize);
        QByteArray common;
        Put16(common, 20);
        Put16(common, 0);
        Put16(common, deflate ? 8 : 0);
        Put16(common, 0);
        Put16(common, 0x21);
        Put32(common, Crc32(data));
        Put32(common, quint32(packed.size()));
        Put32(common, size);
        Put16(common, quint16(n.size()));
        Put16(common, 0);
        const quint32 offset = quint32(m_body.size());
        Put32(m_body, 0x04034b50);
        m_body += common + n + packed;
        Put32(m_directory, 0x02014b50);
        Put16(m_directory, 20);
        m_directory += common;
        Put16(m_directory, 0);
        Put16(m_directory, 0);
        Put16(m_directory, 0);
        Put32(m_directory, 0);
        Put32(m_directory, offset);
        m_directory += n;
        ++m_count;
    }
    QByteArray Bytes() const {
        QByteArray end;
        Put32(end, 0x06054b50);
        Put16(end, 0);
        Put16(end, 0);
        Put16(end, quint16(m_count));
        Put16(end, quint16(m_count));
        Put32(end, quint32(m_directory.size()));
        Put32(end, quint32(m_body.size()));
        Put16(end, 0);
        return m_body + m_directory + end;
    }

private:
    static void Put16(QByteArray& b, quint16 v) {
        b += char(v & 0xFF);
        b += char(v >> 8);
    }
    static void Put32(QByteArray& b, quint32 v) {
        Put16(b, quint16(v & 0xFFFF));
        Put16(b, quint16(v >> 16));
    }
    QByteArray m_body;
    QByteArray m_directory;
    int m_count = 0;
};

const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QByteArray Sheet(const QByteArray& sheetData, const QByteArray& before = {}) {
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"") + kMainNs +
           "\">" + before + "<sheetData>" + sheetData + "</sheetData></worksheet>";
}

// The parts of a package with one worksheet; tests replace or drop parts.
std::map<QString, QByteArray> Parts(const QByteArray& sheet) {
    std::map<QString, QByteArray> parts;
    parts[QStringLiteral("[Content_Types].xml")] =
        "<?xml version=\"1.0\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
    parts[QStringLiteral("_rels/.rels")] =
        QByteArray("<Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rId1\" Type=\"") +
        kRelNs + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    parts[QStringLiteral("xl/workbook.xml")] =
        QByteArray("<workbook xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs +
        "\"><sheets><sheet name=\"Grafiek\" sheetId=\"3\" r:id=\"rId6\"/>"
        "<sheet name=\"Blad1\" sheetId=\"1\" r:id=\"rId3\"/>"
        "<sheet name=\"Blad2\" sheetId=\"2\" r:id=\"rId1\"/></sheets></workbook>";
    parts[QStringLiteral("xl/_rels/workbook.xml.rels")] =
        QByteArray("<Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rId1\" Type=\"") +
        kRelNs +
        "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId3\" Type=\"" +
        kRelNs +
        "/worksheet\" Target=\"worksheets/eerste.xml\"/><Relationship Id=\"rId4\" Type=\"" +
        kRelNs +
        "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId5\" Type=\"" +
        kRelNs + "/styles\" Target=\"/xl/styles.xml\"/><Relationship Id=\"rId6\" Type=\"" + kRelNs +
        "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/></Relationships>";
    parts[QStringLiteral("xl/worksheets/sheet1.xml")] =
        Sheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>second sheet</t></is></c></row>");
    parts[QStringLiteral("xl/worksheets/eerste.xml")] = sheet;
    parts[QStringLiteral("xl/sharedStrings.xml")] =
        QByteArray("<sst xmlns=\"") + kMainNs +
        "\" count=\"3\"><si><t>Cosmarium</t></si>"
        "<si><r><rPr><b/></rPr><t xml:space=\"preserve\">Stau</t></r><r><t>rastrum</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh></si>"
        "<si><t>regel_x000D_\nnieuw</t></si></sst>";
    parts[QStringLiteral("xl/styles.xml")] =
        QByteArray("<styleSheet xmlns=\"") + kMainNs +
        "\"><numFmts count=\"2\"><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\\ hh:mm\"/>"
        "<numFmt numFmtId=\"165\" formatCode=\"0.00&quot; mm&quot;\"/></numFmts>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
        "<cellXfs count=\"5\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
        "<xf numFmtId=\"20\"/><xf numFmtId=\"165\"/></cellXfs></styleSheet>";
    return parts;
}

QString WritePackage(const QTemporaryDir& dir, const QString& name,
                     const std::map<QString, QByteArray>& parts) {
    ZipWriter zip;
    for (const auto& [partName, data] : parts)
        zip.Add(partName, data);
    const QString path = dir.filePath(name);
    velmora::testing::WriteAll(path, zip.Bytes());
    return path;
}

// The reason of the failure, or an empty text when the file was read.
QString ReadFailure(const QString& path, const SpreadsheetLimits& limits = {}) {
    try {
        ReadSpreadsheetFile(path, limits);
        return {};
    } catch (const Error& e) {
        return e.Reason();
    }
}

} // namespace

TEST(SpreadsheetRead, ValuesOfEveryKindInTheSheetsOwnPlaces) {
    QTemporaryDir dir;
    const QByteArray data =
        "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\" t=\"s\"><v>1</v></c>"
        "<c r=\"D2\" t=\"s\"><v>2</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>12</v></c><c r=\"B3\"><v>7.25</v></c>"
        "<c r=\"C3\" t=\"b\"><v>1</v></c><c r=\"D3\" t=\"b\"><v>0</v></c></row>"
        "<row r=\"4\"><c r=\"A4\" s=\"1\"><v>39877</v></c><c r=\"B4\" s=\"2\"><v>39877.4375</v></c>"
        "<c r=\"C4\" s=\"3\"><v>0.75</v></c><c r=\"D4\" s=\"4\"><v>3.5</v></c></row>"
        "<row r=\"5\"><c r=\"A5\" t=\"e\"><v>#DIV/0!</v></c>"
        "<c r=\"B5\" t=\"str\"><f>A1&amp;\"x\"</f><v>tekst</v></c>"
        "<c r=\"C5\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
        "<c r=\"D5\" s=\"1\"/></row>"
        "<row r=\"6\"><c t=\"inlineStr\"><is><t>A6</t></is></c><c><v>-1E-3</v></c>"
        "<c><v>1E+20</v></c></row>"
        "<row><c r=\"A7\" t=\"d\"><v>2009-03-05T00:00:00</v></c></row>"
        "<row r=\"10\"><c r=\"D10\"><v>0.1</v></c></row>";
    const QString path = WritePackage(dir, QStringLiteral("all.xlsx"),
                                      Parts(Sheet(data, "<dimension ref=\"A1:D10\"/>")));
    // The first worksheet: the chart sheet before it is passed over.
    EXPECT_EQ(spreadsheet::XlsxFirstSheetName(path), QStringLiteral("Blad1"));
    const Grid grid = ReadSpreadsheetFile(path);
    // Last used cell D10: 11 rows and 5 columns, row 0 and column 0 empty.
    ASSERT_EQ(grid.RowCount(), 11);
    ASSERT_EQ(grid.ColCount(), 5);
    auto cell = [&](const char* ref) {
        const QString r = QString::fromUtf8(ref);
        const int col = r[0].unicode() - 'A' + 1;
        return grid.Cell(col, r.mid(1).toInt());
    };
    EXPECT_EQ(cell("A1"), QString());
    EXPECT_EQ(cell("B2"), QStringLiteral("Cosmarium"));
    EXPECT_EQ(cell("C2"), QStringLiteral("Staurastrum"));
    EXPECT_EQ(cell("D2"), QStringLiteral("regel\r\nnieuw"));
    EXPECT_EQ(cell("A3"), QStringLiteral("12"));
    EXPECT_EQ(cell("B3"), QStringLiteral("7.25"));
    EXPECT_EQ(cell("C3"), QStringLiteral("TRUE"));
    EXPECT_EQ(cell("D3"), QStringLiteral("FALSE"));
    EXPECT_EQ(cell("A4"), QStringLiteral("2009-03-05"));
    EXPECT_EQ(cell("B4"), QStringLiteral("2009-03-05 10:30:00"));
    EXPECT_EQ(cell("C4"), QStringLiteral("18:00:00"));
    EXPECT_EQ(cell("D4"), QStringLiteral("3.5")); // a unit in quotes is no date
    EXPECT_EQ(cell("A5"), QStringLiteral("#DIV/0!"));
    EXPECT_EQ(cell("B5"), QStringLiteral("tekst"));
    EXPECT_EQ(cell("C5"), QStringLiteral("inline"));
    EXPECT_EQ(cell("D5"), QString()); // formatted but empty
    EXPECT_EQ(cell("A6"), QStringLiteral("A6"));
    EXPECT_EQ(cell("B6"), QStringLiteral("-0.001"));
    EXPECT_EQ(cell("C6"), QStringLiteral("1e+20"));
    EXPECT_EQ(cell("A7"), QStringLiteral("2009-03-05"));
    EXPECT_EQ(cell("D10"), QStringLiteral("0.1"));
    for (int c = 0; c < grid.ColCount(); ++c)
        EXPECT_EQ(grid.Cell(c, 0), QString());

    // The program-wide decimal separator shows in numbers.
    SetDecimalSeparator(QLatin1Char(','));
    const Grid comma = ReadSpreadsheetFile(path);
    SetDecimalSeparator(QLatin1Char('.'));
    EXPECT_EQ(comma.Cell(2, 3), QStringLiteral("7,25"));
}

TEST(SpreadsheetRead, DatesOfThe1904SystemAndEarly1900) {
    QTemporaryDir dir;
    auto parts = Parts(Sheet("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>0</v></c>"
                             "<c r=\"B1\" s=\"1\"><v>1</v></c></row>"));
    parts[QStringLiteral("xl/workbook.xml")].replace("<sheets>",
                                                     "<workbookPr date1904=\"1\"/><sheets>");
    const Grid grid = ReadSpreadsheetFile(WritePackage(dir, QStringLiteral("d.xlsx"), parts));
    EXPECT_EQ(grid.Cell(1, 1), QStringLiteral("1904-01-01"));
    EXPECT_EQ(grid.Cell(2, 1), QStringLiteral("1904-01-02"));

    const Grid early = ReadSpreadsheetFile(WritePackage(
        dir, QStringLiteral("e.xlsx"),
        Parts(Sheet("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c><c r=\"B1\" s=\"1\"><v>59</v></c>"
                    "<c r=\"C1\" s=\"1\"><v>61</v></c></row>"))));
    EXPECT_EQ(early.Cell(1, 1), QStringLiteral("1900-01-01"));
    EXPECT_EQ(early.Cell(2, 1), QStringLiteral("1900-02-28"));
    EXPECT_EQ(early.Cell(3, 1), QStringLiteral("1900-03-01"));
}

TEST(SpreadsheetRead, EmptySheetCountsAsUsedUpToA1) {
    QTemporaryDir dir;
    const Grid grid =
        ReadSpreadsheetFile(WritePackage(dir, QStringLiteral("empty.xlsx"), Parts(Sheet(""))));
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.ColCount(), 2);
}

TEST(SpreadsheetRead, DamagedPackagesAreRefusedWithAReason) {
    QTemporaryDir dir;
    const QByteArray good = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    struct Case {
        const char* what;
        std::function<void(std::map<QString, QByteArray>&)> damage;
        const char* reason; // a part of the expected reason
    };
    const Case cases[] = {
        {"no workbook", [](auto& p) { p.erase(QStringLiteral("xl/workbook.xml")); },
         "geen werkblad"},
        {"no sheets",
         [](auto& p) {
             p[QStringLiteral("xl/workbook.xml")] =
                 QByteArray("<workbook xmlns=\"") + kMainNs + "\"><sheets/></workbook>";
         },
         "geen werkblad"},
        {"first sheet missing",
         [](auto& p) { p.erase(QStringLiteral("xl/worksheets/eerste.xml")); }, "geen werkblad"},
        {"relations missing",
         [](auto& p) { p.erase(QStringLiteral("xl/_rels/workbook.xml.rels")); }, "geen werkblad"},
        {"unclosed element",
         [&](auto& p) {
             p[QStringLiteral("xl/worksheets/eerste.xml")] =
                 Sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></row>");
         },
         "xl/worksheets/eerste.xml"},
        {"truncated sheet",
         [&](auto& p) {
             auto& s = p[QStringLiteral("xl/worksheets/eerste.xml")];
             s = Sheet(good).left(Sheet(good).size() - 30);
         },
         "beschadigd"},
        {"not xml", [](auto& p) { p[QStringLiteral("xl/worksheets/eerste.xml")] = "\x01\x02 PK"; },
         "beschadigd"},
        {"shared string out of range",
         [](auto& p) {
             p[QStringLiteral("xl/worksheets/eerste.xml")] =
                 Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>99</v></c></row>");
         },
         "shared string 99"},
        {"bad reference",
         [](auto& p) {
             p[QStringLiteral("xl/worksheets/eerste.xml")] =
                 Sheet("<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>");
         },
         "A0"},
        {"reference beyond the sheet",
         [](auto& p) {
             p[QStringLiteral("xl/worksheets/eerste.xml")] =
                 Sheet("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>");
         },
         "XFE1"},
        {"row beyond the sheet",
         [](auto& p) {
             p[QStringLiteral("xl/worksheets/eerste.xml")] =
                 Sheet("<row r=\"1048577\"><c><v>1</v></c></row>");
         },
         "1048577"},
        {"number that is none",
         [](auto& p) {
             p[QStringLiteral("xl/worksheets/eerste.xml")] =
                 Sheet("<row r=\"1\"><c r=\"A1\"><v>zeven</v></c></row>");
         },
         "zeven"},
        {"entity expansion",
         [](auto& p) {
             QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\">";
             for (char e = 'b'; e <= 'j'; ++e)
                 dtd += QByteArray("<!ENTITY ") + e + " \"" + QByteArray("&") + char(e - 1) + ";" +
                        QByteArray("&") + char(e - 1) + ";" + QByteArray("&") + char(e - 1) + ";" +
                        QByteArray("&") + char(e - 1) + ";\">";
             p[QStringLiteral("xl/sharedStrings.xml")] =
                 dtd + "]><sst xmlns=\"" + kMainNs + "\"><si><t>&j;</t></si></sst>";
         },
         "beschadigd"},
    };
    for (const Case& c : cases) {
        auto parts = Parts(Sheet(good));
        c.damage(parts);
        const QString reason =
            ReadFailure(WritePackage(dir, QStringLiteral("%1.xlsx").arg(c.what), parts));
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.reason)))
            << c.what << ": " << reason.toStdString();
    }
}

TEST(SpreadsheetRead, DamagedZipData) {
    QTemporaryDir dir;
    ZipWriter zip;
    const auto parts = Parts(Sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"));
    for (const auto& [name, data] : parts)
        zip.Add(name, data);
    QByteArray bytes = zip.Bytes();
    // Overwrite the middle of the package: deflate streams and headers break.
    for (int i = 200; i < 400 && i < bytes.size(); ++i)
        bytes[i] = char(0x55);
    const QString path = dir.filePath(QStringLiteral("broken.xlsx"));
    velmora::testing::WriteAll(path, bytes);
    EXPECT_FALSE(ReadFailure(path).isEmpty());

    // Only the start of a zip file.
    velmora::testing::WriteAll(path, zip.Bytes().left(100));
    EXPECT_EQ(ReadFailure(path),
              QStringLiteral("het bestand is geen Excel-werkmap (geen zip-pakket)"));
}

TEST(SpreadsheetRead, HugeRangesAndZipBombsAreRefusedWithinTheLimits) {
    QTemporaryDir dir;
    SpreadsheetLimits limits;
    limits.maxCells = 10000;
    limits.maxUnpackedBytes = 1024 * 1024;

    // A declared dimension alone costs nothing: only cells that hold values count.
    const QString declared = WritePackage(dir, QStringLiteral("declared.xlsx"),
                                          Parts(Sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>",
                                                      "<dimension ref=\"A1:XFD1048576\"/>")));
    EXPECT_EQ(ReadFailure(declared, limits), QString());

    // One value in the far corner would make a grid of 17 billion cells.
    const QString corner =
        WritePackage(dir, QStringLiteral("corner.xlsx"),
                     Parts(Sheet("<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>")));
    EXPECT_TRUE(ReadFailure(corner).contains(QStringLiteral("te groot")));
    EXPECT_TRUE(ReadFailure(corner, limits).contains(QStringLiteral("10000")));
    ScriptedPrompts prompts;
    Grid grid;
    EXPECT_FALSE(ExcelReadGrid(grid, corner));
    EXPECT_EQ(grid.RowCount(), 0);

    // 8 MB of blanks between two rows pack into a few kilobytes.
    QByteArray rows = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    rows += QByteArray(8 * 1024 * 1024, ' ');
    rows += "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row>";
    auto bombParts = Parts(Sheet(rows));
    const QString bomb = WritePackage(dir, QStringLiteral("bomb.xlsx"), bombParts);
    EXPECT_LT(QFileInfo(bomb).size(), 200 * 1024);
    EXPECT_TRUE(ReadFailure(bomb, limits).contains(QStringLiteral("1048576 bytes")))
        << ReadFailure(bomb, limits).toStdString();

    // A package that understates its unpacked size is measured by what comes out.
    ZipWriter liar;
    for (const auto& [name, data] : bombParts)
        liar.Add(name, data, true, name.endsWith(QLatin1String("eerste.xml")) ? 100 : -1);
    const QString liarPath = dir.filePath(QStringLiteral("liar.xlsx"));
    velmora::testing::WriteAll(liarPath, liar.Bytes());
    EXPECT_FALSE(ReadFailure(liarPath, limits).isEmpty());
}

TEST(SpreadsheetRead, StoredEntriesAndPartsInOtherPlaces) {
    QTemporaryDir dir;
    auto parts = Parts(Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"));
    // The workbook somewhere else, named by the package relations.
    parts[QStringLiteral("book/main.xml")] = parts[QStringLiteral("xl/workbook.xml")];
    parts.erase(QStringLiteral("xl/workbook.xml"));
    QByteArray rels = parts[QStringLiteral("xl/_rels/workbook.xml.rels")];
    rels.replace("Target=\"worksheets/eerste.xml\"", "Target=\"../xl/worksheets/eerste.xml\"");
    rels.replace("Target=\"sharedStrings.xml\"", "Target=\"/xl/sharedStrings.xml\"");
    parts.erase(QStringLiteral("xl/_rels/workbook.xml.rels"));
    parts[QStringLiteral("book/_rels/main.xml.rels")] = rels;
    parts[QStringLiteral("_rels/.rels")].replace("xl/workbook.xml", "book/main.xml");
    ZipWriter zip;
    for (const auto& [name, data] : parts)
        zip.Add(name, data, false);
    const QString path = dir.filePath(QStringLiteral("stored.xlsx"));
    velmora::testing::WriteAll(path, zip.Bytes());
    const Grid grid = ReadSpreadsheetFile(path);
    EXPECT_EQ(grid.Cell(1, 1), QStringLiteral("Cosmarium"));
}
