#include "core/grid/gridsort.h"

#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/text/textutils.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <stdexcept>

namespace velmora::core {

namespace {

// One data row of the sort: its key (text or number) and, for rows whose keys are equal, its
// full text. Texts are case-folded once here, so that the comparisons, n log n of them,
// compare plain code units: the same order as CompareText.
struct Entry {
    int row;
    QString key;
    long double number; // numeric sorts only; long double holds every 64-bit integer
    QString rowText;    // only for rows that share their key with another
    QString foldedRowText;
};

enum class KeyKind { Text, Number };

void CheckColumn(const Grid& grid, int column) {
    if (column < 0 || column >= grid.ColCount())
        throw std::out_of_range("sort column " + std::to_string(column) + " outside the grid");
}

// Builds every entry first (a key that cannot be made throws before anything moved), sorts
// them and puts the rows back into rows firstRow..last.
void SortRows(Grid& grid, int firstRow, bool descending, KeyKind kind,
              const std::function<void(int row, Entry& entry)>& makeKey) {
    firstRow = std::max(firstRow, 1);
    const int lastRow = grid.RowCount() - 1;
    if (lastRow - firstRow < 1)
        return;

    std::vector<Entry> entries;
    entries.reserve(lastRow - firstRow + 1);
    for (int row = firstRow; row <= lastRow; ++row) {
        Entry entry{row, QString(), 0, QString(), QString()};
        makeKey(row, entry);
        entry.key = entry.key.toCaseFolded();
        entries.push_back(std::move(entry));
    }

    // First by key; then, within each run of equal keys, by the full row text (folded, then
    // exact) and finally by the row's place. The row texts are made for those runs only.
    auto compareKeys = [kind](const Entry& a, const Entry& b) {
        if (kind == KeyKind::Number)
            return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
        return a.key.compare(b.key);
    };
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int c = compareKeys(a, b);
        return c != 0 ? c < 0 : a.row < b.row;
    });
    for (auto run = entries.begin(); run != entries.end();) {
        auto end = run + 1;
        while (end != entries.end() && compareKeys(*run, *end) == 0)
            ++end;
        if (end - run > 1) {
            for (auto e = run; e != end; ++e) {
                e->rowText = grid.RowText(e->row);
                e->foldedRowText = e->rowText.toCaseFolded();
            }
            std::sort(run, end, [](const Entry& a, const Entry& b) {
                if (int c = a.foldedRowText.compare(b.foldedRowText); c != 0)
                    return c < 0;
                if (int c = a.rowText.compare(b.rowText); c != 0)
                    return c < 0;
                return a.row < b.row;
            });
        }
        run = end;
    }

    std::vector<QStringList> rows;
    rows.reserve(entries.size());
    for (const Entry& entry : entries)
        rows.push_back(grid.Row(entry.row));
    const int count = static_cast<int>(rows.size());
    for (int i = 0; i < count; ++i)
        grid.SetRow(descending ? lastRow - i : firstRow + i, std::move(rows[i]));
}

void SortByJoinedCells(Grid& grid, const std::vector<int>& columns, bool trim, int firstRow,
                       bool descending) {
    for (int column : columns)
        CheckColumn(grid, column);
    SortRows(grid, firstRow, descending, KeyKind::Text, [&](int row, Entry& entry) {
        for (int column : columns) {
            const QString& cell = grid.Cell(column, row);
            entry.key += trim ? cell.trimmed() : cell;
        }
    });
}

QString ZeroIfEmpty(const QString& cell) {
    QString text = cell.trimmed();
    return text.isEmpty() ? QStringLiteral("0") : text;
}

qint64 IntegerValue(const QString& cell) {
    QString text = ZeroIfEmpty(cell);
    QString digits = text.startsWith(QLatin1Char('+')) ? text.mid(1) : text;
    bool ok = false;
    qint64 value = IsInteger(digits) ? digits.toLongLong(&ok) : 0;
    if (!ok)
        throw Error(ResStr(rsNotANumber).arg(cell));
    return value;
}

// The decimal key as sign, integer digits and one decimal digit.
struct RoundedDecimal {
    bool negative = false;
    QString integerDigits;
    int tenth = 0;
};

RoundedDecimal RoundDecimal(const QString& cell) {
    QString text = ZeroIfEmpty(cell);
    qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0)
        text[point] = QLatin1Char(',');
    const double value = ParseNumber(text);

    // Round on the decimal digits as written (15 significant digits), not on the binary
    // value, so that 12.25 rounds up like the text says it should.
    RoundedDecimal result;
    result.negative = value < 0;
    const QString scientific = QString::number(std::abs(value), 'e', 14); // d.dddde+XX
    QString digits = scientific.left(1) + scientific.mid(2, 14);
    int exponent = scientific.mid(scientific.indexOf(QLatin1Char('e')) + 1).toInt();
    if (value == 0) {
        result.negative = false;
        result.integerDigits = QStringLiteral("0");
        return result;
    }
    // 4 significant digits, halves away from zero.
    qint64 mantissa = digits.left(4).toLongLong();
    if (digits[4] >= QLatin1Char('5'))
        ++mantissa;
    if (mantissa == 10000) {
        mantissa = 1000;
        ++exponent;
    }
    // mantissa * 10^(exponent - 3) is the value; now one decimal.
    if (exponent >= 3) {
        result.integerDigits = QString::number(mantissa) + QString(exponent - 3, QLatin1Char('0'));
    } else if (exponent == 2) {
        result.integerDigits = QString::number(mantissa / 10);
        result.tenth = static_cast<int>(mantissa % 10);
    } else {
        const int shift = 2 - exponent; // mantissa / 10^shift tenths
        qint64 tenths = 0;
        if (shift <= 4) {
            qint64 divisor = 1;
            for (int i = 0; i < shift; ++i)
                divisor *= 10;
            tenths = (mantissa + divisor / 2) / divisor;
        }
        result.integerDigits = QString::number(tenths / 10);
        result.tenth = static_cast<int>(tenths % 10);
    }
    if (result.integerDigits == QLatin1String("0") && result.tenth == 0)
        result.negative = false;
    return result;
}

} // namespace

QString IntegerSortKey(const QString& cell) {
    const qint64 value = IntegerValue(cell);
    const QString digits =
        QString::number(value < 0 ? -static_cast<quint64>(value) : static_cast<quint64>(value));
    return (value < 0 ? QStringLiteral("-") : QString()) + LeftPadZeros(digits, 6);
}

double DecimalSortValue(const QString& cell) {
    const RoundedDecimal d = RoundDecimal(cell);
    const double magnitude =
        (d.integerDigits + QLatin1Char('.') + QString::number(d.tenth)).toDouble();
    return d.negative ? -magnitude : magnitude;
}

QString DecimalSortKey(const QString& cell) {
    const RoundedDecimal d = RoundDecimal(cell);
    const QString text = d.integerDigits + QLatin1Char(',') + QString::number(d.tenth);
    return (d.negative ? QStringLiteral("-") : QString()) + LeftPadZeros(text, 6);
}

void SortGridByText(Grid& grid, int column, bool descending) {
    SortByJoinedCells(grid, {column}, false, 1, descending);
}

void SortGridByTextFrom(Grid& grid, int column, int firstRow) {
    SortByJoinedCells(grid, {column}, false, firstRow, false);
}

void SortGridByTwoColumns(Grid& grid, int column1, int column2, bool descending) {
    SortByJoinedCells(grid, {column1, column2}, true, 1, descending);
}

void SortGridBySevenColumns(Grid& grid, const std::array<int, 7>& columns) {
    SortByJoinedCells(grid, std::vector<int>(columns.begin(), columns.end()), true, 1, false);
}

void SortGridByColumns(Grid& grid, const QList<int>& columns, int firstRow) {
    std::vector<int> used;
    for (int column : columns) {
        if (column > 0)
            used.push_back(column);
    }
    SortByJoinedCells(grid, used, false, firstRow, false);
}

void SortGridByInteger(Grid& grid, int column, bool descending) {
    CheckColumn(grid, column);
    SortRows(grid, 1, descending, KeyKind::Number, [&](int row, Entry& entry) {
        entry.number = static_cast<long double>(IntegerValue(grid.Cell(column, row)));
    });
}

void SortGridByDecimal(Grid& grid, int column, bool descending) {
    CheckColumn(grid, column);
    SortRows(grid, 1, descending, KeyKind::Number, [&](int row, Entry& entry) {
        entry.number = DecimalSortValue(grid.Cell(column, row));
    });
}

} // namespace velmora::core
