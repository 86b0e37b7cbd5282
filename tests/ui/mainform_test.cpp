#include "common/printers.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/textutils.h"
#include "ecology/ecologydata.h"
#include "ui/tmainform.h"
#include "ui/tnwform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using ui::DBNavigator;

namespace {

struct MainWindow : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    ecology::EcologyData eco;
    core::DatabaseStore store;
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
        form = std::make_unique<ui::TMainForm>(store, eco);
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

TEST_F(MainWindow, NewLocationWithoutANameIsStoredButStaysInEdit) {
    form->LocationNavigator()->Press(DBNavigator::New);
    EXPECT_TRUE(form->LocationPanel()->isEnabled());
    EXPECT_FALSE(form->SamplePanel()->isEnabled());
    EXPECT_EQ(Loc("ANALIST"), "J. Analist");
    EXPECT_EQ(Loc("ID"), "0");
    EXPECT_EQ(store.maxLocationID, "0");
    form->LocationNavigator()->Press(DBNavigator::Post);
    EXPECT_EQ(prompts.shown, QStringList{"Een locatienaam is verplicht"});
    EXPECT_EQ(Locations().State(), core::DatasetState::Edit);
    EXPECT_EQ(Locations().RecordCount(), 1);
    Locations().FieldByName("LOCATIE").SetAsString("Ven");
    form->LocationNavigator()->Press(DBNavigator::Post);
    EXPECT_EQ(prompts.shown.last(), "Een geldige datum is verplicht");
    Locations().FieldByName("JAAR").SetAsString("2001");
    form->LocationNavigator()->Press(DBNavigator::Post);
    EXPECT_EQ(Locations().State(), core::DatasetState::Browse);
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
    form->CopyRecordClick();
    EXPECT_EQ(prompts.shown.last(), "Wil je een kopie van dit record maken?");
    EXPECT_EQ(Locations().State(), core::DatasetState::Edit);
    EXPECT_EQ(Loc("ID"), "1");
    EXPECT_EQ(Loc("LOCATIE"), "Ven");
    EXPECT_EQ(Loc("OWNER"), "Natuurmonumenten");
    EXPECT_TRUE(Loc("PH").isEmpty());
    EXPECT_TRUE(Loc("JAAR").isEmpty());
    EXPECT_EQ(Loc("ANALIST"), "J. Analist");
    EXPECT_TRUE(form->LocationPanel()->isEnabled());
    EXPECT_TRUE(form->SampleGridData().Cell(2, 1).isEmpty()); // the copy has no samples
    EXPECT_EQ(SamplesWithId(0), 1);
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
    NewLocation("Ven", "abc", "458");
    form->SampleNavigator()->Press(DBNavigator::New);
    form->SampleEdit("DESMID")->Link().Write("Cosmarium botrytis");
    prompts.shown.clear();
    form->SampleNavigator()->Press(DBNavigator::Post);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("abc"));
    EXPECT_NE(Samples().State(), core::DatasetState::Browse);
    EXPECT_EQ(Samples().RecordCount(), 0);
}

TEST_F(MainWindow, NatureValueBoxOfASmallEvent) {
    NewLocation("Ven", "162", "458");
    form->LocationNavigator()->Press(DBNavigator::EditRecord);
    Locations().FieldByName("ZUURGRAAD").SetAsString("Zuur");
    form->LocationNavigator()->Press(DBNavigator::Post);
    NewSample("Cosmarium margaritiferum");
    NewSample("Staurastrum hirsutum", "0");
    NewSample("Unknown name");
    EXPECT_EQ(form->NatureValueField("AantalTaxa")->text(), "3");
    EXPECT_EQ(form->NatureValueField("Divers")->text(), "  2 --> 1");
    EXPECT_EQ(form->NatureValueField("Zeldz")->text(), "  5 --> 2");
    EXPECT_EQ(form->NatureValueField("Sign")->text(), "  5 --> 1");
    EXPECT_EQ(form->RedListLabel()->text(), "Rodelijstsoorten: 1");
    EXPECT_EQ(form->NatureValueLabel()->text(), "Natuurwaarde: 4");
    EXPECT_EQ(nwForm->Field("NW")->text(), "4");

    form->IgnoreBox()->click(); // abundance "0" no longer counts
    EXPECT_EQ(form->NatureValueField("Divers")->text(), "  1 --> 1");
    form->AlternativeBox()->click();
    EXPECT_EQ(form->NatureValueField("Divers")->text(), "  1 --> 0.8");
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
