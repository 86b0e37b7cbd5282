#include "maps/messages.h"

namespace velmora::maps {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsMapNoCoordinates, "rsMapNoCoordinates", "Filenaam bevat niet de juiste coordinaten."},
        {rsMapMustBeCalibrated, "rsMapMustBeCalibrated", "De kaart moet eerst gekalibreerd worden"},
        {rsCalibrated, "rsCalibrated", "Gekalibreerd"},
        {rsNotCalibrated, "rsNotCalibrated", "Niet gekalibreerd"},
        {rsNoMapChosen, "rsNoMapChosen", "Er is geen kaart gevonden, open eerst een kaartbestand"},
        {rsMapNoExtent, "rsMapNoExtent",
         "De coördinaten in de filenaam geven de kaart geen breedte of geen hoogte."},
        {rsMapNotRead, "rsMapNotRead", "De kaart kan niet geladen worden: %1"},
        {rsMapFileMissing, "rsMapFileMissing", "Het kaartbestand %1 bestaat niet"},
        {rsMapNotAPicture, "rsMapNotAPicture",
         "%1 is geen kaartbestand: een kaart is een bmp-, jpg- of png-bestand"},
        {rsMapNameNotUsable, "rsMapNameNotUsable",
         "De kaartnaam \"%1\" kan niet als naam van een bestand in de map Maps gebruikt worden"},
        {rsErrorInX1Y1, "rsErrorInX1Y1", "Fout in waarde X1 of Y1"},
        {rsErrorInX2Y2, "rsErrorInX2Y2", "Fout in waarde X2 of Y2"},
        {rsMapNameCaption, "rsMapNameCaption", "Naam voor de kaart"},
        {rsMapNamePrompt, "rsMapNamePrompt", "Voer een naam in"},
        {rsMapWillBeSavedAs, "rsMapWillBeSavedAs", "Kaart wordt bewaard als:"},
        {rsMapNotSaved, "rsMapNotSaved", "De kaart is niet bewaard."},
        {rsPointsTooClose, "rsPointsTooClose",
         "De twee punten liggen minder dan twee beeldpunten uit elkaar (in X of in Y). Kies "
         "twee punten verder uit elkaar; de kaart is niet gekalibreerd."},
        {rsPointsNoExtent, "rsPointsNoExtent",
         "De twee punten hebben dezelfde X- of Y-coördinaat. Kies twee punten die in beide "
         "richtingen verschillen; de kaart is niet gekalibreerd."},
        {rsCoordinateError, "rsCoordinateError", "Er zit een fout in de coördinaten van locatie: "},
        {rsDateLabel, "rsDateLabel", "Datum"},
        {rsEmptyField, "rsEmptyField", "< Leeg Veld >"},
        {rsBadDotSize, "rsBadDotSize",
         "'%1' is geen geldige stipgrootte: een geheel getal van 0 tot en met %2 is nodig"},
        {rsBadLineWidth, "rsBadLineWidth",
         "'%1' is geen geldige lijnbreedte: een geheel getal van 0 tot en met %2 is nodig"},
        {rsAbundanceHeader, "rsAbundanceHeader", "Abund."},
        {rsDotSizeHeader, "rsDotSizeHeader", "Stipmaat"},
        {rsAllLocationsTitle, "rsAllLocationsTitle", "Alle locaties"},
        {rsKmSquareButton, "rsKmSquareButton", "km-hok"},
        {rsPerSquareButton, "rsPerSquareButton", "per hok"},
        {rsLocationYearNotRead, "rsLocationYearNotRead",
         "Het jaar van locatie %1 is geen getal: '%2'. De kaart is niet afgemaakt."},
        {rsPeriodNotNumbers, "rsPeriodNotNumbers", "Beginjaar en Eindjaar moeten een getal zijn"},
        {rsFixFilterFirst, "rsFixFilterFirst", "Herstel eerst de fouten in het filter"},
        {rsBusyCalculating, "rsBusyCalculating", "Bezig met de berekening"},
        {rsDayNotRead, "rsDayNotRead",
         "De datum van locatie %1 (ID %2) kan niet gelezen worden: maand '%3' en dag '%4' "
         "vormen geen geheel getal. De kaart is niet afgemaakt."},
        {rsMeasurementTooLarge, "rsMeasurementTooLarge",
         "De meetwaarde '%1' van locatie %2 (ID %3) is te groot. De kaart is niet afgemaakt."},
        {rsPictureHeader, "rsPictureHeader", "Afb."},
        {rsCertainHeader, "rsCertainHeader", "Zeker"},
        {rsSampleRemarkHeader, "rsSampleRemarkHeader", "Opm. bij de soort"},
        {rsEarliestLabel, "rsEarliestLabel", "Vroegste :"},
        {rsLatestLabel, "rsLatestLabel", "Laatste :"},
        {rsRecordCount, "rsRecordCount", "Totaal aantal meldingen: %1"},
        {rsPhEcLabel, "rsPhEcLabel", "pH + EGV Meldingen: %1"},
        {rsBiotopeLabel, "rsBiotopeLabel", "Biotoop        Meldingen: %1"},
        {rsSpeciesInfo, "rsSpeciesInfo",
         "Auteur: %1,  Trofiegraad: %2,  Zuurgraad: %3,  Levensvorm: %4"},
        {rsRedListSpecies, "rsRedListSpecies", ",  RL-soort"},
        {rsSpeciesNotInList, "rsSpeciesNotInList", "Soort niet in de taxalijst of onbekende soort"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::maps
