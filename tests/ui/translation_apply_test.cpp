#include "common/tempdir.h"
#include "core/folders.h"
#include "core/settings.h"
#include "support/interfacelanguage.h"
#include "ui/formtranslator.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using velmora::testing::WriteAll;

namespace velmora::ui::testforms {

// A frame: translated from its own section; its names are its own.
class TLegendFrame : public QWidget {
    Q_OBJECT
public:
    explicit TLegendFrame(QWidget* parent) : QWidget(parent) {
        setObjectName("Legend");
        title = new QLabel("Legenda", this);
        title->setObjectName("Title");
    }
    QLabel* title;
};

// A bound control: its list holds the values stored in a field.
class DBTestCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DBTestCombo(QWidget* parent) : QComboBox(parent) {
        setObjectName("DBCZuurgraad");
        addItems({"Zuur", "Zwak zuur"});
    }
};

class TBaseTestForm : public QDialog {
    Q_OBJECT
public:
    TBaseTestForm() {
        setWindowTitle("Basis");
        auto* layout = new QVBoxLayout(this);
        ok = new QPushButton("Akkoord", this);
        ok->setObjectName("OKbtn");
        layout->addWidget(ok);
    }
    QPushButton* ok;
};

// A window with one control of every kind the language files address.
class TTestForm : public TBaseTestForm {
    Q_OBJECT
public:
    TTestForm() {
        auto* box = layout();
        title = new QLabel("Titel", this);
        title->setObjectName("Title");
        sorteer = new QGroupBox("Sorteer Locaties op:", this);
        sorteer->setObjectName("Sorteer");
        auto* groupLayout = new QVBoxLayout(sorteer);
        for (const char* item : {"Locatie", "Datum"})
            groupLayout->addWidget(new QRadioButton(item, sorteer));
        list = new QListWidget(this);
        list->setObjectName("Keuzes");
        list->addItems({"een", "twee", "drie"});
        combo = new QComboBox(this);
        combo->setObjectName("Soort");
        combo->addItems({"een"});
        memo = new QPlainTextEdit("regel", this);
        memo->setObjectName("Memo");
        edit = new QLineEdit(this);
        edit->setObjectName("NaamEdit");
        tabs = new QTabWidget(this);
        tabs->setObjectName("Tabs");
        auto* page = new QWidget;
        page->setObjectName("Pagina1");
        tabs->addTab(page, "Pagina");
        grid = new QTableWidget(2, 3, this);
        grid->setObjectName("Grid");
        grid->setHorizontalHeaderLabels({"Naam", "Datum", "Plaats"});
        auto* bar = new QMenuBar(this);
        menu = bar->addMenu("Bestand");
        menu->setObjectName("BestandMenu");
        open = menu->addAction("Openen");
        open->setObjectName("Openen");
        legend = new TLegendFrame(this);
        bound = new DBTestCombo(this);
        bound->setToolTip("Zuurgraad");
        for (QWidget* w : std::initializer_list<QWidget*>{title, sorteer, list, combo, memo, edit,
                                                          tabs, grid, legend})
            box->addWidget(w);
    }
    QLabel* title;
    QGroupBox* sorteer;
    QListWidget* list;
    QComboBox* combo;
    QPlainTextEdit* memo;
    QLineEdit* edit;
    QTabWidget* tabs;
    QTableWidget* grid;
    QMenu* menu;
    QAction* open;
    TLegendFrame* legend;
    DBTestCombo* bound;
};

// Writes a text in code after construction, as the main window does with its captions.
class TCodeTextForm : public QDialog {
    Q_OBJECT
public:
    explicit TCodeTextForm(bool translateInConstructor) {
        label = new QLabel("Database: ", this);
        label->setObjectName("DatabaseLabel");
        if (translateInConstructor)
            TranslateNewForm(this);
    }
    QLabel* label;
};

// A window whose C++ name changed: it keeps the section name it declares.
class TRenamedForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TTestForm")
};

// Derived from it without a declaration of its own: its own class name, not the inherited one.
class TDerivedFromRenamed : public TRenamedForm {
    Q_OBJECT
};

} // namespace velmora::ui::testforms

namespace {

using namespace velmora;
using namespace velmora::ui::testforms;

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

TEST(FormTranslation, ClassNamesAndChain) {
    TTestForm form;
    EXPECT_EQ(ui::FormClassName(form.metaObject()), "TTestForm");
    EXPECT_EQ(ui::FormClassChain(&form), QStringList({"TTestForm", "TBaseTestForm"}));
    EXPECT_TRUE(ui::IsFrame(form.legend));
    EXPECT_FALSE(ui::IsFrame(form.title));
    EXPECT_EQ(ui::OwnedFrames(&form), QList<QWidget*>{form.legend});

    TRenamedForm renamed;
    EXPECT_EQ(ui::FormClassName(renamed.metaObject()), "TTestForm");
    EXPECT_TRUE(ui::DeclaresFormName(renamed.metaObject()));
    TDerivedFromRenamed derived;
    EXPECT_EQ(ui::FormClassChain(&derived), QStringList({"TDerivedFromRenamed", "TTestForm"}));
    EXPECT_FALSE(ui::DeclaresFormName(derived.metaObject()));
}

TEST(FormTranslation, PathsReachEveryKindOfControl) {
    TTestForm form;
    auto join = [](const QStringList& texts) { return texts.join('|'); };
    struct Case {
        const char* path;
        const char* value;
        const char* expected;
        std::function<QString()> shown;
    } cases[] = {
        {"Caption", "Test window", "Test window", [&] { return form.windowTitle(); }},
        {"OKbtn.Caption", "OK", "OK", [&] { return form.ok->text(); }},
        {"Title.Caption", "Two\rlines", "Two\nlines", [&] { return form.title->text(); }},
        {"Title.Hint", "A tip", "A tip", [&] { return form.title->toolTip(); }},
        {"Sorteer.Caption", "Sort by:", "Sort by:", [&] { return form.sorteer->title(); }},
        {"Sorteer.Items", "Location\rDate", "Location|Date",
         [&] {
             QStringList texts;
             for (auto* b : form.sorteer->findChildren<QRadioButton*>())
                 texts << b->text();
             return join(texts);
         }},
        {"Soort.Items", "one\rtwo", "one|two",
         [&] {
             return join({form.combo->itemText(0), form.combo->itemText(1)});
         }},
        {"Memo.Lines", "first\rsecond", "first\nsecond", [&] { return form.memo->toPlainText(); }},
        {"NaamEdit.Text", "name", "name", [&] { return form.edit->text(); }},
        {"NaamEdit.TextHint", "Type a name", "Type a name",
         [&] { return form.edit->placeholderText(); }},
        {"Pagina1.Caption", "Page", "Page", [&] { return form.tabs->tabText(0); }},
        {"Tabs.Tabs", "First page", "First page", [&] { return form.tabs->tabText(0); }},
        {"Grid.Columns(1).Title.Caption", "Date", "Date",
         [&] { return form.grid->horizontalHeaderItem(1)->text(); }},
        {"BestandMenu.Caption", "File", "File", [&] { return form.menu->title(); }},
        {"Openen.Caption", "Open", "Open", [&] { return form.open->text(); }},
        {"BestandMenu.Openen.Hint", "Opens a file", "Opens a file",
         [&] { return form.open->toolTip(); }},
        {"OKbtn.statusTip", "Qt property", "Qt property", [&] { return form.ok->statusTip(); }},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ui::ApplyPath(&form, c.path, c.value)) << c.path;
        EXPECT_EQ(c.shown(), c.expected) << c.path;
    }
    // Paths that lead nowhere change nothing and say so.
    for (const char* path : {"Nothing.Caption", "OKbtn.Nonsense", "OKbtn.Columns(1).Title.Caption",
                             "Grid.Columns(3).Title.Caption", "Grid.Columns(x).Title.Caption",
                             "Grid.Columns.Caption", "Grid.Columns(1).Title.Hint",
                             "Title.Caption.Text", "DBCZuurgraad.Items", "DBCZuurgraad.Text"})
        EXPECT_FALSE(ui::ApplyPath(&form, path, "x")) << path;
    EXPECT_EQ(form.ok->text(), "OK");
    EXPECT_EQ(form.bound->itemText(0), "Zuur"); // stored values stay as they are
    EXPECT_TRUE(ui::ApplyPath(&form, "DBCZuurgraad.Hint", "Acidity"));
}

TEST(FormTranslation, TranslatableTextsAreTheOnesAFileCanReach) {
    TTestForm form;
    new QLabel("Zonder naam", &form); // no objectName: no file can reach it
    new QLabel("%", &form);           // no word: the same in every language
    QStringList paths;
    for (const ui::TranslatableText& t : ui::TranslatableTexts(&form))
        paths << (t.path.isEmpty() ? "(unnamed) " + t.text : t.path);
    paths.sort();
    QStringList expected = {"(unnamed) Zonder naam",
                            "BestandMenu.Caption",
                            "Caption",
                            "DBCZuurgraad.Hint",
                            "Grid.Columns(0).Title.Caption",
                            "Grid.Columns(1).Title.Caption",
                            "Grid.Columns(2).Title.Caption",
                            "Keuzes.Items",
                            "Memo.Lines",
                            "OKbtn.Caption",
                            "Openen.Caption",
                            "Pagina1.Caption",
                            "Soort.Items",
                            "Sorteer.Caption",
                            "Sorteer.Items",
                            "Title.Caption"};
    EXPECT_EQ(paths.join('\n'), expected.join('\n'));
    // Each of them can be set through its path (the frame's title is the frame's own).
    for (const ui::TranslatableText& t : ui::TranslatableTexts(&form)) {
        if (!t.path.isEmpty()) {
            EXPECT_TRUE(ui::ApplyPath(&form, t.path, "x")) << t.path.toStdString();
        }
    }
    EXPECT_EQ(form.legend->title->text(), "Legenda");
}

TEST(FormTranslation, ListContentsFollowTheLines) {
    TTestForm form;
    ASSERT_TRUE(ui::ApplyPath(&form, "Keuzes.Items", "one\rtwo\rthree\rfour"));
    EXPECT_EQ(Items(form.list), QStringList({"one", "two", "three", "four"}));
    ASSERT_TRUE(ui::ApplyPath(&form, "Keuzes.Items", "just one"));
    EXPECT_EQ(Items(form.list), QStringList({"just one"}));
}

struct LanguageFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString Write(const QByteArray& body, const char* name = "XX.lng") {
        const QString path = dir.filePath(name);
        WriteAll(path, "; Tarvo's Zendra Localizer Language File.\r\n" + body);
        return path;
    }
    void SetUp() override { ui::InstallFormTranslator(); }
    // Back to the built-in texts for the tests that follow.
    void TearDown() override {
        support::TFreeLocalizer& localizer = support::Localizer();
        localizer.SetAutoTranslate(false);
        localizer.LoadLanguageFile(Write("[RESOURCESTRINGS]\r\n", "Reset.lng"));
    }
};

TEST_F(LanguageFileTest, SectionsOfAncestorsFirstThenFramesOwnNames) {
    support::TFreeLocalizer localizer;
    localizer.LoadLanguageFile(Write("[TTestForm]\r\n"
                                     "Caption{Hoofdtitel}='Test window'\r\n"
                                     "Title.Caption='Title'\r\n"
                                     "Sorteer.Items='By location' 'By date'\r\n"
                                     "Missing.Caption='skipped'\r\n"
                                     "[TBaseTestForm]\r\n"
                                     "Caption='Base'\r\n"
                                     "OKbtn.Caption='OK'\r\n"
                                     "[TLegendFrame]\r\n"
                                     "Title.Caption='Legend'\r\n"));
    TTestForm form;
    ui::WidgetFormAccess access(&form);
    localizer.TranslateForm(access);
    EXPECT_EQ(form.windowTitle(), "Test window"); // the class's own section comes last
    EXPECT_EQ(form.ok->text(), "OK");
    EXPECT_EQ(form.title->text(), "Title");
    EXPECT_EQ(form.legend->title->text(), "Legend");
    const auto radios = form.sorteer->findChildren<QRadioButton*>();
    EXPECT_EQ(radios[0]->text(), "By location");
    EXPECT_EQ(radios[1]->text(), "By date");
    ASSERT_EQ(localizer.Errors().size(), 1u);
    EXPECT_EQ(localizer.Errors()[0].detail, "TTestForm.Missing.Caption");

    // The base window alone gets only its own section.
    TBaseTestForm base;
    ui::WidgetFormAccess baseAccess(&base);
    localizer.TranslateForm(baseAccess);
    EXPECT_EQ(base.windowTitle(), "Base");
}

TEST_F(LanguageFileTest, NewWindowsAreTranslatedBeforeTheyShow) {
    support::Localizer().SetAutoTranslate(true);
    support::Localizer().LoadLanguageFile(Write("[TTestForm]\r\nTitle.Caption='Title'\r\n"
                                                "[TCodeTextForm]\r\n"
                                                "DatabaseLabel.Caption='Database: '\r\n"));
    TTestForm form;
    EXPECT_EQ(form.title->text(), "Titel"); // just built
    form.show();
    EXPECT_EQ(form.title->text(), "Title");
    form.title->setText("Set later");
    form.hide();
    form.show();
    EXPECT_EQ(form.title->text(), "Set later"); // translated once

    // A window that writes texts in code before showing translates in its constructor.
    TCodeTextForm early(true);
    early.label->setText("Database: Veluwe");
    early.show();
    EXPECT_EQ(early.label->text(), "Database: Veluwe");
    // Without that call, the translation at the first show overwrites such a text.
    TCodeTextForm late(false);
    late.label->setText("Database: Veluwe");
    late.show();
    EXPECT_EQ(late.label->text(), "Database: ");

    // Switched off: new windows keep the built-in texts.
    support::Localizer().SetAutoTranslate(false);
    TTestForm untouched;
    untouched.show();
    EXPECT_EQ(untouched.title->text(), "Titel");
}

TEST_F(LanguageFileTest, LoadingRetranslatesOpenWindowsUnlessItStopsEarly) {
    TTestForm form; // exists before the file is loaded
    support::Localizer().SetAutoTranslate(true);
    support::Localizer().LoadLanguageFile(
        Write("[TTestForm]\r\nTitle.Caption='Title'\r\n[(x)TOldForm]\r\n", "Stops.lng"));
    EXPECT_EQ(form.title->text(), "Titel");
    support::Localizer().LoadLanguageFile(Write("[TTestForm]\r\nTitle.Caption='Title'\r\n"));
    EXPECT_EQ(form.title->text(), "Title");
}

TEST_F(LanguageFileTest, LanguageButtonsTranslateOpenWindows) {
    QDir(dir.path()).mkdir("Lang");
    Write("[TTestForm]\r\nTitle.Caption='Title'\r\n", "Lang/EN.lng");
    core::SetProgramDir(dir.path());
    core::CurrentSettings().language = "NL";
    TTestForm form;
    form.show();
    EXPECT_TRUE(ui::SwitchLanguage("EN"));
    EXPECT_EQ(form.title->text(), "Title");
    // No Dutch file: the language is stored for the next start, the texts stay.
    EXPECT_FALSE(ui::SwitchLanguage("NL"));
    EXPECT_EQ(core::CurrentSettings().language, "NL");
    EXPECT_EQ(form.title->text(), "Title");
    core::SetProgramDir({});
    core::CurrentSettings() = core::DefaultSettings();
}

} // namespace

#include "translation_apply_test.moc"
