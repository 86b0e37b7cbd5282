#include "ui/tselectdbform.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "ui/formwidgets.h"
#include "ui/messages.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
// Runs while the busy cursor shows.
template <class F> auto Busy(F&& work) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    return work();
}
} // namespace

TSelectDBForm::TSelectDBForm(core::DatabaseStore& store, QWidget* parent)
    : QDialog(parent), m_store(store), m_catalogue(store) {
    setObjectName(QStringLiteral("SelectDBForm"));
    setWindowTitle(QStringLiteral("Selecteer de database"));
    auto* layout = new QVBoxLayout(this);

    auto* current = new QHBoxLayout;
    m_currentDB = new QLineEdit(this);
    m_currentDB->setObjectName(QStringLiteral("CurrentDB"));
    m_currentDB->setReadOnly(true);
    current->addWidget(NamedLabel("CurrentDBLabel", "Gebruik Database", this));
    current->addWidget(m_currentDB, 1);
    layout->addLayout(current);

    layout->addWidget(NamedLabel("SelectLabel", "Selecteer een database", this));
    m_databaseBox = new QListWidget(this);
    m_databaseBox->setObjectName(QStringLiteral("DatabaseBox"));
    m_databaseBox->setMinimumHeight(140);
    layout->addWidget(m_databaseBox, 1);

    auto* manage = new QHBoxLayout;
    m_nieuw = NamedButton("Nieuw", "Maak nieuwe Database", this);
    m_deleteDB = NamedButton("DeleteDB", "Verwijder geselecteerde Database", this);
    manage->addWidget(m_nieuw);
    manage->addWidget(m_deleteDB);
    manage->addStretch(1);
    layout->addLayout(manage);

    m_rdLatLon = new QGroupBox(QStringLiteral("Coördinaatsysteem"), this);
    m_rdLatLon->setObjectName(QStringLiteral("RDLatLon"));
    auto* choices = new QVBoxLayout(m_rdLatLon);
    m_choice = new QButtonGroup(this);
    // The buttons stay unnamed children of the group: a language file sets them as its Items.
    int id = 0;
    for (const char* item : {" RD (km of m) of Atlasblok", "Latitude/Longtitude"}) {
        auto* radio = new QRadioButton(QString::fromUtf8(item), m_rdLatLon);
        m_choice->addButton(radio, id++);
        choices->addWidget(radio);
    }
    layout->addWidget(m_rdLatLon);

    auto* squares = new QGridLayout;
    m_coordLabel = NamedLabel("CoordLabel", "Hokkencoördinatenbestand", this);
    m_cedit = new QLineEdit(this);
    m_cedit->setObjectName(QStringLiteral("Cedit"));
    m_selectCoord = NamedButton("SelectCoord", "...", this);
    m_selectCoord->setMaximumWidth(32);
    squares->addWidget(m_coordLabel, 0, 0, 1, 2);
    squares->addWidget(m_cedit, 1, 0);
    squares->addWidget(m_selectCoord, 1, 1);
    layout->addLayout(squares);

    auto* buttons = new QHBoxLayout;
    m_updateKXYUXY = NamedButton("UpdateKXYUXY", "Update KXY en UXY", this);
    m_updateKXYUXY->hide();
    // Inconspicuous on purpose: the same rewrite, for a user who knows it is there.
    m_updateSmall = NamedButton("UpdateKXYUXYSmall", "", this);
    m_updateSmall->setFixedSize(8, 8);
    m_updateSmall->setFocusPolicy(Qt::NoFocus);
    m_okButton = NamedButton("OKbtn", "OK", this);
    m_okButton->setDefault(true);
    buttons->addWidget(m_updateKXYUXY);
    buttons->addStretch(1);
    buttons->addWidget(m_updateSmall, 0, Qt::AlignBottom);
    buttons->addWidget(m_okButton);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    // A pick by mouse or keys selects an item; the focus alone only marks one as current.
    connect(m_databaseBox, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            DatabaseBoxClick();
    });
    connect(m_nieuw, &QPushButton::clicked, this, [this] { NieuwClick(); });
    connect(m_deleteDB, &QPushButton::clicked, this, [this] { DeleteDBClick(); });
    connect(m_choice, &QButtonGroup::idClicked, this,
            [this](int choice) { RDLatLonClick(choice); });
    connect(m_selectCoord, &QPushButton::clicked, this, [this] { SelectCoordClick(); });
    // Typing changes the setting; the window's own filling of the field does not.
    connect(m_cedit, &QLineEdit::textEdited, this, [this] { CeditChange(); });
    connect(m_updateKXYUXY, &QPushButton::clicked, this, [this] { UpdateKXYUXYClick(); });
    connect(m_updateSmall, &QPushButton::clicked, this, [this] { UpdateKXYUXYClick(); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKbtnClick(); });
}

TSelectDBForm::~TSelectDBForm() = default;

void TSelectDBForm::showEvent(QShowEvent* event) {
    // Restoring a minimised window keeps what the user has done so far.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TSelectDBForm::FillDatabaseBox() {
    m_filling = true;
    m_databaseBox->clear();
    m_databaseBox->addItems(recording::DatabaseCatalogue::List());
    const QList<QListWidgetItem*> current =
        m_databaseBox->findItems(m_catalogue.Current(), Qt::MatchExactly);
    m_databaseBox->setCurrentItem(current.value(0));
    m_filling = false;
}

void TSelectDBForm::ShowChoice(int choice) {
    if (QAbstractButton* button = m_choice->button(choice))
        button->setChecked(true);
}

void TSelectDBForm::ClearChoice() {
    // An exclusive group keeps one button checked; both are cleared outside it.
    m_choice->setExclusive(false);
    for (QAbstractButton* button : m_choice->buttons())
        button->setChecked(false);
    m_choice->setExclusive(true);
}

void TSelectDBForm::ShowSquareTableControls(bool visible) {
    m_coordLabel->setVisible(visible);
    m_cedit->setVisible(visible);
    m_selectCoord->setVisible(visible);
}

void TSelectDBForm::ShowSettingsOfCurrent() {
    m_currentDB->setText(m_catalogue.Current());
    m_cedit->setText(m_store.SquaresTable());
    const bool latLon = m_store.CoordinateSystem() == core::kLatLon;
    if (m_catalogue.Current().isEmpty())
        ClearChoice();
    else
        ShowChoice(latLon ? LatLon : RD);
    ShowSquareTableControls(!latLon);
}

void TSelectDBForm::FormShow() {
    m_nieuw->show();
    m_updateKXYUXY->hide();
    m_currentDB->setText(m_catalogue.Current());
    FillDatabaseBox();
    const int choice = m_store.CoordinateSystem() == core::kLatLon ? LatLon : RD;
    if (m_choice->checkedId() != choice) {
        ShowChoice(choice);
        RDLatLonClick(choice);
    }
    m_cedit->setText(m_store.SquaresTable());
    m_databaseBox->setFocus();
    // The main window lets go of the table while its name may change here.
    m_store.SquareCoordinates().Close();
}

void TSelectDBForm::DatabaseBoxClick() {
    const QList<QListWidgetItem*> selected = m_databaseBox->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem* item = selected.first();
    m_updateKXYUXY->hide();
    m_currentDB->setText(item->text());
    Busy([&] { m_catalogue.Select(item->text()); });
    ShowSettingsOfCurrent();
    if (m_coordinateLabels)
        m_coordinateLabels();
    if (m_store.CoordinateSystem() == core::kLatLon &&
        Busy([&] { return m_catalogue.SquareCodesStale(); }))
        m_updateKXYUXY->show();
}

void TSelectDBForm::RDLatLonClick(int choice) {
    if (m_catalogue.Current().isEmpty())
        return;
    m_updateKXYUXY->hide();
    const bool latLon = choice == LatLon;
    m_catalogue.SetCoordinateSystem(latLon ? core::kLatLon : core::kKmBased);
    ShowSquareTableControls(!latLon);
    if (latLon && Busy([&] { return m_catalogue.SquareCodesStale(); }))
        m_updateKXYUXY->show();
    m_okButton->show();
}

void TSelectDBForm::NieuwClick() {
    // The field only: the settings of the database that was current stay as they are.
    m_cedit->clear();
    m_okButton->hide();
    const std::optional<QString> name = core::UserPrompts().InputText(
        ResStr(rsNewDatabaseTitle), ResStr(rsNewDatabasePrompt), QString());
    if (!name || !m_catalogue.Create(*name))
        return;
    m_nieuw->hide();
    m_currentDB->setText(m_catalogue.Current());
    ClearChoice();
    FillDatabaseBox();
    // OK shows again once the new database has a coordinate system.
}

void TSelectDBForm::DeleteDBClick() {
    if (!m_catalogue.Delete(m_catalogue.Current()))
        return;
    m_updateKXYUXY->hide();
    FillDatabaseBox();
    m_nieuw->show();
    // The database that became current shows its own settings (read, not written).
    ShowSettingsOfCurrent();
    if (m_coordinateLabels)
        m_coordinateLabels();
}

void TSelectDBForm::SelectCoordClick() {
    const QString chosen = core::UserPrompts().ChooseOpenFile(m_coordLabel->text(), core::LibDir(),
                                                              QStringLiteral("dBase (*.dbf)"));
    if (chosen.isEmpty())
        return;
    m_cedit->setText(QFileInfo(chosen).completeBaseName());
    CeditChange();
}

void TSelectDBForm::CeditChange() {
    m_catalogue.SetSquaresTable(m_cedit->text());
}

void TSelectDBForm::UpdateKXYUXYClick() {
    m_okButton->hide();
    if (Busy([&] { return m_catalogue.UpdateSquareCodes(); }))
        m_updateKXYUXY->hide();
    m_okButton->show();
}

void TSelectDBForm::OKbtnClick() {
    accept();
}

} // namespace velmora::ui
