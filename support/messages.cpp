#include "support/messages.h"

namespace velmora::support {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsPhotoMonthFolder, "rsPhotoMonthFolder", "\\Maand "},
        {rsPhotoFolderNotMade, "rsPhotoFolderNotMade",
         "Probleem! Foto map kan niet gemaakt worden."},
        {rsPhotoFolderBadCharacters, "rsPhotoFolderBadCharacters",
         "Waarschijnlijk bevat de naam niet toegestane tekens zoals / of :"},
        {rsNoLocationForPhotoFolder, "rsNoLocationForPhotoFolder",
         "Er is geen locatie gekozen waarvoor een fotomap gemaakt kan worden"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::support
