#pragma once
// The definition of one field of a dBase table, as it is given when a table is created and
// as it is read from a table's header.

#include <string>
#include <vector>

namespace velmora::core::dbf {

// Field types by their letter in the field descriptor.
enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Date = 'D',
    Logical = 'L',
    Integer = 'I', // 4-byte integer of table level 7
    Memo = 'M',    // block number into a memo file; read as its digits
    Double = 'O',
    Timestamp = '@',
    AutoIncrement = '+',
};

struct FieldDef {
    std::string name; // upper case as stored; names are matched without regard to case
    FieldType type = FieldType::Character;
    int length = 0;
    int decimals = 0;
    bool required = false; // a required field refuses a blank value at post
    int offset = 0;        // byte position in the record (the deleted mark is byte 0)

    bool IsNumeric() const {
        return type == FieldType::Numeric || type == FieldType::Float ||
               type == FieldType::Integer || type == FieldType::AutoIncrement ||
               type == FieldType::Double;
    }
};

inline FieldDef TextField(std::string name, int width, bool required = false) {
    return FieldDef{std::move(name), FieldType::Character, width, 0, required, 0};
}
inline FieldDef IntegerField(std::string name, bool required = false) {
    return FieldDef{std::move(name), FieldType::Integer, 4, 0, required, 0};
}

using FieldDefs = std::vector<FieldDef>;

} // namespace velmora::core::dbf
