#pragma once
// Index key expressions: a field name, SUBSTR(expr,start,length), UPPER(expr), LOWER(expr)
// and concatenation with "+" (UPPERCASE, LOWERCASE and SUBS are accepted as dBase spells
// them too, and so are quoted constants). A key is either character (the concatenation,
// blank padded to a fixed length) or numeric (one numeric field alone).
//
// The expression is compiled once into a list of byte ranges of the record, so computing
// the key of a record is a few copies: building tags over a million records depends on it.

#include "core/dbf/fielddef.h"

#include <string>
#include <vector>

namespace velmora::core::dbf {

class KeyExpression {
public:
    // Throws DbfError (without a file) naming what is wrong: an unknown field, a function
    // with the wrong arguments, a numeric field inside a concatenation, a key over 100 bytes.
    static KeyExpression Compile(const std::string& text, const FieldDefs& fields);

    const std::string& Text() const { return m_text; }
    bool Numeric() const { return m_numeric; }
    // Bytes of a character key.
    int Length() const { return m_length; }

    // Writes the Length() bytes of the character key of a record.
    void CharKey(const char* record, char* out) const;
    // The value of a numeric key; a blank field counts as 0.
    double NumericKey(const char* record) const;

    enum class CaseOp { None, Upper, Lower };
    struct Segment {
        int offset = 0; // into the record; -1 for a constant
        int length = 0;
        std::string constant;
        CaseOp caseOp = CaseOp::None;
    };

private:
    std::string m_text;
    bool m_numeric = false;
    int m_length = 0;
    std::vector<Segment> m_segments;
    FieldDef m_numericField;
};

// Decoders shared with the table: the 4-byte integer of level 7 (big-endian with the sign
// bit flipped; all zero bytes mean blank) and the digits of N and F fields.
bool DecodeInteger(const char* bytes, long long& value);
bool DecodeNumber(const char* bytes, int length, double& value);

} // namespace velmora::core::dbf
