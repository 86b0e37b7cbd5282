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

void IndexTag::Build(const RecordView& records) {
    m_pending.clear();
    const std::uint32_t n = records.count;
    std::vector<SortItem> items(n);
    const int keyLength = m_key.Length();
    char key[128];
    for (std::uint32_t r = 1; r <= n; ++r) {
        SortItem& item = items[r - 1];
        item.recNo = r;
        const char* rec = records.Record(r);
        if (m_key.Numeric()) {
            item.hi = OrderedBits(m_key.NumericKey(rec));
            item.lo = 0;
        } else {
            m_key.CharKey(rec, key);
            std::uint64_t hi = 0;
            std::uint64_t lo = 0;
            for (int i = 0; i < 16; ++i) {
                const std::uint64_t w =
                    i < keyLength ? m_weights[static_cast<unsigned char>(key[i])] : 0;
                if (i < 8)
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
    }
    std::sort(items.begin(), items.end(), [](const SortItem& a, const SortItem& b) {
        if (a.hi != b.hi)
            return a.hi < b.hi;
        if (a.lo != b.lo)
            return a.lo < b.lo;
        return a.recNo < b.recNo;
    });
    m_order.resize(n);
    for (std::uint32_t i = 0; i < n; ++i)
        m_order[i] = items[i].recNo;
    items.clear();
    items.shrink_to_fit();
    if (m_key.Numeric() || keyLength <= 16)
        return;
    // Runs with the same first 16 key bytes: already in record order when their whole keys
    // are equal too (the usual case: one taxon name many times); otherwise sort the run.
    auto equalPrefix = [&](std::uint32_t a, std::uint32_t b) {
        char ka[128];
        char kb[128];
        m_key.CharKey(records.Record(a), ka);
        m_key.CharKey(records.Record(b), kb);
        for (int i = 0; i < 16; ++i)
            if (m_weights[static_cast<unsigned char>(ka[i])] !=
                m_weights[static_cast<unsigned char>(kb[i])])
                return false;
        return true;
    };
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = i + 1;
        bool allSame = true;
        while (j < n && equalPrefix(m_order[i], m_order[j])) {
            if (allSame &&
                CompareKeysOnly(records.Record(m_order[i]), records.Record(m_order[j])) != 0)
                allSame = false;
            ++j;
        }
        if (!allSame) {
            std::sort(m_order.begin() + static_cast<std::ptrdiff_t>(i),
                      m_order.begin() + static_cast<std::ptrdiff_t>(j),
                      [&](std::uint32_t a, std::uint32_t b) {
                          return Compare(records.Record(a), a, records.Record(b), b) < 0;
                      });
        }
        i = j;
    }
}

void IndexTag::Settle(const RecordView& records) {
    if (m_pending.empty())
        return;
    if (m_pending.size() > 64 && m_pending.size() > m_order.size() / 16) {
        Build(records);
        return;
    }
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

const std::vector<std::uint32_t>& IndexTag::Order(const RecordView& records) {
    Settle(records);
    return m_order;
}

void IndexTag::Remove(const RecordView& records, std::uint32_t recNo, const char* oldRecord) {
    Settle(records);
    auto it = std::lower_bound(m_order.begin(), m_order.end(), recNo,
                               [&](std::uint32_t probe, std::uint32_t r) {
                                   const char* rec = probe == r ? oldRecord : records.Record(probe);
                                   return Compare(rec, probe, oldRecord, r) < 0;
                               });
    if (it != m_order.end() && *it == recNo) {
        m_order.erase(it);
        return;
    }
    // Not where its key says: the order was built from other bytes. Find it the slow way.
    auto pos = std::find(m_order.begin(), m_order.end(), recNo);
    if (pos != m_order.end())
        m_order.erase(pos);
}

void IndexTag::Insert(const RecordView& records, std::uint32_t recNo) {
    Settle(records);
    const char* rec = records.Record(recNo);
    auto it = std::lower_bound(m_order.begin(), m_order.end(), recNo,
                               [&](std::uint32_t probe, std::uint32_t r) {
                                   return Compare(records.Record(probe), probe, rec, r) < 0;
                               });
    m_order.insert(it, recNo);
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
