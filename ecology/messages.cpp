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
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

} // namespace velmora::ecology
