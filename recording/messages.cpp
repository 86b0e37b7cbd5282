#include "recording/messages.h"

namespace velmora::recording {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsLocationNameRequired, "rsLocationNameRequired", "Een locatienaam is verplicht"},
        {rsValidDateRequired, "rsValidDateRequired", "Een geldige datum is verplicht"},
        {rsDateError, "rsDateError", "Er zit een fout in de gegevens voor de datum"},
        {rsDesmidNameEmpty, "rsDesmidNameEmpty",
         "Het veld met de naam van de sieralg mag niet leeg zijn."},
        {rsFillNameFirst, "rsFillNameFirst", "Vul eerst een naam in!"},
        {rsCoordLabelX, "rsCoordLabelX", "X-coörd/Atlasblok"},
        {rsCoordLabelY, "rsCoordLabelY", "Y-coörd/kmhoknr"},
        {rsLongitudeLabel, "rsLongitudeLabel", "Lengte (graden)"},
        {rsLatitudeLabel, "rsLatitudeLabel", "Breedte (graden)"},
        {rsSampleNotOfLocation, "rsSampleNotOfLocation",
         "Dit monster hoort niet bij de huidige locatie; er is niets gewijzigd"},
        {rsNumberFieldInvalid, "rsNumberFieldInvalid",
         "Het veld %1 moet een getal bevatten of leeg zijn: '%2'"},
        {rsCoordinateInvalid, "rsCoordinateInvalid", "De coördinaat %1 is geen geldig getal: '%2'"},
        {rsYearQuestion, "rsYearQuestion",
         "Het jaar %1 ligt niet tussen 1800 en %2. Klopt dit jaar?"},
        {rsFieldConductivity, "rsFieldConductivity", "Geleiding"},
        {rsFieldWaterTemp, "rsFieldWaterTemp", "Watertemperatuur"},
        {rsNotAValidName, "rsNotAValidName", "Dit is geen geldige naam"},
        {rsDatabaseExists, "rsDatabaseExists", "Een database met deze naam bestaat al."},
        {rsReplaceQuestion, "rsReplaceQuestion", "Wil je dit bestand vervangen?"},
        {rsDeleteDatabaseQuestion, "rsDeleteDatabaseQuestion",
         "Weet je zeker dat je database \"%1\" wilt verwijderen?"},
        {rsOpenDatabaseNotDeleted, "rsOpenDatabaseNotDeleted",
         "De database %1 is geopend en kan niet verwijderd worden"},
        {rsDatabaseHeldElsewhere, "rsDatabaseHeldElsewhere",
         "De database %1 is in gebruik door een ander programma en kan niet verwijderd of "
         "vervangen worden"},
        {rsDatabaseNotDeleted, "rsDatabaseNotDeleted",
         "De database %1 is niet verwijderd; alle bestanden zijn er nog:\n%2"},
        {rsDatabaseNotCreated, "rsDatabaseNotCreated", "De database %1 is niet gemaakt:\n%2"},
        {rsSquareCodesNotUpdated, "rsSquareCodesNotUpdated",
         "KXY en UXY zijn niet bijgewerkt; er is niets gewijzigd:"},
        {rsNoCurrentDatabase, "rsNoCurrentDatabase", "Er is geen database gekozen"},
        {rsBackupInDataDir, "rsBackupInDataDir",
         "Een backup in de Data directory is niet toegestaan"},
        {rsBackupMade, "rsBackupMade", "Backup gemaakt in directory: "},
        {rsBackupNotMade, "rsBackupNotMade",
         "Er is een fout opgetreden (file bestaat al in deze directory?). De backup is niet "
         "gemaakt"},
        {rsBackupFailed, "rsBackupFailed", "De backup is niet gemaakt:"},
        {rsTableShorterThanHeader, "rsTableShorterThanHeader",
         "de tabel bevat minder records dan haar kop aangeeft"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::recording
