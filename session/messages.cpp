#include "session/messages.h"

#include "charts/messages.h"
#include "ecology/messages.h"
#include "maps/messages.h"
#include "recording/messages.h"
#include "squares/messages.h"
#include "support/messages.h"

namespace velmora::session {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsDatabaseInUse, "rsDatabaseInUse", "De database is al open in een ander programma"},
        {rsSettingsNotSaved, "rsSettingsNotSaved", "De instellingen konden niet bewaard worden"},
        {rsFieldNamesNotRead, "rsFieldNamesNotRead",
         "De tabel met veldnamen kon niet gelezen worden"},
        // The command line: the help texts name the options as they are typed; only their
        // explanations are translated.
        {rsCliUsage, "rsCliUsage",
         "Gebruik: %1 [--program-folder MAP] OPDRACHT [OPTIES]\n"
         "\n"
         "Opdrachten:\n"
         "  databases      de databases met hun aantallen records\n"
         "  export         de database als tabel (tekst of Excel)\n"
         "  import         gegevens inlezen met een opgeslagen kolomindeling\n"
         "  nature-value   de natuurwaarde per locatiebezoek en van alle samen\n"
         "  species-list   de soortenlijst van een selectie\n"
         "  nature-table   de natuurwaardetabel van een selectie\n"
         "  check-names    twijfelachtige namen met voorstellen\n"
         "  gis            alle monsters met lengte- en breedtegraad (GeoPackage of CSV)\n"
         "  taxalist       een geannoteerde taxalijst inlezen\n"
         "\n"
         "%1 OPDRACHT --help toont de opties van een opdracht.\n"
         "Afsluitcode: 0 gelukt, 1 fout in de gegevens of bestanden, 2 verkeerd gebruik."},
        {rsCliUnknownCommand, "rsCliUnknownCommand", "Onbekende opdracht: %1"},
        {rsCliUnknownOption, "rsCliUnknownOption", "Onbekende optie: %1"},
        {rsCliMissingValue, "rsCliMissingValue", "De optie %1 vraagt een waarde"},
        {rsCliWrongArguments, "rsCliWrongArguments", "Verkeerd aantal argumenten voor %1"},
        {rsCliBadValue, "rsCliBadValue", "Ongeldige waarde voor %1: %2"},
        {rsCliOneOutput, "rsCliOneOutput", "Geef precies een van %1 en %2"},
        {rsCliSeeHelp, "rsCliSeeHelp", "Zie: velmora-cli %1 --help"},
        {rsCliRequired, "rsCliRequired", "De optie %1 is verplicht"},
        {rsCliTwice, "rsCliTwice", "De optie %1 staat er meer dan eens"},
        {rsCliOnlyWith, "rsCliOnlyWith", "De optie %1 hoort bij %2"},
        {rsCliDatabaseNotFound, "rsCliDatabaseNotFound", "De database %1 bestaat niet"},
        {rsCliRowsWritten, "rsCliRowsWritten", "%1 regels geschreven naar %2"},
        {rsCliNamesNormalised, "rsCliNamesNormalised", "Namen van %1 monsters aangepast"},
        {rsCliTaxaListImported, "rsCliTaxaListImported",
         "%1 taxa ingelezen in %2; de vorige lijst is bewaard als %3"},
        {rsCliSamplesWritten, "rsCliSamplesWritten", "%1 monsters geschreven naar %2"},
        {rsCliDatabaseCount, "rsCliDatabaseCount", "%1 databases"},
        {rsCliNothingSelected, "rsCliNothingSelected",
         "Geen enkel locatiebezoek voldoet aan de selectie"},
        {rsCliImported, "rsCliImported", "De gegevens zijn ingelezen in de database %1"},
        {rsCliNoFolder, "rsCliNoFolder", "De programmamap %1 bestaat niet"},
        {rsCliFileNotFound, "rsCliFileNotFound", "Het bestand %1 bestaat niet"},
        {rsCliUnknownEvents, "rsCliUnknownEvents", "Geen locatiebezoek met ID %1"},
        {rsCliOutputFailed, "rsCliOutputFailed", "De uitvoer kon niet geschreven worden"},
        {rsCliHelpExport, "rsCliHelpExport",
         "Gebruik: velmora-cli export DATABASE (--tsv BESTAND | --xlsx BESTAND) [--taxon-info]\n"
         "Schrijft alle monsters met de gegevens van hun locatiebezoek als een tabel.\n"
         "  --tsv BESTAND    als tekst met tabs\n"
         "  --xlsx BESTAND   als Excel-bestand\n"
         "  --taxon-info     met de gegevens van de taxalijst per monster"},
        {rsCliHelpImport, "rsCliHelpImport",
         "Gebruik: velmora-cli import DATABASE BESTAND --layout INDELING.vlf [--replace]\n"
         "         [--coords km|latlon]\n"
         "Leest een tekstbestand met tabs of een Excel-bestand in met een opgeslagen\n"
         "kolomindeling, met dezelfde controles als het venster Importeren.\n"
         "  --layout BESTAND    de kolomindeling (.vlf)\n"
         "  --replace           de database vervangen in plaats van aanvullen\n"
         "  --coords km|latlon  bij --replace verplicht: het coördinatenstelsel van de\n"
         "                      vervangende gegevens (km: RD in km of m, of atlasblokken)\n"
         "De kolomindeling is een bestand dat het venster Importeren bewaart met\n"
         "\"Bewaar kolomindeling\"."},
        {rsCliHelpNatureValue, "rsCliHelpNatureValue",
         "Gebruik: velmora-cli nature-value DATABASE [--events ID,ID...] [--year JAAR]\n"
         "         [--alternative] [--ignore-doubtful]\n"
         "Schrijft de natuurwaarde van elk locatiebezoek (zoals het hoofdvenster die toont) en\n"
         "van alle samen als tekst met tabs.\n"
         "  --events ID,ID...   alleen deze locatiebezoeken\n"
         "  --year JAAR         alleen dit jaar, of de jaren JAAR-JAAR\n"
         "  --alternative       de alternatieve berekening\n"
         "  --ignore-doubtful   onzekere, dode en afwezige monsters niet meetellen"},
        {rsCliHelpSpeciesList, "rsCliHelpSpeciesList",
         "Gebruik: velmora-cli species-list DATABASE [SELECTIE] [OPTIES] [--out BESTAND]\n"
         "De soortenlijst van het venster Tabellen.\n"
         "Selectie (zonder selectie alle locatiebezoeken):\n"
         "  --year JAAR  --owner TEKST  --location TEKST  --analyst TEKST  --taxon TEKST\n"
         "  --case-sensitive     hoofdletters tellen bij eigenaar en locatie\n"
         "  --events ID,ID...    alleen deze locatiebezoeken\n"
         "  --merge-by-name      bezoeken van dezelfde locatienaam vormen een locatie\n"
         "Opties:\n"
         "  --ignore-varieties  --ignore-not-in-list  --ignore-uncertain  --ignore-dead\n"
         "  --current-names  --authors  --merge-abundances\n"
         "  --out BESTAND        als tekst (.txt, .tsv) of Excel-bestand (.xlsx), met de\n"
         "                       locatielijst ernaast; zonder --out naar de uitvoer"},
        {rsCliHelpNatureTable, "rsCliHelpNatureTable",
         "Gebruik: velmora-cli nature-table DATABASE [SELECTIE] [OPTIES] [--out BESTAND]\n"
         "De natuurwaardetabel van het venster Tabellen.\n"
         "Selectie (zonder selectie alle locatiebezoeken):\n"
         "  --year JAAR  --owner TEKST  --location TEKST  --analyst TEKST  --taxon TEKST\n"
         "  --case-sensitive     hoofdletters tellen bij eigenaar en locatie\n"
         "  --events ID,ID...    alleen deze locatiebezoeken\n"
         "  --merge-by-name      bezoeken van dezelfde locatienaam vormen een locatie\n"
         "Opties:\n"
         "  --ignore-varieties  --ignore-not-in-list  --ignore-uncertain  --ignore-dead\n"
         "  --current-names  --alternative\n"
         "  --out BESTAND        als tekst (.txt, .tsv) of Excel-bestand (.xlsx), met de\n"
         "                       locatielijst ernaast; zonder --out naar de uitvoer"},
        {rsCliHelpCheckNames, "rsCliHelpCheckNames",
         "Gebruik: velmora-cli check-names DATABASE [--normalise]\n"
         "Schrijft de namen die de zoeklijst niet kent, met het aantal monsters en voorstellen.\n"
         "  --normalise   eerst de schrijfwijze van alle namen verbeteren (wijzigt de database)"},
        {rsCliHelpGis, "rsCliHelpGis",
         "Gebruik: velmora-cli gis DATABASE --out BESTAND.gpkg|BESTAND.csv\n"
         "Schrijft elk monster met de gegevens van zijn locatiebezoek en de lengte- en\n"
         "breedtegraad (WGS84) als GeoPackage-puntlaag of als CSV met WKT."},
        {rsCliHelpDatabases, "rsCliHelpDatabases",
         "Gebruik: velmora-cli databases\n"
         "Schrijft de databases met het aantal locatiebezoeken en monsters."},
        {rsCliHelpTaxaList, "rsCliHelpTaxaList",
         "Gebruik: velmora-cli taxalist import BESTAND.csv|.tsv|.xlsx --region NL|EU\n"
         "Vervangt de geannoteerde taxalijst van Nederland of Europa door de lijst in het\n"
         "bestand, na controle van elke waarde; de vorige lijst wordt bewaard."},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

std::vector<MessageBlock> MessageBlocks() {
    return {{"core", &core::Messages()},           {"ecology", &ecology::Messages()},
            {"recording", &recording::Messages()}, {"charts", &charts::Messages()},
            {"maps", &maps::Messages()},           {"squares", &squares::Messages()},
            {"support", &support::Messages()},     {"session", &Messages()}};
}

std::vector<core::ResourceString> AllMessages() {
    std::vector<core::ResourceString> all;
    for (const MessageBlock& block : MessageBlocks())
        all.insert(all.end(), block.texts->begin(), block.texts->end());
    return all;
}

} // namespace velmora::session
