// Writes the program's shipped dBase tables from their CSV sources with the program's own
// table engine:
//
//   velmora_makedata <schemas.txt> <source folder> <program folder>
//
// schemas.txt names each table, its level, its CSV file and its target below the program
// folder, followed by its fields. Tables below Data/ belong to the user once staged: they are
// written only when absent. Other tables are rewritten, but replaced only when their bytes
// changed, so an unchanged build leaves them untouched; below Lib/ only while the table in
// the program folder is a version the build wrote (Lib/.shipped, core/shippedfiles.h): a
// list the user imported is kept, and said so.
//
// A samples table gets its square codes (KXY, UXY) here, from the coordinates of each
// sample's location, by the program's own rules (core/coordinates.h): its CSV has no columns
// for them, so the shipped codes can never disagree with what the program computes when the
// record is posted again.

#include "core/coordinates.h"
#include "core/dataset.h"
#include "core/dbf/fielddef.h"
#include "core/error.h"
#include "core/shippedfiles.h"
#include "core/text/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <optional>

using namespace velmora::core;

namespace {

// "squares <KXY field> <UXY field> <locations table> <coordinate system>": the two fields are
// computed from COORDX and COORDY of the location with the sample's ID.
struct SquareSource {
    QString kxyField;
    QString uxyField;
    QString locations;
    QString coordinateSystem;
};

struct TableSchema {
    QString name;
    int level = 7;
    QString csv;
    QString target;
    dbf::FieldDefs fields;
    std::optional<SquareSource> squares;
};

std::vector<TableSchema> ReadSchemas(const QString& path) {
    std::vector<TableSchema> tables;
    int lineNo = 0;
    for (const QString& raw : ReadTextLines(path)) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w[0] == QLatin1String("table") && w.size() == 5) {
            tables.push_back({w[1], w[2].toInt(), w[3], w[4], {}, std::nullopt});
        } else if (w[0] == QLatin1String("field") && w.size() >= 4 && !tables.empty()) {
            dbf::FieldDef f;
            f.name = w[1].toStdString();
            f.type = static_cast<dbf::FieldType>(w[2].at(0).toLatin1());
            f.length = w[3].toInt();
            f.decimals = w.size() > 4 ? w[4].toInt() : 0;
            tables.back().fields.push_back(f);
        } else if (w[0] == QLatin1String("squares") && w.size() == 5 && !tables.empty()) {
            tables.back().squares = SquareSource{w[1], w[2], w[3], w[4]};
        } else {
            throw Error(QStringLiteral("line %1 is not understood").arg(lineNo), path);
        }
    }
    return tables;
}

// Comma-separated rows, double-quoted cells with doubled quotes, quoted line breaks allowed.
std::vector<QStringList> ReadCsv(const QString& path) {
    const QString text = ReadTextFile(path);
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
            any = true;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            if (any || !cell.isEmpty()) {
                row << cell;
                rows.push_back(row);
            }
            row.clear();
            cell.clear();
            any = false;
        } else {
            cell += c;
            any = true;
        }
    }
    if (quoted)
        throw Error(QStringLiteral("unterminated quote"), path);
    if (any || !cell.isEmpty()) {
        row << cell;
        rows.push_back(row);
    }
    return rows;
}

const TableSchema& FindTable(const std::vector<TableSchema>& tables, const QString& name) {
    for (const TableSchema& t : tables)
        if (t.name == name)
            return t;
    throw Error(QStringLiteral("no table %1 in the schemas").arg(name));
}

qsizetype Column(const QStringList& header, const QString& field, const QString& csvPath) {
    const qsizetype at = header.indexOf(field);
    if (at < 0)
        throw Error(QStringLiteral("no column %1").arg(field), csvPath);
    return at;
}

long long Id(const QString& cell, std::size_t row, const QString& csvPath) {
    bool ok = false;
    const long long id = cell.toLongLong(&ok);
    if (!ok)
        throw Error(
            QStringLiteral("row %1: the ID \"%2\" is not a whole number").arg(row + 1).arg(cell),
            csvPath);
    return id;
}

// The square codes of every location of a locations table, by its ID. The codes must be the
// same under either interface language: a location in atlas notation (read as such only
// under "NL") would otherwise move on the map when the program posts it again in English.
std::map<long long, SquareCodePair> LocationSquares(const TableSchema& locations,
                                                    const QString& coordinateSystem,
                                                    const QString& sourceDir) {
    const QString csvPath = sourceDir + QLatin1Char('/') + locations.csv;
    const std::vector<QStringList> rows = ReadCsv(csvPath);
    if (rows.empty())
        throw Error(QStringLiteral("no header row"), csvPath);
    const qsizetype id = Column(rows[0], QStringLiteral("ID"), csvPath);
    const qsizetype x = Column(rows[0], QStringLiteral("COORDX"), csvPath);
    const qsizetype y = Column(rows[0], QStringLiteral("COORDY"), csvPath);
    std::map<long long, SquareCodePair> codes;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const QStringList& cells = rows[r];
        if (cells.size() != rows[0].size())
            throw Error(QStringLiteral("row %1 has %2 cells, not %3")
                            .arg(r + 1)
                            .arg(cells.size())
                            .arg(rows[0].size()),
                        csvPath);
        const SquareCodePair english =
            SquareCodes(cells[x], cells[y], coordinateSystem, QStringLiteral("EN"));
        const SquareCodePair dutch =
            SquareCodes(cells[x], cells[y], coordinateSystem, QStringLiteral("NL"));
        if (english != dutch)
            throw Error(QStringLiteral("row %1: the coordinates %2, %3 give other square codes "
                                       "under the Dutch interface (%4) than under the English "
                                       "one (%5)")
                            .arg(r + 1)
                            .arg(cells[x], cells[y], dutch.kxy, english.kxy),
                        csvPath);
        if (!codes.emplace(Id(cells[id], r, csvPath), english).second)
            throw Error(
                QStringLiteral("row %1: the ID %2 is there twice").arg(r + 1).arg(cells[id]),
                csvPath);
    }
    return codes;
}

void WriteTable(const TableSchema& schema, const std::vector<TableSchema>& tables,
                const QString& sourceDir, const QString& file) {
    const QString csvPath = sourceDir + QLatin1Char('/') + schema.csv;
    const std::vector<QStringList> rows = ReadCsv(csvPath);
    if (rows.empty())
        throw Error(QStringLiteral("no header row"), csvPath);
    std::map<long long, SquareCodePair> squares;
    if (schema.squares)
        squares = LocationSquares(FindTable(tables, schema.squares->locations),
                                  schema.squares->coordinateSystem, sourceDir);
    // Per field: its CSV column, or -1 for the square codes computed here.
    QStringList header;
    std::vector<qsizetype> column;
    int derived = 0;
    for (const dbf::FieldDef& f : schema.fields) {
        const QString name = QString::fromStdString(f.name);
        if (schema.squares &&
            (name == schema.squares->kxyField || name == schema.squares->uxyField)) {
            column.push_back(-1);
            ++derived;
            continue;
        }
        column.push_back(header.size());
        header << name;
    }
    if (schema.squares && derived != 2)
        throw Error(QStringLiteral("table %1 has no fields %2 and %3")
                        .arg(schema.name, schema.squares->kxyField, schema.squares->uxyField));
    if (rows[0] != header)
        throw Error(QStringLiteral("the header row does not match the table's fields"), csvPath);
    const qsizetype idColumn = schema.squares ? Column(header, QStringLiteral("ID"), csvPath) : -1;
    Dataset::CreateTable(file, schema.fields,
                         schema.level == 4 ? dbf::TableLevel::Level4 : dbf::TableLevel::Level7);
    Dataset table;
    table.Open(file);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const QStringList& cells = rows[r];
        if (cells.size() != header.size())
            throw Error(QStringLiteral("row %1 has %2 cells, not %3")
                            .arg(r + 1)
                            .arg(cells.size())
                            .arg(header.size()),
                        csvPath);
        const SquareCodePair* codes = nullptr;
        if (schema.squares) {
            const auto found = squares.find(Id(cells[idColumn], r, csvPath));
            if (found == squares.end())
                throw Error(QStringLiteral("row %1: no location has the ID %2")
                                .arg(r + 1)
                                .arg(cells[idColumn]),
                            csvPath);
            codes = &found->second;
        }
        QVariantList values;
        for (std::size_t i = 0; i < schema.fields.size(); ++i) {
            const dbf::FieldDef& f = schema.fields[i];
            if (column[i] < 0) {
                const bool kxy = QString::fromStdString(f.name) == schema.squares->kxyField;
                values << QVariant(kxy ? codes->kxy : codes->uxy);
                continue;
            }
            const QString& cell = cells[column[i]];
            if (cell.isEmpty())
                values << QVariant();
            else if (f.IsNumeric())
                values << QVariant(cell.toLongLong());
            else
                values << QVariant(cell);
        }
        table.AppendRecord(values);
    }
    table.Close();
}

bool SameBytes(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    return fa.size() == fb.size() && fa.readAll() == fb.readAll();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: velmora_makedata <schemas.txt> <source folder> <program folder>\n");
        return 2;
    }
    const QString schemas = QString::fromLocal8Bit(argv[1]);
    const QString sourceDir = QString::fromLocal8Bit(argv[2]);
    const QString programDir = QString::fromLocal8Bit(argv[3]);
    try {
        QTemporaryDir work;
        const std::vector<TableSchema> tables = ReadSchemas(schemas);
        ShippedFiles shipped(programDir);
        for (const TableSchema& schema : tables) {
            const QString target = programDir + QLatin1Char('/') + schema.target;
            const bool userData = schema.target.startsWith(QLatin1String("Data/"));
            if (userData && QFileInfo::exists(target))
                continue;
            const QString fresh = work.filePath(schema.name + QStringLiteral(".dbf"));
            WriteTable(schema, tables, sourceDir, fresh);
            const bool lib = schema.target.startsWith(QLatin1String("Lib/"));
            if (SameBytes(fresh, target)) {
                if (lib)
                    shipped.Record(schema.target, FileSha256(fresh));
                continue;
            }
            if (lib && !shipped.MayReplace(schema.target)) {
                std::printf("kept %s: it is not a version the build wrote (changed or imported "
                            "in the program folder)\n",
                            qPrintable(schema.target));
                continue;
            }
            if (lib)
                shipped.Record(schema.target, FileSha256(fresh));
            QDir().mkpath(QFileInfo(target).path());
            const QString staging = target + QStringLiteral(".new");
            QFile::remove(staging);
            if (!QFile::copy(fresh, staging) ||
                std::rename(QFile::encodeName(staging).constData(),
                            QFile::encodeName(target).constData()) != 0)
                throw Error(QStringLiteral("cannot be written"), target);
            // A changed table gets its index made anew by the program.
            const QString index = target.left(target.size() - 4) + QStringLiteral(".mdx");
            if (!userData)
                QFile::remove(index);
            std::printf("wrote %s\n", qPrintable(schema.target));
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "velmora_makedata: %s\n", e.what());
        return 1;
    }
    return 0;
}
