#include "common/tempdir.h"
#include "core/resourcestrings.h"
#include "support/tfreelocalizer.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::support;
using velmora::testing::WriteAll;

namespace {

const QByteArray kSig = "; Tarvo's Zendra Localizer Language File.\r\n";

// A language file in a temporary folder.
struct LangFile {
    QTemporaryDir dir;
    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("XX.lng")) {
        const QString path = dir.filePath(name);
        WriteAll(path, bytes);
        return path;
    }
};

// Counts what the engine asks of the interface layer.
struct FakeHost : FormHost {
    std::vector<bool> autoChanges;
    int translateAll = 0;
    void AutoTranslateChanged(bool on) override { autoChanges.push_back(on); }
    void TranslateAllForms() override { ++translateAll; }
};

// A window that records the entries applied to it; paths starting with "Missing" lead
// nowhere.
struct FakeForm : FormAccess {
    QStringList chain;
    std::vector<std::shared_ptr<FakeForm>> frames;
    QStringList* log;
    FakeForm(QStringList classes, QStringList* applied) : chain(std::move(classes)), log(applied) {}
    QStringList ClassChain() const override { return chain; }
    std::vector<std::unique_ptr<FormAccess>> Frames() const override {
        std::vector<std::unique_ptr<FormAccess>> result;
        for (const auto& frame : frames) {
            auto copy = std::make_unique<FakeForm>(frame->chain, log);
            result.push_back(std::move(copy));
        }
        return result;
    }
    bool Apply(const QString& path, const QString& value) override {
        if (path.startsWith(QLatin1String("Missing")))
            return false;
        log->append(path + QLatin1Char('=') + value);
        return true;
    }
};

std::vector<LocalizerErrorKind> Kinds(const TFreeLocalizer& localizer) {
    std::vector<LocalizerErrorKind> kinds;
    for (const LocalizerError& e : localizer.Errors())
        kinds.push_back(e.kind);
    return kinds;
}

TEST(Localizer, ReadsSectionsEntriesAndSkipsMarkedLines) {
    LangFile f;
    const QString path =
        f.Write(kSig + "; a comment\r\n"
                       "Humanize=0\r\n"
                       "Stray=ignored outside a section\r\n"
                       "\r\n"
                       "[TMainForm]\r\n"
                       "Caption{was: Hoofdvenster}='Main window'\r\n"
                       "SelectDatabase.Caption='Open, create or delete database'\r\n"
                       "(x)OldButton.Caption='obsolete'\r\n"
                       "(!)NewLabel.Caption='not translated yet'\r\n"
                       "Sorteer.Items='By name' 'Oldest first'\r\n"
                       "NoEqualsSign\r\n"
                       "Bad\xff\xfeUtf8.Caption='x'\r\n"
                       "ExpertLabel.Hint='\xc3\x89\xc3\xa9n'\r\n"
                       "[TProgress] \r\n"
                       "Caption='Progress'\n");
    TFreeLocalizer localizer;
    localizer.LoadLanguageFile(path);
    EXPECT_EQ(localizer.LanguageFile(), path);
    ASSERT_EQ(localizer.Sections().size(), 2u);
    const FormSection& main = localizer.Sections()[0];
    EXPECT_EQ(main.name, "TMainForm"); // only the brackets go
    EXPECT_EQ(main.paths, QStringList({"Caption", "SelectDatabase.Caption", "Sorteer.Items",
                                       "ExpertLabel.Hint"}));
    EXPECT_EQ(main.values, QStringList({"Main window", "Open, create or delete database",
                                        "By name\rOldest first", QString::fromUtf8("Één")}));
    EXPECT_EQ(localizer.Sections()[1].name, "TProgress");
    EXPECT_NE(localizer.Section("tprogress"), nullptr);
    EXPECT_EQ(Kinds(localizer),
              (std::vector{LocalizerErrorKind::SkippedLine, LocalizerErrorKind::SkippedLine,
                           LocalizerErrorKind::BadLine, LocalizerErrorKind::InvalidUtf8}));
    EXPECT_EQ(localizer.Errors()[2].line, 12);
}

TEST(Localizer, SignatureDecidesWhetherAnythingLoads) {
    const QByteArray body = "[TMainForm]\r\nCaption='Main window'\r\n";
    struct Case {
        QByteArray head;
        bool loads;
    } cases[] = {
        {kSig, true},
        {"\xEF\xBB\xBF" + kSig, true},
        {"; Tarvo's Zendra Localizer Language File.\n", true},
        {"", false},
        {"; Tarvo's Zendra Localizer Language File\r\n", false},
        {"; tarvo's zendra localizer language file.\r\n", false},
        {"\r\n" + kSig, false},
    };
    LangFile f;
    const QString good = f.Write(kSig + "[TOld]\r\nCaption='old'\r\n", "Good.lng");
    for (const Case& c : cases) {
        TFreeLocalizer localizer;
        localizer.LoadLanguageFile(good);
        localizer.LoadLanguageFile(f.Write(c.head + body));
        EXPECT_EQ(localizer.Section("TMainForm") != nullptr, c.loads) << c.head.constData();
        // Whatever the outcome, the previous file's sections are gone.
        EXPECT_EQ(localizer.Section("TOld"), nullptr);
        EXPECT_EQ(localizer.LanguageFile().endsWith("XX.lng"), c.loads);
    }
    // An empty file is a bad signature too.
    TFreeLocalizer localizer;
    localizer.LoadLanguageFile(f.Write(""));
    EXPECT_EQ(Kinds(localizer), std::vector{LocalizerErrorKind::BadSignature});
}

TEST(Localizer, MissingFileChangesNothing) {
    LangFile f;
    TFreeLocalizer localizer;
    localizer.LoadLanguageFile(f.Write(kSig + "[TMainForm]\r\nCaption='Main'\r\n"));
    localizer.LoadLanguageFile(f.dir.filePath("None.lng"));
    EXPECT_NE(localizer.Section("TMainForm"), nullptr);
    EXPECT_EQ(Kinds(localizer), std::vector{LocalizerErrorKind::FileUnreadable});
}

TEST(Localizer, NameResolution) {
    LangFile f;
    f.Write(kSig + "[TA]\r\nCaption='a'\r\n", "EN.lng");
    TFreeLocalizer localizer;
    localizer.SetLanguageDir(f.dir.path()); // a separator is added
    localizer.LoadLanguageFile("EN");       // and the extension
    EXPECT_NE(localizer.Section("TA"), nullptr);
    EXPECT_EQ(localizer.LanguageFile(), f.dir.filePath("EN.lng"));
}

TEST(Localizer, StopsLoadingWhereGoingOnIsUnsafe) {
    struct Case {
        const char* name;
        QByteArray tail; // after a good [TFirst] section
        LocalizerErrorKind error;
    } cases[] = {
        {"deleted window", "[(x)TOldForm]\r\nCaption='gone'\r\n",
         LocalizerErrorKind::DeletedWindow},
        {"empty path", "[TNext]\r\n{only a comment}='x'\r\n", LocalizerErrorKind::BadLine},
        {"open quote", "[TNext]\r\nCaption='x\r\n", LocalizerErrorKind::BadValue},
        {"bad code", "[RESOURCESTRINGS]\r\n1001_rsA=#x\r\n", LocalizerErrorKind::BadValue},
    };
    LangFile f;
    for (const Case& c : cases) {
        FakeHost host;
        TFreeLocalizer localizer;
        localizer.SetFormHost(&host);
        localizer.SetAutoTranslate(true);
        localizer.LoadLanguageFile(f.Write(kSig + "[TFirst]\r\nCaption='first'\r\n" + c.tail +
                                           "[TLast]\r\nCaption='never read'\r\n"
                                           "[RESOURCESTRINGS]\r\n1001_rsA='never read'\r\n"));
        EXPECT_NE(localizer.Section("TFirst"), nullptr) << c.name; // read before: in force
        EXPECT_EQ(localizer.Section("TLast"), nullptr) << c.name;
        EXPECT_TRUE(localizer.ResStringer().Entries().empty()) << c.name;
        EXPECT_EQ(Kinds(localizer).back(), c.error) << c.name;
        // An incomplete load neither counts as loaded nor retranslates the windows.
        EXPECT_TRUE(localizer.LanguageFile().isEmpty()) << c.name;
        EXPECT_EQ(host.translateAll, 0) << c.name;
    }
}

TEST(Localizer, ResourceStringsAndTheirLookup) {
    LangFile f;
    TFreeLocalizer localizer;
    localizer.LoadLanguageFile(f.Write(kSig + "[resourcestrings]\r\n"
                                              "1001_rsDatabaseInUse='In use'\r\n"
                                              "(x)1002_rsOld='obsolete'\r\n"
                                              "abc_rsBad='no number'\r\n"
                                              "1003_rsClick='Click '#39'OK'#39'.'\r\n"
                                              "1005_rsTwo='Line 1' 'Line 2'\r\n"
                                              "[TMainForm]\r\n"
                                              "Caption='Main'\r\n"));
    const TResStringer& rs = localizer.ResStringer();
    EXPECT_TRUE(rs.Active());
    EXPECT_EQ(rs.Entries().size(), 3u);
    EXPECT_EQ(rs.Lookup(1001), "In use");
    EXPECT_EQ(rs.Lookup(1003), "Click 'OK'.");
    EXPECT_EQ(rs.Lookup(1005), "Line 1\rLine 2");
    EXPECT_FALSE(rs.Lookup(1002));
    EXPECT_FALSE(rs.Lookup(1004));
    EXPECT_NE(localizer.Section("TMainForm"), nullptr); // the next header ends the section
    EXPECT_EQ(Kinds(localizer),
              (std::vector{LocalizerErrorKind::SkippedLine, LocalizerErrorKind::BadResourceId}));
}

TEST(Localizer, DescendingIdentifiersAreNotAllFound) {
    LangFile f;
    QByteArray lines = kSig + "[RESOURCESTRINGS]\r\n";
    for (int id = 1007; id >= 1001; --id)
        lines += QByteArray::number(id) + "_rsX='text " + QByteArray::number(id) + "'\r\n";
    TFreeLocalizer localizer;
    localizer.LoadLanguageFile(f.Write(lines));
    int found = 0;
    for (int id = 1001; id <= 1007; ++id) {
        if (auto text = localizer.ResStringer().Lookup(id)) {
            EXPECT_EQ(*text, QStringLiteral("text %1").arg(id)); // never a wrong text
            ++found;
        }
    }
    EXPECT_GT(found, 0);
    EXPECT_LT(found, 7);
}

TEST(Localizer, TranslatorActiveFollowsTheLastSectionRead) {
    LangFile f;
    const QString withEntries = f.Write(kSig + "[RESOURCESTRINGS]\r\n1001_rsA='A'\r\n", "A.lng");
    const QString emptySection = f.Write(kSig + "[RESOURCESTRINGS]\r\n", "B.lng");
    const QString noSection = f.Write(kSig + "[TMainForm]\r\nCaption='x'\r\n", "C.lng");
    TFreeLocalizer localizer;
    EXPECT_TRUE(localizer.ResStringer().Active()); // on from creation
    localizer.LoadLanguageFile(emptySection);
    EXPECT_FALSE(localizer.ResStringer().Active());
    EXPECT_FALSE(localizer.ResStringer().Lookup(1001));
    localizer.LoadLanguageFile(withEntries);
    EXPECT_TRUE(localizer.ResStringer().Active()); // a later file with texts serves them
    localizer.LoadLanguageFile(noSection);         // a file without the section keeps them
    EXPECT_EQ(localizer.ResStringer().Lookup(1001), "A");
    EXPECT_FALSE(localizer.ResStringer().Lookup(TResStringer::kFirstLiteral + 1001));
}

TEST(Localizer, HumanizedFilesInFormsAndMessages) {
    struct Case {
        const char* name;
        QByteArray options;
        QString form;     // the decoded form value of "one\two|three"
        QString resource; // and the resource string
    } cases[] = {
        {"one marker", "Humanize=1\r\n", "one\rtwo|three", "one\r\ntwo|three"},
        {"divider", "Humanize=1\r\nHumanizeDivider=|\r\n", "one\\two\rthree", "one\\two\r\nthree"},
        {"specific markers override the divider",
         "HumanizeDivider=#\r\nHumanizedCRLF=|\r\nHumanizedCR=\\\r\nHumanize=1\r\n",
         "one\rtwo\r\nthree", "one\rtwo\r\nthree"},
        {"first option line counts", "Humanize=1\r\nHumanize=0\r\n", "one\rtwo|three",
         "one\r\ntwo|three"},
        // Anything but "1" leaves default mode, where unquoted characters only break lines.
        {"not on", "Humanize=yes\r\n", QString(13, QLatin1Char('\r')),
         QString(13, QLatin1Char('\r'))},
    };
    LangFile f;
    for (const Case& c : cases) {
        TFreeLocalizer localizer;
        localizer.LoadLanguageFile(f.Write(kSig + c.options +
                                           "[TMainForm]\r\nCaption=one\\two|three\r\n"
                                           "[RESOURCESTRINGS]\r\n1001_rsA=one\\two|three\r\n"));
        ASSERT_NE(localizer.Section("TMainForm"), nullptr) << c.name;
        EXPECT_EQ(localizer.Section("TMainForm")->values.value(0), c.form) << c.name;
        EXPECT_EQ(localizer.ResStringer().Lookup(1001), c.resource) << c.name;
    }
}

TEST(Localizer, TranslatesAncestorsFirstAndSkipsUnknownPaths) {
    LangFile f;
    TFreeLocalizer localizer;
    localizer.LoadLanguageFile(f.Write(kSig + "[TChildForm]\r\n"
                                              "Caption='child'\r\n"
                                              "MissingButton.Caption='x'\r\n"
                                              "OK.Caption='OK'\r\n"
                                              "[TBaseForm]\r\n"
                                              "Caption='base'\r\n"
                                              "[TPanelFrame]\r\n"
                                              "Title.Caption='frame'\r\n"));
    QStringList applied;
    FakeForm form({"TChildForm", "TBaseForm"}, &applied);
    form.frames.push_back(std::make_shared<FakeForm>(QStringList{"TPanelFrame"}, &applied));
    localizer.TranslateForm(form);
    EXPECT_EQ(applied.join(" | "),
              "Title.Caption=frame | Caption=base | Caption=child | OK.Caption=OK");
    ASSERT_EQ(localizer.Errors().size(), 1u);
    EXPECT_EQ(localizer.Errors()[0].kind, LocalizerErrorKind::UnknownProperty);
    EXPECT_EQ(localizer.Errors()[0].detail, "TChildForm.MissingButton.Caption");
}

TEST(Localizer, AutomaticTranslationGoesThroughTheHost) {
    LangFile f;
    const QString path = f.Write(kSig + "[TMainForm]\r\nCaption='Main'\r\n");
    FakeHost host;
    TFreeLocalizer localizer;
    localizer.SetFormHost(&host);
    localizer.LoadLanguageFile(path);
    EXPECT_EQ(host.translateAll, 0); // off: existing windows are left alone
    localizer.SetAutoTranslate(true);
    localizer.SetAutoTranslate(true);
    localizer.LoadLanguageFile(path);
    EXPECT_EQ(host.translateAll, 1);
    localizer.SetAutoTranslate(false);
    EXPECT_EQ(host.autoChanges, (std::vector{true, false}));
}

TEST(Localizer, ResStrPassesThroughTheInstalledTable) {
    LangFile f;
    const QString builtIn = QStringLiteral("De tabel is niet geopend");
    {
        TFreeLocalizer localizer;
        localizer.InstallResourceTranslator();
        EXPECT_EQ(core::ResStr(core::rsDbfNotOpen), builtIn); // nothing loaded yet
        localizer.LoadLanguageFile(f.Write(kSig + "[RESOURCESTRINGS]\r\n"
                                                  "1101_rsDbfNotOpen='Not open'#13#10'twice'\r\n"));
        EXPECT_EQ(core::ResStr(core::rsDbfNotOpen), "Not open\ntwice");
        EXPECT_EQ(core::ResStr(core::rsExcelNotInstalled),
                  QString::fromUtf8("Excel is niet geïnstalleerd op deze computer"));
    }
    EXPECT_EQ(core::ResStr(core::rsDbfNotOpen), builtIn); // gone with its engine
}

} // namespace
