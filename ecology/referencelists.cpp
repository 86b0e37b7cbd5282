#include "ecology/referencelists.h"

#include "core/error.h"
#include "core/prompts.h"
#include "ecology/ecologydata.h"
#include "ecology/messages.h"
#include "ecology/taxalistfile.h"

namespace velmora::ecology {

namespace {
void Report(Message message, const core::Error& e) {
    core::UserPrompts().Message(ResStr(message) + QLatin1Char('\n') + e.Message(),
                                core::MessageKind::Error);
}
} // namespace

bool ReloadReferenceLists(EcologyData& ecology, int number) {
    bool complete = true;
    try {
        ecology.searchList.ExtendSearchList(AdditionalTaxaListPath(number));
    } catch (const core::Error& e) {
        Report(rsAdditionalListNotRead, e);
        complete = false;
    }
    try {
        LoadTaxaList(ecology, number);
    } catch (const core::Error& e) {
        ecology.taxaList.Clear();
        Report(rsTaxaListNotRead, e);
        complete = false;
    }
    return complete;
}

} // namespace velmora::ecology
