#include "squares/messages.h"

namespace velmora::squares {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsSquareMapNoCoordinates, "rsSquareMapNoCoordinates", "Deze kaart bevat geen coördinaten"},
        {rsSquareMapOpenAnother, "rsSquareMapOpenAnother", "Open een andere kaart"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::squares
