#include "support/tresstringer.h"

namespace velmora::support {

std::optional<QString> TResStringer::Lookup(int id) const {
    if (!m_active || id < 0 || id >= kFirstLiteral)
        return std::nullopt;
    // A plain binary search over the file order: defined for any order of the entries.
    std::size_t low = 0;
    std::size_t high = m_entries.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const int midId = m_entries[mid].id;
        if (midId == id)
            return m_entries[mid].text;
        if (midId < id)
            low = mid + 1;
        else
            high = mid;
    }
    return std::nullopt;
}

} // namespace velmora::support
