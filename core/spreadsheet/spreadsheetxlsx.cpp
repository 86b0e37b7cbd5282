// Reading the first worksheet of an .xlsx package. The package is a zip file; the parts are
// read in the order the package's relationships point to them: the workbook (first sheet,
// date system), its relationships (where the sheet, the shared strings and the styles are),
// the styles (which cells show dates), the shared strings and finally the sheet itself.
//
// Every part is unpacked in small chunks straight into the XML reader, so memory grows with
// what the sheet holds, not with what the package claims; the unpacked bytes of all parts
// together are counted against the limit, which stops zip bombs whatever their headers say.

#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/spreadsheet/spreadsheetcells.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <unzip.h>

namespace velmora::core::spreadsheet {

namespace {

// Thrown inside the reader; turned into Error with the path at the top.
struct Refusal {
    QString reason;
};

class Package {
public:
    Package(const QString& path, const SpreadsheetLimits& limits)
        : m_limits(limits), m_zip(unzOpen64(QFile::encodeName(path).constData())) {}
    ~Package() {
        if (m_zip)
            unzClose(m_zip);
    }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool IsOpen() const { return m_zip != nullptr; }
    unzFile Zip() const { return m_zip; }

    // Counts unpacked bytes against the limit.
    void Spend(qint64 bytes) {
        m_unpacked += bytes;
        if (m_unpacked > m_limits.maxUnpackedBytes)
            throw Refusal{ResStr(rsSheetTooLarge).arg(m_limits.maxUnpackedBytes)};
    }

private:
    SpreadsheetLimits m_limits;
    unzFile m_zip;
    qint64 m_unpacked = 0;
};

// One XML part, unpacked and parsed incrementally. Next() returns the next token and ends
// with EndDocument once the root element is closed.
class PartReader {
public:
    PartReader(Package& package, QString name) : m_package(package), m_name(std::move(name)) {
        if (unzLocateFile(package.Zip(), m_name.toUtf8().constData(), 2) != UNZ_OK)
            return;
        if (unzOpenCurrentFile(package.Zip()) != UNZ_OK)
            throw Damaged(QStringLiteral("cannot unpack"));
        m_open = true;
    }
    ~PartReader() {
        if (m_open)
            unzCloseCurrentFile(m_package.Zip());
    }
    PartReader(const PartReader&) = delete;
    PartReader& operator=(const PartReader&) = delete;

    bool Exists() const { return m_open; }
    const QXmlStreamReader& Xml() const { return m_xml; }

    QXmlStreamReader::TokenType Next() {
        if (m_done)
            return QXmlStreamReader::EndDocument;
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::Invalid) {
                if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_eof) {
                    Feed();
                    continue;
                }
                throw Damaged(m_xml.errorString());
            }
            if (token == QXmlStreamReader::StartElement)
                ++m_depth;
            else if (token == QXmlStreamReader::EndElement && --m_depth == 0)
                m_done = true;
            else if (token == QXmlStreamReader::EndDocument)
                m_done = true;
            return token;
        }
    }

    // At a start element: the text inside it (all nested text), up to its end element.
    QString ElementText() {
        QString text;
        const int depth = m_depth;
        for (;;) {
            const auto token = Next();
            if (token == QXmlStreamReader::Characters)
                text += m_xml.text();
            else if ((token == QXmlStreamReader::EndElement && m_depth < depth) ||
                     token == QXmlStreamReader::EndDocument)
                return text;
        }
    }

    // At a start element: everything up to and including its end element.
    void Skip() {
        const int depth = m_depth;
        for (;;) {
            const auto token = Next();
            if ((token == QXmlStreamReader::EndElement && m_depth < depth) ||
                token == QXmlStreamReader::EndDocument)
                return;
        }
    }

    int Depth() const { return m_depth; }

    QString Attribute(QLatin1String name) const {
        for (const QXmlStreamAttribute& a : m_xml.attributes()) {
            if (a.name() == name)
                return a.value().toString();
        }
        return {};
    }

    Refusal Damaged(const QString& reason) const {
        return Refusal{ResStr(rsSheetDamaged).arg(m_name, reason)};
    }

private:
    void Feed() {
        char buffer[64 * 1024];
        const int n = unzReadCurrentFile(m_package.Zip(), buffer, sizeof buffer);
        if (n < 0)
            throw Damaged(QStringLiteral("unpacking failed (%1)").arg(n));
        if (n == 0) {
            m_eof = true;
            return;
        }
        m_package.Spend(n);
        m_xml.addData(QByteArray(buffer, n));
    }

    Package& m_package;
    QString m_name;
    QXmlStreamReader m_xml;
    bool m_open = false;
    bool m_eof = false;
    bool m_done = false;
    int m_depth = 0;
};

bool IsStart(QXmlStreamReader::TokenType token) {
    return token == QXmlStreamReader::StartElement;
}

// Relationships of a part: id -> (type, target as a package path).
struct Relation {
    QString type;
    QString target;
};

QString PartDir(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

QHash<QString, Relation> ReadRelations(Package& package, const QString& part) {
    QHash<QString, Relation> relations;
    const QString relsName = PartDir(part) + QStringLiteral("_rels/") +
                             part.mid(part.lastIndexOf(QLatin1Char('/')) + 1) +
                             QStringLiteral(".rels");
    PartReader reader(package, relsName);
    if (!reader.Exists())
        return relations;
    for (auto token = reader.Next(); token != QXmlStreamReader::EndDocument;
         token = reader.Next()) {
        if (!IsStart(token) || reader.Xml().name() != QLatin1String("Relationship"))
            continue;
        if (reader.Attribute(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        QString target = reader.Attribute(QLatin1String("Target"));
        target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : PartDir(part) + target;
        relations.insert(reader.Attribute(QLatin1String("Id")),
                         {reader.Attribute(QLatin1String("Type")), QDir::cleanPath(target)});
    }
    return relations;
}

QString TargetOfType(const QHash<QString, Relation>& relations, QLatin1String typeEnd) {
    for (const Relation& r : relations) {
        if (r.type.endsWith(typeEnd))
            return r.target;
    }
    return {};
}

// The text of a shared or inline string: its runs, without phonetic hints; the escapes
// _xHHHH_ that stand for characters XML cannot hold are decoded.
QString DecodeEscapes(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('_') && i + 6 < text.size() && text[i + 1] == QLatin1Char('x') &&
            text[i + 6] == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QString StringItemText(PartReader& reader) {
    QString text;
    const int depth = reader.Depth();
    for (;;) {
        const auto token = reader.Next();
        if ((token == QXmlStreamReader::EndElement && reader.Depth() < depth) ||
            token == QXmlStreamReader::EndDocument)
            return DecodeEscapes(text);
        if (!IsStart(token))
            continue;
        if (reader.Xml().name() == QLatin1String("t"))
            text += reader.ElementText();
        else if (reader.Xml().name() == QLatin1String("rPh"))
            reader.Skip();
    }
}

QStringList ReadSharedStrings(Package& package, const QString& part) {
    QStringList strings;
    if (part.isEmpty())
        return strings;
    PartReader reader(package, part);
    if (!reader.Exists())
        return strings;
    for (auto token = reader.Next(); token != QXmlStreamReader::EndDocument;
         token = reader.Next()) {
        if (IsStart(token) && reader.Xml().name() == QLatin1String("si"))
            strings << StringItemText(reader);
    }
    return strings;
}

// Per cell style index, how its number format shows a value.
std::vector<DateKind> ReadStyleKinds(Package& package, const QString& part) {
    std::vector<DateKind> kinds;
    if (part.isEmpty())
        return kinds;
    PartReader reader(package, part);
    if (!reader.Exists())
        return kinds;
    QHash<int, QString> codes;
    bool inCellXfs = false;
    for (auto token = reader.Next(); token != QXmlStreamReader::EndDocument;
         token = reader.Next()) {
        const QStringView name = reader.Xml().name();
        if (token == QXmlStreamReader::EndElement && name == QLatin1String("cellXfs"))
            inCellXfs = false;
        if (!IsStart(token))
            continue;
        if (name == QLatin1String("numFmt")) {
            codes.insert(reader.Attribute(QLatin1String("numFmtId")).toInt(),
                         reader.Attribute(QLatin1String("formatCode")));
        } else if (name == QLatin1String("cellXfs")) {
            inCellXfs = true;
        } else if (inCellXfs && name == QLatin1String("xf")) {
            const int id = reader.Attribute(QLatin1String("numFmtId")).toInt();
            kinds.push_back(codes.contains(id) ? FormatCodeKind(codes.value(id))
                                               : BuiltInFormatKind(id));
        }
    }
    return kinds;
}

// "AB12" -> column 28, row 12. False when the reference is not a valid cell.
bool ParseReference(QStringView ref, int& row, int& col) {
    qsizetype i = 0;
    col = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128) {
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        if (col > kMaxSheetCols)
            return false;
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    bool ok = false;
    row = ref.mid(i).toInt(&ok);
    return ok && ref[i].isDigit() && row >= 1 && row <= kMaxSheetRows;
}

struct SheetContext {
    QStringList sharedStrings;
    std::vector<DateKind> styleKinds;
    bool date1904 = false;
};

// At a <c> start element: the cell's text, or nothing when the cell holds no value.
std::optional<QString> CellText(PartReader& reader, const SheetContext& context,
                                const QString& type, int style) {
    std::optional<QString> value;
    std::optional<QString> inlineText;
    const int depth = reader.Depth();
    for (;;) {
        const auto token = reader.Next();
        if ((token == QXmlStreamReader::EndElement && reader.Depth() < depth) ||
            token == QXmlStreamReader::EndDocument)
            break;
        if (!IsStart(token))
            continue;
        const QStringView name = reader.Xml().name();
        if (name == QLatin1String("v"))
            value = reader.ElementText();
        else if (name == QLatin1String("is"))
            inlineText = StringItemText(reader);
        else
            reader.Skip();
    }
    if (type == QLatin1String("inlineStr"))
        return inlineText;
    if (!value)
        return std::nullopt;
    if (type == QLatin1String("s")) {
        bool ok = false;
        const int index = value->trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= context.sharedStrings.size())
            throw reader.Damaged(QStringLiteral("shared string %1 does not exist").arg(*value));
        return context.sharedStrings[index];
    }
    if (type == QLatin1String("str") || type == QLatin1String("e"))
        return DecodeEscapes(*value);
    if (type == QLatin1String("b"))
        return value->trimmed() == QLatin1String("1") ? QStringLiteral("TRUE")
                                                      : QStringLiteral("FALSE");
    if (type == QLatin1String("d")) {
        // An ISO date and time as text.
        QString text = value->trimmed();
        text.replace(QLatin1Char('T'), QLatin1Char(' '));
        if (text.endsWith(QLatin1String(" 00:00:00")))
            text.chop(9);
        return text.left(19);
    }
    bool ok = false;
    const double number = value->trimmed().toDouble(&ok);
    if (!ok)
        throw reader.Damaged(QStringLiteral("'%1' is not a number").arg(*value));
    const DateKind kind = style >= 0 && style < int(context.styleKinds.size())
                              ? context.styleKinds[size_t(style)]
                              : DateKind::None;
    return kind == DateKind::None ? NumberText(number)
                                  : SerialDateText(number, context.date1904, kind);
}

void ReadSheet(Package& package, const QString& part, const SheetContext& context,
               SheetCells& cells) {
    PartReader reader(package, part);
    if (!reader.Exists())
        throw Refusal{ResStr(rsSheetMissing)};
    int row = 0;
    int col = 0;
    for (auto token = reader.Next(); token != QXmlStreamReader::EndDocument;
         token = reader.Next()) {
        if (token == QXmlStreamReader::EndElement &&
            reader.Xml().name() == QLatin1String("sheetData"))
            return; // what follows (merged cells, page setup) is of no use here
        if (!IsStart(token))
            continue;
        const QStringView name = reader.Xml().name();
        if (name == QLatin1String("row")) {
            const QString r = reader.Attribute(QLatin1String("r"));
            bool ok = true;
            row = r.isEmpty() ? row + 1 : r.toInt(&ok);
            if (!ok || row < 1 || row > kMaxSheetRows)
                throw reader.Damaged(QStringLiteral("row number '%1'").arg(r));
            col = 0;
        } else if (name == QLatin1String("c")) {
            const QString ref = reader.Attribute(QLatin1String("r"));
            if (ref.isEmpty()) {
                if (row == 0 || ++col > kMaxSheetCols)
                    throw reader.Damaged(QStringLiteral("cell without a place"));
            } else if (!ParseReference(ref, row, col)) {
                throw reader.Damaged(QStringLiteral("cell reference '%1'").arg(ref));
            }
            const QString s = reader.Attribute(QLatin1String("s"));
            const int style = s.isEmpty() ? -1 : s.toInt();
            const int cellRow = row;
            const int cellCol = col;
            if (auto text = CellText(reader, context, reader.Attribute(QLatin1String("t")), style))
                cells.Add(cellRow, cellCol, std::move(*text));
        }
    }
}

// The workbook part and its sheets in workbook order (name, relationship id).
struct WorkbookInfo {
    QString part;
    std::vector<std::pair<QString, QString>> sheets;
    bool date1904 = false;
};

WorkbookInfo ReadWorkbook(Package& package) {
    WorkbookInfo info;
    info.part = TargetOfType(ReadRelations(package, QString()), QLatin1String("/officeDocument"));
    if (info.part.isEmpty())
        info.part = QStringLiteral("xl/workbook.xml");
    PartReader reader(package, info.part);
    if (!reader.Exists())
        throw Refusal{ResStr(rsSheetMissing)};
    for (auto token = reader.Next(); token != QXmlStreamReader::EndDocument;
         token = reader.Next()) {
        if (!IsStart(token))
            continue;
        if (reader.Xml().name() == QLatin1String("workbookPr")) {
            const QString d = reader.Attribute(QLatin1String("date1904"));
            info.date1904 = d == QLatin1String("1") || d == QLatin1String("true");
        } else if (reader.Xml().name() == QLatin1String("sheet")) {
            // The relationship id is the namespaced "id" attribute (r:id).
            QString id;
            for (const QXmlStreamAttribute& a : reader.Xml().attributes()) {
                if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                    id = a.value().toString();
            }
            info.sheets.emplace_back(reader.Attribute(QLatin1String("name")), id);
        }
    }
    return info;
}

// The first worksheet in workbook order (chart sheets and dialog sheets are passed over):
// its name and its part.
std::pair<QString, QString> FirstWorksheet(const WorkbookInfo& workbook,
                                           const QHash<QString, Relation>& relations) {
    for (const auto& [name, id] : workbook.sheets) {
        const Relation relation = relations.value(id);
        if (relation.type.endsWith(QLatin1String("/worksheet")))
            return {name, relation.target};
    }
    throw Refusal{ResStr(rsSheetMissing)};
}

Grid ReadPackage(const QString& path, const SpreadsheetLimits& limits) {
    Package package(path, limits);
    if (!package.IsOpen())
        throw Refusal{ResStr(rsSheetNotAPackage)};
    const WorkbookInfo workbook = ReadWorkbook(package);
    const QHash<QString, Relation> relations = ReadRelations(package, workbook.part);
    const QString sheet = FirstWorksheet(workbook, relations).second;

    SheetContext context;
    context.date1904 = workbook.date1904;
    context.styleKinds = ReadStyleKinds(package, TargetOfType(relations, QLatin1String("/styles")));
    context.sharedStrings =
        ReadSharedStrings(package, TargetOfType(relations, QLatin1String("/sharedStrings")));

    SheetCells cells(limits, path);
    ReadSheet(package, sheet, context, cells);
    return cells.ToGrid();
}

} // namespace

Grid ReadXlsxPackage(const QString& path, const SpreadsheetLimits& limits) {
    try {
        return ReadPackage(path, limits);
    } catch (const Refusal& refusal) {
        throw Error(refusal.reason, path);
    }
}

QString XlsxFirstSheetName(const QString& path) {
    try {
        Package package(path, SpreadsheetLimits{});
        if (!package.IsOpen())
            throw Refusal{ResStr(rsSheetNotAPackage)};
        const WorkbookInfo workbook = ReadWorkbook(package);
        return FirstWorksheet(workbook, ReadRelations(package, workbook.part)).first;
    } catch (const Refusal& refusal) {
        throw Error(refusal.reason, path);
    }
}

} // namespace velmora::core::spreadsheet
