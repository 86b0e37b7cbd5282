// Field values of a record: reading and writing each dBase field type in its record bytes.

#include "core/dbf/coding.h"
#include "core/dbf/dbftable.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora::core::dbf {

namespace {

bool IsBlank(const char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] != ' ' && p[i] != '\0')
            return false;
    return true;
}

std::string_view Trimmed(const char* p, int n, bool left) {
    int begin = 0;
    int end = n;
    while (end > 0 && (p[end - 1] == ' ' || p[end - 1] == '\0'))
        --end;
    if (left)
        while (begin < end && p[begin] == ' ')
            ++begin;
    return {p + begin, static_cast<std::size_t>(end - begin)};
}

} // namespace

void DbfTable::CheckField(int field) const {
    RequireOpen();
    if (field < 0 || field >= static_cast<int>(m_fields.size()))
        throw DbfError(m_path, "no field number " + std::to_string(field));
}

bool DbfTable::IsNull(const char* record, int field) const {
    CheckField(field);
    const FieldDef& f = m_fields[static_cast<std::size_t>(field)];
    const char* p = record + f.offset;
    switch (f.type) {
    case FieldType::Integer:
    case FieldType::AutoIncrement:
    case FieldType::Double:
    case FieldType::Timestamp:
        return std::all_of(p, p + f.length, [](char c) { return c == 0; });
    case FieldType::Logical:
        return *p == ' ' || *p == '?' || *p == 0;
    default:
        return IsBlank(p, f.length);
    }
}

std::string DbfTable::Text(const char* record, int field) const {
    CheckField(field);
    const FieldDef& f = m_fields[static_cast<std::size_t>(field)];
    const char* p = record + f.offset;
    switch (f.type) {
    case FieldType::Character:
        return ToUtf8(Trimmed(p, f.length, false), m_codePage);
    case FieldType::Integer:
    case FieldType::AutoIncrement: {
        long long v = 0;
        return DecodeInteger(p, v) ? std::to_string(v) : std::string();
    }
    case FieldType::Double: {
        if (IsNull(record, field))
            return {};
        std::uint64_t bits = DecodeBe64(p);
        bits = (bits & 0x8000000000000000ull) ? bits ^ 0x8000000000000000ull : ~bits;
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        char text[40];
        std::snprintf(text, sizeof text, "%.15g", v);
        return text;
    }
    case FieldType::Timestamp: {
        std::string hex;
        for (int i = 0; i < 8; ++i)
            hex += HexByte(static_cast<unsigned char>(p[i])).substr(2);
        return hex;
    }
    case FieldType::Logical:
        return IsNull(record, field) ? std::string() : std::string(1, *p);
    default:
        return ToUtf8(Trimmed(p, f.length, true), m_codePage);
    }
}

std::optional<long long> DbfTable::Integer(const char* record, int field) const {
    CheckField(field);
    const FieldDef& f = m_fields[static_cast<std::size_t>(field)];
    const char* p = record + f.offset;
    if (f.type == FieldType::Integer || f.type == FieldType::AutoIncrement) {
        long long v = 0;
        if (!DecodeInteger(p, v))
            return std::nullopt;
        return v;
    }
    const std::string text = Text(record, field);
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    if (t.empty())
        return std::nullopt;
    if (t.front() == '+')
        t.remove_prefix(1);
    long long v = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (error == std::errc() && end == t.data() + t.size())
        return v;
    double d = 0;
    if (f.IsNumeric() && DecodeNumber(p, f.length, d) && d == std::floor(d) && std::fabs(d) < 9e18)
        return static_cast<long long>(d);
    throw DbfError(m_path, "field " + f.name + ": \"" + text + "\" is not a whole number");
}

void DbfTable::SetNull(char* record, int field) const {
    CheckField(field);
    const FieldDef& f = m_fields[static_cast<std::size_t>(field)];
    const bool binary = f.type == FieldType::Integer || f.type == FieldType::AutoIncrement ||
                        f.type == FieldType::Double || f.type == FieldType::Timestamp;
    std::memset(record + f.offset, binary ? 0 : ' ', static_cast<std::size_t>(f.length));
}

void DbfTable::SetInteger(char* record, int field, long long value) const {
    CheckField(field);
    EncodeInteger(record, m_fields[static_cast<std::size_t>(field)], value);
}

void DbfTable::EncodeInteger(char* record, const FieldDef& f, long long value) const {
    char* p = record + f.offset;
    if (f.type == FieldType::Integer || f.type == FieldType::AutoIncrement) {
        // -2^31 would be stored as all zero bytes, which means blank.
        if (value <= -2147483648LL || value > 2147483647LL)
            throw DbfError(m_path,
                           "field " + f.name + ": " + std::to_string(value) + " is out of range");
        EncodeBe32(p, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ 0x80000000u);
        return;
    }
    Encode(record, f, std::to_string(value));
}

void DbfTable::SetText(char* record, int field, std::string_view utf8) const {
    CheckField(field);
    Encode(record, m_fields[static_cast<std::size_t>(field)], utf8);
}

void DbfTable::Encode(char* record, const FieldDef& f, std::string_view utf8) const {
    char* p = record + f.offset;
    const bool binary = f.type == FieldType::Integer || f.type == FieldType::AutoIncrement;
    std::string_view trimmed = utf8;
    while (!trimmed.empty() && trimmed.front() == ' ')
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.remove_suffix(1);
    switch (f.type) {
    case FieldType::Character: {
        const std::string bytes = FromUtf8(utf8, m_codePage);
        const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(f.length));
        std::memcpy(p, bytes.data(), n);
        std::memset(p + n, ' ', static_cast<std::size_t>(f.length) - n);
        return;
    }
    case FieldType::Integer:
    case FieldType::AutoIncrement: {
        if (trimmed.empty()) {
            std::memset(p, binary ? 0 : ' ', static_cast<std::size_t>(f.length));
            return;
        }
        std::string_view digits = trimmed.front() == '+' ? trimmed.substr(1) : trimmed;
        long long v = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (error != std::errc() || end != digits.data() + digits.size())
            throw DbfError(m_path, "field " + f.name + ": \"" + std::string(utf8) +
                                       "\" is not a whole number");
        EncodeInteger(record, f, v);
        return;
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        if (trimmed.empty()) {
            std::memset(p, binary ? 0 : ' ', static_cast<std::size_t>(f.length));
            return;
        }
        double v = 0;
        if (!DecodeNumber(trimmed.data(), static_cast<int>(trimmed.size()), v))
            throw DbfError(m_path,
                           "field " + f.name + ": \"" + std::string(utf8) + "\" is not a number");
        char text[64];
        std::snprintf(text, sizeof text, "%*.*f", f.length, f.decimals, v);
        const std::size_t n = std::strlen(text);
        if (n > static_cast<std::size_t>(f.length))
            throw DbfError(m_path, "field " + f.name + ": " + std::string(utf8) +
                                       " does not fit in " + std::to_string(f.length) +
                                       " positions");
        std::memcpy(p, text, n);
        return;
    }
    case FieldType::Date: {
        if (trimmed.empty()) {
            std::memset(p, binary ? 0 : ' ', static_cast<std::size_t>(f.length));
            return;
        }
        if (trimmed.size() != 8 || !std::all_of(trimmed.begin(), trimmed.end(),
                                                [](char c) { return c >= '0' && c <= '9'; }))
            throw DbfError(m_path, "field " + f.name + ": \"" + std::string(utf8) +
                                       "\" is not a date (YYYYMMDD)");
        std::memcpy(p, trimmed.data(), 8);
        return;
    }
    case FieldType::Logical: {
        const char c =
            trimmed.empty()
                ? ' '
                : static_cast<char>(std::toupper(static_cast<unsigned char>(trimmed[0])));
        if (std::string_view(" TFYN?").find(c) == std::string_view::npos)
            throw DbfError(m_path, "field " + f.name + ": \"" + std::string(utf8) +
                                       "\" is not a logical value");
        *p = c;
        return;
    }
    default:
        throw DbfError(m_path, "field " + f.name + " cannot be written by this program");
    }
}

} // namespace velmora::core::dbf
