#include "charts/messages.h"

namespace velmora::charts {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsArrayIsEmpty, "rsArrayIsEmpty", "Array is Empty!"},
        {rsInvalidDateNL, "rsInvalidDateNL",
         "Fout in de datum van record: %1\n\r%2-%3-%4 is een ongeldige datum"},
        {rsInvalidDateEN, "rsInvalidDateEN",
         "Error in the date of record: %1\n\r%2-%3-%4 is an invalid date"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::charts
