#include "core/text/textutils.h"

#include "core/error.h"
#include "core/resourcestrings.h"

#include <cmath>

namespace velmora::core {

namespace {
QChar& Separator() {
    static QChar separator = QLatin1Char('.');
    return separator;
}
} // namespace

QChar DecimalSeparator() {
    return Separator();
}
void SetDecimalSeparator(QChar separator) {
    Separator() = separator;
}

double ParseNumber(const QString& text) {
    QString t = text.trimmed();
    if (t.contains(QLatin1Char(',')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    // Only plain decimal notation: digits with at most one separator and an optional sign,
    // optionally followed by an exponent, as the conversion of typed numbers accepts.
    double value = 0;
    if (!t.isEmpty() && !t.contains(QLatin1Char(' ')))
        value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw Error(ResStr(rsNotANumber).arg(text));
    return value;
}

QString FormatDecimal(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (Separator() != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), Separator());
    return text;
}

QString FormatDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString LeftPadZeros(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), QLatin1Char('0')) + text;
}

namespace {
bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
} // namespace

bool IsInteger(const QString& text) {
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i]))
            return false;
    }
    return true;
}

bool IsDecimalNumber(const QString& text) {
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    int digits = 0;
    int separators = 0;
    for (; i < text.size(); ++i) {
        QChar c = text[i];
        if (IsAsciiDigit(c))
            ++digits;
        else if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            ++separators;
        else
            return false;
    }
    return digits > 0 && separators <= 1;
}

namespace {
int DatePart(const QString& part, const QString& whole) {
    QString t = part.trimmed();
    bool ok = false;
    int value = IsInteger(t) ? t.toInt(&ok) : 0;
    if (!ok)
        throw Error(ResStr(rsNotANumber).arg(whole));
    return value;
}

QString TwoDigits(const QString& part) {
    QString t = part.trimmed();
    return t.size() == 1 ? QLatin1Char('0') + t : t;
}
} // namespace

DashedDate ParseDashedDate(const QString& text) {
    QString date = text.trimmed();
    qsizetype blank = date.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        date.truncate(blank);
    qsizetype dash1 = date.indexOf(QLatin1Char('-'));
    qsizetype dash2 = dash1 < 0 ? -1 : date.indexOf(QLatin1Char('-'), dash1 + 1);
    if (dash2 < 0)
        throw Error(ResStr(rsNotANumber).arg(text));
    QString first = date.left(dash1);
    QString monthText = date.mid(dash1 + 1, dash2 - dash1 - 1);
    QString last = date.mid(dash2 + 1);

    DashedDate result;
    int firstValue = DatePart(first, text);
    result.month = DatePart(monthText, text);
    int lastValue = DatePart(last, text);
    QString dayText;
    QString yearText;
    if (firstValue < 32) {
        result.day = firstValue;
        result.year = lastValue;
        dayText = TwoDigits(first);
        yearText = last.trimmed();
    } else {
        result.year = firstValue;
        result.day = lastValue;
        yearText = first.trimmed();
        dayText = TwoDigits(last);
    }
    result.text = yearText + QLatin1Char('-') + TwoDigits(monthText) + QLatin1Char('-') + dayText;
    return result;
}

int CompareText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive);
}

} // namespace velmora::core
