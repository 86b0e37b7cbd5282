#include "ecology/messages.h"

namespace velmora::ecology {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsTaxaListNotRead, "rsTaxaListNotRead",
         "De geannoteerde taxalijst kon niet gelezen worden"},
        {rsAdditionalListNotRead, "rsAdditionalListNotRead",
         "De aanvullende taxalijst kon niet gelezen worden"},
        {rsNoDesmids, "rsNoDesmids", "Geen sieralgen"},
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
        {rsNotPrefix, "rsNotPrefix", "Niet  :  "},
        {rsPartlyPrefix, "rsPartlyPrefix", "Deels :  "},
        {rsNoSelection, "rsNoSelection",
         "Er zijn geen locaties geselecteerd. Selecteer eerst minstens één locatie"},
        {rsHdrLocatie, "rsHdrLocatie", "Locatie"},
        {rsHdrDatum, "rsHdrDatum", "Datum"},
        {rsHdrAnalist, "rsHdrAnalist", "Analist"},
        {rsHdrLocations, "rsHdrLocations", "Locaties"},
        {rsHdrZuurgraad, "rsHdrZuurgraad", "Zuurgraad"},
        {rsHdrLocationNumber, "rsHdrLocationNumber", "Locatienummer"},
        {rsHdrXCoord, "rsHdrXCoord", "X-coord"},
        {rsHdrYCoord, "rsHdrYCoord", "Y-coord"},
        {rsHdrConductivity, "rsHdrConductivity", "Geleidingsvermogen (uS/cm)"},
        {rsSetAsideLegend, "rsSetAsideLegend",
         "(NIT:) Niet in TaxaLijst, (N:) Onzekere determinatie (D:) Alleen dode cellen "
         "(Locatienummers)"},
        {rsRedListBlock, "rsRedListBlock", "Rode Lijst soorten (Locatienummers)"},
        {rsHdrNatuurwaarde, "rsHdrNatuurwaarde", "Natuurwaarde"},
        {rsHdrRedList, "rsHdrRedList", "Rode Lijstsoorten"},
        {rsHdrDn, "rsHdrDn", "d (Aantal)"},
        {rsHdrRn, "rsHdrRn", "r (Zeldzaamheid)"},
        {rsHdrSn, "rsHdrSn", "s (Signaalwaarde)"},
        {rsAllLocations, "rsAllLocations", "Natuurwaarde van alle locaties samen"},
        {rsTableNotSaved, "rsTableNotSaved", "De tabel is niet bewaard:"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::ecology
