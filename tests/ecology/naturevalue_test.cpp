#include "core/error.h"
#include "core/text/textutils.h"
#include "ecology/naturevaluetally.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"

#include <gtest/gtest.h>

#include "common/printers.h"

using namespace velmora::ecology;

namespace {

TaxonRecord Taxon(const char* name, const char* r, const char* s, const char* redList = "",
                  const char* acidity = "", const char* trophic = "", const char* negVar = "") {
    return {name, name, "", trophic, acidity, "", r, s, redList, negVar};
}

struct Fixture : ::testing::Test {
    TaxaList list;
    SearchList search;
    NatureValueTally tally{list, search};
    void Load(std::vector<TaxonRecord> records) { list.Assign(records, &search); }
    void SetUp() override { velmora::core::SetDecimalSeparator('.'); }
};

using NatureValue = Fixture;

TEST_F(NatureValue, WorkedExample) {
    Load({Taxon("Actinotaenium a", "1", "2", "RL", "acido"), Taxon("Closterium b", "2", "2"),
          Taxon("Cosmarium c", "0", "1"), Taxon("Euastrum d", "", ""),
          Taxon("Micrasterias e", "3", "1"), Taxon("Staurastrum f", "5", "5")});
    tally.ClearData();
    tally.SetMilieu(MilieuOfZuurgraad("Zuur"));
    for (const char* n :
         {"Actinotaenium a", "Closterium b", "Cosmarium c", "Euastrum d", "Micrasterias e"})
        tally.AddTaxon(n, false);
    tally.AddTaxon("Cosmarium spec.", false);
    tally.AddTaxon("Staurastrum f", true);
    tally.ComputeNatureValue();
    const NatureValueResult& res = tally.Result();
    EXPECT_EQ(tally.D(), 5);
    EXPECT_EQ(tally.R(), 6);
    EXPECT_EQ(tally.S(), 6);
    EXPECT_EQ(res.rl, "1");
    EXPECT_EQ(tally.NotCounted(),
              (QStringList{"Niet  :  Cosmarium spec.", "Niet  :  Staurastrum f"}));
    EXPECT_EQ(res.dValue, "1");
    EXPECT_EQ(res.rValue, "2");
    EXPECT_EQ(res.sValue, "2");
    EXPECT_EQ(res.nw, "5");
    const MainWindowSummary summary = SummaryTexts(res, 7, "Actinotaenium a");
    EXPECT_EQ(summary.aantalTaxa, "7");
    EXPECT_EQ(summary.divers, "  5 --> 1");
    EXPECT_EQ(summary.zeldz, "  6 --> 2");
    EXPECT_EQ(summary.sign, "  6 --> 2");
    EXPECT_EQ(summary.redListLabel, "Rodelijstsoorten: 1");
    EXPECT_EQ(summary.natureValueLabel, "Natuurwaarde: 5");

    tally.SetAlternativeMethod(true);
    tally.ComputeNatureValue();
    EXPECT_EQ(res.dValue, "1.4");
    EXPECT_EQ(res.rValue, "1.8");
    EXPECT_EQ(res.sValue, "1.5");
    EXPECT_EQ(res.nw, "4.7");

    // A different milieu recomputes the same tally.
    tally.SetAlternativeMethod(false);
    tally.SetMilieu(MilieuNeutraalAlkalisch);
    tally.ComputeNatureValue();
    EXPECT_EQ(res.rValue, "2");
    tally.SetAlternativeMethod(true);
    tally.ComputeNatureValue();
    EXPECT_EQ(res.rValue, "2.0");
    EXPECT_NEAR(tally.RAlternative(), 2.048, 0.001);

    velmora::core::SetDecimalSeparator(',');
    tally.ComputeNatureValue();
    EXPECT_EQ(res.dValue, "1,4");
}

TEST_F(NatureValue, CapsAndTheTen) {
    std::vector<TaxonRecord> records;
    for (int i = 0; i < 40; ++i) {
        const bool first = i == 0;
        records.push_back(Taxon("", first ? "60" : "0", first ? "100" : "0"));
        records.back().taxonName = QStringLiteral("Taxon %1").arg(i, 2, 10, QLatin1Char('0'));
    }
    Load(records);
    for (const TaxonRecord& r : records)
        tally.AddTaxon(r.taxonName, false);
    tally.SetAlternativeMethod(true);
    tally.SetMilieu(MilieuZuur);
    tally.ComputeNatureValue();
    EXPECT_EQ(tally.Result().dValue, "3.0");
    EXPECT_EQ(tally.Result().rValue, "3.0");
    EXPECT_EQ(tally.Result().sValue, "4.0");
    EXPECT_EQ(tally.Result().nw, "10");
    tally.SetMilieu(MilieuZwakZuur);
    tally.ComputeNatureValue();
    EXPECT_EQ(tally.Result().dValue, "2.5");
    EXPECT_EQ(tally.Result().nw, "9.5");
}

TEST_F(NatureValue, CountingRules) {
    Load({Taxon("Cosmarium margaritiferum var. minor", "1", "1", "", "", "", "T"),
          Taxon("Cosmarium margaritiferum var. major", "5", "5", "", "", "", "T"),
          Taxon("Cosmarium margaritiferum", "7", "7"),
          Taxon("Staurastrum hirsutum var. muricatum", "2", "0"),
          Taxon("Staurastrum hirsutum", "1", "0")});
    search.Add("Zygnema known");
    search.Add("Cosmarium spec.");
    tally.AddTaxon("Cosmarium margaritiferum var. major", false); // counted as the species
    tally.AddTaxon("Cosmarium margaritiferum var. minor", false); // same species: not again
    tally.AddTaxon("COSMARIUM MARGARITIFERUM", false);            // the species: not again
    tally.AddTaxon("Staurastrum hirsutum var. muricatum", false); // no "T": its own name
    tally.AddTaxon("Staurastrum hirsutum", false);
    tally.AddTaxon("staurastrum HIRSUTUM", false); // a case variant counts once
    tally.AddTaxon("Zygnema known", true);         // known, excluded: no trace
    tally.AddTaxon("Zygnema known", false);        // known, not listed: partly
    tally.AddTaxon("Cosmarium spec.", false);      // "spec." is never counted
    tally.AddTaxon("Unknown name", false);
    tally.AddTaxon("Unknown name", false); // "Niet" lines repeat
    tally.AddTaxon("Geen sieralgen", false);
    tally.AddTaxon("No Desmids", false);
    EXPECT_EQ(tally.D(), 4);
    EXPECT_EQ(tally.R(), 5 + 2 + 1);
    EXPECT_EQ(tally.S(), 5);
    EXPECT_EQ(tally.NotCounted(), (QStringList{"Deels :  Zygnema known", "Niet  :  Cosmarium spec.",
                                               "Niet  :  Unknown name", "Niet  :  Unknown name"}));
    tally.ComputeNatureValue();
    EXPECT_EQ(tally.NotCounted().first(), "Deels :  Zygnema known"); // sorted now
    tally.AddTaxon("Another unknown", false);
    EXPECT_EQ(tally.NotCounted()[1], "Niet  :  Another unknown"); // inserted in order
}

TEST_F(NatureValue, ExcludedThenCounted) {
    Load({Taxon("Cosmarium a", "1", "1")});
    tally.AddTaxon("Cosmarium a", true);
    tally.AddTaxon("Cosmarium a", false);
    EXPECT_EQ(tally.D(), 1);
    EXPECT_EQ(tally.NotCounted(), QStringList{"Niet  :  Cosmarium a"});
}

TEST_F(NatureValue, BadScoreStopsWithoutChangingTheTally) {
    Load({Taxon("Cosmarium a", "1", "2"), Taxon("Cosmarium b", "x", "1")});
    tally.AddTaxon("Cosmarium a", false);
    EXPECT_THROW(tally.AddTaxon("Cosmarium b", false), velmora::core::Error);
    EXPECT_EQ(tally.D(), 1);
    EXPECT_EQ(tally.R(), 1);
    EXPECT_EQ(tally.S(), 2);
}

TEST_F(NatureValue, NothingCountedPublishesZeros) {
    Load({Taxon("Cosmarium a", "1", "2")});
    tally.AddTaxon("Geen sieralgen", false);
    tally.AddTaxon("Cosmarium a", true);
    tally.ComputeNatureValue();
    EXPECT_EQ(tally.Result().nw, "0");
    EXPECT_EQ(tally.Result().dn, "0");
    EXPECT_EQ(tally.Result().percent[SpZuur], "0");
    EXPECT_EQ(SummaryTexts(tally.Result(), 1, "Geen sieralgen").aantalTaxa, "0");
}

TEST_F(NatureValue, SpectrumClassesAndPercentages) {
    Load({Taxon("A a", "", "", "", "acido", "meso-eu"), Taxon("B b", "", "", "", "acido-neut", ""),
          Taxon("C c", "", "", "", "Acido", "oligo"), Taxon("D d", "", "", "", "", "eu"),
          Taxon("E e", "", "", "", "acido", "eu"), Taxon("F f", "", "", "", "neutr", "eu"),
          Taxon("G g", "", "", "", "alk", "eu"), Taxon("H h", "", "", "", "acido", "eu")});
    for (const char* n : {"A a", "B b", "C c"})
        tally.AddTaxon(n, false);
    tally.ComputeNatureValue();
    EXPECT_EQ(tally.Result().percent[SpZuur], "33");
    EXPECT_EQ(tally.SpectrumCount(SpZwakZuur), 1);
    EXPECT_EQ(tally.SpectrumCount(SpZuurIndifferent), 1); // "Acido" is not "acido"
    EXPECT_EQ(tally.SpectrumCount(SpMesoEutroof), 1);
    EXPECT_EQ(tally.SpectrumCount(SpTrofieIndifferent), 1);

    for (const char* n : {"D d", "E e", "F f", "G g", "H h"})
        tally.AddTaxon(n, false);
    tally.ComputeNatureValue(); // 8 taxa: acido 3 -> 37.5 -> 38; eu 5 -> 62.5 -> 62
    EXPECT_EQ(tally.Result().percent[SpZuur], "38");
    EXPECT_EQ(tally.Result().percent[SpZwakZuur], "12"); // 12.5 -> 12
    EXPECT_EQ(tally.Result().percent[SpEutroof], "62");
    EXPECT_EQ(tally.Result().percent[SpZuurIndifferent], "25");
    EXPECT_EQ(tally.Result().bar[SpZuur], 38);
    EXPECT_EQ(tally.SpectrumHint(SpZuur), "A a\n\rE e\n\rH h");
}

TEST_F(NatureValue, PartlyCountedLowersEveryShare) {
    Load({Taxon("A a", "", "", "", "acido"), Taxon("B b", "", "", "", "acido"),
          Taxon("C c", "", "", "", "acido")});
    search.Add("Zygnema known");
    for (const char* n : {"A a", "B b", "C c", "Zygnema known"})
        tally.AddTaxon(n, false);
    tally.ComputeNatureValue();
    EXPECT_EQ(tally.Result().percent[SpZuur], "75");
    EXPECT_EQ(tally.Result().percent[SpZuurIndifferent], "0");
}

TEST(Milieu, OfEventsAndSets) {
    struct Case {
        const char* text;
        Milieu milieu;
    };
    const Case cases[] = {{"Zuur", MilieuZuur},
                          {"Acidic", MilieuZuur},
                          {"Zwak zuur", MilieuZwakZuur},
                          {"Alkalisch", MilieuNeutraalAlkalisch},
                          {"Neutral-Alkaline", MilieuNeutraalAlkalisch},
                          {"zuur", MilieuNone},
                          {"", MilieuNone}};
    for (const Case& c : cases)
        EXPECT_EQ(MilieuOfZuurgraad(c.text), c.milieu) << c.text;

    MilieuSet only;
    only.Add("Zuur");
    only.Add("Acidic");
    only.Add("something else");
    EXPECT_EQ(only.Combined(), MilieuZuur);
    MilieuSet mixed;
    mixed.Add("Zuur");
    mixed.Add("");
    EXPECT_EQ(mixed.Combined(), MilieuZwakZuur);
    MilieuSet alkaline;
    alkaline.Add("Neutraal");
    EXPECT_EQ(alkaline.Combined(), MilieuNeutraalAlkalisch);
}

TEST(CountedRecord, Rules) {
    using R = CountedRecordRule;
    struct Case {
        const char *zeker, *abund, *dl;
        R rule;
        bool counted;
    };
    const Case cases[] = {
        {"", "1", "L", R::MainWindow, true},   {" x", "1", "L", R::MainWindow, true},
        {"N", "1", "L", R::MainWindow, false}, {"CF", "1", "L", R::MainWindow, false},
        {"", "0", "L", R::MainWindow, false},  {"", "05", "L", R::MainWindow, false},
        {"", "05", "L", R::Tables, true},      {"", " 0 ", "L", R::Tables, false},
        {"", "1", "D", R::Tables, false},      {"", "1", "", R::Tables, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsCountedRecord(c.zeker, c.abund, c.dl, c.rule), c.counted)
            << c.zeker << "|" << c.abund << "|" << c.dl;
}

} // namespace
