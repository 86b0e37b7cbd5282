#include "core/resourcestrings.h"

#include <algorithm>

namespace velmora::core {

namespace {
ResourceTranslator& Translator() {
    static ResourceTranslator translator;
    return translator;
}
} // namespace

QString LookUpText(const std::vector<ResourceString>& block, int id) {
    if (Translator()) {
        if (auto translated = Translator()(id))
            return *translated;
    }
    // A block holds a few dozen texts: a linear search costs less than keeping it sorted.
    const auto it = std::find_if(block.begin(), block.end(),
                                 [id](const ResourceString& r) { return r.id == id; });
    if (it == block.end())
        return {};
    return QString::fromUtf8(it->text);
}

void SetResourceTranslator(ResourceTranslator translator) {
    Translator() = std::move(translator);
}

const std::vector<ResourceString>& Messages() {
    static const std::vector<ResourceString> block = {
        {rsNotANumber, "rsNotANumber", "'%1' is geen geldige numerieke waarde"},
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
        {rsImageTooLarge, "rsImageTooLarge",
         "de afbeelding is te groot: %1 x %2 beeldpunten (hoogstens %3 miljoen beeldpunten)"},
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
        {rsNotAnInteger, "rsNotAnInteger", "'%1' is geen geldige integerwaarde"},
    };
    return block;
}

QString ResStr(Message id) {
    return LookUpText(Messages(), id);
}

} // namespace velmora::core
