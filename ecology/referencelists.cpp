#include "ecology/referencelists.h"

#include "core/error.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"

namespace velmora::ecology {

namespace {
void Report(int messageId, const core::Error& e) {
    core::UserPrompts().Message(core::ResStr(messageId) + QLatin1Char('\n') + e.Message(),
                                core::MessageKind::Error);
}
} // namespace

bool ReloadReferenceLists(EcologyData& ecology, int number) {
    bool complete = true;
    try {
        ecology.searchList.ExtendSearchList(AdditionalTaxaListPath(number));
    } catch (const core::Error& e) {
        Report(core::rsAdditionalListNotRead, e);
        complete = false;
    }
    try {
        LoadTaxaList(ecology, number);
    } catch (const core::Error& e) {
        ecology.taxaList.Clear();
        Report(core::rsTaxaListNotRead, e);
        complete = false;
    }
    return complete;
}

} // namespace velmora::ecology
