#include "maps/maprun.h"

#include "maps/messages.h"

#include <vector>

namespace velmora::maps {

namespace {

enum class Verdict { Take, Skip, Stop };

// The skip rules every record of a run passes: the filter, then the period.
Verdict CheckLocation(const LocationRow& location, const RunOptions& options, RunWalk& walk) {
    if (options.filter) {
        switch (options.filter(location)) {
        case FilterOutcome::Error:
            walk.brokenOff = true;
            return Verdict::Stop;
        case FilterOutcome::Fail:
            return Verdict::Skip;
        case FilterOutcome::Pass:
            break;
        }
    }
    return Verdict::Take;
}

Verdict CheckPeriod(const LocationRow& location, const RunOptions& options, RunWalk& walk) {
    if (!options.periodOn)
        return Verdict::Take;
    const std::optional<int> year = LocationYear(location);
    if (!year) {
        walk.brokenOff = true;
        walk.error = ResStr(rsLocationYearNotRead).arg(location.locatie, location.jaar);
        return Verdict::Stop;
    }
    return *year < options.beginYear || *year > options.endYear ? Verdict::Skip : Verdict::Take;
}

} // namespace

std::optional<int> LocationYear(const LocationRow& location) {
    bool ok = false;
    const int year = location.jaar.left(4).trimmed().toInt(&ok);
    return ok ? std::optional<int>(year) : std::nullopt;
}

RunWalk WalkTaxon(const RunSource& source, const ecology::TaxaList& taxa, const QString& name,
                  const RunOptions& options) {
    RunWalk walk;
    const std::vector<SampleRow>& samples = source.Samples();
    walk.names = MatchList(name, taxa, options.names.currentNames, options.names.ignoreVarieties);
    // With varieties ignored the samples of a variety also follow its species' name: each
    // sample is taken once.
    std::vector<bool> taken(walk.names.size() > 1 ? samples.size() : 0, false);
    for (const QString& match : walk.names) {
        const qsizetype first = source.FirstWithPrefix(match);
        if (first < 0)
            continue;
        for (std::size_t i = std::size_t(first); i < samples.size(); ++i) {
            const SampleRow& sample = samples[i];
            const bool matches = sample.desmid == match ||
                                 (options.names.ignoreVarieties && sample.desmid.contains(match));
            if (!matches)
                break;
            if (!taken.empty() && taken[i])
                continue;
            const LocationRow* location = sample.idBlank ? nullptr : source.LocationById(sample.id);
            if (!location)
                continue;
            Verdict verdict = CheckLocation(*location, options, walk);
            if (verdict == Verdict::Take && options.names.ignoreUncertain && !IsFirmRecord(sample))
                verdict = Verdict::Skip;
            if (verdict == Verdict::Take)
                verdict = CheckPeriod(*location, options, walk);
            if (verdict == Verdict::Stop)
                return walk;
            if (verdict == Verdict::Skip)
                continue;
            if (options.names.zygosporesOnly && sample.zygo.isEmpty())
                continue;
            if (!taken.empty())
                taken[i] = true;
            walk.steps.push_back({location, &sample});
        }
    }
    return walk;
}

RunWalk WalkAllLocations(const RunSource& source, const RunOptions& options) {
    RunWalk walk;
    walk.steps.reserve(source.Locations().size());
    for (const LocationRow& location : source.Locations()) {
        Verdict verdict = CheckLocation(location, options, walk);
        if (verdict == Verdict::Take)
            verdict = CheckPeriod(location, options, walk);
        if (verdict == Verdict::Stop)
            return walk;
        if (verdict == Verdict::Take)
            walk.steps.push_back({&location, nullptr});
    }
    return walk;
}

LocationRecord ToLocationRecord(const LocationRow& location) {
    return {location.coordX, location.coordY, location.locatie,
            location.dag,    location.maand,  location.jaar};
}

RunOutcome TakeSteps(const RunWalk& walk, RunTables& tables, RecordDrawer& drawer, StyleTab tab,
                     AbundanceSizes& sizes) {
    RunOutcome outcome;
    for (const RunStep& step : walk.steps) {
        tables.Collect(*step.location, step.sample, tab, sizes);
        const RecordSymbolResult result = drawer.Draw(ToLocationRecord(*step.location),
                                                      step.sample ? step.sample->abund : QString());
        if (result.drawn)
            ++outcome.drawn;
        if (result.abortRun) {
            outcome.aborted = true;
            return outcome;
        }
    }
    if (walk.brokenOff)
        return outcome;
    tables.Finish(sizes);
    outcome.finished = true;
    return outcome;
}

} // namespace velmora::maps
