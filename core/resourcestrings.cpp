#include "core/resourcestrings.h"

#include <algorithm>

namespace velmora::core {

const std::vector<ResourceString>& ResourceStrings() {
    static const std::vector<ResourceString> table = {
        {rsDatabaseInUse, "rsDatabaseInUse", "De database is al open in een ander programma"},
        {rsFileNameHasBlanks, "rsFileNameHasBlanks",
         "Bestandsnaam bevat spaties. Dit is niet toegestaan. Wijzig dit eerst!!"},
        {rsClickOkToEnd, "rsClickOkToEnd", "Klik OK om het programma te beëindigen"},
        {rsDocumentsNotFound, "rsDocumentsNotFound",
         "De folder \"Mijn Documenten\" kon niet gevonden worden"},
        {rsProgressBusy, "rsProgressBusy", "Data wordt verwerkt....."},
        {rsProgressDone, "rsProgressDone", "Klaar"},
        {rsVersion, "rsVersion", "Versie 2.92"},
        {rsSettingsNotSaved, "rsSettingsNotSaved", "De instellingen konden niet bewaard worden"},
        {rsManualMissing, "rsManualMissing", "De handleiding is niet gevonden"},
        {rsAboutText, "rsAboutText",
         "Velmora Database: het vastleggen en analyseren van sieralgenwaarnemingen"},
        {rsNotANumber, "rsNotANumber", "'%1' is geen geldige numerieke waarde"},
        {rsAboutTitle, "rsAboutTitle", "Over Velmora Database"},
        {rsSplashTitle, "rsSplashTitle", "Velmora Data Base"},
        {rsDiskFull, "rsDiskFull", "de schijf is vol"},
        {rsNoPermission, "rsNoPermission", "er is geen toestemming om hier te schrijven"},
        {rsReadOnlyDisk, "rsReadOnlyDisk", "de schijf is alleen-lezen"},
        {rsFolderMissing, "rsFolderMissing", "het bestand of de map bestaat niet"},
        {rsFileInUse, "rsFileInUse", "het bestand is in gebruik door een ander programma"},
        {rsNotEnoughMemory, "rsNotEnoughMemory", "er is niet genoeg geheugen"},
        {rsNotSavedOnClose, "rsNotSavedOnClose",
         "De database kon bij het sluiten niet worden opgeruimd; de tabellen zijn heel gebleven en "
         "worden bij de volgende keer openen gecontroleerd."},
        {rsInvalidSetting, "rsInvalidSetting",
         "De instelling %1 in %2 kan niet worden gebruikt: '%3'. De standaardwaarde geldt."},
        {rsDbfNotOpen, "rsDbfNotOpen", "De tabel is niet geopend"},
        {rsDbfWrongState, "rsDbfWrongState", "%1 kan alleen in de toestand %2"},
        {rsDbfNoField, "rsDbfNoField", "Veld %1 bestaat niet in de tabel"},
        {rsDbfNoTag, "rsDbfNoTag", "Index %1 bestaat niet"},
        {rsDbfNoRecord, "rsDbfNoRecord", "Record %1 bestaat niet"},
        {rsDbfRequired, "rsDbfRequired", "Veld %1 moet een waarde hebben"},
        {rsDbfNotInteger, "rsDbfNotInteger", "Veld %1 bevat geen geheel getal: '%2'"},
        {rsDbfNoCurrent, "rsDbfNoCurrent", "Er is geen huidig record"},
        {rsOverwriteFile, "rsOverwriteFile",
         "Een bestand met de naam %1 bestaat al\nWil je dit bestand overschrijven?"},
        {rsExcelNotCreated, "rsExcelNotCreated", "Het Excel-bestand kan niet gemaakt worden"},
        {rsExcelNotOpened, "rsExcelNotOpened", "Het Excel-bestand kan niet geopend worden"},
        {rsExcelNotInstalled, "rsExcelNotInstalled",
         "Excel is niet geïnstalleerd op deze computer"},
        {rsSheetNotAPackage, "rsSheetNotAPackage",
         "het bestand is geen Excel-werkmap (geen zip-pakket)"},
        {rsSheetMissing, "rsSheetMissing", "de werkmap bevat geen werkblad"},
        {rsSheetDamaged, "rsSheetDamaged", "onderdeel %1 van de werkmap is beschadigd: %2"},
        {rsSheetTooManyCells, "rsSheetTooManyCells",
         "het werkblad is te groot om in te lezen (meer dan %1 cellen)"},
        {rsSheetTooLarge, "rsSheetTooLarge",
         "de werkmap is uitgepakt te groot om in te lezen (meer dan %1 bytes)"},
        {rsXlsUnreadable, "rsXlsUnreadable", "het xls-bestand kan niet gelezen worden (%1)"},
        {rsGridTooLargeForXls, "rsGridTooLargeForXls",
         "de tabel past niet in een xls-bestand (hoogstens %1 rijen en %2 kolommen)"},
        {rsImageNotRead, "rsImageNotRead", "de afbeelding kan niet gelezen worden: %1"},
        {rsDbOpening, "rsDbOpening", "Database wordt geopend...."},
        {rsDbLabelNone, "rsDbLabelNone", "Database: -----"},
        {rsDbLabel, "rsDbLabel", "Database: "},
        {rsDbLabelFailed, "rsDbLabelFailed", "Database:"},
        {rsDbFileError, "rsDbFileError", "FOUT! De databasefile ("},
        {rsDbFileNotFound, "rsDbFileNotFound", " is niet gevonden"},
        {rsDefaultDbNotFound, "rsDefaultDbNotFound", "De standaard Database is niet gevonden"},
        {rsSelectOrCreate, "rsSelectOrCreate", "Selecteer of maak een database onder \"Bestand\""},
        {rsInvalidDbName, "rsInvalidDbName",
         "De naam \"%1\" kan niet als naam van een database gebruikt worden"},
        {rsCorruptRecord, "rsCorruptRecord", "Corrupt record nr: %1 will be deleted"},
        {rsSamplesUpgraded, "rsSamplesUpgraded",
         "De monstertabel van database %1 komt van een eerdere versie; het veld DESMIDINFO is "
         "toegevoegd"},
        {rsRecordsRecovered, "rsRecordsRecovered",
         "%1 record(s) na het geregistreerde einde van %2 zijn teruggevonden en weer opgenomen"},
        {rsIndexRebuilt, "rsIndexRebuilt",
         "Het indexbestand %1 was beschadigd en is opnieuw opgebouwd uit de tabel"},
        {rsDbNotOpened, "rsDbNotOpened", "De database %1 kon niet worden geopend:"},
        {rsTaxaListNotRead, "rsTaxaListNotRead",
         "De geannoteerde taxalijst kon niet gelezen worden"},
        {rsAdditionalListNotRead, "rsAdditionalListNotRead",
         "De aanvullende taxalijst kon niet gelezen worden"},
        {rsFieldNamesNotRead, "rsFieldNamesNotRead",
         "De tabel met veldnamen kon niet gelezen worden"},
        {rsLocationOrderNotSet, "rsLocationOrderNotSet",
         "De volgorde van de locaties kon niet ingesteld worden"},
        {rsSelectDirectory, "rsSelectDirectory", "Select Directory"},
        {rsSaveEditsFirst, "rsSaveEditsFirst",
         "Sla eerst gewijzigde databasegegevens op of Annuleer de huidige actie"},
        {rsDeleteRecordQuestion, "rsDeleteRecordQuestion", "Wil je dit record verwijderen?"},
        {rsDeleteCascadeNote, "rsDeleteCascadeNote",
         "N.B. Alle bijbehorende data van dit record wordt ook verwijderd!"},
        {rsDatabaseEmpty, "rsDatabaseEmpty",
         "De database is leeg. Voeg eerst een Nieuw Record toe (+ button)"},
        {rsLocationNameRequired, "rsLocationNameRequired", "Een locatienaam is verplicht"},
        {rsValidDateRequired, "rsValidDateRequired", "Een geldige datum is verplicht"},
        {rsDateError, "rsDateError", "Er zit een fout in de gegevens voor de datum"},
        {rsEmptyField, "rsEmptyField", "< Leeg Veld >"},
        {rsDesmidNameEmpty, "rsDesmidNameEmpty",
         "Het veld met de naam van de sieralg mag niet leeg zijn."},
        {rsFillNameFirst, "rsFillNameFirst", "Vul eerst een naam in!"},
        {rsCopyQuestion, "rsCopyQuestion", "Wil je een kopie van dit record maken?"},
        {rsNoMapSense, "rsNoMapSense", "Het is zinloos om een stippenkaart te openen:"},
        {rsNoDataInDb, "rsNoDataInDb", "Er zitten geen gegevens in de database"},
        {rsNotForLatLon, "rsNotForLatLon",
         "Deze optie is niet beschikbaar voor UTM en LatLon gegevens"},
        {rsNoMapFound, "rsNoMapFound", "Geen kaart gevonden"},
        {rsOpenMapFirst, "rsOpenMapFirst", "Open eerst een kaart via menuoptie 'Stippenkaart'"},
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
        {rsOnlyDiversity, "rsOnlyDiversity",
         "De taxalijst bevat geen zeldzaamheids- of signaalwaarden: alleen de diversiteit telt"},
        {rsFieldConductivity, "rsFieldConductivity", "Geleiding"},
        {rsFieldWaterTemp, "rsFieldWaterTemp", "Watertemperatuur"},
        {rsDiversityOnlyShort, "rsDiversityOnlyShort", "Alleen diversiteit geteld"},
        {rsHintFirst, "rsHintFirst", "Eerste record"},
        {rsHintPrior, "rsHintPrior", "Vorige record"},
        {rsHintNext, "rsHintNext", "Volgende record"},
        {rsHintLast, "rsHintLast", "Laatste record"},
        {rsHintNew, "rsHintNew", "Nieuw record"},
        {rsHintDelete, "rsHintDelete", "Verwijder record"},
        {rsHintEdit, "rsHintEdit", "Edit record"},
        {rsHintPost, "rsHintPost", "Bewaar wijzigingen"},
        {rsHintCancel, "rsHintCancel", "Annuleer wijzigingen"},
        // Ecology
        {rsNoDesmids, "rsNoDesmids", "Geen sieralgen"},
        {rsNotAnInteger, "rsNotAnInteger", "'%1' is geen geldige integerwaarde"},
        {rsRedListLabel, "rsRedListLabel", "Rodelijstsoorten: "},
        {rsNatureValueLabel, "rsNatureValueLabel", "Natuurwaarde: "},
        {rsSpZuur, "rsSpZuur", "Zuur"},
        {rsSpZwakZuur, "rsSpZwakZuur", "Zwak zuur"},
        {rsSpNeutraal, "rsSpNeutraal", "Neutraal"},
        {rsSpNeutraalAlkalisch, "rsSpNeutraalAlkalisch", "Neutraal alkalisch"},
        {rsSpAlkalisch, "rsSpAlkalisch", "Alkalisch"},
        {rsSpZuurIndifferent, "rsSpZuurIndifferent", "Indifferent/Onbekend"},
        {rsSpOligotroof, "rsSpOligotroof", "Oligotroof"},
        {rsSpOligoMesotroof, "rsSpOligoMesotroof", "Oligo-mesotroof"},
        {rsSpMesotroof, "rsSpMesotroof", "Mesotroof"},
        {rsSpMesoEutroof, "rsSpMesoEutroof", "MesoEutroof"},
        {rsSpEutroof, "rsSpEutroof", "Eutroof"},
        {rsSpTrofieIndifferent, "rsSpTrofieIndifferent", "Indifferent/Onbekend"},
        {rsAlreadyListed, "rsAlreadyListed", "staat al in de lijst en wordt niet toegevoegd"},
        {rsAddToSearchList, "rsAddToSearchList", "wordt toegevoegd aan de zoek lijst. Wil je dat?"},
        {rsNotPrefix, "rsNotPrefix", "Niet  :  "},
        {rsPartlyPrefix, "rsPartlyPrefix", "Deels :  "},
        {rsArrayIsEmpty, "rsArrayIsEmpty", "Array is Empty!"},
        {rsInvalidDateNL, "rsInvalidDateNL",
         "Fout in de datum van record: %1\n\r%2-%3-%4 is een ongeldige datum"},
        {rsInvalidDateEN, "rsInvalidDateEN",
         "Error in the date of record: %1\n\r%2-%3-%4 is an invalid date"},
    };
    return table;
}

namespace {
ResourceTranslator& Translator() {
    static ResourceTranslator translator;
    return translator;
}
} // namespace

QString ResStr(int id) {
    if (Translator()) {
        if (auto translated = Translator()(id))
            return *translated;
    }
    // Sorted once, so that the source table may list its blocks in any order.
    static const std::vector<ResourceString> table = [] {
        std::vector<ResourceString> sorted = ResourceStrings();
        std::sort(sorted.begin(), sorted.end(),
                  [](const ResourceString& a, const ResourceString& b) { return a.id < b.id; });
        return sorted;
    }();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const ResourceString& r, int key) { return r.id < key; });
    if (it == table.end() || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

void SetResourceTranslator(ResourceTranslator translator) {
    Translator() = std::move(translator);
}

} // namespace velmora::core
