// The message blocks of all modules together. Language files translate by identifier, so an
// identifier (or a name) in two blocks would give one translation to two texts; each block
// keeps to the identifier ranges that core/resourcestrings.h gives its module, so that a new
// text finds its number without clashing; and each module's ResStr reads its own block.

#include "charts/messages.h"
#include "common/tempdir.h"
#include "core/resourcestrings.h"
#include "ecology/messages.h"
#include "maps/messages.h"
#include "recording/messages.h"
#include "session/messages.h"
#include "support/interfacelanguage.h"
#include "ui/messages.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace velmora;

namespace {

struct Block {
    QString module;
    const std::vector<core::ResourceString>* texts;
};

// The blocks below ui/ as the language tools see them, then the windows' own.
std::vector<Block> Blocks() {
    std::vector<Block> blocks;
    for (const session::MessageBlock& b : session::MessageBlocks())
        blocks.push_back({QString::fromLatin1(b.module), b.texts});
    blocks.push_back({QStringLiteral("ui"), &ui::Messages()});
    return blocks;
}

struct Range {
    int first;
    int last;
};

// The list "Identifiers by module" at the top of core/resourcestrings.h: a line per module
// ("//   ecology    1401-1402, 3001, ..."), wrapped lines continuing without a module name.
std::map<QString, std::vector<Range>> DocumentedRanges(QStringList& problems) {
    const QStringList lines =
        QString::fromUtf8(
            velmora::testing::ReadAll(QStringLiteral(VELMORA_SOURCE_DIR "/core/resourcestrings.h")))
            .split(QLatin1Char('\n'));
    static const QRegularExpression moduleLine(QStringLiteral(R"(^//\s+([a-z]+)\s+(\d.*)$)"));
    static const QRegularExpression continuation(QStringLiteral(R"(^//\s+(\d.*)$)"));
    static const QRegularExpression range(QStringLiteral(R"(^(\d+)(?:-(\d+))?$)"));
    std::map<QString, std::vector<Range>> ranges;
    const qsizetype start = lines.indexOf(QStringLiteral("// Identifiers by module:"));
    if (start < 0) {
        problems << "core/resourcestrings.h has no list \"Identifiers by module:\"";
        return ranges;
    }
    QString module;
    for (qsizetype i = start + 1; i < lines.size() && lines[i].trimmed() != "//"; ++i) {
        QString list;
        if (const QRegularExpressionMatch m = moduleLine.match(lines[i]); m.hasMatch()) {
            module = m.captured(1);
            list = m.captured(2);
        } else if (const QRegularExpressionMatch c = continuation.match(lines[i]);
                   c.hasMatch() && !module.isEmpty()) {
            list = c.captured(1);
        } else {
            problems << "cannot read the line '" + lines[i] + "'";
            continue;
        }
        for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch r = range.match(item.trimmed());
            if (!r.hasMatch()) {
                problems << module + ": cannot read the range '" + item.trimmed() + "'";
                continue;
            }
            const int first = r.captured(1).toInt();
            const int last = r.captured(2).isEmpty() ? first : r.captured(2).toInt();
            if (last < first)
                problems << module + ": the range " + item.trimmed() + " runs backwards";
            ranges[module].push_back({first, last});
        }
    }
    return ranges;
}

QString Entry(const core::ResourceString& rs) {
    return QStringLiteral("%1_%2").arg(rs.id).arg(QLatin1String(rs.name));
}

// A module with a messages.h whose block the list leaves out would go unchecked against the
// language files.
TEST(MessageBlocks, EveryModuleWithMessagesIsListed) {
    std::set<QString> listed;
    for (const Block& block : Blocks())
        listed.insert(block.module);
    const QDir source(QStringLiteral(VELMORA_SOURCE_DIR));
    for (const QString& folder : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (source.exists(folder + "/messages.h")) {
            EXPECT_TRUE(listed.count(folder)) << folder.toStdString() << "/messages.h";
        }
    }
}

TEST(MessageBlocks, EveryIdentifierAndNameBelongsToOneBlock) {
    std::map<int, QString> idOwner;
    std::map<QString, QString> nameOwner;
    QStringList clashes;
    for (const Block& block : Blocks()) {
        EXPECT_FALSE(block.texts->empty()) << block.module.toStdString();
        for (const core::ResourceString& rs : *block.texts) {
            const auto [id, newId] = idOwner.emplace(rs.id, block.module);
            if (!newId)
                clashes << Entry(rs) + " in " + block.module + ", its identifier also in " +
                               id->second;
            const auto [name, newName] = nameOwner.emplace(QLatin1String(rs.name), block.module);
            if (!newName)
                clashes << Entry(rs) + " in " + block.module + ", its name also in " + name->second;
        }
    }
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join('\n').toStdString();
}

TEST(MessageBlocks, EachBlockKeepsToTheRangesOfItsModule) {
    QStringList problems;
    const std::map<QString, std::vector<Range>> documented = DocumentedRanges(problems);
    ASSERT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();

    // The list must be unambiguous: no number in the ranges of two modules.
    std::vector<std::pair<Range, QString>> all;
    for (const auto& [module, ranges] : documented) {
        for (const Range& r : ranges)
            all.push_back({r, module});
    }
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return a.first.first < b.first.first; });
    // Sorted by start, a range overlaps an earlier one exactly when it starts at or before the
    // furthest end so far.
    for (size_t i = 1, furthest = 0; i < all.size(); ++i) {
        if (all[i].first.first <= all[furthest].first.last)
            problems << QStringLiteral("%1 (%2-%3) overlaps %4 (%5-%6)")
                            .arg(all[i].second)
                            .arg(all[i].first.first)
                            .arg(all[i].first.last)
                            .arg(all[furthest].second)
                            .arg(all[furthest].first.first)
                            .arg(all[furthest].first.last);
        if (all[i].first.last > all[furthest].first.last)
            furthest = i;
    }

    std::set<QString> listed;
    for (const auto& entry : documented)
        listed.insert(entry.first);
    for (const Block& block : Blocks()) {
        const auto found = documented.find(block.module);
        if (found == documented.end()) {
            problems << block.module + " has texts but no line in the list";
            continue;
        }
        listed.erase(block.module);
        for (const core::ResourceString& rs : *block.texts) {
            const bool inRange =
                std::any_of(found->second.begin(), found->second.end(),
                            [&](const Range& r) { return r.first <= rs.id && rs.id <= r.last; });
            if (!inRange)
                problems << Entry(rs) + " lies outside the ranges of " + block.module;
        }
    }
    for (const QString& module : listed)
        problems << module + " is listed but has no block";
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

// Each module's ResStr over every identifier of its block gives that block's built-in text.
TEST(MessageBlocks, EachModuleReadsItsOwnBlock) {
    core::SetResourceTranslator({}); // the built-in texts
    const struct {
        const char* module;
        const std::vector<core::ResourceString>& block;
        std::function<QString(int)> resStr;
    } modules[] = {
        {"core", core::Messages(), [](int id) { return core::ResStr(core::Message(id)); }},
        {"ecology", ecology::Messages(),
         [](int id) { return ecology::ResStr(ecology::Message(id)); }},
        {"recording", recording::Messages(),
         [](int id) { return recording::ResStr(recording::Message(id)); }},
        {"charts", charts::Messages(), [](int id) { return charts::ResStr(charts::Message(id)); }},
        {"maps", maps::Messages(), [](int id) { return maps::ResStr(maps::Message(id)); }},
        {"session", session::Messages(),
         [](int id) { return session::ResStr(session::Message(id)); }},
        {"ui", ui::Messages(), [](int id) { return ui::ResStr(ui::Message(id)); }},
    };
    for (const auto& m : modules) {
        for (const core::ResourceString& rs : m.block)
            EXPECT_EQ(m.resStr(rs.id), QString::fromUtf8(rs.text))
                << m.module << ": " << Entry(rs).toStdString();
    }
    support::Localizer().InstallResourceTranslator();
}

} // namespace
