#include "recording/importgrid.h"

#include "core/error.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/textfile.h"
#include "recording/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringView>
#include <algorithm>

namespace velmora::recording {

namespace {

// Spaces and control characters, but not the tab that separates fields.
bool IsTrimmed(QChar c) {
    return c.unicode() <= 0x20 && c.unicode() != '\t';
}

QStringView TrimLine(QStringView line) {
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && IsTrimmed(line[begin]))
        ++begin;
    while (end > begin && IsTrimmed(line[end - 1]))
        --end;
    return line.sliced(begin, end - begin);
}

// Calls f(line) for every non-empty line of the text; f returns false to stop.
template <class F> void ForEachLine(const QString& text, F&& f) {
    const QChar* data = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && data[i] != u'\n' && data[i] != u'\r')
            continue;
        if (i > start && !f(QStringView(data + start, i - start), i))
            return;
        if (i < size && data[i] == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
}

void CheckCells(qint64 cols, qint64 rows, const ImportLimits& limits) {
    if (cols - 1 > limits.maxColumns)
        throw core::Error(ResStr(rsImportTooManyColumns).arg(cols - 1).arg(limits.maxColumns));
    if (cols * rows > limits.maxCells)
        throw core::Error(ResStr(rsImportTooManyCells).arg(cols * rows).arg(limits.maxCells));
}

} // namespace

QString DecodeTSVBytes(QByteArray bytes) {
    std::replace(bytes.begin(), bytes.end(), '\0', '?');
    return core::DecodeText(bytes);
}

QString ReadTSVText(const QString& path, const ImportLimits& limits) {
    return DecodeTSVBytes(ReadImportBytes(path, limits));
}

QByteArray ReadImportBytes(const QString& path, const ImportLimits& limits) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw core::Error(file.errorString(), path);
    if (file.size() > limits.maxBytes)
        throw core::Error(ResStr(rsImportFileTooLarge).arg(limits.maxBytes / (1024 * 1024)), path);
    QByteArray bytes = file.read(limits.maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw core::Error(file.errorString(), path);
    if (bytes.size() > limits.maxBytes) // grew while being read
        throw core::Error(ResStr(rsImportFileTooLarge).arg(limits.maxBytes / (1024 * 1024)), path);
    return bytes;
}

core::Grid CopyToGrid(const QString& text, const ImportLimits& limits,
                      const ImportProgress& progress) {
    // First the size of the grid, so that a file beyond the limits is refused before any cell
    // is made.
    qint64 lines = 0;
    qint64 widest = 0;
    ForEachLine(text, [&](QStringView line, qsizetype) {
        ++lines;
        widest = std::max<qint64>(widest, TrimLine(line).count(u'\t') + 1);
        return widest <= limits.maxColumns;
    });
    const qint64 cols = std::max<qint64>(widest + 1, 3);
    const qint64 rows = lines + 1;
    CheckCells(cols, rows, limits);

    core::Grid grid(static_cast<int>(cols), static_cast<int>(rows));
    int row = 0;
    const qsizetype total = std::max<qsizetype>(text.size(), 1);
    ForEachLine(text, [&](QStringView line, qsizetype end) {
        ++row;
        QStringList cells;
        cells.reserve(static_cast<qsizetype>(cols));
        cells.append(QString());
        for (QStringView field : TrimLine(line).split(u'\t'))
            cells.append(field.toString());
        grid.SetRow(row, std::move(cells));
        if (progress && (row & 0x3fff) == 0 && progress(static_cast<int>(100 * end / total)))
            throw ImportCancelled{};
        return true;
    });
    NumberGrid(grid);
    return grid;
}

core::Grid ReadTSVFile(const QString& path, const ImportLimits& limits,
                       const ImportProgress& progress) {
    return CopyToGrid(ReadTSVText(path, limits), limits, progress);
}

core::Grid ReadSpreadsheet(const QString& path, const ImportLimits& limits) {
    core::SpreadsheetLimits sheetLimits;
    sheetLimits.maxCells = limits.maxCells;
    sheetLimits.maxUnpackedBytes = limits.maxBytes;
    core::Grid grid = core::ReadSpreadsheetFile(path, sheetLimits);
    CheckCells(grid.ColCount(), grid.RowCount(), limits);
    NumberGrid(grid);
    return grid;
}

void NumberGrid(core::Grid& grid) {
    for (int c = 1; c < grid.ColCount(); ++c)
        grid.SetCell(c, 0, QString::number(c));
    NumberRows(grid);
}

void NumberRows(core::Grid& grid) {
    if (grid.ColCount() == 0)
        return;
    for (int r = 1; r < grid.RowCount(); ++r)
        grid.SetCell(0, r, QString::number(r));
}

} // namespace velmora::recording
