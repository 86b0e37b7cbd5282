#include "core/grid/gridfiles.h"

#include "core/dbf/codepage.h"
#include "core/error.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/text/textfile.h"

#include <QFileInfo>
#include <algorithm>

namespace velmora::core {

namespace {

QString FlattenCell(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    // Spreadsheet programs take a field that begins with a quote for a quoted field and read
    // on to the next quote, across tabs and lines: such a cell is written quoted, its quotes
    // doubled, so that every reader finds the same rows and columns.
    if (text.startsWith(QLatin1Char('"')))
        text = QLatin1Char('"') + text.replace(QLatin1String("\""), QLatin1String("\"\"")) +
               QLatin1Char('"');
    return text;
}

void PutWord(QByteArray& bytes, int value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void PutRecordHead(QByteArray& bytes, int type, int length) {
    PutWord(bytes, type);
    PutWord(bytes, length);
}

} // namespace

QString TsvField(const QString& cell) {
    const bool plain =
        !cell.startsWith(QLatin1Char('"')) && std::none_of(cell.begin(), cell.end(), [](QChar ch) {
            return ch == QLatin1Char('\t') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r');
        });
    return plain ? cell : FlattenCell(cell);
}

void SaveGridAsTSV(const Grid& grid, const QString& path) {
    // The whole file as one text, converted in parts, then one write.
    QString text;
    QByteArray bytes;
    for (int row = 0; row < grid.RowCount(); ++row) {
        const QStringList& cells = grid.Row(row);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            text += TsvField(cells[c]);
        }
        text += QLatin1String("\r\n");
        if (text.size() > (4 << 20)) {
            bytes += text.toUtf8();
            text.clear();
        }
    }
    bytes += text.toUtf8();
    WriteFileAtomically(path, bytes);
}

QByteArray MinimalXlsBytes(const Grid& grid) {
    if (grid.RowCount() > kXlsMaxRows || grid.ColCount() > kXlsMaxCols)
        throw Error(ResStr(rsGridTooLargeForXls).arg(kXlsMaxRows).arg(kXlsMaxCols));
    QByteArray bytes;
    PutRecordHead(bytes, 0x0809, 8);
    PutWord(bytes, 0x0000); // version
    PutWord(bytes, 0x0010); // worksheet
    PutWord(bytes, 0);      // build
    PutWord(bytes, 0);      // year
    for (int col = 0; col < grid.ColCount(); ++col) {
        for (int row = 0; row < grid.RowCount(); ++row) {
            std::string text =
                dbf::FromUtf8(grid.Cell(col, row).toStdString(), dbf::CodePage::Windows1252);
            if (text.size() > static_cast<size_t>(kXlsMaxLabelBytes))
                text.resize(kXlsMaxLabelBytes);
            const int n = static_cast<int>(text.size());
            PutRecordHead(bytes, 0x0204, 8 + n);
            PutWord(bytes, row);
            PutWord(bytes, col);
            PutWord(bytes, 0); // format index
            PutWord(bytes, n);
            bytes.append(text.data(), n);
        }
    }
    PutRecordHead(bytes, 0x000A, 0);
    return bytes;
}

bool SaveGridAsXLS(const Grid& grid, const QString& path) {
    const QByteArray bytes = MinimalXlsBytes(grid);
    if (QFileInfo::exists(path) && !UserPrompts().YesNo(ResStr(rsOverwriteFile).arg(path)))
        return false;
    WriteFileAtomically(path, bytes);
    return true;
}

} // namespace velmora::core
