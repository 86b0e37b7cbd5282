#include "ui/messages.h"

namespace velmora::ui {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsFileNameHasBlanks, "rsFileNameHasBlanks",
         "Bestandsnaam bevat spaties. Dit is niet toegestaan. Wijzig dit eerst!!"},
        {rsClickOkToEnd, "rsClickOkToEnd", "Klik OK om het programma te beëindigen"},
        {rsDocumentsNotFound, "rsDocumentsNotFound",
         "De folder \"Mijn Documenten\" kon niet gevonden worden"},
        {rsProgressBusy, "rsProgressBusy", "Data wordt verwerkt....."},
        {rsProgressDone, "rsProgressDone", "Klaar"},
        {rsVersion, "rsVersion", "Versie 2.92"},
        {rsManualMissing, "rsManualMissing", "De handleiding is niet gevonden"},
        {rsAboutText, "rsAboutText",
         "Velmora Database: het vastleggen en analyseren van sieralgenwaarnemingen"},
        {rsAboutTitle, "rsAboutTitle", "Over Velmora Database"},
        {rsSplashTitle, "rsSplashTitle", "Velmora Data Base"},
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
        {rsCopyQuestion, "rsCopyQuestion", "Wil je een kopie van dit record maken?"},
        {rsNoMapSense, "rsNoMapSense", "Het is zinloos om een stippenkaart te openen:"},
        {rsNoDataInDb, "rsNoDataInDb", "Er zitten geen gegevens in de database"},
        {rsNotForLatLon, "rsNotForLatLon",
         "Deze optie is niet beschikbaar voor UTM en LatLon gegevens"},
        {rsNoMapFound, "rsNoMapFound", "Geen kaart gevonden"},
        {rsOpenMapFirst, "rsOpenMapFirst", "Open eerst een kaart via menuoptie 'Stippenkaart'"},
        {rsOnlyDiversity, "rsOnlyDiversity",
         "De taxalijst bevat geen zeldzaamheids- of signaalwaarden: alleen de diversiteit telt"},
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
        {rsNewDatabaseTitle, "rsNewDatabaseTitle", "Maak een nieuwe database"},
        {rsNewDatabasePrompt, "rsNewDatabasePrompt", "Geef een naam voor de database"},
        {rsClearSelection, "rsClearSelection", "Wis selectie"},
        {rsBackToLocationTable, "rsBackToLocationTable", "Terug naar Locatietabel"},
        {rsImportTaxaListCaption, "rsImportTaxaListCaption", "Kies de taxalijst om in te lezen"},
        {rsImportTaxaListQuestion, "rsImportTaxaListQuestion",
         "De geannoteerde taxalijst %1 wordt vervangen door de lijst in %2.\n"
         "De huidige lijst wordt bewaard. Doorgaan?"},
        {rsAlreadyListed, "rsAlreadyListed", "staat al in de lijst en wordt niet toegevoegd"},
        {rsAddToSearchList, "rsAddToSearchList", "wordt toegevoegd aan de zoek lijst. Wil je dat?"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::ui
