#include "support/languagevalue.h"

namespace velmora::support {

namespace {
constexpr QChar kQuote = QLatin1Char('\'');
constexpr QChar kHash = QLatin1Char('#');

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView TrimBlanks(QStringView text) {
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    return text;
}

// Appends the character with the given code; false when there is no such character.
bool AppendCode(QString& out, QStringView digits) {
    char32_t code = 0;
    for (QChar c : digits) {
        code = code * 10 + char32_t(c.unicode() - '0');
        if (code > 0x10FFFF)
            return false;
    }
    if (QChar::requiresSurrogates(code)) {
        out += QChar(QChar::highSurrogate(code));
        out += QChar(QChar::lowSurrogate(code));
    } else {
        out += QChar(char16_t(code));
    }
    return true;
}
} // namespace

std::optional<QString> DecodeQuotedValue(QStringView value) {
    QString result;
    QString line;
    value = TrimBlanks(value);
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        if (c == kQuote) {
            ++i;
            for (;;) {
                if (i >= value.size())
                    return std::nullopt; // unterminated quote
                if (value[i] == kQuote) {
                    if (i + 1 < value.size() && value[i + 1] == kQuote) {
                        line += kQuote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                line += value[i++];
            }
        } else if (c == kHash) {
            qsizetype end = ++i;
            while (end < value.size() && value[end] != kQuote && value[end] != kHash)
                ++end;
            const QStringView digits = value.mid(i, end - i);
            for (QChar d : digits) {
                if (!d.isDigit() || d.unicode() > '9')
                    return std::nullopt;
            }
            if (!digits.isEmpty() && !AppendCode(line, digits))
                return std::nullopt;
            i = end;
        } else {
            // Anything else between the pieces ends a line; the rest starts afresh.
            result += line;
            result += QLatin1Char('\r');
            line.clear();
            value = TrimBlanks(value.mid(i + 1));
            i = 0;
        }
    }
    result += line;
    return result;
}

QString DecodeHumanizedValue(QString value, const QString& crMarker, const QString& crlfMarker,
                             ValueContext context) {
    const QString cr = QStringLiteral("\r");
    const QString crlf = QStringLiteral("\r\n");
    if (crMarker == crlfMarker) {
        if (!crMarker.isEmpty())
            value.replace(crMarker, context == ValueContext::Form ? cr : crlf);
        return value;
    }
    if (!crMarker.isEmpty())
        value.replace(crMarker, cr);
    if (!crlfMarker.isEmpty())
        value.replace(crlfMarker, crlf);
    return value;
}

} // namespace velmora::support
