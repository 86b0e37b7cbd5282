#pragma once
// One index tag in memory: its definition, its compiled key and the record numbers of the
// table in key order. Deleted records stay in the order (as in dBase); cursors skip them.
//
// The order is a sorted array of record numbers, not a B-tree: a tag over a million records
// is built by sorting (key prefix, record number) pairs and kept current by binary-search
// insert and erase. Appends are collected and merged the next time the order is asked for,
// so bulk appends stay linear. Ties between equal keys are ordered by record number, also
// in descending tags (that is the order TDbf gives when it regenerates a tag).
//
// Invariant after Settle(): m_order holds every record number 1..count exactly once, sorted
// by (key, record number) with the key order reversed for descending tags.

#include "core/dbf/collation.h"
#include "core/dbf/keyexpression.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::core::dbf {

struct TagDef {
    std::string name;
    std::string expression;
    bool descending = false;
    // Asked for by the program for its name and date tags. The index file has no place for
    // it and TDbf ignores it: the order of character keys is the collation of the table's
    // language driver, which for DBWINWE0 puts the lower and upper case of each letter side
    // by side ("closterium" just before "Closterium"). Wrapping the key in UPPER() instead
    // is not an option: TDbf fails on such an index. So the flag changes no order; tables
    // then sort exactly as TDbf and the earlier program sorted them.
    bool caseInsensitive = false;
};

// The records of the table as the tag sees them: fixed-length records, the first
// mappedCount in the mapped table file, the rest (appended since) in memory.
struct RecordView {
    const char* mapped = nullptr;
    std::uint32_t mappedCount = 0;
    const char* base = nullptr;
    int length = 0;
    std::uint32_t count = 0;
    const char* Record(std::uint32_t recNo) const {
        return recNo <= mappedCount
                   ? mapped + std::size_t(recNo - 1) * std::size_t(length)
                   : base + std::size_t(recNo - 1 - mappedCount) * std::size_t(length);
    }
};

class IndexTag {
public:
    IndexTag(TagDef def, KeyExpression key, Collation collation);

    const TagDef& Def() const { return m_def; }
    const KeyExpression& Key() const { return m_key; }

    void Build(const RecordView& records);
    // A record was appended: merged into the order later.
    void Appended(std::uint32_t recNo) { Queue(recNo); }
    // Before a record changes: true when its key changes (then Remove/Insert are needed).
    bool KeyDiffers(const char* before, const char* after) const;
    // A record's key changes: Remove before, Insert after. Both are deferred to the next time
    // the order is asked for, so that a long run of edits (rewriting the square codes of a
    // million samples) costs one pass over the order instead of one per edit.
    void Remove(const RecordView& records, std::uint32_t recNo, const char* oldRecord);
    void Insert(const RecordView& records, std::uint32_t recNo);
    // The table dropped records and numbered the others anew, keeping their sequence:
    // newNumber[old] is the new number, 0 for a dropped record. REQUIRES Settled(). The
    // order (and its runs of keys) follows without reading a key: ties stay in record order.
    void Renumber(const std::vector<std::uint32_t>& newNumber);
    // Merges pending appends; returns the order.
    const std::vector<std::uint32_t>& Order(const RecordView& records);
    bool Settled() const { return m_pending.empty() && m_staleCount == 0; }

    // Comparison of two records under this tag: <0, 0, >0 (record numbers break ties).
    int Compare(const char* a, std::uint32_t recA, const char* b, std::uint32_t recB) const;
    // Comparison of a record's key with a search key of the same form (no tie break).
    int CompareKey(const char* record, const std::string& charKey, double numKey) const;
    // The key of a record as stored in the index file (character key bytes, or the value).
    std::string CharKeyOf(const char* record) const;
    double NumKeyOf(const char* record) const { return m_key.NumericKey(record); }

    // First position in the order whose key is not below the search key.
    std::size_t LowerBound(const RecordView& records, const std::string& charKey, double numKey);

    // The keys of the settled order as runs of equal keys, when the order was built from
    // distinct keys and has not changed since: run k covers positions [end of run k - 1,
    // RunEnd(k)) and its key is RunCharKey(k) (Key().Length() bytes) or RunNumKey(k). The
    // index file writer then reads no record. RunCount() is 0 when there are no runs.
    std::size_t RunCount() const { return Settled() ? m_runEnds.size() : 0; }
    std::uint32_t RunEnd(std::size_t run) const { return m_runEnds[run]; }
    const char* RunCharKey(std::size_t run) const { return m_runKeys.data() + run * m_runWidth; }
    double RunNumKey(std::size_t run) const;

private:
    int CompareKeysOnly(const char* a, const char* b) const;
    void Settle(const RecordView& records);
    bool BuildFromDistinctKeys(const RecordView& records);
    void Queue(std::uint32_t recNo);
    void ClearDeferred();
    void ForgetRuns();

    TagDef m_def;
    KeyExpression m_key;
    const std::uint8_t* m_weights;
    std::vector<std::uint32_t> m_order;
    std::vector<std::uint32_t> m_pending; // records to merge into the order (each once)
    std::vector<bool> m_queued;           // by record number: in m_pending
    std::vector<bool> m_stale;            // by record number: its entry in m_order is void
    std::size_t m_staleCount = 0;
    std::vector<char> m_runKeys; // see RunCount()
    std::vector<std::uint32_t> m_runEnds;
    std::size_t m_runWidth = 0;
};

} // namespace velmora::core::dbf
