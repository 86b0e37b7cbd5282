#pragma once
// The message texts of ecology: the reference lists it reads, the taxa list, the nature
// value and its spectrum. Ecology owns the identifiers 1401-1402, 3001, 3003-3029 and
// 3032-3999. The lookup, and the ranges of every module, are in core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::ecology {

enum Message : int {
    // The reference lists: taxa list and additional search list
    rsTaxaListNotRead = 1401,       // followed by the file and the reason
    rsAdditionalListNotRead = 1402, // followed by the file and the reason
    // Taxa list, nature value and spectrum
    rsNoDesmids = 3001, // the sample name of an event without desmids
    rsRedListLabel = 3003,
    rsNatureValueLabel = 3004,
    rsSpZuur = 3010, // the twelve spectrum class captions, in window order
    rsSpZwakZuur = 3011,
    rsSpNeutraal = 3012,
    rsSpNeutraalAlkalisch = 3013,
    rsSpAlkalisch = 3014,
    rsSpZuurIndifferent = 3015,
    rsSpOligotroof = 3016,
    rsSpOligoMesotroof = 3017,
    rsSpMesotroof = 3018,
    rsSpMesoEutroof = 3019,
    rsSpEutroof = 3020,
    rsSpTrofieIndifferent = 3021,
    rsNotPrefix = 3032,    // before a name the nature value did not count
    rsPartlyPrefix = 3033, // before a name it counted in part
    // Tables of a selection
    rsNoSelection = 3034,
    rsHdrLocatie = 3035,
    rsHdrDatum = 3036,
    rsHdrAnalist = 3037,
    rsHdrLocations = 3038,
    rsHdrZuurgraad = 3039,
    rsHdrLocationNumber = 3040,
    rsHdrXCoord = 3041,
    rsHdrYCoord = 3042,
    rsHdrConductivity = 3043,
    rsSetAsideLegend = 3044,
    rsRedListBlock = 3045,
    rsHdrNatuurwaarde = 3046,
    rsHdrRedList = 3047,
    rsHdrDn = 3048,
    rsHdrRn = 3049,
    rsHdrSn = 3050,
    rsAllLocations = 3051,
    rsTableNotSaved = 3052, // followed by the reason
};

// The text of one of ecology's messages, translated when the interface language has it.
QString ResStr(Message id);

// ecology's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::ecology
