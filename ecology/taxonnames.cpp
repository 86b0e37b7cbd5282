#include "ecology/taxonnames.h"

#include "ecology/messages.h"

namespace velmora::ecology {

QString CollapseDoubleBlanks(const QString& text) {
    if (!text.contains(QLatin1String("  ")))
        return text; // the common case: nothing to collapse, no copy
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == QLatin1Char(' ') && i + 1 < text.size() && text[i + 1] == QLatin1Char(' '))
            ++i; // the pair's second blank is dropped; the scan goes on after it
    }
    return out;
}

namespace {
// Trims blanks and control characters (everything up to U+0020) at both ends.
QString TrimControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// Index of the second blank, or -1.
qsizetype SecondBlank(const QString& text) {
    const qsizetype first = text.indexOf(QLatin1Char(' '));
    if (first < 0)
        return -1;
    return text.indexOf(QLatin1Char(' '), first + 1);
}
} // namespace

QString SpeciesName(const QString& name) {
    QString text = CollapseDoubleBlanks(name);
    const qsizetype second = SecondBlank(text);
    if (second >= 0)
        text.truncate(second);
    return TrimControls(text);
}

QString TaxonInfoKey(const QString& name) {
    const qsizetype second = SecondBlank(name);
    return second >= 0 ? name.left(second) : name;
}

bool IsUncertainName(const QString& name) {
    return name.contains(QLatin1Char('?')) || name.contains(QLatin1String(" sp ")) ||
           name.contains(QLatin1String(" sp.")) || name.contains(QLatin1String(" spec."));
}

bool IsNoDesmidsName(const QString& name) {
    return name == QLatin1String("Geen sieralgen") || name == QLatin1String("No Desmids") ||
           name == ResStr(rsNoDesmids);
}

QString FoldCase(const QString& text) {
    const qsizetype n = text.size();
    const QChar* in = text.constData();
    qsizetype i = 0;
    while (i < n && in[i].unicode() < 0x80 && !(in[i].unicode() >= 'A' && in[i].unicode() <= 'Z'))
        ++i;
    if (i == n)
        return text; // already folded: shares the text
    for (qsizetype k = i; k < n; ++k)
        if (in[k].unicode() >= 0x80)
            return text.toCaseFolded();
    return LowerAsciiLetters(text);
}

QString LowerAsciiLetters(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return out;
}

std::pair<QString, QString> SplitInfo(const QString& desmidInfo) {
    const qsizetype hash = desmidInfo.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return {desmidInfo, QString()};
    return {desmidInfo.left(hash).trimmed(), desmidInfo.mid(hash + 1, 100).trimmed()};
}

} // namespace velmora::ecology
