// Writes the program's shipped dBase tables from their CSV sources with the program's own
// table engine:
//
//   velmora_makedata <schemas.txt> <source folder> <program folder>
//
// schemas.txt names each table, its level, its CSV file and its target below the program
// folder, followed by its fields. Tables below Data/ belong to the user once staged: they are
// written only when absent. Other tables are rewritten, but replaced only when their bytes
// changed, so an unchanged build leaves them untouched.

#include "core/dataset.h"
#include "core/dbf/fielddef.h"
#include "core/error.h"
#include "core/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace velmora::core;

namespace {

struct TableSpec {
    QString name;
    int level = 7;
    QString csv;
    QString target;
    dbf::FieldDefs fields;
};

std::vector<TableSpec> ReadSchemas(const QString& path) {
    std::vector<TableSpec> tables;
    int lineNo = 0;
    for (const QString& raw : ReadTextLines(path)) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w[0] == QLatin1String("table") && w.size() == 5) {
            tables.push_back({w[1], w[2].toInt(), w[3], w[4], {}});
        } else if (w[0] == QLatin1String("field") && w.size() >= 4 && !tables.empty()) {
            dbf::FieldDef f;
            f.name = w[1].toStdString();
            f.type = static_cast<dbf::FieldType>(w[2].at(0).toLatin1());
            f.length = w[3].toInt();
            f.decimals = w.size() > 4 ? w[4].toInt() : 0;
            tables.back().fields.push_back(f);
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

void WriteTable(const TableSpec& spec, const QString& sourceDir, const QString& file) {
    const QString csvPath = sourceDir + QLatin1Char('/') + spec.csv;
    const std::vector<QStringList> rows = ReadCsv(csvPath);
    if (rows.empty())
        throw Error(QStringLiteral("no header row"), csvPath);
    QStringList header;
    for (const dbf::FieldDef& f : spec.fields)
        header << QString::fromStdString(f.name);
    if (rows[0] != header)
        throw Error(QStringLiteral("the header row does not match the table's fields"), csvPath);
    Dataset::CreateTable(file, spec.fields,
                         spec.level == 4 ? dbf::TableLevel::Level4 : dbf::TableLevel::Level7);
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
        QVariantList values;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const dbf::FieldDef& f = spec.fields[static_cast<std::size_t>(c)];
            if (cells[c].isEmpty())
                values << QVariant();
            else if (f.IsNumeric())
                values << QVariant(cells[c].toLongLong());
            else
                values << QVariant(cells[c]);
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
        for (const TableSpec& spec : ReadSchemas(schemas)) {
            const QString target = programDir + QLatin1Char('/') + spec.target;
            const bool userData = spec.target.startsWith(QLatin1String("Data/"));
            if (userData && QFileInfo::exists(target))
                continue;
            const QString fresh = work.filePath(spec.name + QStringLiteral(".dbf"));
            WriteTable(spec, sourceDir, fresh);
            if (SameBytes(fresh, target))
                continue;
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
            std::printf("wrote %s\n", qPrintable(spec.target));
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "velmora_makedata: %s\n", e.what());
        return 1;
    }
    return 0;
}
