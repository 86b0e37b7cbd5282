#include "core/spreadsheet/spreadsheetcells.h"

#include "core/dbf/codepage.h"
#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/text/textutils.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <cstring>

namespace velmora::core::spreadsheet {

SheetCells::SheetCells(const SpreadsheetLimits& limits, const QString& path)
    : m_limits(limits), m_path(path) {}

void SheetCells::Add(int row, int col, QString text) {
    const int maxRow = std::max(m_maxRow, row);
    const int maxCol = std::max(m_maxCol, col);
    // The grid gets one more row and column than the used range.
    if (qint64(maxRow + 1) * qint64(maxCol + 1) > m_limits.maxCells)
        throw Error(ResStr(rsSheetTooManyCells).arg(m_limits.maxCells), m_path);
    m_maxRow = maxRow;
    m_maxCol = maxCol;
    m_cells.push_back({row, col, std::move(text)});
}

Grid SheetCells::ToGrid() const {
    Grid grid(m_maxCol + 1, m_maxRow + 1);
    for (const Cell& cell : m_cells)
        grid.SetCell(cell.col, cell.row, cell.text);
    return grid;
}

QString NumberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString text = QString::number(value, 'g', 15);
    if (DecimalSeparator() != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), DecimalSeparator());
    return text;
}

DateKind BuiltInFormatKind(int id) {
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return DateKind::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47))
        return DateKind::Time;
    if (id == 22)
        return DateKind::DateTime;
    return DateKind::None;
}

DateKind FormatCodeKind(const QString& code) {
    bool date = false;
    bool time = false;
    bool month = false; // "m" is a month unless hours or seconds make it minutes
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('"')) {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            i = end < 0 ? code.size() : end;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i + 1);
            const QString inner = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1).toLower();
            // Elapsed time: [h], [mm], [ss]; anything else ([Red], [$-409]) is decoration.
            if (!inner.isEmpty() && inner.count(inner[0]) == inner.size() &&
                (inner[0] == QLatin1Char('h') || inner[0] == QLatin1Char('m') ||
                 inner[0] == QLatin1Char('s')))
                time = true;
            i = end < 0 ? code.size() : end;
        } else if (c == QLatin1Char('d') || c == QLatin1Char('y')) {
            date = true;
        } else if (c == QLatin1Char('h') || c == QLatin1Char('s')) {
            time = true;
        } else if (c == QLatin1Char('m')) {
            month = true;
        }
    }
    if (month && !time)
        date = true;
    if (date && time)
        return DateKind::DateTime;
    if (date)
        return DateKind::Date;
    return time ? DateKind::Time : DateKind::None;
}

QString SerialDateText(double serial, bool date1904, DateKind kind) {
    // 2958465 is 9999-12-31 in the 1900 system.
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466 || kind == DateKind::None)
        return NumberText(serial);
    qint64 days = static_cast<qint64>(std::floor(serial));
    qint64 seconds = std::llround((serial - double(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    // The 1900 system counts a 29 February 1900 that never was: serials from 61 on are one
    // day ahead of a plain count from 31 December 1899.
    QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, days < 61 ? 31 : 30);
    const QString dateText = FormatDate(base.addDays(days));
    const QString timeText = QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("HH:mm:ss"));
    switch (kind) {
    case DateKind::Date:
        return seconds == 0 ? dateText : dateText + QLatin1Char(' ') + timeText;
    case DateKind::Time:
        return days == 0 ? timeText : dateText + QLatin1Char(' ') + timeText;
    default:
        return dateText + QLatin1Char(' ') + timeText;
    }
}

namespace {
quint16 Word(const QByteArray& bytes, qsizetype at) {
    return quint16(quint8(bytes[at])) | quint16(quint8(bytes[at + 1])) << 8;
}
} // namespace

Grid ReadMinimalXls(const QByteArray& bytes, const QString& path, const SpreadsheetLimits& limits) {
    if (bytes.size() > limits.maxUnpackedBytes)
        throw Error(ResStr(rsSheetTooLarge).arg(limits.maxUnpackedBytes), path);
    SheetCells cells(limits, path);
    qsizetype at = 0;
    bool ended = false;
    while (at + 4 <= bytes.size()) {
        const int type = Word(bytes, at);
        const int length = Word(bytes, at + 2);
        const qsizetype data = at + 4;
        if (data + length > bytes.size())
            break;
        if (type == 0x000A) {
            ended = true;
            break;
        }
        if ((type == 0x0204 || type == 0x0203) && length >= 8) {
            const int row = Word(bytes, data) + 1;
            const int col = Word(bytes, data + 2) + 1;
            if (type == 0x0204) {
                const int n = Word(bytes, data + 6);
                if (n > length - 8)
                    break;
                const std::string text(bytes.constData() + data + 8, size_t(n));
                cells.Add(row, col,
                          QString::fromStdString(dbf::ToUtf8(text, dbf::CodePage::Windows1252)));
            } else if (length >= 14) {
                double value = 0;
                std::memcpy(&value, bytes.constData() + data + 6, sizeof value);
                cells.Add(row, col, NumberText(value));
            }
        }
        at = data + length;
    }
    if (!ended)
        throw Error(ResStr(rsXlsUnreadable).arg(QStringLiteral("truncated record file")), path);
    return cells.ToGrid();
}

} // namespace velmora::core::spreadsheet
