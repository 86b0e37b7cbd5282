#include "session/messages.h"

#include "charts/messages.h"
#include "ecology/messages.h"
#include "recording/messages.h"
#include "support/messages.h"

namespace velmora::session {

const std::vector<core::ResourceString>& Messages() {
    static const std::vector<core::ResourceString> block = {
        {rsDatabaseInUse, "rsDatabaseInUse", "De database is al open in een ander programma"},
        {rsSettingsNotSaved, "rsSettingsNotSaved", "De instellingen konden niet bewaard worden"},
        {rsFieldNamesNotRead, "rsFieldNamesNotRead",
         "De tabel met veldnamen kon niet gelezen worden"},
    };
    return block;
}

QString ResStr(Message id) {
    return core::LookUpText(Messages(), id);
}

std::vector<MessageBlock> MessageBlocks() {
    return {{"core", &core::Messages()},           {"ecology", &ecology::Messages()},
            {"recording", &recording::Messages()}, {"charts", &charts::Messages()},
            {"support", &support::Messages()},     {"session", &Messages()}};
}

std::vector<core::ResourceString> AllMessages() {
    std::vector<core::ResourceString> all;
    for (const MessageBlock& block : MessageBlocks())
        all.insert(all.end(), block.texts->begin(), block.texts->end());
    return all;
}

} // namespace velmora::session
