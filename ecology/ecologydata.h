#pragma once
// The ecology state of one run: the species search list, the annotated taxa list in use and
// the one nature value tally that every caller resets and fills. Created once at start-up and
// handed to the windows that need it.

#include "ecology/naturevaluetally.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"

namespace velmora::ecology {

struct EcologyData {
    SearchList searchList;
    TaxaList taxaList;
    NatureValueTally tally{taxaList, searchList};
    // While a selection of events is being tallied, the main window adds to the tally instead
    // of resetting it, and leaves its own result boxes empty.
    bool selectionRun = false;
};

} // namespace velmora::ecology
