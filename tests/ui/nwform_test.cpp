#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "ui/tnwform.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using ecology::TaxonRecord;

namespace {

struct NWFormFixture : ::testing::Test {
    ecology::EcologyData eco;
    QMainWindow main;
    void SetUp() override {
        core::SetDecimalSeparator('.');
        std::vector<TaxonRecord> records = {
            {"Cosmarium a", "Cosmarium a", "", "oligo", "acido", "", "1", "2", "RL", ""},
            {"Cosmarium b", "Cosmarium b", "", "meso", "acido", "", "2", "2", "", ""},
            {"Cosmarium c", "Cosmarium c", "", "eu", "neutr", "", "0", "1", "", ""},
            {"Cosmarium d", "Cosmarium d", "", "", "", "", "3", "1", "", ""},
        };
        eco.taxaList.Assign(records, &eco.searchList);
        eco.tally.ClearData();
        eco.tally.SetMilieu(ecology::MilieuZuur);
        for (const char* n : {"Cosmarium a", "Cosmarium b", "Cosmarium c", "Cosmarium d"})
            eco.tally.AddTaxon(n, false);
        eco.tally.AddTaxon("Unknown x", false);
        eco.tally.ComputeNatureValue();
        main.setGeometry(100, 80, 800, 566);
        main.show();
    }
};

TEST_F(NWFormFixture, ShowsPercentagesBarsAndHints) {
    ui::TNWForm form(eco, &main);
    form.ShowResults();
    EXPECT_EQ(form.PercentLabel(ecology::SpZuur)->text(), "50");
    EXPECT_EQ(form.Bar(ecology::SpZuur)->value(), 50);
    EXPECT_EQ(form.PercentLabel(ecology::SpNeutraal)->text(), "25");
    EXPECT_EQ(form.PercentLabel(ecology::SpZuurIndifferent)->text(), "25");
    EXPECT_EQ(form.Bar(ecology::SpZuur)->toolTip(), "Cosmarium a\nCosmarium b");
    EXPECT_EQ(form.Field("NW")->text(), "5"); // D 1 (4 taxa), R 2 (6), S 2 (6)
    EXPECT_TRUE(form.Field("NW")->font().bold());
    EXPECT_EQ(form.Field("RL")->toolTip(), "Cosmarium a");
    EXPECT_EQ(form.NotCountedList()->count(), 1);
    EXPECT_EQ(form.NotCountedList()->item(0)->text(), "Niet  :  Unknown x");
    EXPECT_EQ(form.SelectedMilieu(), ecology::MilieuZuur);
}

TEST_F(NWFormFixture, MilieuChangeRecomputesTheSameTally) {
    ui::TNWForm form(eco, &main);
    form.show();
    auto* alkaline = form.findChild<QRadioButton*>("MilieuItem2");
    QTest::mouseClick(alkaline, Qt::LeftButton);
    EXPECT_EQ(eco.tally.CurrentMilieu(), ecology::MilieuNeutraalAlkalisch);
    EXPECT_EQ(form.Field("Dn")->text(), "4");
    EXPECT_EQ(form.Field("RValue")->text(), "2"); // r = 6: 1, 3, 11
    EXPECT_EQ(form.Field("NW")->text(), "5");
}

TEST_F(NWFormFixture, StaysBesideTheMainWindowWhileTicked) {
    ui::TNWForm form(eco, &main);
    form.ShowBesideMain();
    EXPECT_TRUE(form.PlacementTimer()->isActive());
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(form.pos(), QPoint(frame.x() + frame.width() - 2, frame.y()));
    EXPECT_EQ(form.height(), main.height());

    main.move(200, 120);
    QTest::qWait(120); // at least two ticks of the 50 ms timer
    EXPECT_EQ(form.x(), main.frameGeometry().x() + main.frameGeometry().width() - 2);

    form.StickBox()->setChecked(false);
    const QPoint before = form.pos();
    main.move(300, 150);
    QTest::qWait(120);
    EXPECT_EQ(form.pos(), before);

    QTest::mouseClick(form.findChild<QPushButton*>("CloseBtn"), Qt::LeftButton);
    EXPECT_FALSE(form.PlacementTimer()->isActive());
    EXPECT_FALSE(form.isVisible());
}

} // namespace
