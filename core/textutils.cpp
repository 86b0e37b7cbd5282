#include "core/textutils.h"

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

} // namespace velmora::core
