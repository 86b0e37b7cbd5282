#pragma once
// Where everything lies in the two files of a table: the dBase table (.dbf) of level 3/4 or
// level 7, and its production index (.mdx) in the layout TDbf reads and writes. A name
// ending in "At" is the offset of a value from the start of the structure it is listed
// under, one ending in "Size" a length in bytes. The readers and writers of core/dbf address
// the files through these names only.

#include <cstdint>

namespace velmora::core::dbf {

// ============================================================================ table (.dbf)
//
// The header: 32 bytes common to every level (level 7 adds the language driver name), the
// field descriptors, a terminator byte. The records follow, each starting with its mark
// (' ' live, '*' deleted), and then the end-of-file mark.

// Version byte: the level, and whether the table has a memo file.
constexpr std::uint8_t kVersionLevel3 = 0x03; // levels 3 and 4 without memos
constexpr std::uint8_t kVersionLevel3Memo = 0x83;
constexpr std::uint8_t kVersionLevel4Memo = 0x8B;
constexpr std::uint8_t kVersionLevel7 = 0x04;
constexpr std::uint8_t kVersionLevel7Memo = 0x8C;

// Header, every level.
constexpr int kVersionAt = 0;
constexpr int kChangeDateAt = 1;  // 3 bytes: year - 1900 (modulo 256), month, day
constexpr int kRecordCountAt = 4; // uint32
// Version, date of the last change and record count: the bytes that every post rewrites.
constexpr int kPostedPrefixSize = 8;
constexpr int kHeaderLengthAt = 8;  // uint16: the whole header, terminator included
constexpr int kRecordLengthAt = 10; // uint16: the fields and the record mark
constexpr int kIndexFlagAt = 28;    // 1 when the table has a production index
constexpr int kLanguageIdAt = 29;   // the language driver byte of levels 3 and 4
constexpr int kCommonHeaderSize = 32;
// Header, level 7.
constexpr int kDriverNameAt = 32; // the language driver name, NUL-padded
constexpr int kDriverNameSize = 32;

// The fixed part of the header and the field descriptors differ by level.
struct TableLayout {
    int fixedHeaderSize; // the header before the first field descriptor
    int descriptorSize;
    int nameSize;      // the descriptor's name, NUL-padded
    int maxNameLength; // that a created field may have
    int typeAt;        // within a descriptor: the type letter,
    int lengthAt;      // the width,
    int decimalsAt;    // and the decimals
};
constexpr TableLayout kLevel4Layout{32, 32, 11, 10, 11, 16, 17};
constexpr TableLayout kLevel7Layout{68, 48, 32, 31, 32, 33, 34};
constexpr const TableLayout& LayoutOf(bool level7) {
    return level7 ? kLevel7Layout : kLevel4Layout;
}
// Level 3/4 descriptor: uint32, the field's position in the record, or 0 where the writer
// leaves it out.
constexpr int kDisplacementAt = 12;

// Record: the mark, then the fields one after the other in descriptor order.
constexpr int kFirstFieldAt = 1;

constexpr std::uint8_t kDescriptorTerminator = 0x0D;
constexpr char kEndOfFileMark = 0x1A;

// Language drivers: Windows-1252 with the Western European collation ("DBWINWE0" at level 7,
// the byte 0x58 at levels 3 and 4); the DOS code pages by their byte.
inline constexpr char kDriverWinWe[] = "DBWINWE0";
constexpr std::uint8_t kLanguageWinWe = 0x58;
constexpr std::uint8_t kLanguageCp437 = 0x01;
constexpr std::uint8_t kLanguageCp850 = 0x02;

// ============================================================================ index (.mdx)
//
// A file header of 2048 bytes with the tag table, then per tag a header page and the pages of
// its B-tree. Page numbers count 512-byte blocks; a page is 1024 bytes (two blocks).

constexpr int kMdxBlockSize = 512;
constexpr int kMdxPageSize = 1024;
constexpr int kMdxBlocksPerPage = kMdxPageSize / kMdxBlockSize;
constexpr int kMdxHeaderSize = 2048;
constexpr int kMdxFirstPageBlock = kMdxHeaderSize / kMdxBlockSize;
constexpr int kMdxMaxTags = 47;
constexpr int kMdxMaxTagNameLength = 10; // a created tag's name, at every level
constexpr int kMdxMaxKeyLength = 100;

// File header.
constexpr std::uint8_t kMdxVersionLevel4 = 2;
constexpr std::uint8_t kMdxVersionLevel7 = 3;
constexpr int kMdxVersionAt = 0;
constexpr int kMdxCreationDateAt = 1; // 3 bytes, as the table's date
constexpr int kMdxTableNameAt = 4;    // the table's file name without extension, NUL-padded
constexpr int kMdxTableNameSize = 16;
constexpr int kMdxBlocksPerPageAt = 20; // uint16
constexpr int kMdxPageSizeAt = 22;      // uint16, in bytes
constexpr int kMdxProductionAt = 24;    // 1: opened together with its table
constexpr int kMdxTagSlotsAt = 25;      // entries the tag table has room for
constexpr std::uint8_t kMdxTagSlots = 48;
constexpr int kMdxTagStepAt = 26; // bytes from one tag table entry to the next
constexpr int kMdxTagStep = 32;
constexpr int kMdxTagsUsedAt = 28;   // uint16
constexpr int kMdxLanguageIdAt = 31; // the language driver byte
constexpr int kMdxBlockCountAt = 32; // uint32: blocks in the file, the header's included
constexpr int kMdxUpdateDateAt = 44; // 3 bytes
constexpr int kMdxTagFlagAt = 529;   // 1, as every writer leaves it
constexpr int kMdxTagTableAt = 544;

// Tag table entry. The entry is longer than the step at level 7: each entry overlays the
// start of the next slot, and a later entry overlays the tail of the one before.
constexpr int kMdxTagHeaderPageAt = 0; // uint32: the block of the tag's header page
constexpr int kMdxTagNameAt = 4;       // NUL-terminated
struct MdxTagEntryLayout {
    int nameSize;    // the name and its NUL
    int keyFormatAt; // kMdxKeyFromField
    int reservedAt;  // 2, as dBase writes it
    int keyTypeAt;   // 'C', 'N', 'D' or 'F'
    int size;
};
constexpr MdxTagEntryLayout kMdxLevel4Tag{11, 15, 19, 20, 21};
constexpr MdxTagEntryLayout kMdxLevel7Tag{33, 37, 41, 42, 43};
constexpr const MdxTagEntryLayout& MdxTagEntryOf(bool level7) {
    return level7 ? kMdxLevel7Tag : kMdxLevel4Tag;
}
constexpr std::uint8_t kMdxKeyFromField = 0x10; // the key is a field's data, not computed
constexpr std::uint8_t kMdxTagReserved = 2;

// Tag header page.
constexpr int kTagRootPageAt = 0;   // uint32, in blocks
constexpr int kTagBlockCountAt = 4; // uint32: blocks of the header page and the tree
constexpr int kTagKeyFormatAt = 8;
constexpr std::uint8_t kKeyFormatDescending = 0x08;
constexpr std::uint8_t kKeyFormatCharacter = 0x10;
constexpr int kTagKeyTypeAt = 9;
constexpr int kTagKeyLengthAt = 12; // uint16
constexpr int kTagMaxKeysAt = 14;   // uint16: the entries a page has room for
constexpr int kTagEntrySizeAt = 18; // uint16
constexpr int kTagVersionAt = 20;   // uint16
constexpr std::uint16_t kTagVersion = 2;
constexpr int kTagExpressionAt = 24; // the key expression, NUL-terminated
constexpr int kTagExpressionSize = 220;
constexpr int kTagKeyExistsAt = 246;    // 1
constexpr int kTagHeaderReadSize = 256; // the part of the page that a reader needs

// Tree page: a count, an unused uint32, the entries. The slot after a leaf's last entry stays
// zero, which tells a leaf from an inner page.
constexpr int kPageCountAt = 0; // uint32: a leaf's entries; an inner page's entries - 1
constexpr int kPageEntriesAt = 8;
// Entry: a record number (leaf) or a child page (inner page), then the key (the last key of
// the child); the size is rounded up to a multiple of 4.
constexpr int kEntryPointerAt = 0; // uint32
constexpr int kEntryKeyAt = 4;
constexpr int kEntryAlignment = 4;

// Numeric keys: byte 0 is 0x34 plus the decimal exponent; byte 1 the bytes of digits times 8,
// plus 1, plus 0x80 for a negative number; then at most 16 significant digits in BCD, two a
// byte, zero-padded.
constexpr int kMdxNumberSize = 12;
constexpr int kMdxNumberExponentAt = 0;
constexpr std::uint8_t kMdxNumberExponentBias = 0x34;
constexpr int kMdxNumberLengthAt = 1;
constexpr std::uint8_t kMdxNumberNegative = 0x80;
constexpr int kMdxNumberDigitsAt = 2;
constexpr int kMdxNumberMaxDigits = 16;

} // namespace velmora::core::dbf
