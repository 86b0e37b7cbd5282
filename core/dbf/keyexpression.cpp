#include "core/dbf/keyexpression.h"

#include "core/dbf/coding.h"
#include "core/dbf/collation.h"
#include "core/dbf/dbferror.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace velmora::core::dbf {

namespace {

constexpr int kMaxKeyLength = 100;

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct Value {
    bool numeric = false;
    FieldDef field; // when numeric
    std::vector<KeyExpression::Segment> segments;
};

class Parser {
public:
    Parser(const std::string& text, const FieldDefs& fields) : m_text(text), m_fields(fields) {}

    Value Parse() {
        Value v = Concatenation();
        SkipBlanks();
        if (m_pos != m_text.size())
            Fail("unexpected '" + m_text.substr(m_pos, 1) + "'");
        return v;
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        throw DbfError({}, "key expression \"" + m_text + "\": " + what);
    }

    void SkipBlanks() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }

    bool Accept(char c) {
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void Expect(char c) {
        if (!Accept(c))
            Fail(std::string("'") + c + "' expected");
    }

    Value Concatenation() {
        Value v = Term();
        while (Accept('+')) {
            Value next = Term();
            if (v.numeric || next.numeric)
                Fail("a numeric field cannot be joined with '+'");
            v.segments.insert(v.segments.end(), next.segments.begin(), next.segments.end());
        }
        return v;
    }

    int Integer() {
        SkipBlanks();
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        if (start == m_pos || m_pos - start > 4)
            Fail("a number expected");
        return std::atoi(m_text.substr(start, m_pos - start).c_str());
    }

    Value Term() {
        SkipBlanks();
        if (m_pos >= m_text.size())
            Fail("unexpected end");
        const char c = m_text[m_pos];
        if (c == '(') {
            ++m_pos;
            Value v = Concatenation();
            Expect(')');
            return v;
        }
        if (c == '\'' || c == '"') {
            const std::size_t end = m_text.find(c, m_pos + 1);
            if (end == std::string::npos)
                Fail("unterminated text constant");
            KeyExpression::Segment s;
            s.offset = -1;
            s.constant = m_text.substr(m_pos + 1, end - m_pos - 1);
            s.length = static_cast<int>(s.constant.size());
            m_pos = end + 1;
            Value v;
            v.segments.push_back(s);
            return v;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() &&
               (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_'))
            ++m_pos;
        if (start == m_pos)
            Fail("unexpected '" + std::string(1, c) + "'");
        const std::string name = Upper(m_text.substr(start, m_pos - start));
        if (Accept('('))
            return Function(name);
        for (const FieldDef& f : m_fields) {
            if (Upper(f.name) != name)
                continue;
            Value v;
            if (f.IsNumeric()) {
                v.numeric = true;
                v.field = f;
            } else {
                KeyExpression::Segment s;
                s.offset = f.offset;
                s.length = f.length;
                v.segments.push_back(s);
            }
            return v;
        }
        Fail("no field " + name);
    }

    Value Function(const std::string& name) {
        if (name == "UPPER" || name == "UPPERCASE" || name == "LOWER" || name == "LOWERCASE") {
            Value v = Concatenation();
            Expect(')');
            if (v.numeric)
                Fail(name + " needs text");
            const auto op =
                name[0] == 'U' ? KeyExpression::CaseOp::Upper : KeyExpression::CaseOp::Lower;
            for (auto& s : v.segments)
                s.caseOp = op; // the outer function decides
            return v;
        }
        if (name == "SUBSTR" || name == "SUBS") {
            Value v = Concatenation();
            Expect(',');
            const int start = Integer();
            Expect(',');
            const int length = Integer();
            Expect(')');
            if (v.numeric)
                Fail("SUBSTR needs text");
            if (start < 1 || length < 0)
                Fail("SUBSTR start must be 1 or more");
            return Slice(v, start - 1, length);
        }
        Fail("unknown function " + name);
    }

    static Value Slice(const Value& v, int from, int length) {
        Value out;
        int pos = 0;
        const int to = from + length;
        for (const auto& s : v.segments) {
            const int begin = std::max(pos, from);
            const int end = std::min(pos + s.length, to);
            if (begin < end) {
                KeyExpression::Segment part = s;
                const int skip = begin - pos;
                part.length = end - begin;
                if (s.offset >= 0)
                    part.offset = s.offset + skip;
                else
                    part.constant = s.constant.substr(static_cast<std::size_t>(skip),
                                                      static_cast<std::size_t>(part.length));
                out.segments.push_back(part);
            }
            pos += s.length;
        }
        return out;
    }

    const std::string& m_text;
    const FieldDefs& m_fields;
    std::size_t m_pos = 0;
};

} // namespace

KeyExpression KeyExpression::Compile(const std::string& text, const FieldDefs& fields) {
    Parser parser(text, fields);
    Value v = parser.Parse();
    KeyExpression e;
    e.m_text = text;
    e.m_numeric = v.numeric;
    if (v.numeric) {
        e.m_numericField = v.field;
        e.m_length = 12;
        return e;
    }
    for (auto& s : v.segments) {
        if (s.length == 0)
            continue;
        // Merge neighbouring ranges of the record: fewer copies per key.
        if (!e.m_segments.empty()) {
            Segment& last = e.m_segments.back();
            if (last.offset >= 0 && s.offset == last.offset + last.length &&
                s.caseOp == last.caseOp) {
                last.length += s.length;
                e.m_length += s.length;
                continue;
            }
        }
        e.m_length += s.length;
        e.m_segments.push_back(std::move(s));
    }
    if (e.m_length == 0)
        throw DbfError({}, "key expression \"" + text + "\" is empty");
    if (e.m_length > kMaxKeyLength)
        throw DbfError({}, "key expression \"" + text + "\" is longer than 100 characters");
    return e;
}

void KeyExpression::CharKey(const char* record, char* out) const {
    for (const Segment& s : m_segments) {
        const char* src = s.offset >= 0 ? record + s.offset : s.constant.data();
        switch (s.caseOp) {
        case CaseOp::None:
            std::memcpy(out, src, static_cast<std::size_t>(s.length));
            break;
        case CaseOp::Upper:
            for (int i = 0; i < s.length; ++i)
                out[i] = UpperCp1252(src[i]);
            break;
        case CaseOp::Lower:
            for (int i = 0; i < s.length; ++i)
                out[i] = LowerCp1252(src[i]);
            break;
        }
        out += s.length;
    }
}

double KeyExpression::NumericKey(const char* record) const {
    const char* bytes = record + m_numericField.offset;
    if (m_numericField.type == FieldType::Integer ||
        m_numericField.type == FieldType::AutoIncrement) {
        long long v = 0;
        return DecodeInteger(bytes, v) ? static_cast<double>(v) : 0.0;
    }
    double v = 0;
    return DecodeNumber(bytes, m_numericField.length, v) ? v : 0.0;
}

bool DecodeInteger(const char* bytes, long long& value) {
    const std::uint32_t raw = DecodeBe32(bytes);
    if (raw == 0)
        return false;
    value = static_cast<std::int32_t>(raw ^ 0x80000000u);
    return true;
}

bool DecodeNumber(const char* bytes, int length, double& value) {
    int begin = 0;
    int end = length;
    while (begin < end && (bytes[begin] == ' ' || bytes[begin] == '\0'))
        ++begin;
    while (end > begin && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
        --end;
    if (begin == end)
        return false;
    std::string text(bytes + begin, static_cast<std::size_t>(end - begin));
    std::replace(text.begin(), text.end(), ',', '.');
    const char* first = text.data();
    if (*first == '+')
        ++first;
    // from_chars ignores the C locale, which Qt sets from the environment.
    const auto [stop, error] = std::from_chars(first, text.data() + text.size(), value);
    return error == std::errc() && stop == text.data() + text.size();
}

} // namespace velmora::core::dbf
