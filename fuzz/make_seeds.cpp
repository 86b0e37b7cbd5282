// Writes the seed inputs of the fuzz targets: fuzz/seeds/<target>/, one small file per seed.
// The files are committed; run this after a reader learns a new kind of input:
//
//   build-fuzz/fuzz/fuzz_make_seeds <repository> <repository>/fuzz/seeds
//
// Seeds come from the program's own writers (tables and indexes, workbooks, the minimal
// spreadsheet file, settings), from the files shipped in data/ and tests/data/, and from a
// few hand-written inputs that reach the corners of each reader.

#include "core/dbf/dbftable.h"
#include "core/grid/gridfiles.h"
#include "core/settings.h"
#include "core/spreadsheet/spreadsheet.h"
#include "fuzz/storedzip.h"
#include "maps/dotstyles.h"
#include "maps/recordfilter.h"

#include <QBuffer>
#include <QImage>

#include <QByteArray>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace core = velmora::core;
namespace dbf = velmora::core::dbf;
namespace fs = std::filesystem;

namespace {

fs::path g_source;
fs::path g_out;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(g_out / target);
    std::ofstream out(g_out / target / name, std::ios::binary);
    out << bytes;
}

std::string Kind(char kind, const std::string& bytes) {
    return std::string(1, kind) + bytes;
}

// --- Tables and index files: first byte bit 0 index, bit 1 writable (see dbf_fuzz.cpp).

void DbfSeeds() {
    const fs::path work = g_out / "dbf-work";
    fs::create_directories(work);
    const std::string table = (work / "seed.dbf").string();
    dbf::DbfTable::Create(
        table, {dbf::IntegerField("ID"), dbf::TextField("DESMID", 80), dbf::TextField("KXY", 7)});
    {
        dbf::DbfTable t;
        t.Open(table);
        t.AddTag({"DESMID", "DESMID"});
        t.AddTag({"ID", "ID", true});
        t.AddTag({"MIX", "SUBSTR(DESMID,1,5)+UPPER(KXY)"});
        for (int i = 0; i < 40; ++i)
            t.AppendValues(
                {std::to_string(i * 37 % 11), "Closterium " + std::to_string(i), "12-34"});
        t.AppendValues({"-7", "Cosmarium \xC3\xA9\xC3\xA9n", ""});
        t.SetDeleted(3, true);
        t.Close();
    }
    const std::string table7 = Slurp(table);
    const std::string index7 = Slurp(work / "seed.mdx");
    Seed("dbf", "table7", Kind(0, table7));
    Seed("dbf", "index7", Kind(1, index7));
    Seed("dbf", "table7-write", Kind(2, table7));
    Seed("dbf", "index7-write", Kind(3, index7));

    const std::string level4 = (work / "seed4.dbf").string();
    dbf::DbfTable::Create(level4, {dbf::TextField("CODE", 10), dbf::IntegerField("NR")},
                          dbf::TableLevel::Level4);
    {
        dbf::DbfTable t;
        t.Open(level4);
        t.AppendValues({"V1", "12"});
        t.AppendValues({"", ""});
        t.Close();
    }
    Seed("dbf", "table4", Kind(0, Slurp(level4)));
    Seed("dbf", "table4-write", Kind(2, Slurp(level4)));

    const std::string empty = (work / "empty.dbf").string();
    dbf::DbfTable::Create(empty, {dbf::TextField("NAAM", 30, true)});
    Seed("dbf", "empty7-write", Kind(2, Slurp(empty)));
    fs::remove_all(work);
}

// --- Settings files.

void IniSeeds() {
    Seed("ini", "VLX.ini", Slurp(g_source / "data/Data/VLX.ini"));
    Seed("ini", "Demo.ini", Slurp(g_source / "data/Data/Demo.ini"));
    Seed("ini", "defaults.ini", core::SettingsToText(core::DefaultSettings()).toStdString());
    Seed("ini", "hand.ini",
         "\xEF\xBB\xBF; comment\r\n"
         "stray=before any section\r\n"
         "[Common]\r\n"
         "  Analist  =  A. de Vries  \r\n"
         "ANALIST=second\r\n"
         "Language=../EN\r\n"
         "=no key\r\n"
         "[ common ]\r\n"
         "BoxplotOrientation=$1F\r\n"
         "[Density colors]\r\n"
         "Klasse0=clred\r\n"
         "Klasse1=-1\r\n"
         "Raster=$FFFFFFFFF\r\n"
         "[Forms]\n"
         "MainTop=-2147483648\n"
         "MainLeft=99999999999\n"
         "[a]b]\r"
         "x=1\r\n"
         "[]\r\n"
         "[Database]\r\n"
         "DefaultDatabase=Demo\\x\r\n");
    Seed("ini", "cp1252.ini",
         "[Common]\r\nAnalist=J\xE9r\xF4me \x80\x81\r\n[Period]\r\nBeginJaar=1900\r\n");
}

// --- Language files.

void LngSeeds() {
    Seed("lng", "EN.lng", Slurp(g_source / "data/Lang/EN.lng"));
    const std::string signature = "; Tarvo's Zendra Localizer Language File.";
    Seed("lng", "small.lng",
         signature + "\n"
                     "[TMainForm]\n"
                     "Caption='Main window'\n"
                     "Sorteer.Items='By name' 'Oldest first'\n"
                     "Quote.Hint='It''s '#39'quoted'#39#13#10'next line'\n"
                     "Wide.Caption=#128512#20013'x'\n"
                     "Panel.Font{x}.Name='Arial'\n"
                     "(x)OldButton.Caption='old'\n"
                     "(!)New.Caption='untranslated'\n"
                     "no equals sign\n"
                     "[TBaseForm]\n"
                     "XMissing.Caption='nowhere'\n"
                     "[RESOURCESTRINGS]\n"
                     "1001_rsDatabaseInUse='In use'#13#10'elsewhere'\n"
                     "1207_rsSheetDamaged='Part %1: %2'\n"
                     "abc_rsBad='x'\n"
                     "1300 no underscore='y'\n"
                     "65536_rsLiteral='z'\n");
    Seed("lng", "humanized.lng",
         "\xEF\xBB\xBF" + signature +
             "\r\n"
             "Humanize=1\r\n"
             "HumanizeDivider=\\\r\n"
             "HumanizedCR=<cr>\r\n"
             "HumanizedCRLF=<crlf>\r\n"
             "[TMainForm]\r\n"
             "Caption=Main<cr>window\\x\r\n"
             "[RESOURCESTRINGS]\r\n"
             "1003_rsClickOkToEnd=Click OK<crlf>to close\r\n"
             "1002_rsOutOfOrder=Before\\after\r\n");
    Seed("lng", "stops.lng",
         signature + "\n"
                     "[TMainForm]\n"
                     "Caption='fine'\n"
                     "Bad.Caption='unterminated\n"
                     "Never.Caption='read'\n");
    Seed("lng", "deleted.lng",
         signature + "\n"
                     "[TMainForm]\n"
                     "Caption='fine'\n"
                     "Code.Caption='a'#'b'#65\n"
                     "[(x)TOldForm]\n"
                     "Caption='gone'\n");
    Seed("lng", "invalid-utf8.lng",
         signature + "\n[TMainForm]\nCaption='caf\xE9'\n[RESOURCESTRINGS]\n"
                     "1001_rs='\xC3\xA9\xFF'\n1002_rs='caf\xC3\xA9'\n");
    Seed("lng", "empty-path.lng",
         signature + "\n[TMainForm]\nCaption='x'\n{y}='no path'\nNext.Caption='z'\n");
    Seed("lng", "no-signature.lng", "; Some other file\n[TMainForm]\nCaption='x'\n");
}

// --- Text files.

void TextSeeds() {
    Seed("text", "FieldNames.csv", Slurp(g_source / "data/Lib/FieldNames.csv"));
    Seed("text", "AdditionalTaxalistNL.csv", Slurp(g_source / "data/Lib/AdditionalTaxalistNL.csv"));
    Seed("text", "waarnemingen.csv", Slurp(g_source / "tests/data/spreadsheet/waarnemingen.csv"));
    Seed("text", "bom-crlf.txt",
         "\xEF\xBB\xBFKlasse,\"a, b\",\"say \"\"hi\"\"\"\r\nx  y ,z\r\n\r\n");
    Seed("text", "cp1252.txt", "Caf\xE9 \x80 \x81\x8D\x8F\x90\x9D\rNext\rLast");
    Seed("text", "mixed-ends.txt", "one\ntwo\r\nthree\rfour\r\r\n\n");
    Seed("text", "utf8-edges.txt",
         "\xF0\x9F\x98\x80 \xEF\xBF\xBF \xE0\xA0\x80 \xF4\x8F\xBF\xBF , \"\" ,\"unclosed\n");
    Seed("text", "bad-utf8.txt", "\xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 \xE0\x80");
}

// --- Spreadsheets: first byte even a whole file, odd the XML parts (see sheet_fuzz.cpp).

std::string Parts(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += velmora::fuzz::kPartDivider;
        out += parts[i];
    }
    return out;
}

std::string Zip(const std::vector<std::string>& parts) {
    std::vector<std::pair<std::string, std::string>> members;
    for (std::size_t i = 0; i < parts.size(); ++i)
        members.emplace_back(velmora::fuzz::WorkbookPartNames()[i], parts[i]);
    return velmora::fuzz::StoredZip(members);
}

void SheetSeeds() {
    Seed("sheet", "calc_waarnemingen.xlsx",
         Kind(0, Slurp(g_source / "tests/data/spreadsheet/calc_waarnemingen.xlsx")));

    core::Grid grid(4, 4);
    const char* cells[4][4] = {{"", "", "", ""},
                               {"", "Naam", "Aantal", "Datum"},
                               {"", "Cosmarium \xC3\xA9\xC3\xA9n", "12", "7,25"},
                               {"", "", "000123", "tab\there"}};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            grid.SetCell(col, row, QString::fromUtf8(cells[row][col]));
    const fs::path work = g_out / "sheet-work";
    fs::create_directories(work);
    core::WriteXlsxFile(grid, QStringLiteral("Blad1"),
                        QString::fromStdString((work / "written.xlsx").string()));
    Seed("sheet", "written.xlsx", Kind(0, Slurp(work / "written.xlsx")));
    fs::remove_all(work);

    const QByteArray minimal = core::MinimalXlsBytes(grid);
    Seed("sheet", "minimal.xls", Kind(0, minimal.toStdString()));
    // A number record (0x0203) beside a label record, as other simple writers make them.
    std::string numbers("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00", 12);
    numbers += std::string("\x03\x02\x0E\x00\x01\x00\x02\x00\x00\x00", 10);
    const double value = 1234.5;
    numbers.append(reinterpret_cast<const char*>(&value), sizeof value);
    numbers += std::string("\x04\x02\x0B\x00\x00\x00\x00\x00\x00\x00\x03\x00\xE9t\xE9", 15);
    numbers += std::string("\x0A\x00\x00\x00", 4);
    Seed("sheet", "numbers.xls", Kind(0, numbers));

    const std::string workbook =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<workbookPr date1904="1"/><sheets><sheet name="Chart" sheetId="2" r:id="rId9"/>)"
        R"(<sheet name="Blad1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const std::string relations =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="chartsheets/sheet9.xml"/>)"
        R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/sharedStrings.xml"/>)"
        R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
        R"(<Relationship Id="rId4" Type="x/hyperlink" Target="http://example.org" TargetMode="External"/>)"
        R"(</Relationships>)";
    const std::string sheet =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<dimension ref="A1:F4"/><sheetData>)"
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
        R"(<c r="C1" t="inlineStr"><is><t>inline</t><rPh><t>hint</t></rPh></is></c></row>)"
        R"(<row r="2"><c r="A2"><v>42</v></c><c r="B2" s="1"><v>39000.5</v></c>)"
        R"(<c r="C2" s="2"><v>0.75</v></c><c r="D2" s="3"><v>12.125</v></c>)"
        R"(<c r="E2" t="b"><v>1</v></c><c r="F2" t="e"><v>#N/A</v></c></row>)"
        R"(<row><c t="str"><f>A1</f><v>line_x000D_break</v></c><c/><c t="d"><v>2009-03-05T00:00:00</v></c></row>)"
        R"(<row r="4"><c r="AA4"><v>-1.5E-3</v></c></row>)"
        R"(</sheetData><mergeCells count="1"><mergeCell ref="A1:B1"/></mergeCells></worksheet>)";
    const std::string shared =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2" uniqueCount="2">)"
        R"(<si><t>Naam</t></si><si><r><t>Co</t></r><r><rPr><b/></rPr><t xml:space="preserve">smarium _x0041_</t></r></si>)"
        R"(</sst>)";
    const std::string styles =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="yyyy\-mm\-dd;@"/>)"
        R"(<numFmt numFmtId="165" formatCode="[Red]&quot;h&quot;0.00"/></numFmts>)"
        R"(<cellXfs count="4"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="20"/>)"
        R"(<xf numFmtId="165"/></cellXfs></styleSheet>)";
    const std::string rootRelations =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
        R"(</Relationships>)";
    const std::vector<std::string> full = {workbook, relations, sheet,
                                           shared,   styles,    rootRelations};
    Seed("sheet", "parts-full", Kind(1, Parts(full)));
    Seed("sheet", "stored-full.xlsx", Kind(0, Zip(full)));

    const std::string plainWorkbook =
        R"(<workbook xmlns:r="r"><sheets><sheet name="S" r:id="a"/></sheets></workbook>)";
    const std::string plainRelations =
        R"(<Relationships><Relationship Id="a" Type="/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
    const std::string plainSheet =
        R"(<worksheet><sheetData><row><c><v>1</v></c><c><v>2</v></c></row>)"
        R"(<row r="3"><c r="B3" t="inlineStr"><is><t>x</t></is></c></row></sheetData></worksheet>)";
    Seed("sheet", "parts-plain", Kind(1, Parts({plainWorkbook, plainRelations, plainSheet})));
    Seed("sheet", "parts-empty-sheet",
         Kind(1, Parts({plainWorkbook, plainRelations, "<worksheet><sheetData/></worksheet>"})));
}

// --- Annotated taxa lists to import: first byte 0 .csv, 1 .tsv, 2 .txt, 3 .xlsx (see
// taxalist_fuzz.cpp).

std::string FirstLines(const std::string& text, int count) {
    std::size_t at = 0;
    for (int i = 0; i < count && at != std::string::npos; ++i)
        at = text.find('\n', at + 1);
    return at == std::string::npos ? text : text.substr(0, at + 1);
}

void TaxaListSeeds() {
    Seed("taxalist", "shipped.csv",
         Kind(0, FirstLines(Slurp(g_source / "data-src/TaxaListAnnotatedNL.csv"), 40)));
    Seed("taxalist", "dutch.csv",
         Kind(0, "\xEF\xBB\xBFTaxonnaam,Huidige naam,Auteur,Trofiegraad,Zuurgraad,Levensvorm,"
                 "Zeldzaamheid,Signaalwaarde,Rode lijst,Negeer vari\xC3\xABteit\r\n"
                 "\r\n"
                 "  Closterium acutum ,Closterium acutum,\"Br\xC3\xA9"
                 "b., 1848\",Oligo-Meso,ACIDO,"
                 ",+03,-2,RL,t\r\n"
                 ",,,,,,,,,\r\n"
                 "\"Cosmarium \"\"x\"\" botrytis\",Cosmarium botrytis,\"Menegh., ex Ralfs\",,"
                 "alk-neutr,solitair,,12,,F\r\n"));
    Seed("taxalist", "fields.tsv",
         Kind(1, "TAXON_NAME\tCUR_NAME\tAUTHOR_NAM\tTROPHIC_ST\tACIDITY\tLIFE_FORM\tR\tS\tR_L\t"
                 "NEG_VAR\n"
                 "Staurastrum hirsutum\tStaurastrum hirsutum\tBr\xE9"
                 "b.\toligo\tacido\t\t2\t3\tRL\t\n"
                 "Closterium acutum var. linea\tClosterium linea\t\tmeso\tneutr\t\t4\t\t\tT\n"));
    Seed("taxalist", "problems.csv",
         Kind(0, "Naam,Geldige naam,Trofie,R,S,NegVar,Soort,Author,Auteur\n"
                 "Cosmarium a,Cosmarium a,mesotroof,1.5,99999,ja,,,\n"
                 " cosmarium  A ,,,,,,,\xC5\x82,\n"
                 "\"Cosmarium\nb\",b,,,,,,,,extra\n"
                 "\"Cosmarium c,c\n"));
    const char utf16[] = "T\0A\0X\0O\0N\0_\0N\0A\0M\0E\0\t\0C\0U\0R\0_\0N\0A\0M\0E\0\r\0\n\0"
                         "A\0 \0b\0\t\0A\0 \0b\0\r\0\n\0";
    Seed("taxalist", "utf16.txt", Kind(2, "\xFF\xFE" + std::string(utf16, sizeof utf16 - 1)));

    core::Grid grid(4, 3);
    const char* cells[3][4] = {{"Naam", "Geldige naam", "Signaalwaarde", "Zuurgraad"},
                               {"Cosmarium a", "Cosmarium a", "1", "alk"},
                               {"Cosmarium b", "Cosmarium b", "2,5", "zuur"}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            grid.SetCell(col, row, QString::fromUtf8(cells[row][col]));
    const fs::path work = g_out / "taxalist-work";
    fs::create_directories(work);
    core::WriteXlsxFile(grid, QStringLiteral("Taxa"),
                        QString::fromStdString((work / "list.xlsx").string()));
    Seed("taxalist", "list.xlsx", Kind(3, Slurp(work / "list.xlsx")));
    fs::remove_all(work);
}

// --- Map pictures: byte 0 the extension (bits 0-1: .bmp, .jpg, .png) and the coordinate
// system (bit 2: "LatLon"), byte 1 the length of the name, the name, the file (see
// map_fuzz.cpp).

std::string Picture(const char* format, int width, int height, QImage::Format layout) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int i = 0; i < std::min(width, height); ++i)
        image.setPixelColor(i, i, Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(layout).save(&buffer, format);
    return bytes.toStdString();
}

std::string MapInput(int kind, const std::string& name, const std::string& file) {
    return std::string(1, char(kind)) + std::string(1, char(name.size())) + name + file;
}

void MapSeeds() {
    Seed("map", "km.png",
         MapInput(2, "_150_500_250_400_", Picture("PNG", 100, 50, QImage::Format_RGB32)));
    Seed("map", "indexed.png",
         MapInput(2, "_0_625_280_300_", Picture("PNG", 28, 33, QImage::Format_Indexed8)));
    Seed("map", "metres.bmp",
         MapInput(0, "_150000_500000_250000_400000_",
                  Picture("BMP", 40, 20, QImage::Format_RGB888)));
    Seed("map", "latlon.jpg",
         MapInput(4 | 1, "_5,25_53,5_7,5_52,25_", Picture("JPEG", 32, 24, QImage::Format_RGB32)));
    Seed("map", "uncalibrated.png",
         MapInput(2, "Gebied", Picture("PNG", 16, 16, QImage::Format_Grayscale8)));
    Seed("map", "flat.png",
         MapInput(2, "_150_500_150_400_", Picture("PNG", 16, 16, QImage::Format_ARGB32)));
    Seed("map", "damaged.png", MapInput(2, "_1_2_3_4_", "\x89PNG\r\n\x1a\nrest"));
}

// --- Dot settings files.

void DotsSeeds() {
    velmora::maps::DotStyles styles;
    styles[velmora::maps::StyleSlot::Secondary2].color = 0x00FF8000;
    styles[velmora::maps::StyleSlot::Secondary2].shape = 8;
    styles[velmora::maps::StyleSlot::Abundance].size = QStringLiteral("120");
    styles[velmora::maps::StyleSlot::Before].lineWidth = QStringLiteral("15");
    core::IniFile ini;
    ini.SetValue(QStringLiteral("Kaart"), QStringLiteral("Kaart"),
                 QStringLiteral("Nederland_0_625_280_300_.png"));
    velmora::maps::WriteDotSettings(styles, ini);
    Seed("dots", "written.dbd", ini.ToText().toStdString());
    Seed("dots", "hand.dbd",
         "[Kaart]\r\nKaart=../Elders_1_2_3_4_.png\r\n"
         "[Primair]\r\nKleur=$00FF00FF\r\nSize=abc\r\nShape=12\r\nLijnbreedte=-3\r\n"
         "[sec1]\r\nkleur=clBlue\r\nSIZE= 2000 \r\nShape=$8\r\nLijnbreedte=100\r\n"
         "[Speciaal Voor]\r\nKleur=16777215\r\nSize=99999999999\r\n"
         "[Font]\r\nStyle=Arial\r\nSize=2\r\n");
}

// --- Filter files.

void FilterFileSeeds() {
    core::Grid grid = velmora::maps::NewFilterGrid();
    grid.SetRowCount(6);
    grid.SetRow(1, {"pH", ">=", "6,5"});
    grid.SetRow(2, {"pH", "<", "7"});
    grid.SetRow(3, {"", "and", ""});
    grid.SetRow(4, {"Analist", "like", "jan"});
    grid.SetRow(5, {"", "or", ""});
    fs::create_directories(g_out / "filterfile");
    velmora::maps::SaveFilterFile(
        QString::fromStdString((g_out / "filterfile" / "written.tsv").string()), grid);
    Seed("filterfile", "lf-short-rows.tsv",
         "f.tsv\n4\nVeld\tOp.\tValue\nID\t<>\t12\nX\tNOTLIKE\nJaar\t>\t1e3\n\n \n");
    Seed("filterfile", "cp1252.tsv", "oud\r\n2\r\nVeld\tOp.\tValue\t\r\nLocatie\t=\tJos\xe9\t\r\n");
    Seed("filterfile", "stack.tsv",
         "s.tsv\r\n5\r\nVeld\tOp.\tValue\t\r\n\tand\t\t\r\n\tnot\t\t\r\n\t>\t5\t\r\n"
         "EGV\t<=\t,5\t\r\n");
    Seed("filterfile", "refused.tsv",
         "r.tsv\r\n3\r\nVeld\tOp.\tValue\t\r\nHok nummer\t=\tx\tmeer\t\r\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <repository> <seed folder>\n", argv[0]);
        return 2;
    }
    g_source = argv[1];
    g_out = argv[2];
    DbfSeeds();
    IniSeeds();
    LngSeeds();
    TextSeeds();
    SheetSeeds();
    TaxaListSeeds();
    MapSeeds();
    DotsSeeds();
    FilterFileSeeds();
    return 0;
}
