#include "maps/dotrun.h"

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

RecordDrawer::RecordDrawer(QImage& image, const MapCalibration& calibration,
                           const DrawSettings& settings, RunKind run, bool redraw,
                           const AbundanceSizes& sizes)
    : m_painter(image), m_calibration(calibration), m_settings(settings),
      m_outlineWidth(LineWidth(settings.outlineWidth)) {
    m_request.tab = settings.tab;
    m_request.run = run;
    m_request.redraw = redraw;
    m_request.separationYear = settings.separationYear;
    m_request.abundanceSizes = &sizes;
    (void)ResolveStyle(settings.styles, m_request);
}

RecordSymbolResult RecordDrawer::Draw(const LocationRecord& location, const QString& abundance) {
    m_request.year = location.jaar;
    m_request.abundance = abundance;
    const ResolvedStyle style = ResolveStyle(m_settings.styles, m_request);
    return DrawRecordSymbol(m_painter, m_calibration, m_settings.rules, style, m_outlineWidth,
                            location);
}

DrawOutcome DrawRecords(QImage& image, const MapCalibration& calibration,
                        const DrawSettings& settings, RunKind run, bool redraw,
                        AbundanceSizes& sizes, const std::vector<RunRecord>& records) {
    DrawOutcome outcome;
    RecordDrawer drawer(image, calibration, settings, run, redraw, sizes);
    const bool noteAbundance = run == RunKind::Taxon && settings.tab == StyleTab::Abundance;
    for (const RunRecord& record : records) {
        if (noteAbundance)
            sizes.Note(record.abundance);
        const RecordSymbolResult result = drawer.Draw(record.location, record.abundance);
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
