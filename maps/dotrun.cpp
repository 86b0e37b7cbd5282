#include "maps/dotrun.h"

#include "maps/symbolpainter.h"

namespace velmora::maps {

bool StartsNewMap(StyleTab tab) {
    switch (tab) {
    case StyleTab::Primary:
    case StyleTab::Abundance:
    case StyleTab::Special:
    case StyleTab::AllLocations:
        return true;
    default:
        return false;
    }
}

DrawOutcome DrawRecords(QImage& image, const MapCalibration& calibration,
                        const DrawSettings& settings, RunKind run, bool redraw,
                        AbundanceSizes& sizes, const std::vector<RunRecord>& records) {
    DrawOutcome outcome;
    const int outlineWidth = LineWidth(settings.outlineWidth);
    StyleRequest request;
    request.tab = settings.tab;
    request.run = run;
    request.redraw = redraw;
    request.separationYear = settings.separationYear;
    request.abundanceSizes = &sizes;
    // The slot's own numbers are checked before the first dot, so that a bad size leaves the
    // map as it was.
    (void)ResolveStyle(settings.styles, request);
    const bool noteAbundance = run == RunKind::Taxon && settings.tab == StyleTab::Abundance;
    SymbolPainter painter(image);
    for (const RunRecord& record : records) {
        if (noteAbundance)
            sizes.Note(record.abundance);
        request.year = record.location.jaar;
        request.abundance = record.abundance;
        const ResolvedStyle style = ResolveStyle(settings.styles, request);
        const RecordSymbolResult result = DrawRecordSymbol(painter, calibration, settings.rules,
                                                           style, outlineWidth, record.location);
        if (result.drawn)
            ++outcome.drawn;
        if (result.abortRun) {
            outcome.aborted = true;
            return outcome;
        }
    }
    if (run == RunKind::Taxon)
        sizes.Sort();
    return outcome;
}

std::vector<RunRecord> AllLocationRecords(core::Dataset& locations) {
    std::vector<RunRecord> records;
    if (locations.State() == core::DatasetState::Inactive)
        return records;
    const int current = locations.RecNo();
    locations.DisableControls();
    struct Resume {
        core::Dataset& table;
        ~Resume() { table.EnableControls(); }
    } resume{locations};
    records.reserve(static_cast<std::size_t>(std::max(locations.RecordCount(), 0)));
    for (locations.First(); !locations.Eof(); locations.Next())
        records.push_back({CurrentLocation(locations), QString()});
    if (current > 0)
        locations.SetRecNo(current);
    return records;
}

} // namespace velmora::maps
