#include "core/resourcestrings.h"

#include <algorithm>

namespace velmora::core {

const std::vector<ResourceString>& ResourceStrings() {
    static const std::vector<ResourceString> table = {
        {rsDatabaseInUse, "rsDatabaseInUse", "De database is al open in een ander programma"},
        {rsFileNameHasBlanks, "rsFileNameHasBlanks",
         "Bestandsnaam bevat spaties. Dit is niet toegestaan. Wijzig dit eerst!!"},
        {rsClickOkToEnd, "rsClickOkToEnd", "Klik OK om het programma te beëindigen"},
        {rsDocumentsNotFound, "rsDocumentsNotFound",
         "De folder \"Mijn Documenten\" kon niet gevonden worden"},
        {rsProgressBusy, "rsProgressBusy", "Data wordt verwerkt....."},
        {rsProgressDone, "rsProgressDone", "Klaar"},
        {rsVersion, "rsVersion", "Versie 2.92"},
        {rsSettingsNotSaved, "rsSettingsNotSaved", "De instellingen konden niet bewaard worden"},
        {rsManualMissing, "rsManualMissing", "De handleiding is niet gevonden"},
        {rsAboutText, "rsAboutText",
         "Velmora Database: het vastleggen en analyseren van sieralgenwaarnemingen"},
        {rsNotANumber, "rsNotANumber", "'%1' is geen geldige numerieke waarde"},
        {rsSaveEditsFirst, "rsSaveEditsFirst",
         "Sla eerst gewijzigde databasegegevens op of Annuleer de huidige actie"},
    };
    return table;
}

namespace {
ResourceTranslator& Translator() {
    static ResourceTranslator translator;
    return translator;
}
} // namespace

QString ResStr(int id) {
    if (Translator()) {
        if (auto translated = Translator()(id))
            return *translated;
    }
    const auto& table = ResourceStrings();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const ResourceString& r, int key) { return r.id < key; });
    if (it == table.end() || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

void SetResourceTranslator(ResourceTranslator translator) {
    Translator() = std::move(translator);
}

} // namespace velmora::core
