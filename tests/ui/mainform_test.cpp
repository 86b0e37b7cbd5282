#include "common/printers.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "ecology/naturevaluetally.h"
#include "session/session.h"
#include "support/tfreelocalizer.h"
#include "ui/formtranslator.h"
#include "ui/qtprompts.h"
#include "ui/tmainform.h"
#include "ui/tnwform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace velmora;
using ui::DBNavigator;

namespace {

struct MainWindow : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    session::Session session;
    ecology::EcologyData& eco = session.Ecology();
    core::DatabaseStore& store = session.Store();
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TNWForm> nwForm;

    void SetUp() override {
        QDir root(dir.path());
        root.mkdir("Data");
        root.mkdir("Lib");
        QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                    dir.filePath("Lib/Biotoopcodes.dbf"));
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        core::CurrentSettings().analist = "J. Analist";
        core::SetDecimalSeparator('.');
        eco.taxaList.Assign({{"Cosmarium botrytis", "Cosmarium botrytis", "Meneghini ex Ralfs",
                              "eu", "alk", "", "1", "2", "", ""},
                             {"Cosmarium margaritiferum", "Cosmarium margaritiferum", "Meneghini",
                              "oligo", "acido", "", "3", "4", "RL", ""},
                             {"Staurastrum hirsutum", "Staurastrum hirsutum", "Brébisson & Ralfs",
                              "oligo", "acido", "", "2", "1", "", ""}},
                            &eco.searchList);
        store.CreateDatabase("Test");
        QFile ini(dir.filePath("Data/Test.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Coordinates]\r\nSystem=km-based\r\n");
        ini.close();
        core::CurrentSettings().defaultDatabase = "Test";
        form = std::make_unique<ui::TMainForm>(session);
        nwForm = std::make_unique<ui::TNWForm>(eco, form.get());
        form->SetNatureValueWindow(nwForm.get());
        ASSERT_TRUE(form->FormCreate());
        form->FormShow();
        form->show();
        prompts.shown.clear();
    }
    void TearDown() override {
        nwForm.reset();
        form.reset();
        store.CloseDatabase();
        core::SetProgramDir({});
    }

    core::Dataset& Locations() { return store.Locations(); }
    core::Dataset& Samples() { return store.Samples(); }
    QString Loc(const char* field) { return Locations().FieldByName(field).AsString(); }

    // A location made through the window: New, fields, Post.
    void NewLocation(const QString& name, const QString& x, const QString& y) {
        form->LocationNavigator()->Press(DBNavigator::New);
        Locations().FieldByName("LOCATIE").SetAsString(name);
        Locations().FieldByName("DAG").SetAsString("05");
        Locations().FieldByName("MAAND").SetAsString("06");
        Locations().FieldByName("JAAR").SetAsString("2001");
        Locations().FieldByName("COORDX").SetAsString(x);
        Locations().FieldByName("COORDY").SetAsString(y);
        form->LocationNavigator()->Press(DBNavigator::Post);
        ASSERT_EQ(Locations().State(), core::DatasetState::Browse);
    }
    // A sample made through the window: New, name, Post.
    void NewSample(const QString& name, const QString& abund = "1") {
        form->SampleNavigator()->Press(DBNavigator::New);
        form->SampleEdit("DESMID")->Link().Write(name);
        form->SampleCombo("ABUND")->Link().Write(abund);
        form->SampleNavigator()->Press(DBNavigator::Post);
        ASSERT_EQ(Samples().State(), core::DatasetState::Browse);
    }
    int SamplesWithId(long long id) {
        int n = 0;
        for (Samples().First(); !Samples().Eof(); Samples().Next())
            n += !Samples().FieldByName("ID").IsNull() &&
                 Samples().FieldByName("ID").AsInteger() == id;
        return n;
    }
};

TEST_F(MainWindow, NamelessLocationIsNotStoredAndCancelDiscardsIt) {
    QTest::mouseClick(form->LocationNavigator()->ButtonWidget(DBNavigator::New), Qt::LeftButton);
    EXPECT_TRUE(form->LocationPanel()->isEnabled());
    EXPECT_FALSE(form->SamplePanel()->isEnabled());
    EXPECT_EQ(Loc("ANALIST"), "J. Analist");
    EXPECT_EQ(Loc("ID"), "0");
    EXPECT_EQ(store.maxLocationID, "0");
    QTest::mouseClick(form->LocationNavigator()->ButtonWidget(DBNavigator::Post), Qt::LeftButton);
    EXPECT_EQ(prompts.shown, QStringList{"Een locatienaam is verplicht"});
    EXPECT_EQ(Locations().State(), core::DatasetState::Insert);
    EXPECT_EQ(Locations().RecordCount(), 0); // asked before anything is stored
    QTest::keyClick(form->LocationEdit("LOCATIE"), Qt::Key_Escape);
    EXPECT_EQ(Locations().State(), core::DatasetState::Browse);
    EXPECT_EQ(Locations().RecordCount(), 0);

    QTest::keyClick(form->SampleGrid(), Qt::Key_Insert, Qt::AltModifier);
    QTest::keyClicks(form->LocationEdit("LOCATIE"), "Ven");
    QTest::keyClick(form->LocationEdit("LOCATIE"), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(prompts.shown.last(), "Een geldige datum is verplicht");
    EXPECT_EQ(Locations().RecordCount(), 0);
    QTest::keyClicks(form->LocationEdit("JAAR"), "2001");
    QTest::keyClick(form->LocationEdit("JAAR"), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(Locations().State(), core::DatasetState::Browse);
    EXPECT_EQ(Locations().RecordCount(), 1);
    EXPECT_FALSE(form->LocationPanel()->isEnabled());
    EXPECT_TRUE(form->SamplePanel()->isEnabled());
}

TEST_F(MainWindow, DeletingALocationRemovesItsThreeSamples) {
    NewLocation("Ven A", "162", "458");
    NewLocation("Ven B", "163", "459");
    for (const char* n : {"Cosmarium botrytis", "Staurastrum hirsutum", "Closterium x"})
        NewSample(n);
    EXPECT_EQ(SamplesWithId(1), 3);
    prompts.answers = {core::Answer::No};
    form->LocationNavigator()->Press(DBNavigator::Delete);
    EXPECT_EQ(Locations().RecordCount(), 2);
    prompts.answers = {core::Answer::Yes};
    form->LocationNavigator()->Press(DBNavigator::Delete);
    EXPECT_TRUE(prompts.shown.last().startsWith("Ven B\n\nWil je dit record verwijderen?\nN.B."));
    EXPECT_EQ(prompts.defaultNo.last(), prompts.shown.last()); // Enter answers No
    EXPECT_EQ(Locations().RecordCount(), 1);
    EXPECT_EQ(SamplesWithId(1), 0);
    EXPECT_EQ(store.maxLocationID, "0");
    EXPECT_TRUE(store.samplesChanged);
}

TEST_F(MainWindow, ChangedCoordinatesRewriteTheSamples) {
    NewLocation("Ven", "162", "458");
    NewSample("Cosmarium botrytis");
    NewSample("Staurastrum hirsutum");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    Locations().FieldByName("COORDX").SetAsString("201.5");
    Locations().FieldByName("COORDY").SetAsString("512");
    form->LocationNavigator()->Press(DBNavigator::Post);
    for (Samples().First(); !Samples().Eof(); Samples().Next()) {
        EXPECT_EQ(Samples().FieldByName("KXY").AsString(), "201-512");
        EXPECT_EQ(Samples().FieldByName("UXY").AsString(), "200-510");
    }
}

TEST_F(MainWindow, DecimalCommaOnPostUnderDutch) {
    core::CurrentSettings().language = "NL";
    NewLocation("Ven", "162.4", "458.9");
    EXPECT_EQ(Loc("COORDX"), "162,4");
    EXPECT_EQ(Loc("COORDY"), "458,9");
}

TEST_F(MainWindow, CopyRecordMakesANewEventWithoutSamples) {
    NewLocation("Ven", "162", "458");
    Locations().Edit();
    Locations().FieldByName("PH").SetAsString("5.5");
    Locations().FieldByName("OWNER").SetAsString("Natuurmonumenten");
    form->LocationNavigator()->Press(DBNavigator::Post);
    NewSample("Cosmarium botrytis");
    prompts.answers = {core::Answer::Yes};
    QTest::mouseClick(form->findChild<QPushButton*>("CopyRecord"), Qt::LeftButton);
    EXPECT_EQ(prompts.shown.last(), "Wil je een kopie van dit record maken?");
    EXPECT_EQ(Locations().State(), core::DatasetState::Insert);
    EXPECT_EQ(Locations().RecordCount(), 1); // nothing stored until it is posted
    EXPECT_EQ(Loc("ID"), "1");
    EXPECT_EQ(Loc("LOCATIE"), "Ven");
    EXPECT_EQ(Loc("OWNER"), "Natuurmonumenten");
    EXPECT_TRUE(Loc("PH").isEmpty());
    EXPECT_TRUE(Loc("JAAR").isEmpty());
    EXPECT_EQ(Loc("ANALIST"), "J. Analist");
    EXPECT_TRUE(form->LocationPanel()->isEnabled());
    EXPECT_TRUE(form->SampleGridData().Cell(2, 1).isEmpty()); // the copy has no samples
    EXPECT_EQ(SamplesWithId(0), 1);
    // Cancelled, the copy leaves nothing behind; posted with its own date, it is stored.
    QTest::keyClick(form->LocationEdit("DAG"), Qt::Key_Escape);
    EXPECT_EQ(Locations().RecordCount(), 1);
    prompts.answers = {core::Answer::Yes};
    QTest::mouseClick(form->findChild<QPushButton*>("CopyRecord"), Qt::LeftButton);
    QTest::keyClicks(form->LocationEdit("DAG"), "7");
    QTest::keyClicks(form->LocationEdit("MAAND"), "3");
    QTest::keyClicks(form->LocationEdit("JAAR"), "2002");
    QTest::keyClick(form->LocationEdit("JAAR"), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(Locations().State(), core::DatasetState::Browse);
    EXPECT_EQ(Locations().RecordCount(), 2);
    EXPECT_EQ(Loc("DAG"), "07"); // padded at the post, before the field was left
    EXPECT_EQ(Loc("MAAND"), "03");
}

TEST_F(MainWindow, OneDigitDayIsPaddedWhenLeft) {
    NewLocation("Ven", "162", "458");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    ui::DBEdit* day = form->LocationEdit("DAG");
    day->setFocus();
    day->selectAll();
    QTest::keyClicks(day, "5");
    EXPECT_EQ(Loc("DAG"), "5");
    form->LocationEdit("LOCATIE")->setFocus(); // leaving the field
    form->DBEDagExit();
    EXPECT_EQ(Loc("DAG"), "05");
    EXPECT_EQ(day->text(), "05");
    Locations().FieldByName("DAG").SetAsString("31");
    Locations().FieldByName("MAAND").SetAsString("4");
    form->DBEMaandExit();
    EXPECT_EQ(prompts.shown.last(), "Er zit een fout in de gegevens voor de datum");
    EXPECT_EQ(Loc("MAAND"), "04"); // padded all the same: the check only warns
}

TEST_F(MainWindow, NameChosenFromTheSearchListByTypingAndDownArrow) {
    NewLocation("Ven", "162", "458");
    form->SampleNavigator()->Press(DBNavigator::New);
    QTest::keyClicks(form->SearchEdit(), "cos bot");
    ASSERT_EQ(form->Names()->count(), 1);
    QTest::keyClick(form->SearchEdit(), Qt::Key_Down);
    EXPECT_EQ(form->Names()->currentRow(), 0);
    EXPECT_EQ(Samples().FieldByName("DESMID").AsString(), "Cosmarium botrytis");
    EXPECT_EQ(form->SampleEdit("DESMID")->text(), "Cosmarium botrytis");
    EXPECT_EQ(form->AuthorLabel()->text(), "Meneghini ex Ralfs");
    form->SampleNavigator()->Press(DBNavigator::Post);
    EXPECT_EQ(Samples().State(), core::DatasetState::Browse);
    EXPECT_EQ(form->SampleGridData().Cell(2, 1), "Cosmarium botrytis");
    EXPECT_EQ(Samples().FieldByName("KXY").AsString(), "162-458");
    EXPECT_EQ(Samples().FieldByName("DATUM").AsString(), "2001-06-05");
}

TEST_F(MainWindow, LongAuthorCitationWrapsInsteadOfWideningThePanel) {
    QWidget* panel = form->AuthorLabel()->parentWidget();
    QApplication::processEvents();
    const int before = panel->width();
    form->AuthorLabel()->setText(
        "(F. Von Paula von Schrank 1803) C.G. Ehrenberg 1828 ex J. Ralfs 1848 emend. "
        "W. West & G.S. West 1904 nom. illeg.");
    QApplication::processEvents();
    EXPECT_EQ(panel->width(), before);
    EXPECT_LE(form->AuthorLabel()->geometry().right(), panel->width());
}

TEST_F(MainWindow, BlankSampleNameIsRefused) {
    NewLocation("Ven", "162", "458");
    form->SampleNavigator()->Press(DBNavigator::New);
    form->SampleEdit("DESMID")->Link().Write("   ");
    form->SampleNavigator()->Press(DBNavigator::Post);
    EXPECT_EQ(prompts.shown,
              QStringList{"Het veld met de naam van de sieralg mag niet leeg zijn.\n\rVul eerst "
                          "een naam in!"});
    EXPECT_NE(Samples().State(), core::DatasetState::Browse);
    EXPECT_EQ(Samples().RecordCount(), 0);
    QTest::keyClick(form->SearchEdit(), Qt::Key_Escape); // focus to the grid
    QTest::keyClick(form->SampleGrid(), Qt::Key_Escape); // cancels the sample
    EXPECT_EQ(Samples().State(), core::DatasetState::Browse);
}

TEST_F(MainWindow, UnreadableCoordinateStopsTheSamplePost) {
    // A location of an older database may hold such a coordinate; its samples cannot get
    // square codes and are not posted.
    {
        const core::DatabaseStore::BulkChange bulk(store);
        Locations().AppendRecord({5, "Oud", "05", "06", "2001", "", "", "abc", "458"});
    }
    store.maxLocationID = "5";
    form->RefreshSampleGrid();
    form->SampleNavigator()->Press(DBNavigator::New);
    form->SampleEdit("DESMID")->Link().Write("Cosmarium botrytis");
    prompts.shown.clear();
    form->SampleNavigator()->Press(DBNavigator::Post);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("abc"));
    EXPECT_NE(Samples().State(), core::DatasetState::Browse);
    EXPECT_EQ(Samples().RecordCount(), 0);
}

TEST_F(MainWindow, PendingEditsBlockLeavingCommands) {
    NewLocation("Ven", "162", "458");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    EXPECT_FALSE(form->ConfirmNoPendingEdits());
    EXPECT_EQ(prompts.shown.last(),
              "Sla eerst gewijzigde databasegegevens op of Annuleer de huidige actie");
    EXPECT_FALSE(form->close()); // closing is refused too
    form->LocationNavigator()->Press(DBNavigator::Cancel);
    EXPECT_TRUE(form->ConfirmNoPendingEdits());
}

TEST_F(MainWindow, BiotopeBoxAndWType) {
    ASSERT_GT(form->Biotoopbox()->count(), 10);
    NewLocation("Ven", "162", "458");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    const int m12 = form->Biotoopbox()->findText("M12", Qt::MatchStartsWith);
    ASSERT_GE(m12, 0);
    form->Biotoopbox()->setCurrentIndex(m12);
    form->BiotoopboxChange();
    EXPECT_EQ(Loc("WTYPE"), "M12");
    Locations().FieldByName("WTYPE").SetAsString("h3160");
    EXPECT_TRUE(form->Biotoopbox()->currentText().startsWith("H3160"));
    Locations().FieldByName("WTYPE").SetAsString("none");
    EXPECT_EQ(form->Biotoopbox()->currentIndex(), -1);
}

} // namespace

namespace {

TEST_F(MainWindow, ModalWindowPatternRestoresTheLocation) {
    NewLocation("Beta", "162", "458");
    NewLocation("Alfa", "163", "458");
    NewSample("Cosmarium botrytis");
    // Alfa (ID 1) is current, in "Locatie" order.
    ASSERT_EQ(Loc("LOCATIE"), "Alfa");
    bool ran = false;
    EXPECT_TRUE(form->RunOverDatabase([&] {
        ran = true;
        EXPECT_TRUE(Locations().ControlsDisabled());
        Locations().SetIndexName("ID"); // a window moves the tables about
        Locations().First();
        Samples().First();
    }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(Locations().ControlsDisabled());
    EXPECT_EQ(Locations().IndexName().toUpper(), "LOCATIE");
    EXPECT_EQ(Loc("LOCATIE"), "Alfa");
    EXPECT_EQ(form->SampleGridData().Cell(2, 1), "Cosmarium botrytis");

    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    ran = false;
    EXPECT_FALSE(form->RunOverDatabase([&] { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST_F(MainWindow, EndedFromOutsideWithAnUnpostedEdit) {
    NewLocation("Ven", "162", "458");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    Locations().FieldByName("LOCATIE").SetAsString("not posted");
    form->EndFromOutside();
    EXPECT_FALSE(store.IsOpen());
    core::Dataset check;
    check.Open(dir.filePath("Data/Test1.dbf"), true);
    check.First();
    EXPECT_EQ(check.FieldByName("LOCATIE").AsString(), "Ven");
    check.Close();
}

} // namespace

namespace {

// Typing a new location through the keyboard: Alt+Insert, the fields in Tab order, Alt+Enter.
// Returns the focus chain it walked.
QStringList TypeLocation(ui::TMainForm& form, const std::map<QString, QString>& values) {
    QTest::keyClick(form.SampleGrid(), Qt::Key_Insert, Qt::AltModifier);
    QStringList walked;
    for (const char* f : {"LOCATIE", "DAG", "MAAND", "JAAR", "COORDX", "COORDY"}) {
        QWidget* focus = QApplication::focusWidget();
        walked << (focus ? focus->objectName() : QString());
        auto it = values.find(f);
        if (it != values.end() && focus)
            QTest::keyClicks(focus, it->second);
        if (focus)
            QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (const auto& [field, value] : values)
        if (QStringList{"PH", "GELEIDING", "WATERTEMP"}.contains(field))
            QTest::keyClicks(form.LocationEdit(field), value);
    QTest::keyClick(form.LocationEdit("LOCATIE"), Qt::Key_Return, Qt::AltModifier);
    return walked;
}

TEST_F(MainWindow, NonsenseIsRefusedWhenTheLocationIsPosted) {
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    const std::map<QString, QString> good = {{"LOCATIE", "Ven"}, {"DAG", "28"},
                                             {"MAAND", "02"},    {"JAAR", "2023"},
                                             {"COORDX", "162"},  {"COORDY", "458"}};
    struct Case {
        const char* field;
        const char* typed;
        QString message;
    };
    const Case cases[] = {
        {"DAG", "31", "Er zit een fout in de gegevens voor de datum"},
        {"PH", "zes", "Het veld pH moet een getal bevatten of leeg zijn: 'zes'"},
        {"GELEIDING", "veel", "Het veld Geleiding moet een getal bevatten of leeg zijn: 'veel'"},
        {"WATERTEMP", "warm",
         "Het veld Watertemperatuur moet een getal bevatten of leeg zijn: 'warm'"},
        {"COORDX", "abc", "De coördinaat X-coörd/Atlasblok is geen geldig getal: 'abc'"},
        {"COORDY", "4o8", "De coördinaat Y-coörd/kmhoknr is geen geldig getal: '4o8'"},
    };
    for (const Case& c : cases) {
        std::map<QString, QString> values = good;
        values[c.field] = c.typed;
        prompts.shown.clear();
        const QStringList walked = TypeLocation(*form, values);
        EXPECT_EQ(walked, (QStringList{"DBELOCATIE", "DBEDAG", "DBEMAAND", "DBEJAAR", "DBECOORDX",
                                       "DBECOORDY"}));
        ASSERT_FALSE(prompts.shown.isEmpty()) << c.field;
        EXPECT_EQ(prompts.shown.last(), c.message) << c.field;
        EXPECT_EQ(Locations().State(), core::DatasetState::Insert) << c.field;
        EXPECT_EQ(Locations().RecordCount(), 0) << c.field;
        QTest::keyClick(form->LocationEdit("LOCATIE"), Qt::Key_Escape);
        EXPECT_EQ(Locations().RecordCount(), 0) << c.field;
    }
    // Decimal comma or point, and the year asked about: stored once confirmed.
    std::map<QString, QString> values = good;
    values["PH"] = "6,5";
    values["JAAR"] = "1750";
    prompts.shown.clear();
    prompts.answers = {core::Answer::Yes};
    TypeLocation(*form, values);
    EXPECT_EQ(prompts.shown.last(),
              QString("Het jaar 1750 ligt niet tussen 1800 en %1. Klopt dit jaar?")
                  .arg(QDate::currentDate().year() + 1));
    EXPECT_EQ(Locations().State(), core::DatasetState::Browse);
    EXPECT_EQ(Locations().RecordCount(), 1);
    EXPECT_EQ(Loc("PH"), "6,5");
}

TEST_F(MainWindow, LeavingAnEmptyYearSaysNothing) {
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form->SampleGrid(), Qt::Key_Insert, Qt::AltModifier);
    form->LocationEdit("JAAR")->setFocus();
    QTest::keyClick(form->LocationEdit("JAAR"), Qt::Key_Tab);
    form->LocationEdit("MAAND")->setFocus();
    QTest::keyClick(form->LocationEdit("MAAND"), Qt::Key_Tab);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
}

TEST_F(MainWindow, ACancelledSampleOnAnEmptyEventLeavesOtherEventsAlone) {
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    NewLocation("Ven A", "162", "458");
    NewSample("Cosmarium botrytis", "1");
    NewSample("Staurastrum hirsutum", "2");
    NewLocation("Ven B", "163", "459"); // no samples
    ASSERT_EQ(Loc("LOCATIE"), "Ven B");
    QToolButton* edit = form->SampleNavigator()->ButtonWidget(DBNavigator::EditRecord);
    QToolButton* del = form->SampleNavigator()->ButtonWidget(DBNavigator::Delete);
    auto unchanged = [&] {
        EXPECT_EQ(SamplesWithId(0), 2);
        EXPECT_EQ(SamplesWithId(1), 0);
        Samples().SetIndexName("ID");
        for (Samples().First(); !Samples().Eof(); Samples().Next())
            EXPECT_EQ(Samples().FieldByName("ABUND").AsString(),
                      Samples().FieldByName("DESMID").AsString().startsWith("Cos") ? "1" : "2");
        form->RefreshSampleGrid();
    };

    // Insert, a name from the list, Escape.
    QTest::keyClick(form->SampleGrid(), Qt::Key_Insert);
    QTest::keyClicks(form->SearchEdit(), "cos bot");
    QTest::keyClick(form->SearchEdit(), Qt::Key_Down);
    ASSERT_EQ(form->SampleEdit("DESMID")->text(), "Cosmarium botrytis");
    QTest::keyClick(form->Names(), Qt::Key_Escape);
    EXPECT_EQ(Samples().State(), core::DatasetState::Browse);
    // The panel shows no sample (the table's cursor is on one of Ven A), and offers none.
    EXPECT_EQ(form->SampleEdit("DESMID")->text(), "");
    EXPECT_EQ(form->SampleCombo("ABUND")->currentText().trimmed(), "");
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(del->isEnabled());

    // Edit by click, by Ctrl+E and by Enter in the grid; then type and post with Ctrl+Enter.
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(form->SampleGrid(), Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(form->SampleGrid(), Qt::Key_Return);
    EXPECT_EQ(Samples().State(), core::DatasetState::Browse);
    QTest::keyClicks(form->SampleEdit("DESMID"), "x");
    QTest::keyClick(form->SampleEdit("DESMID"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Samples().State(), core::DatasetState::Browse);
    unchanged();

    // Delete by click and as a key press would: nothing is asked, nothing removed.
    prompts.shown.clear();
    QTest::mouseClick(del, Qt::LeftButton);
    form->SampleNavigator()->Press(DBNavigator::Delete);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    unchanged();

    // Ven A's own samples are still edited and deleted as before.
    form->LocationNavigator()->Press(DBNavigator::First);
    ASSERT_EQ(Loc("LOCATIE"), "Ven A");
    EXPECT_TRUE(del->isEnabled());
    prompts.answers = {core::Answer::Yes};
    QTest::mouseClick(del, Qt::LeftButton);
    EXPECT_EQ(prompts.defaultNo.size(), 1); // the question defaults to No
    EXPECT_EQ(SamplesWithId(0), 1);
}

TEST_F(MainWindow, ArrowKeysWalkTheNameListAndEnterTakesTheName) {
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    NewLocation("Ven", "162", "458");
    QTest::keyClick(form->SampleGrid(), Qt::Key_Insert);
    QTest::keyClicks(form->SearchEdit(), "cosm");
    ASSERT_EQ(form->Names()->count(), 2);
    QTest::keyClick(form->SearchEdit(), Qt::Key_Down);
    EXPECT_EQ(form->SampleEdit("DESMID")->text(), form->Names()->item(0)->text());
    QTest::keyClick(form->Names(), Qt::Key_Down);
    EXPECT_EQ(form->Names()->currentRow(), 1);
    EXPECT_EQ(form->SampleEdit("DESMID")->text(), form->Names()->item(1)->text());
    QTest::keyClick(form->Names(), Qt::Key_Up);
    QTest::keyClick(form->Names(), Qt::Key_Down);
    QTest::keyClick(form->Names(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->SampleCombo("ABUND"));
    QTest::keyClick(form->SampleCombo("ABUND"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Samples().State(), core::DatasetState::Browse);
    EXPECT_EQ(form->SampleGridData().Cell(2, 1), "Cosmarium margaritiferum");
}

TEST_F(MainWindow, GridShowsEveryRowNumberAndWholeTextsAsTooltips) {
    NewLocation("Ven", "162", "458");
    for (int i = 0; i < 12; ++i)
        NewSample(QString("Closterium nummer %1 met een heel lange naam die niet past")
                      .arg(i, 2, 10, QChar('0')));
    QTableWidget* grid = form->SampleGrid();
    const QFontMetrics metrics(grid->font());
    for (int r = 0; r < 12; ++r) {
        const QString number = grid->item(r, 1)->text();
        EXPECT_EQ(number, QString::number(r + 1));
        EXPECT_LE(metrics.horizontalAdvance(number) + 6, grid->columnWidth(1))
            << number.toStdString();
        EXPECT_EQ(grid->item(r, 2)->toolTip(), grid->item(r, 2)->text());
    }
    // Short captions are not cut; the window can be widened, and the names take the room.
    for (int c = 3; c <= 7; ++c) {
        const QString caption = grid->horizontalHeaderItem(c)->text();
        EXPECT_LE(metrics.horizontalAdvance(caption), grid->columnWidth(c)) << c;
    }
    const int before = grid->width();
    const int nameBefore = grid->columnWidth(2);
    form->resize(form->width() + 200, form->height());
    QApplication::processEvents();
    EXPECT_GT(grid->width(), before);
    EXPECT_GT(grid->columnWidth(2), nameBefore + 150);
}

TEST(QtPromptsTest, DeleteQuestionsAnswerNoOnEnter) {
    ui::QtPrompts prompts(nullptr);
    bool pressed = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            QTest::keyClick(box, Qt::Key_Return);
            pressed = true;
        }
    });
    EXPECT_FALSE(prompts.YesNoDefaultNo("Wil je dit record verwijderen?"));
    EXPECT_TRUE(pressed);
}

TEST_F(MainWindow, EnglishItemsLeaveTheStoredAcidityAlone) {
    NewLocation("Ven", "162", "458");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    Locations().FieldByName("ZUURGRAAD").SetAsString("Zuur");
    form->LocationNavigator()->Press(DBNavigator::Post);
    support::TFreeLocalizer localizer;
    localizer.LoadLanguageFile(QStringLiteral(VELMORA_SOURCE_DIR "/data/Lang/EN.lng"));
    ui::WidgetFormAccess access(form.get());
    localizer.TranslateForm(access);
    auto* acidity = form->findChild<ui::DBComboBox*>("DBCZUURGRAAD");
    ASSERT_TRUE(acidity);
    EXPECT_EQ(acidity->itemText(0), "Acidic");
    EXPECT_EQ(form->findChild<ui::DBComboBox*>("DBCAMAAT")->itemText(0), "Present");
    EXPECT_EQ(Locations().State(), core::DatasetState::Browse); // nothing was "typed"
    EXPECT_EQ(Loc("ZUURGRAAD"), "Zuur");
    EXPECT_EQ(acidity->currentText(), "Zuur");
    // A pick in English is stored as shown, and the nature value reads it.
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    acidity->setCurrentIndex(1);
    form->LocationNavigator()->Press(DBNavigator::Post);
    EXPECT_EQ(Loc("ZUURGRAAD"), "Slightly Acidic");
    EXPECT_EQ(ecology::MilieuOfZuurgraad(Loc("ZUURGRAAD")), ecology::MilieuZwakZuur);
}

TEST_F(MainWindow, TypingStopsAtTheFieldsWidth) {
    QTest::keyClick(form->SampleGrid(), Qt::Key_Insert, Qt::AltModifier);
    QTest::keyClicks(form->LocationEdit("LOCATIE"), QString(130, 'v'));
    EXPECT_EQ(form->LocationEdit("LOCATIE")->text().size(), 100); // LOCATIE holds 100
    EXPECT_EQ(Loc("LOCATIE").size(), 100);
    QTest::keyClicks(form->LocationEdit("DAG"), "123");
    EXPECT_EQ(form->LocationEdit("DAG")->text(), "12");
}

TEST_F(MainWindow, ANamesOnlyTaxaListSaysTheValueIsDiversityAlone) {
    NewLocation("Ven", "162", "458");
    NewSample("Cosmarium botrytis");
    EXPECT_FALSE(form->DiversityOnlyLabel()->isVisibleTo(form.get()));
    eco.taxaList.Assign({{"Cosmarium botrytis", "Cosmarium botrytis", "Meneghini ex Ralfs", "", "",
                          "", "", "", "", ""}},
                        &eco.searchList);
    form->BerekenNatuurwaarde();
    EXPECT_TRUE(form->DiversityOnlyLabel()->isVisibleTo(form.get()));
    EXPECT_EQ(form->DiversityOnlyLabel()->text(), "Alleen diversiteit geteld");
    EXPECT_EQ(form->DiversityOnlyLabel()->toolTip(),
              "De taxalijst bevat geen zeldzaamheids- of signaalwaarden: alleen de diversiteit "
              "telt");
    EXPECT_LE(form->DiversityOnlyLabel()->sizeHint().width(),
              form->DiversityOnlyLabel()->parentWidget()->width());
}

} // namespace
