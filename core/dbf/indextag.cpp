#include "core/dbf/indextag.h"

#include <algorithm>
#include <cstring>

namespace velmora::core::dbf {

namespace {

struct SortItem {
    std::uint64_t hi;
    std::uint64_t lo;
    std::uint32_t recNo;
};

std::uint64_t OrderedBits(double v) {
    std::uint64_t bits = 0;
    if (v == 0)
        v = 0; // -0 sorts as 0
    std::memcpy(&bits, &v, sizeof bits);
    return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

double FromOrderedBits(std::uint64_t bits) {
    bits = (bits & 0x8000000000000000ull) ? bits & ~0x8000000000000000ull : ~bits;
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

} // namespace

IndexTag::IndexTag(TagDef def, KeyExpression key, Collation collation)
    : m_def(std::move(def)), m_key(std::move(key)), m_weights(CollationWeights(collation).data()) {}

std::string IndexTag::CharKeyOf(const char* record) const {
    std::string key(static_cast<std::size_t>(m_key.Length()), ' ');
    m_key.CharKey(record, key.data());
    return key;
}

int IndexTag::CompareKeysOnly(const char* a, const char* b) const {
    int result = 0;
    if (m_key.Numeric()) {
        const double x = m_key.NumericKey(a);
        const double y = m_key.NumericKey(b);
        result = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        char ka[128];
        char kb[128];
        m_key.CharKey(a, ka);
        m_key.CharKey(b, kb);
        for (int i = 0; i < m_key.Length(); ++i) {
            const int wa = m_weights[static_cast<unsigned char>(ka[i])];
            const int wb = m_weights[static_cast<unsigned char>(kb[i])];
            if (wa != wb) {
                result = wa < wb ? -1 : 1;
                break;
            }
        }
    }
    return m_def.descending ? -result : result;
}

int IndexTag::Compare(const char* a, std::uint32_t recA, const char* b, std::uint32_t recB) const {
    const int c = CompareKeysOnly(a, b);
    if (c != 0)
        return c;
    return recA < recB ? -1 : (recA > recB ? 1 : 0);
}

int IndexTag::CompareKey(const char* record, const std::string& charKey, double numKey) const {
    int result = 0;
    if (m_key.Numeric()) {
        const double x = m_key.NumericKey(record);
        result = x < numKey ? -1 : (x > numKey ? 1 : 0);
    } else {
        char k[128];
        m_key.CharKey(record, k);
        const std::size_t n =
            std::min<std::size_t>(charKey.size(), static_cast<std::size_t>(m_key.Length()));
        for (std::size_t i = 0; i < n; ++i) {
            const int wa = m_weights[static_cast<unsigned char>(k[i])];
            const int wb = m_weights[static_cast<unsigned char>(charKey[i])];
            if (wa != wb) {
                result = wa < wb ? -1 : 1;
                break;
            }
        }
    }
    return m_def.descending ? -result : result;
}

bool IndexTag::KeyDiffers(const char* before, const char* after) const {
    if (m_key.Numeric())
        return m_key.NumericKey(before) != m_key.NumericKey(after);
    char ka[128];
    char kb[128];
    m_key.CharKey(before, ka);
    m_key.CharKey(after, kb);
    return std::memcmp(ka, kb, static_cast<std::size_t>(m_key.Length())) != 0;
}

namespace {

// Sorts items[begin, end) by (hi, lo, recNo).
void SortItems(std::vector<SortItem>& items, std::size_t begin, std::size_t end) {
    std::sort(items.begin() + static_cast<std::ptrdiff_t>(begin),
              items.begin() + static_cast<std::ptrdiff_t>(end),
              [](const SortItem& a, const SortItem& b) {
                  if (a.hi != b.hi)
                      return a.hi < b.hi;
                  if (a.lo != b.lo)
                      return a.lo < b.lo;
                  return a.recNo < b.recNo;
              });
}

} // namespace

bool IndexTag::BuildFromDistinctKeys(const RecordView& records) {
    // Most tags of a large table have few distinct keys (taxon names, location numbers,
    // square codes): give each distinct key an id through a hash table, sort the distinct
    // keys, and place the records by a counting sort, which keeps them in record order
    // within one key. Gives up (false) when keys are mostly distinct.
    const std::uint32_t n = records.count;
    const std::size_t limit = std::max<std::size_t>(1024, n / 8);
    const std::size_t width =
        m_key.Numeric() ? sizeof(std::uint64_t) : static_cast<std::size_t>(m_key.Length());
    std::size_t slots = 1;
    while (slots < limit * 2)
        slots <<= 1;
    std::vector<std::uint32_t> table(slots, 0); // distinct id + 1
    std::vector<char> arena;
    arena.reserve(std::min<std::size_t>(limit, 65536) * width);
    std::vector<std::uint32_t> ids(n);
    char key[128];
    std::uint32_t distinct = 0;
    for (std::uint32_t r = 1; r <= n; ++r) {
        const char* rec = records.Record(r);
        if (m_key.Numeric()) {
            const std::uint64_t bits = OrderedBits(m_key.NumericKey(rec));
            std::memcpy(key, &bits, sizeof bits);
        } else {
            m_key.CharKey(rec, key);
        }
        std::uint64_t h = 1469598103934665603ull;
        std::size_t i = 0;
        for (; i + 8 <= width; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, key + i, sizeof word);
            h = (h ^ word) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 32;
        }
        for (; i < width; ++i)
            h = (h ^ static_cast<unsigned char>(key[i])) * 1099511628211ull;
        std::size_t slot = static_cast<std::size_t>(h ^ (h >> 29)) & (slots - 1);
        while (true) {
            const std::uint32_t entry = table[slot];
            if (entry == 0) {
                if (distinct == limit)
                    return false;
                arena.insert(arena.end(), key, key + width);
                table[slot] = ++distinct;
                ids[r - 1] = distinct - 1;
                break;
            }
            if (std::memcmp(arena.data() + std::size_t(entry - 1) * width, key, width) == 0) {
                ids[r - 1] = entry - 1;
                break;
            }
            slot = (slot + 1) & (slots - 1);
        }
    }
    table.clear();
    table.shrink_to_fit();
    // Order of the distinct keys.
    std::vector<std::uint32_t> byKey(distinct);
    for (std::uint32_t i = 0; i < distinct; ++i)
        byKey[i] = i;
    const bool descending = m_def.descending;
    auto keyLess = [&](std::uint32_t a, std::uint32_t b) {
        const char* ka = arena.data() + std::size_t(a) * width;
        const char* kb = arena.data() + std::size_t(b) * width;
        int c = 0;
        if (m_key.Numeric()) {
            std::uint64_t x = 0;
            std::uint64_t y = 0;
            std::memcpy(&x, ka, sizeof x);
            std::memcpy(&y, kb, sizeof y);
            c = x < y ? -1 : (x > y ? 1 : 0);
        } else {
            for (std::size_t i = 0; i < width && c == 0; ++i) {
                const int wa = m_weights[static_cast<unsigned char>(ka[i])];
                const int wb = m_weights[static_cast<unsigned char>(kb[i])];
                c = wa < wb ? -1 : (wa > wb ? 1 : 0);
            }
        }
        return descending ? c > 0 : c < 0;
    };
    std::sort(byKey.begin(), byKey.end(), keyLess);
    // Distinct keys that compare equal (the collation could tie different bytes) share a rank.
    std::vector<std::uint32_t> rank(distinct);
    std::uint32_t ranks = 0;
    for (std::uint32_t i = 0; i < distinct; ++i) {
        if (i > 0 && keyLess(byKey[i - 1], byKey[i]))
            ++ranks;
        rank[byKey[i]] = ranks;
    }
    std::vector<std::uint32_t> start(std::size_t(ranks) + 2, 0);
    for (std::uint32_t r = 0; r < n; ++r)
        ++start[rank[ids[r]] + 1];
    for (std::size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    // The runs of equal keys, for the index file writer: one key per rank (the bytes of the
    // key of that rank). Only when every rank has one key: a writer reading the records
    // would write each record's own bytes where the collation ties different ones.
    if (n > 0 && ranks + 1 == distinct) {
        const std::size_t runs = std::size_t(ranks) + 1;
        m_runWidth = width;
        m_runKeys.resize(runs * width);
        m_runEnds.assign(start.begin() + 1, start.begin() + 1 + static_cast<std::ptrdiff_t>(runs));
        for (std::uint32_t i = 0; i < distinct; ++i)
            std::memcpy(m_runKeys.data() + std::size_t(rank[byKey[i]]) * width,
                        arena.data() + std::size_t(byKey[i]) * width, width);
    }
    m_order.assign(n, 0);
    for (std::uint32_t r = 0; r < n; ++r)
        m_order[start[rank[ids[r]]]++] = r + 1;
    return true;
}

void IndexTag::Queue(std::uint32_t recNo) {
    if (m_queued.size() <= recNo)
        m_queued.resize(std::max<std::size_t>(recNo + 1, m_queued.size() * 2), false);
    if (m_queued[recNo])
        return;
    m_queued[recNo] = true;
    m_pending.push_back(recNo);
}

void IndexTag::ClearDeferred() {
    for (std::uint32_t r : m_pending)
        m_queued[r] = false;
    m_pending.clear();
    if (m_staleCount > 0) {
        std::fill(m_stale.begin(), m_stale.end(), false);
        m_staleCount = 0;
    }
}

double IndexTag::RunNumKey(std::size_t run) const {
    std::uint64_t bits = 0;
    std::memcpy(&bits, RunCharKey(run), sizeof bits);
    return FromOrderedBits(bits);
}

void IndexTag::ForgetRuns() {
    m_runKeys.clear();
    m_runKeys.shrink_to_fit();
    m_runEnds.clear();
    m_runEnds.shrink_to_fit();
    m_runWidth = 0;
}

void IndexTag::Build(const RecordView& records) {
    ClearDeferred();
    ForgetRuns();
    if (records.count >= 4096 && BuildFromDistinctKeys(records))
        return;
    const std::uint32_t n = records.count;
    std::vector<SortItem> items(n);
    const int keyLength = m_key.Length();
    char key[128];
    // Fills the sort prefix of an item from key bytes [from, from + 16).
    auto fill = [&](SortItem& item, int from) {
        const char* rec = records.Record(item.recNo);
        if (m_key.Numeric()) {
            item.hi = OrderedBits(m_key.NumericKey(rec));
            item.lo = 0;
        } else {
            m_key.CharKey(rec, key);
            std::uint64_t hi = 0;
            std::uint64_t lo = 0;
            for (int i = from; i < from + 16; ++i) {
                const std::uint64_t w =
                    i < keyLength ? m_weights[static_cast<unsigned char>(key[i])] : 0;
                if (i < from + 8)
                    hi = (hi << 8) | w;
                else
                    lo = (lo << 8) | w;
            }
            item.hi = hi;
            item.lo = lo;
        }
        if (m_def.descending) {
            item.hi = ~item.hi;
            item.lo = ~item.lo;
        }
    };
    for (std::uint32_t r = 1; r <= n; ++r) {
        items[r - 1].recNo = r;
        fill(items[r - 1], 0);
    }
    SortItems(items, 0, n);
    // Keys longer than 16 bytes: runs that agree on these 16 bytes are sorted again on the
    // next 16, and so on (most-significant-digit first). A run whose whole keys are equal
    // stays in record order, which the first sort gave it.
    struct Range {
        std::size_t begin;
        std::size_t end;
        int from;
    };
    std::vector<Range> work;
    auto findRuns = [&](std::size_t begin, std::size_t end, int from) {
        std::size_t i = begin;
        while (i < end) {
            std::size_t j = i + 1;
            while (j < end && items[j].hi == items[i].hi && items[j].lo == items[i].lo)
                ++j;
            if (j - i > 1 && from + 16 < keyLength)
                work.push_back({i, j, from + 16});
            i = j;
        }
    };
    if (!m_key.Numeric())
        findRuns(0, n, 0);
    while (!work.empty()) {
        const Range range = work.back();
        work.pop_back();
        for (std::size_t k = range.begin; k < range.end; ++k)
            fill(items[k], range.from);
        SortItems(items, range.begin, range.end);
        findRuns(range.begin, range.end, range.from);
    }
    m_order.resize(n);
    for (std::uint32_t i = 0; i < n; ++i)
        m_order[i] = items[i].recNo;
}

void IndexTag::Settle(const RecordView& records) {
    if (m_pending.empty() && m_staleCount == 0)
        return;
    if (m_pending.size() > 64 && m_pending.size() > m_order.size() / 16) {
        Build(records);
        return;
    }
    ForgetRuns();
    if (m_staleCount > 0) {
        std::erase_if(m_order, [&](std::uint32_t r) { return r < m_stale.size() && m_stale[r]; });
        std::fill(m_stale.begin(), m_stale.end(), false);
        m_staleCount = 0;
    }
    for (std::uint32_t r : m_pending)
        m_queued[r] = false;
    auto less = [&](std::uint32_t a, std::uint32_t b) {
        return Compare(records.Record(a), a, records.Record(b), b) < 0;
    };
    std::sort(m_pending.begin(), m_pending.end(), less);
    const std::size_t middle = m_order.size();
    m_order.insert(m_order.end(), m_pending.begin(), m_pending.end());
    std::inplace_merge(m_order.begin(), m_order.begin() + static_cast<std::ptrdiff_t>(middle),
                       m_order.end(), less);
    m_pending.clear();
}

void IndexTag::Renumber(const std::vector<std::uint32_t>& newNumber) {
    std::size_t out = 0;
    std::size_t i = 0;
    auto keep = [&](std::size_t end) {
        for (; i < end; ++i) {
            const std::uint32_t renumbered = newNumber[m_order[i]];
            if (renumbered != 0)
                m_order[out++] = renumbered;
        }
    };
    if (Settled() && !m_runEnds.empty()) {
        for (std::uint32_t& end : m_runEnds) {
            keep(end);
            end = static_cast<std::uint32_t>(out); // a run left empty is skipped by readers
        }
    }
    keep(m_order.size());
    m_order.resize(out);
}

const std::vector<std::uint32_t>& IndexTag::Order(const RecordView& records) {
    Settle(records);
    return m_order;
}

void IndexTag::Remove(const RecordView& records, std::uint32_t recNo, const char* oldRecord) {
    (void)records;
    (void)oldRecord;
    if (recNo < m_queued.size() && m_queued[recNo])
        return; // not in the order yet: it is merged with its new key
    if (m_stale.size() <= recNo)
        m_stale.resize(std::max<std::size_t>(recNo + 1, m_stale.size() * 2), false);
    if (!m_stale[recNo]) {
        m_stale[recNo] = true;
        ++m_staleCount;
    }
}

void IndexTag::Insert(const RecordView& records, std::uint32_t recNo) {
    (void)records;
    Queue(recNo);
}

std::size_t IndexTag::LowerBound(const RecordView& records, const std::string& charKey,
                                 double numKey) {
    Settle(records);
    auto it = std::lower_bound(m_order.begin(), m_order.end(), 0u,
                               [&](std::uint32_t probe, std::uint32_t) {
                                   return CompareKey(records.Record(probe), charKey, numKey) < 0;
                               });
    return static_cast<std::size_t>(it - m_order.begin());
}

} // namespace velmora::core::dbf
