#include "common/printers.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ecology/messages.h"
#include "ecology/taxalistfile.h"
#include "session/messages.h"
#include "session/session.h"
#include "ui/messages.h"
#include "ui/tprefform.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace velmora;
using velmora::testing::WriteAll;

namespace {

// A level 4 annotated taxa list with the ten fields of the format.
void WriteTaxaList(const QString& path, const std::vector<QVariantList>& rows) {
    std::vector<core::dbf::FieldDef> fields;
    for (const QString& name : ecology::TaxaListFieldNames())
        fields.push_back(core::dbf::TextField(name.toStdString(), 50));
    core::Dataset::CreateTable(path, fields, core::dbf::TableLevel::Level4);
    core::Dataset table;
    table.Open(path);
    for (const QVariantList& row : rows)
        table.AppendRecord(row);
    table.Close();
}

// Passes everything to the scripted prompts and remembers where the folder chooser started.
class FolderPrompts final : public core::Prompts {
public:
    explicit FolderPrompts(core::ScriptedPrompts& script) : m_script(script) {
        core::SetUserPrompts(this);
    }
    ~FolderPrompts() override { core::SetUserPrompts(&m_script); }
    std::optional<QString> startDir; // of the last folder chooser

    void Message(const QString& text, core::MessageKind kind) override {
        m_script.Message(text, kind);
    }
    bool YesNo(const QString& text) override { return m_script.YesNo(text); }
    core::Answer YesNoCancel(const QString& text) override { return m_script.YesNoCancel(text); }
    bool OkAbort(const QString& text) override { return m_script.OkAbort(text); }
    std::optional<QString> InputText(const QString& c, const QString& p,
                                     const QString& i) override {
        return m_script.InputText(c, p, i);
    }
    QString ChooseOpenFile(const QString& c, const QString& s, const QString& f) override {
        return m_script.ChooseOpenFile(c, s, f);
    }
    QString ChooseSaveFile(const QString& c, const QString& s, const QString& f) override {
        return m_script.ChooseSaveFile(c, s, f);
    }
    QString ChooseFolder(const QString& title, const QString& start, bool allowNew) override {
        startDir = start;
        EXPECT_TRUE(allowNew);
        return m_script.ChooseFolder(title, start, allowNew);
    }
    std::optional<core::TColor> ChooseColor(core::TColor c) override {
        return m_script.ChooseColor(c);
    }
    std::optional<QFont> ChooseFont(const QFont& f) override { return m_script.ChooseFont(f); }
    void SetProgressRange(int a, int b) override { m_script.SetProgressRange(a, b); }
    void StartProgress() override { m_script.StartProgress(); }
    bool StepProgress(int p) override { return m_script.StepProgress(p); }
    void FinishProgress() override { m_script.FinishProgress(); }

private:
    core::ScriptedPrompts& m_script;
};

// Sets an environment variable for the lifetime of the guard.
class EnvironmentGuard {
public:
    EnvironmentGuard(const char* name, const QString& value)
        : m_name(name), m_old(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value.toUtf8());
    }
    ~EnvironmentGuard() {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_wasSet;
};

struct PrefForm : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    session::Session session;
    ecology::EcologyData& eco = session.Ecology();
    core::DatabaseStore& store = session.Store();
    QString photos; // an existing photo folder

    // The start-up steps of the session that the window relies on.
    void StartSession() {
        session.ReadSettings();
        session.LoadReferenceLists();
    }

    void SetUp() override {
        QDir root(dir.path());
        for (const char* sub : {"Data", "Lib", "Lang", "Photos"})
            root.mkdir(sub);
        QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                    dir.filePath("Lib/Biotoopcodes.dbf"));
        core::SetProgramDir(dir.path());
        photos = dir.filePath("Photos");
        WriteTaxaList(Lib("TaxaListAnnotatedNL.dbf"), {{"Cosmarium nl", "Cosmarium nl", "Ralfs",
                                                        "oligo", "acido", "", "1", "1", "", ""}});
        WriteTaxaList(Lib("TaxaListAnnotatedEU.dbf"), {{"Cosmarium eu", "Cosmarium eu", "Nordst.",
                                                        "meso", "neutr", "", "3", "2", "RL", ""}});
        WriteAll(Lib("AdditionalTaxalistNL.csv"), "#Closterium spec. nl\r\n");
        WriteAll(Lib("AdditionalTaxalistEU.csv"), "Staurastrum spec. eu\r\n");
        WriteAll(Lib("FieldNames.csv"), "Locatie, LOCATIE, C\r\n\"Hok nummer\" KXY\r\n");

        core::Settings stored = core::DefaultSettings();
        stored.analist = QStringLiteral("A. Analist");
        stored.photoFolder = photos;
        stored.order = 1;
        core::WriteSettingsFile(stored, IniPath());
        core::CurrentSettings() = core::DefaultSettings(); // the session reads the file again
    }
    void TearDown() override {
        store.CloseDatabase();
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }

    QString Lib(const QString& file) const { return dir.filePath("Lib/" + file); }
    QString IniPath() const { return dir.filePath("Data/VLX.ini"); }
    core::Settings Saved() const { return core::ReadSettingsFile(IniPath()); }

    static QRadioButton* Item(ui::TPrefForm& form, const char* group, int index) {
        auto* box = form.findChild<QGroupBox*>(QString::fromLatin1(group));
        const auto items = box->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        return items.value(index);
    }
    // A radio button takes clicks on its mark and text only, not across the whole row.
    static void Choose(ui::TPrefForm& form, const char* group, int index) {
        QRadioButton* item = Item(form, group, index);
        ASSERT_NE(item, nullptr) << group << index;
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
        ASSERT_TRUE(item->isChecked()) << group << index;
    }
    static void Click(ui::TPrefForm& form, const char* objectName) {
        auto* button = form.findChild<QAbstractButton*>(QString::fromLatin1(objectName));
        ASSERT_NE(button, nullptr) << objectName;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static QLineEdit* Edit(ui::TPrefForm& form, const char* objectName) {
        return form.findChild<QLineEdit*>(QString::fromLatin1(objectName));
    }
};

TEST_F(PrefForm, SessionStartLoadsSettingsListsAndFieldNames) {
    ui::TPrefForm form(session);
    StartSession();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
    EXPECT_EQ(core::CurrentSettings().analist, "A. Analist");
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium nl"), 0);
    EXPECT_TRUE(eco.searchList.Contains("Closterium spec. nl"));
    ASSERT_EQ(form.FieldNames().size(), 2u);
    EXPECT_EQ(form.FieldNames()[0], (core::FieldNameRow{"Locatie", "LOCATIE", "C"}));
    EXPECT_EQ(form.FieldNames()[1], (core::FieldNameRow{"Hok nummer", "KXY", ""}));

    form.show();
    EXPECT_EQ(form.windowTitle(), "Voorkeuren");
    EXPECT_EQ(Edit(form, "AnalistEdit")->text(), "A. Analist");
    EXPECT_EQ(Edit(form, "FotoMapEdit")->text(), photos);
    EXPECT_TRUE(Edit(form, "FotoMapEdit")->isReadOnly());
    EXPECT_TRUE(Item(form, "Sorteer", 1)->isChecked());
    EXPECT_TRUE(Item(form, "TaxaListBox", 0)->isChecked());
    EXPECT_TRUE(Item(form, "Boxplot", 0)->isChecked());
    EXPECT_FALSE(form.findChild<QCheckBox*>("TaxonInfoBox")->isChecked());
}

TEST_F(PrefForm, OkSwitchesTheTaxaListForTheNextCalculation) {
    ui::TPrefForm form(session);
    StartSession();
    int biotopeReloads = 0;
    form.SetReloadBiotopes([&] {
        ++biotopeReloads;
        // The lists are rebuilt before the biotopes, the settings saved after them.
        EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium eu"), 0);
        EXPECT_EQ(Saved().number, 0);
    });
    form.show();

    eco.tally.ClearData();
    eco.tally.AddTaxon("Cosmarium nl", false);
    eco.tally.ComputeNatureValue();
    EXPECT_EQ(eco.tally.R(), 1);

    Choose(form, "TaxaListBox", 1);
    Choose(form, "Boxplot", 1);
    Click(form, "TaxonInfoBox");
    Edit(form, "AnalistEdit")->setText("B. Analist");
    Click(form, "OKbtn");

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(biotopeReloads, 1);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
    const core::Settings saved = Saved();
    EXPECT_EQ(saved, core::CurrentSettings());
    EXPECT_EQ(saved.number, 1);
    EXPECT_EQ(saved.boxplotOrientation, 1);
    EXPECT_TRUE(saved.addInfo);
    EXPECT_EQ(saved.analist, "B. Analist");
    EXPECT_EQ(saved.order, 1);
    EXPECT_EQ(saved.photoFolder, photos); // untouched folder kept

    // The next calculation scores with the European list only; the search list keeps both.
    eco.tally.ClearData();
    eco.tally.AddTaxon("Cosmarium nl", false);
    eco.tally.AddTaxon("Cosmarium eu", false);
    eco.tally.ComputeNatureValue();
    EXPECT_EQ(eco.tally.R(), 3);
    EXPECT_EQ(eco.tally.S(), 2);
    EXPECT_EQ(eco.tally.RedListCount(), 1);
    for (const char* name :
         {"Cosmarium nl", "Cosmarium eu", "Closterium spec. nl", "Staurastrum spec. eu"})
        EXPECT_TRUE(eco.searchList.Contains(name)) << name;
}

TEST_F(PrefForm, ImportTaxaListReplacesTheChosenListAndTheNextCalculationUsesIt) {
    ui::TPrefForm form(session);
    StartSession();
    form.show();
    const QString bad = dir.filePath("bad.csv");
    WriteAll(bad, "Taxonnaam,HuidigeNaam,Zuurgraad,R\r\n"
                  "Cosmarium nieuw,Cosmarium nieuw,zuur,2\r\n"
                  "Cosmarium nieuw,Cosmarium nieuw,acido,x\r\n");
    const QString good = dir.filePath("good.csv");
    WriteAll(good, "Taxonnaam,HuidigeNaam,Zuurgraad,Trofie,R,S,RodeLijst\r\n"
                   "Cosmarium nieuw,Cosmarium nieuw,acido,oligo,2,3,GE\r\n"
                   "Closterium nieuw,Closterium nieuw,neutr,eu,1,,\r\n");
    const QByteArray before = [&] {
        QFile f(Lib("TaxaListAnnotatedNL.dbf"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    // A file with problems: every problem shown with its line, the list untouched.
    prompts.texts = {bad};
    prompts.answers = {core::Answer::Yes};
    Click(form, "ImportTaxaListBtn");
    // The chooser's caption, the question, the message.
    ASSERT_EQ(prompts.shown.size(), 3) << prompts.shown.join('\n').toStdString();
    EXPECT_TRUE(prompts.shown[2].contains("2:")) << prompts.shown[2].toStdString();
    EXPECT_TRUE(prompts.shown[2].contains("3:")) << prompts.shown[2].toStdString();
    QFile installed(Lib("TaxaListAnnotatedNL.dbf"));
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
    EXPECT_EQ(installed.readAll(), before);
    installed.close();
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium nl"), 0);

    // Declined at the question: nothing happens.
    prompts.shown.clear();
    prompts.texts = {good};
    prompts.answers = {core::Answer::No};
    Click(form, "ImportTaxaListBtn");
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium nieuw"), -1);

    prompts.shown.clear();
    prompts.texts = {good};
    prompts.answers = {core::Answer::Yes};
    Click(form, "ImportTaxaListBtn");
    ASSERT_EQ(prompts.shown.size(), 3) << prompts.shown.join('\n').toStdString();
    EXPECT_TRUE(prompts.shown[1].contains("good.csv")) << prompts.shown[1].toStdString();
    EXPECT_TRUE(prompts.shown[2].contains("TaxaListAnnotatedNL-"))
        << prompts.shown[2].toStdString();
    // Reloaded at once: the nature value scores with the new values.
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium nl"), -1);
    eco.tally.ClearData();
    eco.tally.AddTaxon("Cosmarium nieuw", false);
    eco.tally.AddTaxon("Closterium nieuw", false);
    eco.tally.ComputeNatureValue();
    EXPECT_EQ(eco.tally.R(), 3);
    EXPECT_EQ(eco.tally.S(), 3);
    EXPECT_EQ(eco.tally.RedListCount(), 1);
    EXPECT_EQ(eco.tally.SpectrumCount(ecology::SpZuur), 1);
    EXPECT_EQ(eco.tally.SpectrumCount(ecology::SpEutroof), 1);
    EXPECT_TRUE(form.isVisible()); // the window stays for the other choices
}

TEST_F(PrefForm, CancelDiscardsThePendingChoices) {
    ui::TPrefForm form(session);
    StartSession();
    const core::Settings before = core::CurrentSettings();
    form.show();

    Edit(form, "AnalistEdit")->setText("Someone else");
    Choose(form, "Sorteer", 2);
    Choose(form, "TaxaListBox", 1);
    Click(form, "TaxonInfoBox");
    prompts.texts.push_back(dir.filePath("Data"));
    Click(form, "SelectFotoDir");
    EXPECT_EQ(Edit(form, "FotoMapEdit")->text(), dir.filePath("Data"));
    EXPECT_EQ(core::CurrentSettings().photoFolder, photos); // pending until OK
    Click(form, "Cancelbtn");

    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(core::CurrentSettings(), before);
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium nl"), 0);
    EXPECT_FALSE(eco.searchList.Contains("Staurastrum spec. eu"));

    form.show(); // the stored values again, not the dropped ones
    EXPECT_EQ(Edit(form, "AnalistEdit")->text(), "A. Analist");
    EXPECT_EQ(Edit(form, "FotoMapEdit")->text(), photos);
    EXPECT_TRUE(Item(form, "Sorteer", 1)->isChecked());
    EXPECT_TRUE(Item(form, "TaxaListBox", 0)->isChecked());
    EXPECT_FALSE(form.findChild<QCheckBox*>("TaxonInfoBox")->isChecked());
}

TEST_F(PrefForm, OkSwitchesTheOpenLocationsTableAtOnce) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    core::Dataset& locations = store.Locations();
    locations.AppendRecord({1, "Beta", "01", "06", "2005", "Zuur", "", "150", "450"});
    locations.AppendRecord({2, "Alfa", "01", "06", "2001", "Zuur", "", "150", "450"});
    locations.AppendRecord({3, "Gamma", "01", "06", "1999", "Zuur", "", "150", "450"});

    ui::TPrefForm form(session);
    StartSession();
    struct Case {
        int order;
        const char* tag;
        const char* first;
    };
    for (const Case& c :
         {Case{2, "DatumDesc", "Beta"}, Case{0, "Locatie", "Alfa"}, Case{1, "Datum", "Gamma"}}) {
        SCOPED_TRACE(c.tag);
        form.show();
        Choose(form, "Sorteer", c.order);
        Click(form, "OKbtn");
        EXPECT_EQ(locations.IndexName().toLower(), QString::fromLatin1(c.tag).toLower());
        locations.First();
        EXPECT_EQ(locations.FieldByName("LOCATIE").AsString(), c.first);
        EXPECT_EQ(Saved().order, c.order);
    }
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
}

TEST_F(PrefForm, PhotoFolderChooserStartsAtTheFolderOrTheDocuments) {
    // The documents folder comes from the home folder; point it into the test folder.
    QDir(dir.path()).mkpath("home/.config");
    const EnvironmentGuard home("HOME", dir.filePath("home"));
    const EnvironmentGuard config("XDG_CONFIG_HOME", dir.filePath("home/.config"));
    const QString documents = dir.filePath("home/Documents");

    struct Case {
        const char* what;
        bool folderExists;
        bool documentsExist;
        std::optional<QString> answer; // nothing: the chooser must not open
        QString expectedStart;
        QString expectedEdit;
    };
    const QString missing = dir.filePath("gone");
    const QString chosen = dir.filePath("Lang");
    const Case cases[] = {
        {"existing folder, cancelled", true, true, QString(), photos, photos},
        {"existing folder, chosen", true, false, chosen, photos, chosen},
        {"missing folder", false, true, chosen, documents, chosen},
        {"missing folder and documents", false, false, std::nullopt, {}, missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.documentsExist)
            QDir().mkpath(documents);
        else
            QDir(documents).removeRecursively();
        core::CurrentSettings().photoFolder = c.folderExists ? photos : missing;
        FolderPrompts folders(prompts);
        prompts.shown.clear();
        ui::TPrefForm form(session);
        form.show();
        if (c.answer)
            prompts.texts.push_back(*c.answer);
        Click(form, "SelectFotoDir");
        if (c.answer) {
            ASSERT_TRUE(folders.startDir.has_value());
            EXPECT_EQ(QDir::cleanPath(*folders.startDir), QDir::cleanPath(c.expectedStart));
            EXPECT_EQ(prompts.shown, QStringList{ui::ResStr(ui::rsSelectDirectory)});
        } else {
            EXPECT_FALSE(folders.startDir.has_value());
            EXPECT_EQ(prompts.shown, QStringList{ui::ResStr(ui::rsDocumentsNotFound)});
        }
        EXPECT_EQ(Edit(form, "FotoMapEdit")->text(), c.expectedEdit);
        EXPECT_TRUE(prompts.texts.empty());
    }
}

TEST_F(PrefForm, LanguageButtonsAndExpertToggleActAtOnce) {
    ui::TPrefForm form(session);
    StartSession();
    std::vector<bool> expert;
    form.SetExpertModeHandler([&](bool on) { expert.push_back(on); });
    form.show();
    const QString sortTitle = form.findChild<QGroupBox*>("Sorteer")->title();

    // No Lang/NL.lng: the code is stored, the texts stay as they are until a restart.
    Click(form, "NLbtn");
    EXPECT_EQ(core::CurrentSettings().language, "NL");
    EXPECT_EQ(form.findChild<QGroupBox*>("Sorteer")->title(), sortTitle);
    EXPECT_EQ(form.windowTitle(), "Voorkeuren");
    EXPECT_EQ(Saved().language, "EN"); // written by the next save, not by the button

    auto* label = form.findChild<QLabel*>("ExpertLbl");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), ".  .");
    QTest::mouseClick(label, Qt::LeftButton);
    QTest::mouseClick(label, Qt::LeftButton);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(expert, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(form.ExpertToggle());

    Click(form, "Cancelbtn"); // neither the language nor the expert state is a pending value
    EXPECT_EQ(core::CurrentSettings().language, "NL");
    EXPECT_EQ(expert.size(), 3u);
    form.show();
    Click(form, "ENbtn");
    EXPECT_EQ(core::CurrentSettings().language, "EN");
    Click(form, "NLbtn");
    Click(form, "OKbtn");
    EXPECT_EQ(Saved().language, "NL");
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
}

TEST_F(PrefForm, MissingReferenceFilesAreMessagesNotFailures) {
    for (const char* file : {"TaxaListAnnotatedNL.dbf", "AdditionalTaxalistNL.csv",
                             "FieldNames.csv", "TaxaListAnnotatedEU.dbf"})
        QFile::remove(Lib(file));
    ui::TPrefForm form(session);
    StartSession();
    ASSERT_EQ(prompts.shown.size(), 3) << prompts.shown.join('\n').toStdString();
    EXPECT_TRUE(prompts.shown[0].startsWith(ecology::ResStr(ecology::rsAdditionalListNotRead)));
    EXPECT_TRUE(prompts.shown[0].contains("AdditionalTaxalistNL.csv"));
    EXPECT_TRUE(prompts.shown[1].startsWith(ecology::ResStr(ecology::rsTaxaListNotRead)));
    EXPECT_TRUE(prompts.shown[1].contains("TaxaListAnnotatedNL.dbf"));
    EXPECT_TRUE(prompts.shown[2].startsWith(session::ResStr(session::rsFieldNamesNotRead)));
    EXPECT_TRUE(form.FieldNames().empty());
    EXPECT_EQ(eco.taxaList.Taxa().Size(), 0);

    // Switching to a list whose table is missing keeps its additional names and still saves.
    prompts.shown.clear();
    form.show();
    Choose(form, "TaxaListBox", 1);
    Click(form, "OKbtn");
    ASSERT_EQ(prompts.shown.size(), 1) << prompts.shown.join('\n').toStdString();
    EXPECT_TRUE(prompts.shown[0].contains("TaxaListAnnotatedEU.dbf"));
    EXPECT_TRUE(eco.searchList.Contains("Staurastrum spec. eu"));
    EXPECT_EQ(eco.taxaList.Taxa().Size(), 0);
    eco.tally.ClearData();
    eco.tally.AddTaxon("Staurastrum spec. eu", false);
    eco.tally.ComputeNatureValue();
    EXPECT_EQ(eco.tally.R(), 0);
    EXPECT_EQ(Saved().number, 1);
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(PrefForm, SaveErrorIsAMessageAndTheChoicesStayInForce) {
    ui::TPrefForm form(session);
    StartSession();
    // A folder in place of the settings file: it cannot be replaced.
    QFile::remove(IniPath());
    QDir().mkpath(IniPath() + "/blocked");
    form.show();
    Choose(form, "Boxplot", 1);
    Click(form, "OKbtn");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].startsWith(session::ResStr(session::rsSettingsNotSaved)));
    EXPECT_EQ(core::CurrentSettings().boxplotOrientation, 1);
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

} // namespace
