#include "ecology/eventnaturevalues.h"

#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/dbf/fielddef.h"
#include "ecology/selectiontables.h"

#include <QHash>
#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace velmora::ecology {

namespace dbf = core::dbf;
using core::RecordText;

namespace {

std::optional<long long> IdOf(const dbf::DbfTable& table, const char* rec, int field) {
    if (field < 0)
        return std::nullopt;
    try {
        return table.Integer(rec, field);
    } catch (...) {
        return std::nullopt; // an ID that is not a number belongs to no event
    }
}

} // namespace

EventNatureValues ComputeEventNatureValues(core::Dataset& locations, core::Dataset& samples,
                                           NatureValueTally& tally,
                                           const EventNatureValueOptions& options) {
    const dbf::DbfTable& loc = locations.Table();
    const int lId = loc.FieldIndex("ID");
    const int lLocatie = loc.FieldIndex("LOCATIE");
    const int lDag = loc.FieldIndex("DAG");
    const int lMaand = loc.FieldIndex("MAAND");
    const int lJaar = loc.FieldIndex("JAAR");
    const int lZuurgraad = loc.FieldIndex("ZUURGRAAD");
    const QString year = options.year.trimmed();

    // The events asked for, in ID order.
    EventNatureValues out;
    out.events.reserve(loc.PhysicalCount());
    QHash<long long, int> eventOf; // ID -> index into out.events
    {
        const dbf::RecordView view = loc.Records();
        for (std::uint32_t recNo = 1; recNo <= loc.PhysicalCount(); ++recNo) {
            const char* rec = view.Record(recNo);
            if (rec[0] == '*')
                continue;
            const std::optional<long long> id = IdOf(loc, rec, lId);
            if (!id || eventOf.contains(*id))
                continue;
            if (options.events && !options.events->contains(*id))
                continue;
            if (!year.isEmpty() && !PassesYearFilter(RecordText(loc, rec, lJaar), year))
                continue;
            EventNatureValue e;
            e.id = *id;
            e.location = RecordText(loc, rec, lLocatie);
            e.date = RecordText(loc, rec, lJaar) + QLatin1Char('-') + RecordText(loc, rec, lMaand) +
                     QLatin1Char('-') + RecordText(loc, rec, lDag);
            e.zuurgraad = RecordText(loc, rec, lZuurgraad);
            eventOf.insert(*id, static_cast<int>(out.events.size()));
            out.events.push_back(std::move(e));
        }
    }
    std::vector<int> order(out.events.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return out.events[a].id < out.events[b].id; });

    // Every sample of those events, by event, in table order: its name as a number into the
    // names met (a few thousand distinct names among a million samples, each decoded once)
    // and whether it is set aside, so that the total reads nothing twice.
    const dbf::DbfTable& sam = samples.Table();
    const int sId = sam.FieldIndex("ID");
    const int sDesmid = sam.FieldIndex("DESMID");
    const int sZeker = sam.FieldIndex("ZEKER");
    const int sAbund = sam.FieldIndex("ABUND");
    const int sDl = sam.FieldIndex("DL");
    constexpr std::uint32_t kExcluded = 0x80000000u;
    std::vector<std::vector<std::uint32_t>> samplesOf(out.events.size());
    QStringList names;
    std::unordered_map<std::string_view, std::uint32_t> nameNumber;
    const dbf::FieldDef* desmidDef =
        sDesmid >= 0 ? &sam.Fields()[static_cast<std::size_t>(sDesmid)] : nullptr;
    const dbf::RecordView view = sam.Records();
    for (std::uint32_t recNo = 1; recNo <= sam.PhysicalCount(); ++recNo) {
        const char* rec = view.Record(recNo);
        if (rec[0] == '*')
            continue;
        const std::optional<long long> id = IdOf(sam, rec, sId);
        if (!id)
            continue;
        const auto it = eventOf.constFind(*id);
        if (it == eventOf.constEnd())
            continue;
        // The raw bytes of the name stand for its text: equal bytes, equal text. The records
        // stay where they are while the table is open, so the views stay valid.
        std::string_view raw;
        if (desmidDef) {
            raw = std::string_view(rec + desmidDef->offset,
                                   static_cast<std::size_t>(desmidDef->length));
            while (!raw.empty() && raw.back() == ' ')
                raw.remove_suffix(1);
        }
        auto [known, added] = nameNumber.try_emplace(raw, static_cast<std::uint32_t>(names.size()));
        if (added)
            names << RecordText(sam, rec, sDesmid);
        std::uint32_t entry = known->second;
        if (options.ignoreUncertain &&
            !IsCountedRecord(RecordText(sam, rec, sZeker), RecordText(sam, rec, sAbund),
                             RecordText(sam, rec, sDl), CountedRecordRule::MainWindow))
            entry |= kExcluded;
        samplesOf[static_cast<std::size_t>(*it)].push_back(entry);
    }

    auto addSamples = [&](int event) {
        for (std::uint32_t entry : samplesOf[static_cast<std::size_t>(event)])
            tally.AddTaxon(names[static_cast<qsizetype>(entry & ~kExcluded)],
                           (entry & kExcluded) != 0);
    };

    tally.SetAlternativeMethod(options.alternativeMethod);
    MilieuSet milieus;
    std::vector<EventNatureValue> sorted;
    sorted.reserve(out.events.size());
    for (int event : order) {
        EventNatureValue& e = out.events[static_cast<std::size_t>(event)];
        tally.ClearData();
        tally.SetMilieu(MilieuOfZuurgraad(e.zuurgraad));
        addSamples(event);
        tally.ComputeNatureValue();
        e.samples = static_cast<int>(samplesOf[static_cast<std::size_t>(event)].size());
        e.result = tally.Result();
        milieus.Add(e.zuurgraad);
        out.combinedSamples += e.samples;
    }

    tally.ClearData();
    tally.SetMilieu(out.events.empty() ? MilieuNone : milieus.Combined());
    for (int event : order)
        addSamples(event);
    tally.ComputeNatureValue();
    out.combined = tally.Result();

    for (int event : order)
        sorted.push_back(std::move(out.events[static_cast<std::size_t>(event)]));
    out.events = std::move(sorted);
    return out;
}

} // namespace velmora::ecology
