#include "core/text/fieldnametable.h"

#include "core/text/textfile.h"

namespace velmora::core {

QStringList SplitFieldNameLine(const QString& line) {
    QStringList cells;
    const qsizetype n = line.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString cell;
        if (line[i] == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        cell += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            // Text glued to a closing quote belongs to the same cell.
            while (i < n && line[i] != QLatin1Char(',') && line[i] != QLatin1Char(' ') &&
                   line[i] != QLatin1Char('\t'))
                cell += line[i++];
        } else {
            while (i < n && line[i] != QLatin1Char(',') && line[i] != QLatin1Char(' ') &&
                   line[i] != QLatin1Char('\t'))
                cell += line[i++];
        }
        cells << cell;
        skipBlanks();
        if (i < n && line[i] == QLatin1Char(',')) {
            ++i;
            skipBlanks();
            if (i == n)
                cells << QString(); // a trailing comma ends with an empty cell
        }
    }
    return cells;
}

std::vector<FieldNameRow> ReadFieldNameTable(const QString& path) {
    std::vector<FieldNameRow> rows;
    for (const QString& line : ReadTextLines(path)) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList cells = SplitFieldNameLine(line);
        FieldNameRow row;
        for (std::size_t c = 0; c < row.size() && c < static_cast<std::size_t>(cells.size()); ++c)
            row[c] = cells[static_cast<qsizetype>(c)];
        rows.push_back(row);
    }
    return rows;
}

} // namespace velmora::core
