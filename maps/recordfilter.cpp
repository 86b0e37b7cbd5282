#include "maps/recordfilter.h"

#include "core/error.h"
#include "core/prompts.h"
#include "core/text/textfile.h"
#include "maps/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <stdexcept>

namespace velmora::maps {

namespace {

// A filter file is a few short lines; anything much larger is no filter file.
constexpr qint64 kMaxFilterFileBytes = 64 * 1024;
constexpr int kMaxGridRows = kMaxFilterRows + 1;

// The Locations fields in the order of the table (core::LocationFields()), each with the
// member that holds it; ID (position 0) is a number and has no text member.
struct LocationField {
    const char* name;
    QString LocationRow::*member;
};
constexpr std::array<LocationField, 19> kFields = {{
    {"ID", nullptr},
    {"LOCATIE", &LocationRow::locatie},
    {"DAG", &LocationRow::dag},
    {"MAAND", &LocationRow::maand},
    {"JAAR", &LocationRow::jaar},
    {"ZUURGRAAD", &LocationRow::zuurgraad},
    {"OPMLOCATIE", &LocationRow::opmLocatie},
    {"COORDX", &LocationRow::coordX},
    {"COORDY", &LocationRow::coordY},
    {"MONSTERSRT", &LocationRow::monstersrt},
    {"ANALIST", &LocationRow::analist},
    {"OWNER", &LocationRow::owner},
    {"LOCCODE", &LocationRow::locCode},
    {"PH", &LocationRow::ph},
    {"GELEIDING", &LocationRow::geleiding},
    {"WATERTEMP", &LocationRow::waterTemp},
    {"WTYPE", &LocationRow::wtype},
    {"HERBARIUM", &LocationRow::herbarium},
    {"AMAAT", &LocationRow::amaat},
}};
constexpr int kIdField = 0;

void Show(const QString& text) {
    core::UserPrompts().Message(text, core::MessageKind::Error);
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// ---- Numbers

struct NumberScan {
    bool ok = false;
    qsizetype failAt = 0; // where reading stopped, when not ok
    double value = 0;
};

// Whether a number a double cannot hold is too large (rather than too small): the decimal
// order of its first non-zero digit plus its exponent. `chars` is what ScanNumber collected:
// an optional "-", digits with at most one ".", an optional "e", sign and digits.
bool Overflows(const char* chars, std::size_t size) {
    std::size_t i = size > 0 && chars[0] == '-' ? 1 : 0;
    long long integerDigits = 0, leadingFractionZeros = 0;
    bool afterPoint = false, nonZeroSeen = false;
    for (; i < size && chars[i] != 'e'; ++i) {
        if (chars[i] == '.') {
            afterPoint = true;
        } else if (!afterPoint) {
            nonZeroSeen = nonZeroSeen || chars[i] != '0';
            if (nonZeroSeen)
                ++integerDigits;
        } else if (!nonZeroSeen) {
            nonZeroSeen = chars[i] != '0';
            if (!nonZeroSeen)
                ++leadingFractionZeros;
        }
    }
    long long exponent = 0;
    bool negative = false;
    if (i < size) {
        ++i;
        if (i < size && (chars[i] == '-' || chars[i] == '+'))
            negative = chars[i++] == '-';
        for (; i < size; ++i)
            exponent = std::min(exponent * 10 + (chars[i] - '0'), 1'000'000'000LL);
    }
    const long long order = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    return order + (negative ? -exponent : exponent) > 0;
}

NumberScan ScanNumber(QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;
    QVarLengthArray<char, 64> chars;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            chars.push_back('-');
        ++i;
    }
    int digits = 0;
    for (; i < n && IsDigit(text[i].unicode()); ++i, ++digits)
        chars.push_back(char(text[i].unicode()));
    if (i < n && text[i] == u'.') {
        chars.push_back('.');
        for (++i; i < n && IsDigit(text[i].unicode()); ++i, ++digits)
            chars.push_back(char(text[i].unicode()));
    }
    if (digits == 0)
        return {false, i, 0};
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        chars.push_back('e');
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            chars.push_back(char(text[i++].unicode()));
        int exponentDigits = 0;
        for (; i < n && IsDigit(text[i].unicode()); ++i, ++exponentDigits)
            chars.push_back(char(text[i].unicode()));
        if (exponentDigits == 0)
            return {false, i, 0};
    }
    if (i != n)
        return {false, i, 0};
    const char* first = chars.data();
    const char* last = first + chars.size();
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        const double magnitude = Overflows(first, std::size_t(chars.size()))
                                     ? std::numeric_limits<double>::infinity()
                                     : 0.0;
        value = chars[0] == '-' ? -magnitude : magnitude;
    } else if (error != std::errc() || end != last) {
        return {false, n, 0};
    }
    return {true, 0, value};
}

// ScanNumber, and once more with the character where it stopped replaced by "."; that
// position in `repairedAt` when the repair made the text read.
std::optional<double> ReadRepaired(QStringView text, qsizetype* repairedAt = nullptr) {
    const NumberScan first = ScanNumber(text);
    if (first.ok)
        return first.value;
    if (first.failAt >= text.size())
        return std::nullopt;
    QVarLengthArray<QChar, 64> repaired(text.begin(), text.end());
    repaired[first.failAt] = u'.';
    const NumberScan second = ScanNumber(QStringView(repaired.data(), repaired.size()));
    if (!second.ok)
        return std::nullopt;
    if (repairedAt)
        *repairedAt = first.failAt;
    return second.value;
}

// ---- Field texts

// The text in lower case as QString::toLower gives it. Texts of Latin-1 characters (nearly
// every field text) are lowered into the buffer; others go through QString into `spill`.
QStringView Lowered(QStringView text, QVarLengthArray<char16_t, 128>& buffer, QString& spill) {
    buffer.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z') {
            c += 32;
        } else if (c >= 0x80) {
            if (c > 0xFF) {
                spill = text.toString().toLower();
                return spill;
            }
            if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // À to Þ, except ×
                c += 32;
        }
        buffer[i] = c;
    }
    return QStringView(buffer.data(), buffer.size());
}

bool IsBlank(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

bool CompareText(FilterOperator op, QStringView field, const QString& value) {
    QVarLengthArray<char16_t, 128> buffer;
    QString spill;
    const QStringView f = Lowered(field, buffer, spill);
    switch (op) {
    case FilterOperator::Begins:
        return f.startsWith(value);
    case FilterOperator::Differs:
        return f != QStringView(value);
    case FilterOperator::Like:
        return f.contains(value);
    case FilterOperator::NotLike:
        return !f.contains(value);
    default:
        return false;
    }
}

bool CompareNumber(FilterOperator op, double f, double v) {
    switch (op) {
    case FilterOperator::AtMost:
        return f <= v;
    case FilterOperator::Less:
        return f < v;
    case FilterOperator::AtLeast:
        return f >= v;
    case FilterOperator::More:
        return f > v;
    default:
        return false;
    }
}

bool Compare(const CompiledFilterRow& row, const LocationRow& location) {
    if (row.field == kIdField) {
        if (IsNumberOperator(row.op))
            return CompareNumber(row.op, double(location.id), row.number);
        std::array<char, 16> digits{};
        const auto end =
            std::to_chars(digits.data(), digits.data() + digits.size(), location.id).ptr;
        std::array<char16_t, 16> text{};
        const std::size_t size = std::size_t(end - digits.data());
        for (std::size_t i = 0; i < size; ++i)
            text[i] = char16_t(digits[i]);
        return CompareText(row.op, QStringView(text.data(), qsizetype(size)), row.value);
    }
    const QString& field = location.*kFields[std::size_t(row.field)].member;
    if (IsTextOperator(row.op))
        return CompareText(row.op, field, row.value);
    if (IsBlank(field))
        return CompareNumber(row.op, 0, row.number);
    // A text that is no number even after the repair gives no comparison that holds.
    const std::optional<double> number = ReadRepaired(field);
    return number && CompareNumber(row.op, *number, row.number);
}

QString CellOrEmpty(const core::Grid& grid, int col, int row) {
    return col < grid.ColCount() ? grid.Cell(col, row) : QString();
}

// ---- Files

bool IsControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString Sanitized(QString text) {
    for (QChar& c : text) {
        if (IsControl(c))
            c = u' ';
    }
    return text;
}

// The file's lines without their line ends (CR LF, LF or CR); a last empty line (after the
// final line end) is dropped.
QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines << text.mid(start, i - start);
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

[[noreturn]] void Refuse(const QString& reason, const QString& path) {
    throw core::Error(reason, path);
}

} // namespace

FilterOperator ParseFilterOperator(QStringView text) {
    const QStringView t = text.trimmed();
    static const std::array<std::pair<QStringView, FilterOperator>, 11> kOperators = {{
        {u"=", FilterOperator::Begins},
        {u"<>", FilterOperator::Differs},
        {u"<=", FilterOperator::AtMost},
        {u"<", FilterOperator::Less},
        {u">=", FilterOperator::AtLeast},
        {u">", FilterOperator::More},
        {u"like", FilterOperator::Like},
        {u"notlike", FilterOperator::NotLike},
        {u"not", FilterOperator::Not},
        {u"or", FilterOperator::Or},
        {u"and", FilterOperator::And},
    }};
    for (const auto& [name, op] : kOperators) {
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return op;
    }
    return FilterOperator::None;
}

bool IsTextOperator(FilterOperator op) {
    return op == FilterOperator::Begins || op == FilterOperator::Differs ||
           op == FilterOperator::Like || op == FilterOperator::NotLike;
}

bool IsNumberOperator(FilterOperator op) {
    return op == FilterOperator::AtMost || op == FilterOperator::Less ||
           op == FilterOperator::AtLeast || op == FilterOperator::More;
}

bool IsLogicOperator(FilterOperator op) {
    return op == FilterOperator::Not || op == FilterOperator::Or || op == FilterOperator::And;
}

std::optional<double> ReadFilterNumber(QStringView text) {
    return ReadRepaired(text);
}

int LocationFieldIndex(QStringView fieldName) {
    const QStringView name = fieldName.trimmed();
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (name.compare(QLatin1String(kFields[i].name), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString LocationFieldText(const LocationRow& location, int field) {
    if (field == kIdField)
        return QString::number(location.id);
    if (field < 0 || field >= int(kFields.size()))
        return {};
    return location.*kFields[std::size_t(field)].member;
}

int ResolveFilterField(QStringView userName, const std::vector<core::FieldNameRow>& fieldNames) {
    const QStringView name = userName.trimmed();
    for (const core::FieldNameRow& row : fieldNames) {
        if (QStringView(row[0]).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return LocationFieldIndex(row[1]);
    }
    return -1;
}

// ---- RecordFilter

bool RecordFilter::Compile(const core::Grid& grid,
                           const std::vector<core::FieldNameRow>& fieldNames) {
    m_rows.clear();
    const int ruleRows = grid.RowCount() - 1;
    if (ruleRows > kMaxFilterRows) {
        Show(ResStr(rsTooManyFilterRows));
        return false;
    }
    std::vector<CompiledFilterRow> rows;
    bool valueRefused = false;
    for (int r = 1; r <= ruleRows; ++r) {
        CompiledFilterRow row;
        const QString fieldText = CellOrEmpty(grid, 0, r).trimmed();
        if (!fieldText.isEmpty()) {
            row.field = ResolveFilterField(fieldText, fieldNames);
            if (row.field < 0) {
                Show(ResStr(rsFilterUnknownField).arg(QString::number(r), fieldText));
                return false;
            }
        }
        row.op = ParseFilterOperator(CellOrEmpty(grid, 1, r));
        if (row.op == FilterOperator::None) {
            Show(ResStr(rsFilterUnknownOperator).arg(r));
            return false;
        }
        row.value = CellOrEmpty(grid, 2, r).toLower().trimmed();
        if (IsNumberOperator(row.op)) {
            qsizetype repairedAt = -1;
            const std::optional<double> number = ReadRepaired(row.value, &repairedAt);
            if (row.value.isEmpty() || !number) {
                Show(ResStr(rsFilterValueNotUsable).arg(r));
                valueRefused = true;
            } else {
                if (repairedAt >= 0)
                    row.value[repairedAt] = u'.';
                row.number = *number;
            }
        }
        if (!valueRefused)
            rows.push_back(std::move(row));
    }
    if (valueRefused)
        return false;
    m_rows = std::move(rows);
    return true;
}

FilterOutcome RecordFilter::Evaluate(const LocationRow& location) const {
    // Every row pushes at most one value, and Compile keeps at most kMaxFilterRows rows.
    std::array<bool, kMaxFilterRows> stack{};
    int top = 0;
    bool error = false;
    auto pop = [&](int r, bool& value) {
        if (top == 0) {
            Show(ResStr(rsFilterStackEmpty).arg(r));
            error = true;
            return false;
        }
        value = stack[std::size_t(--top)];
        return true;
    };
    auto push = [&](bool value) { stack[std::size_t(top++)] = value; };

    const int count = RowCount();
    for (int r = 1; r <= count; ++r) {
        const CompiledFilterRow& row = m_rows[std::size_t(r - 1)];
        switch (row.op) {
        case FilterOperator::Not: {
            bool a = false;
            if (pop(r, a))
                push(!a);
            break;
        }
        case FilterOperator::Or:
        case FilterOperator::And: {
            bool a = false, b = false;
            const bool haveA = pop(r, a);
            const bool haveB = pop(r, b);
            if (haveA && haveB)
                push(row.op == FilterOperator::Or ? a || b : a && b);
            break;
        }
        default:
            if (row.field < 0) {
                // A comparison without a field compares nothing: the run cannot go on.
                Show(ResStr(rsFilterNoField).arg(r));
                error = true;
                push(false);
            } else {
                push(Compare(row, location));
            }
            break;
        }
    }
    bool result = false;
    pop(count + 1, result);
    if (error)
        return FilterOutcome::Error;
    return result ? FilterOutcome::Pass : FilterOutcome::Fail;
}

// ---- The grid

core::Grid NewFilterGrid() {
    core::Grid grid(kFilterGridColumns, 2);
    grid.SetCell(0, 0, ResStr(rsFilterFieldHeader));
    grid.SetCell(1, 0, ResStr(rsFilterOperatorHeader));
    grid.SetCell(2, 0, ResStr(rsFilterValueHeader));
    grid.SetColWidth(0, 68);
    grid.SetColWidth(1, 32);
    grid.SetColWidth(2, 123);
    return grid;
}

bool AddFilterRow(core::Grid& grid) {
    if (grid.RowCount() >= kMaxGridRows) {
        core::UserPrompts().Message(ResStr(rsTooManyFilterRows), core::MessageKind::Warning);
        return false;
    }
    grid.SetRowCount(grid.RowCount() + 1);
    return true;
}

void DeleteFilterRow(core::Grid& grid, int row) {
    if (row < 1 || row >= grid.RowCount())
        return;
    if (grid.RowCount() <= 2) {
        grid.SetRow(row, {});
        return;
    }
    for (int r = row; r + 1 < grid.RowCount(); ++r)
        grid.SetRow(r, grid.Row(r + 1));
    grid.SetRowCount(grid.RowCount() - 1);
}

// ---- Filter files

void SaveFilterFile(const QString& path, const core::Grid& grid) {
    if (grid.RowCount() < 1)
        throw std::invalid_argument("a filter grid holds at least its header row");
    if (grid.RowCount() > kMaxGridRows)
        throw core::Error(ResStr(rsTooManyFilterRows), path);
    QStringList lines;
    lines.reserve(grid.RowCount() + 2);
    lines << Sanitized(QFileInfo(path).fileName()) << QString::number(grid.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r) {
        QString line;
        for (int c = 0; c < kFilterGridColumns; ++c)
            line += Sanitized(CellOrEmpty(grid, c, r)) + u'\t';
        lines << line;
    }
    core::WriteTextLines(path, lines);
}

core::Grid OpenFilterFile(const QString& path, const std::vector<core::FieldNameRow>& fieldNames) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Refuse(file.errorString(), path);
    const QByteArray bytes = file.read(kMaxFilterFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        Refuse(file.errorString(), path);
    if (bytes.size() > kMaxFilterFileBytes)
        Refuse(ResStr(rsFilterFileTooLarge), path);
    const QStringList lines = SplitLines(core::DecodeText(bytes));

    auto checkCharacters = [&](int lineNo) {
        for (const QChar c : lines[lineNo - 1]) {
            if (c != u'\t' && IsControl(c))
                Refuse(ResStr(rsFilterFileBadCharacter).arg(lineNo), path);
        }
    };
    if (!lines.isEmpty())
        checkCharacters(1);
    const QString countText = lines.size() >= 2 ? lines[1].trimmed() : QString();
    bool digitsOnly = !countText.isEmpty() && countText.size() <= 2;
    for (const QChar c : countText)
        digitsOnly = digitsOnly && IsDigit(c.unicode());
    const int count = digitsOnly ? countText.toInt() : 0;
    if (count < 1 || count > kMaxGridRows)
        Refuse(ResStr(rsFilterFileBadRowCount).arg(QStringLiteral("2"), Sanitized(countText)),
               path);

    core::Grid grid(kFilterGridColumns, count);
    for (int r = 0; r < count; ++r) {
        const int lineNo = 3 + r;
        if (lineNo > lines.size())
            Refuse(ResStr(rsFilterFileLineMissing).arg(lineNo).arg(count), path);
        checkCharacters(lineNo);
        const QString& line = lines[lineNo - 1];
        QStringList cells = line.split(u'\t');
        if (cells.size() > 1 && line.endsWith(u'\t'))
            cells.removeLast();
        if (cells.size() > kFilterGridColumns)
            Refuse(ResStr(rsFilterFileTooManyCells).arg(lineNo), path);
        if (r > 0) {
            const QString field = cells[0].trimmed();
            if (!field.isEmpty() && ResolveFilterField(field, fieldNames) < 0)
                Refuse(ResStr(rsFilterFileUnknownField).arg(QString::number(lineNo), field), path);
        }
        grid.SetRow(r, std::move(cells));
    }
    for (qsizetype i = 2 + count; i < lines.size(); ++i) {
        if (!lines[i].trimmed().isEmpty())
            Refuse(ResStr(rsFilterFileExtraRows).arg(i + 1).arg(count), path);
    }
    return grid;
}

} // namespace velmora::maps
