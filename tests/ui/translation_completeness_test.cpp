// The English language file against the program: every text a window shows has an English
// entry, every entry reaches its control, and every message of every module's block is
// translated. A new control, window or message without English fails here with a list of
// what is missing.

#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/resourcestrings.h"
#include "ecology/ecologydata.h"
#include "session/messages.h"
#include "session/session.h"
#include "support/interfacelanguage.h"
#include "ui/formtranslator.h"
#include "ui/messages.h"
#include "ui/tboxplotform.h"
#include "ui/tcheckform.h"
#include "ui/tdataform.h"
#include "ui/tdistributionform.h"
#include "ui/tfotomapform.h"
#include "ui/tgridcolumnselect.h"
#include "ui/tlocationform.h"
#include "ui/tmainform.h"
#include "ui/tnwform.h"
#include "ui/tprefform.h"
#include "ui/tprogress.h"
#include "ui/tselectdbform.h"
#include "ui/ttableform.h"

#include <QMainWindow>
#include <QRegularExpression>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace velmora;

namespace {

const QString kEnglishFile = QStringLiteral(VELMORA_SOURCE_DIR "/data/Lang/EN.lng");

// Every window the program creates, built as its constructor leaves it: the state a language
// file translates. A window added to the start-up needs a line here (see the test
// EveryWindowOfTheStartupIsChecked).
struct Windows {
    session::Session session;
    ecology::EcologyData& ecology = session.Ecology();
    QMainWindow mainWindow;
    ui::TGridColumnSelect columnSelect;
    std::vector<std::pair<QString, std::function<std::unique_ptr<QWidget>()>>> factories = {
        {"TMainForm", [this] { return std::make_unique<ui::TMainForm>(session); }},
        {"TDataForm", [this] { return std::make_unique<ui::TDataForm>(session.Store()); }},
        {"TProgress", [] { return std::make_unique<ui::TProgress>(); }},
        {"TNWForm", [this] { return std::make_unique<ui::TNWForm>(ecology, &mainWindow); }},
        {"TPrefForm", [this] { return std::make_unique<ui::TPrefForm>(session); }},
        {"TSelectDBForm", [this] { return std::make_unique<ui::TSelectDBForm>(session.Store()); }},
        {"TLocationForm",
         [this] {
             auto form = std::make_unique<ui::TLocationForm>(session.Store(), session.Ecology());
             form->SetColumnChooser(&columnSelect);
             return form;
         }},
        {"TFotoMapForm", [] { return std::make_unique<ui::TFotoMapForm>(); }},
        {"TGridColumnSelect", [] { return std::make_unique<ui::TGridColumnSelect>(); }},
        {"TBoxplotForm", [] { return std::make_unique<ui::TBoxplotForm>(); }},
        {"TCheckForm",
         [this] { return std::make_unique<ui::TCheckForm>(session.Store(), ecology.searchList); }},
        {"TTableForm",
         [this] { return std::make_unique<ui::TTableForm>(session.Store(), ecology); }},
        {"TDistributionForm",
         [this] { return std::make_unique<ui::TDistributionForm>(session); }},
    };
};

support::TFreeLocalizer& English() {
    static support::TFreeLocalizer localizer;
    static bool loaded = false;
    if (!loaded) {
        localizer.LoadLanguageFile(kEnglishFile);
        loaded = true;
    }
    return localizer;
}

// The paths the file translates for a window class and its ancestors (letter case ignored).
QSet<QString> TranslatedPaths(const QStringList& chain) {
    QSet<QString> paths;
    for (const QString& className : chain) {
        if (const support::FormSection* section = English().Section(className)) {
            for (const QString& path : section->paths)
                paths.insert(path.toLower());
        }
    }
    return paths;
}

// Every message of the program: the blocks below ui/ and the windows' own.
const std::vector<core::ResourceString>& AllMessages() {
    static const std::vector<core::ResourceString> all = [] {
        std::vector<core::ResourceString> texts = session::AllMessages();
        texts.insert(texts.end(), ui::Messages().begin(), ui::Messages().end());
        return texts;
    }();
    return all;
}

// While alive, every message text comes marked, so that a window built meanwhile shows
// which of its texts come from the message table (and are translated there).
class MarkedMessages {
public:
    MarkedMessages() {
        core::SetResourceTranslator([](int id) -> std::optional<QString> {
            for (const core::ResourceString& rs : AllMessages()) {
                if (rs.id == id)
                    return "[[" + QString::fromUtf8(rs.text) + "]]";
            }
            return std::nullopt;
        });
    }
    ~MarkedMessages() { support::Localizer().InstallResourceTranslator(); }
};

// The texts of a window and of its frames, by class and path.
using TextMap = std::map<QString, QString>;
void CollectTexts(QWidget* form, TextMap& texts) {
    const QString className = ui::FormClassChain(form).value(0);
    for (const ui::TranslatableText& t : ui::TranslatableTexts(form)) {
        if (!t.path.isEmpty())
            texts.emplace(className + "." + t.path, t.text);
    }
    for (QWidget* frame : ui::OwnedFrames(form))
        CollectTexts(frame, texts);
}

// The texts of a window (and of its frames) that have no English entry. A text that reads
// differently when the window is built with marked messages comes from the message table,
// which translates it.
void CollectMissing(QWidget* form, const TextMap& withMarkedMessages, QStringList& missing,
                    QSet<QString>& classes) {
    const QStringList chain = ui::FormClassChain(form);
    for (const QString& name : chain)
        classes.insert(name);
    const QSet<QString> translated = TranslatedPaths(chain);
    for (const ui::TranslatableText& t : ui::TranslatableTexts(form)) {
        if (t.path.isEmpty()) {
            missing << chain.value(0) + ": " + t.where + " shows '" + t.text +
                           "' but has no objectName to translate it by";
            continue;
        }
        const auto marked = withMarkedMessages.find(chain.value(0) + "." + t.path);
        const bool fromMessages = marked != withMarkedMessages.end() && marked->second != t.text;
        if (!fromMessages && !translated.contains(t.path.toLower()))
            missing << "[" + chain.value(0) + "] " + t.path + "='" + t.text + "'";
        // An entry would overwrite what the program writes there (a database name, say).
        if (fromMessages && translated.contains(t.path.toLower()))
            missing << "[" + chain.value(0) + "] " + t.path +
                           " comes from the messages; its entry must go";
    }
    for (QWidget* frame : ui::OwnedFrames(form))
        CollectMissing(frame, withMarkedMessages, missing, classes);
}

TEST(EnglishTranslation, FileLoadsWithoutComplaint) {
    ASSERT_FALSE(English().LanguageFile().isEmpty())
        << "cannot load " << kEnglishFile.toStdString();
    QStringList problems;
    for (const support::LocalizerError& e : English().Errors())
        problems << QStringLiteral("line %1: %2").arg(e.line).arg(e.detail);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

TEST(EnglishTranslation, EveryWindowTextHasAnEntry) {
    Windows windows;
    TextMap withMarkedMessages;
    {
        MarkedMessages marked;
        for (const auto& factory : windows.factories)
            CollectTexts(factory.second().get(), withMarkedMessages);
    }
    QStringList missing;
    QSet<QString> classes;
    for (const auto& [name, make] : windows.factories) {
        std::unique_ptr<QWidget> form = make();
        // Each window names its section itself: renaming a class breaks no language file.
        EXPECT_TRUE(ui::DeclaresFormName(form->metaObject())) << name.toStdString();
        ASSERT_EQ(ui::FormClassName(form->metaObject()), name);
        CollectMissing(form.get(), withMarkedMessages, missing, classes);
    }
    EXPECT_TRUE(missing.isEmpty()) << "data/Lang/EN.lng does not match the windows:\n"
                                   << missing.join('\n').toStdString();
    // A section for a class no window has is left over from a removed window.
    for (const support::FormSection& section : English().Sections())
        EXPECT_TRUE(classes.contains(section.name))
            << "no window of class " << section.name.toStdString();
}

TEST(EnglishTranslation, EveryEntryReachesItsControl) {
    Windows windows;
    support::TFreeLocalizer localizer;
    localizer.LoadLanguageFile(kEnglishFile);
    localizer.ClearErrors();
    for (const auto& [name, make] : windows.factories) {
        std::unique_ptr<QWidget> form = make();
        ui::WidgetFormAccess access(form.get());
        localizer.TranslateForm(access);
    }
    QStringList stale;
    for (const support::LocalizerError& e : localizer.Errors())
        stale << e.detail;
    EXPECT_TRUE(stale.isEmpty()) << "Entries that reach nothing:\n"
                                 << stale.join('\n').toStdString();
}

TEST(EnglishTranslation, EveryWindowOfTheStartupIsChecked) {
    QString startup = QString::fromUtf8(
        velmora::testing::ReadAll(QStringLiteral(VELMORA_SOURCE_DIR "/ui/startup.cpp")));
    static const QRegularExpression created(
        QStringLiteral(R"((?:make_unique<|new\s+)(?:ui::)?(T[A-Z]\w*)\b)"));
    Windows windows;
    QSet<QString> known;
    for (const auto& factory : windows.factories)
        known.insert(factory.first);
    for (const QRegularExpressionMatch& m : created.globalMatch(startup))
        EXPECT_TRUE(known.contains(m.captured(1)))
            << m.captured(1).toStdString() << " is created at start-up but not checked here";
}

TEST(EnglishTranslation, EveryMessageHasAnEntry) {
    // The identifiers and names as the file writes them, in file order.
    const QStringList lines =
        QString::fromUtf8(velmora::testing::ReadAll(kEnglishFile)).split(QStringLiteral("\r\n"));
    static const QRegularExpression entry(QStringLiteral(R"(^(\d+)_(\w+)=)"));
    std::map<int, QString> names;
    int previous = -1;
    bool inResources = false;
    for (const QString& line : lines) {
        if (line.startsWith('['))
            inResources = line.compare("[RESOURCESTRINGS]", Qt::CaseInsensitive) == 0;
        const QRegularExpressionMatch m = entry.match(line);
        if (!inResources || !m.hasMatch())
            continue;
        const int id = m.captured(1).toInt();
        EXPECT_GT(id, previous) << "identifiers must ascend: " << line.toStdString();
        previous = id;
        names[id] = m.captured(2);
    }

    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    auto placeholders = [](const QString& text) {
        QStringList found;
        for (const QRegularExpressionMatch& m : placeholder.globalMatch(text))
            found << m.captured();
        found.sort();
        return found;
    };
    QStringList missing;
    for (const core::ResourceString& rs : AllMessages()) {
        const QString dutch = QString::fromUtf8(rs.text);
        const auto found = names.find(rs.id);
        if (found == names.end() || found->second != QLatin1String(rs.name)) {
            missing << QStringLiteral("%1_%2").arg(rs.id).arg(rs.name) + "  (" + dutch + ")";
            continue;
        }
        const std::optional<QString> english = English().ResStringer().Lookup(rs.id);
        ASSERT_TRUE(english.has_value()) << rs.name;
        EXPECT_EQ(placeholders(*english), placeholders(dutch)) << rs.name;
        names.erase(found);
    }
    EXPECT_TRUE(missing.isEmpty()) << "Messages without English in data/Lang/EN.lng:\n"
                                   << missing.join('\n').toStdString();
    for (const auto& [id, name] : names)
        ADD_FAILURE() << "EN.lng translates " << id << "_" << name.toStdString()
                      << ", which the program does not have";
}

} // namespace
