#pragma once
// The production index file (.mdx) in the layout TDbf reads and writes (core/dbf/format.h
// names every byte): a 2048-byte file header with the tag table, and per tag a header page
// and a B-tree of 1024-byte pages whose leaves hold (record number, key) entries and whose
// inner entries hold (child page, last key of that child). Page numbers count 512-byte
// blocks. Numeric keys are 12-byte BCD numbers, character keys the key bytes.
//
// Reading takes only the tag definitions: the engine always builds the orders from the
// table data, so a damaged tree can never lose or hide records.

#include "core/dbf/fileio.h"
#include "core/dbf/format.h"
#include "core/dbf/indextag.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora::core::dbf {

struct MdxTagInfo {
    TagDef def;
    bool numeric = false;
};

// Reads the tag table. Throws DbfError naming the file and the fault for anything that is
// not a well-formed index file (too short, unknown version, tag pages outside the file,
// unterminated names or expressions).
std::vector<MdxTagInfo> ReadMdxTags(File& file);

struct MdxTagOut {
    std::string name;
    std::string expression; // as stored (case-insensitive tags already wrapped in UPPER())
    bool descending = false;
    bool numeric = false;
    int keyLength = 0; // character keys
    std::size_t count = 0;
    // Entry i of the order: its record number and its key (keyLength bytes, or a number).
    std::function<std::uint32_t(std::size_t i, char* charKey, double& numKey)> entry;
};

// Writes a whole index file. tableName is the table's file name without folder and
// extension; languageId the dBase language driver byte.
void WriteMdx(File& file, const std::string& tableName, bool level7, std::uint8_t languageId,
              const std::vector<MdxTagOut>& tags);

// The 12-byte key of a number as dBase stores it in an .mdx.
void EncodeMdxNumber(double value, unsigned char out[kMdxNumberSize]);

} // namespace velmora::core::dbf
