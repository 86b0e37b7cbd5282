#include "ui/tmainform.h"

#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "ecology/taxonnames.h"
#include "maps/messages.h"
#include "recording/databasecatalogue.h"
#include "session/messages.h"
#include "session/session.h"
#include "support/messages.h"
#include "support/photofolder.h"
#include "ui/formwidgets.h"
#include "ui/locationpanel.h"
#include "ui/messages.h"
#include "ui/nameentrypanel.h"
#include "ui/naturevaluebox.h"
#include "ui/samplegridview.h"
#include "ui/samplepanel.h"
#include "ui/tnwform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

using core::DatasetState;

TMainForm::TMainForm(session::Session& session, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_store(session.Store()),
      m_ecology(session.Ecology()), m_editor(session.Store()) {
    setObjectName(QStringLiteral("MainForm"));
    // The default width is 800; a wider window gives the grid and the name list more room.
    setMinimumWidth(800);
    setMinimumHeight(600);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainPanel"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);

    auto* top = new QHBoxLayout;
    m_databaseLabel =
        MakeLabel(core::ResStr(core::rsDbLabelNone), QStringLiteral("DatabaseLabel"), central);
    QFont bold = m_databaseLabel->font();
    bold.setBold(true);
    m_databaseLabel->setFont(bold);
    m_expertLabel = MakeLabel(QStringLiteral("  Experimental version  "),
                              QStringLiteral("ExpertLabel"), central);
    m_expertLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
    top->addWidget(m_databaseLabel);
    top->addStretch(1);
    top->addWidget(m_expertLabel);
    layout->addLayout(top);

    m_locationPanel = new ui::LocationPanel(m_store.Locations(), central);
    layout->addWidget(m_locationPanel);

    auto* navRow = new QHBoxLayout;
    m_locationNavigator = new DBNavigator(central);
    m_locationNavigator->setObjectName(QStringLiteral("LocationNavigator"));
    navRow->addWidget(m_locationNavigator);
    m_copyButton = new QPushButton(QStringLiteral("Kopiëer dit record"), central);
    m_copyButton->setObjectName(QStringLiteral("CopyRecord"));
    m_selectLocButton = new QPushButton(QStringLiteral("Lijst met locaties"), central);
    m_selectLocButton->setObjectName(QStringLiteral("SelectLocBtn"));
    m_selectLocButton->setEnabled(false);
    navRow->addWidget(m_copyButton);
    navRow->addWidget(m_selectLocButton);
    layout->addLayout(navRow);

    auto* middle = new QHBoxLayout;
    m_samplePanel = new ui::SamplePanel(m_store.Samples(), m_ecology.taxaList, central);
    middle->addWidget(m_samplePanel, 5);
    m_namePanel =
        new NameEntryPanel(m_ecology, m_store.Samples(), m_samplePanel->Desmid(), central);
    middle->addWidget(m_namePanel, 3);
    m_nwBox = new NatureValueBox(central);
    middle->addWidget(m_nwBox, 3);
    layout->addLayout(middle);

    m_grid = new SampleGridView(m_store.Samples(), central);
    layout->addWidget(m_grid, 1);
    setCentralWidget(central);
    BuildMenu();

    m_locationNavigator->Bind(&m_store.Locations());
    m_locationNavigator->SetBeforeAction(
        [this](DBNavigator::Button b) { return LocationNavigatorBeforeAction(b); });
    m_locationNavigator->SetAfterAction(
        [this](DBNavigator::Button b) { LocationNavigatorClick(b); });
    DBNavigator* sampleNavigator = m_samplePanel->Navigator();
    sampleNavigator->SetBeforeAction(
        [this](DBNavigator::Button b) { return SampleNavigatorBeforeAction(b); });
    sampleNavigator->SetAfterAction([this](DBNavigator::Button b) { SampleNavigatorClick(b); });

    // The sample panel shows and changes only a sample of the current location: after a new
    // sample is cancelled on a location without samples, the table's cursor is back on a
    // sample of another location, and the panel then shows nothing.
    m_samplePanel->SetScope([this] { return m_editor.CurrentSampleBelongs(); });
    connect(m_copyButton, &QPushButton::clicked, this, [this] { CopyRecordClick(); });
    connect(m_selectLocButton, &QPushButton::clicked, this, [this] { SelectLocClick(); });
    connect(m_nwBox, &NatureValueBox::ChoiceChanged, this, [this] { BerekenNatuurwaarde(); });
    m_locationsState = m_store.Locations().Connect(core::DatasetEvent::DataChanged,
                                                   [this](core::Dataset&) { ApplyPanelState(); });
    m_samplesState = m_store.Samples().Connect(core::DatasetEvent::DataChanged,
                                               [this](core::Dataset&) { ApplyPanelState(); });
    m_store.AddListener(this);
    SetTabOrder();

    // The window's keys reach it from whichever of its controls has the focus.
    qApp->installEventFilter(this);
    ResetSampleGrid();
    ApplyPanelState();
}

TMainForm::~TMainForm() {
    // The controls are destroyed after this body, when this is no longer a TMainForm: their
    // signals (a focus leaving a field) must not reach the handlers of this window then.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    qApp->removeEventFilter(this);
    m_store.RemoveListener(this);
    m_store.Locations().Disconnect(m_locationsState);
    m_store.Samples().Disconnect(m_samplesState);
}

void TMainForm::SetTabOrder() {
    // The order of the layout: the location's left column (name, date, coordinates, …), its
    // right column, then the sample panel, the search field, the name list and the grid.
    QList<QWidget*> order = m_locationPanel->TabOrder();
    order << m_samplePanel->TabOrder() << m_namePanel->SearchEdit() << m_namePanel->Names()
          << m_grid;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---------------------------------------------------------------- start-up

QString TMainForm::MainCaption(const QString& programName, const QString& programDir) {
    // Started from elsewhere than its own folder (a copy, a link): the program's name, in the
    // words a user knows rather than the executable's.
    if (!programDir.contains(programName))
        return QStringLiteral("Velmora Database");
    return QStringLiteral("VelmoraDataBase ") + ResStr(rsVersion);
}

bool TMainForm::FormCreate() {
    SetExpertMode(false);
    setWindowTitle(MainCaption(core::ProgramName(), core::ProgramDir()));
    if (core::ProgramName().contains(QLatin1Char(' '))) {
        core::UserPrompts().Message(ResStr(rsFileNameHasBlanks) + QLatin1Char('\n') +
                                        ResStr(rsClickOkToEnd),
                                    core::MessageKind::Error);
        return false;
    }
    LoadBiotopes();
    m_namePanel->SearchEdit()->clear();
    SearchEditChange();
    MenuAction(QStringLiteral("Natuurwaarde"))->setEnabled(true);
    return true;
}

void TMainForm::FormShow() {
    const core::Settings& s = core::CurrentSettings();
    if (s.language == QLatin1String("NL"))
        core::SetDecimalSeparator(QLatin1Char(','));
    move(s.mainLeft, s.mainTop);
    resize(s.mainWidth, s.mainHeight);
    m_shown = true;
    ResetSampleGrid();
    m_store.OpenDatabase(s.defaultDatabase);
    SetCoordinateLabels();
    MenuAction(QStringLiteral("Preferences"))->setEnabled(static_cast<bool>(m_runPreferences));
    MenuAction(QStringLiteral("SelectDatabase"))
        ->setEnabled(static_cast<bool>(m_runSelectDatabase));
    ApplyPanelState();
}

void TMainForm::SetExpertMode(bool on) {
    m_expertMode = on;
    m_expertLabel->setVisible(on);
    for (QWidget* w : m_locationPanel->ExpertWidgets())
        w->setVisible(on);
    for (QWidget* w : m_samplePanel->ExpertWidgets())
        w->setVisible(on);
}

void TMainForm::SetCoordinateLabels() {
    m_locationPanel->SetCoordinateLabels(m_store.CoordinateSystem() == QLatin1String("LatLon"));
}

void TMainForm::LoadBiotopes() {
    m_session.LoadBiotopes();
    QStringList codes;
    QStringList texts;
    for (const session::Biotope& b : m_session.Biotopes()) {
        codes << b.code;
        texts << b.code + QStringLiteral("   ") + b.name;
    }
    m_locationPanel->SetBiotopes(codes, texts);
}

// ---------------------------------------------------------------- state

bool TMainForm::LocationEditing() const {
    return m_locationPanel->Editing();
}

bool TMainForm::SampleEditing() const {
    return m_namePanel->SampleEditing();
}

void TMainForm::ApplyPanelState() {
    const bool open = m_store.IsOpen();
    const bool locationEditing = open && LocationEditing();
    m_locationPanel->setEnabled(locationEditing);
    // Without a database (none chosen, or one that failed to open) nothing can be entered.
    m_samplePanel->setEnabled(open && !locationEditing);
    QPalette palette = m_samplePanel->palette();
    palette.setColor(QPalette::Text,
                     locationEditing
                         ? palette.color(QPalette::Disabled, QPalette::Text)
                         : QApplication::palette().color(QPalette::Active, QPalette::Text));
    m_samplePanel->setPalette(palette);
    m_nwBox->setVisible(!locationEditing);
    m_namePanel->VoegToeButton()->setVisible(!locationEditing);
    m_copyButton->setEnabled(open && !locationEditing && !SampleEditing());
    bool ok = false;
    const int maxId = m_store.maxLocationID.toInt(&ok);
    SampleNavigator()->setEnabled(open && !locationEditing && ok && maxId >= 0);
    m_locationNavigator->setEnabled(open && !SampleEditing());
    const bool canSearch = open && static_cast<bool>(m_runLocationSearch);
    m_selectLocButton->setEnabled(canSearch);
    if (QAction* action = MenuAction(QStringLiteral("SelectLoc")))
        action->setEnabled(canSearch);
    if (QAction* action = MenuAction(QStringLiteral("Importeer")))
        action->setEnabled(open && static_cast<bool>(m_runImport));
    if (QAction* action = MenuAction(QStringLiteral("CheckNames")))
        action->setEnabled(open && static_cast<bool>(m_runCheckNames));
    if (QAction* action = MenuAction(QStringLiteral("Tabellen")))
        action->setEnabled(open && static_cast<bool>(m_runTables));
    if (QAction* action = MenuAction(QStringLiteral("Stippenkaart1")))
        action->setEnabled(open && static_cast<bool>(m_runDistribution));
    for (const char* item : {"TextExport", "ExporteerXLSbestand"})
        if (QAction* action = MenuAction(QString::fromLatin1(item)))
            action->setEnabled(open);
}

bool TMainForm::ConfirmNoPendingEdits() {
    if (!m_store.Locations().Active() || !m_store.Samples().Active())
        return true;
    if (!LocationEditing() && !SampleEditing())
        return true;
    core::UserPrompts().Message(ResStr(rsSaveEditsFirst), core::MessageKind::Warning);
    return false;
}

bool TMainForm::RunOverDatabase(const std::function<void()>& showWindow) {
    if (!ConfirmNoPendingEdits())
        return false;
    core::Dataset& loc = m_store.Locations();
    core::Dataset& samples = m_store.Samples();
    const bool open = loc.Active() && samples.Active();
    const QVariant id =
        open && !loc.IsEmpty() ? loc.FieldByName(QStringLiteral("ID")).AsVariant() : QVariant();
    const QString tag = open ? loc.IndexName() : QString();
    if (open) {
        loc.DisableControls();
        samples.DisableControls();
    }
    // The controls are resumed and the position restored however the window ends.
    struct Restore {
        TMainForm* form;
        bool open;
        QVariant id;
        QString tag;
        ~Restore() {
            core::Dataset& loc = form->m_store.Locations();
            core::Dataset& samples = form->m_store.Samples();
            if (open && loc.Active()) {
                try {
                    loc.SetIndexName(tag);
                    if (id.isValid())
                        loc.Locate(QStringLiteral("ID"), id);
                } catch (const core::Error&) {
                }
            }
            if (open) {
                loc.EnableControls();
                samples.EnableControls();
            }
            form->RefreshSampleGrid();
        }
    } restore{this, open, id, tag};
    showWindow();
    return true;
}

void TMainForm::EndFromOutside() {
    try {
        if (m_store.Locations().Active() && LocationEditing())
            m_store.Locations().Cancel();
        if (m_store.Samples().Active() && SampleEditing())
            m_store.Samples().Cancel();
    } catch (const core::Error&) {
    }
    close();
}

// ---------------------------------------------------------------- location navigator

bool TMainForm::LocationNavigatorBeforeAction(DBNavigator::Button button) {
    core::Dataset& loc = m_store.Locations();
    if (m_store.Samples().State() != DatasetState::Browse)
        return false;
    m_locationPanel->LocIdHolder()->setText(m_locationPanel->LocationText(QStringLiteral("ID")));
    if (button == DBNavigator::Delete) {
        const QString question = m_locationPanel->LocationText(QStringLiteral("LOCATIE")) +
                                 QStringLiteral("\n\n") + ResStr(rsDeleteRecordQuestion) +
                                 QLatin1Char('\n') + ResStr(rsDeleteCascadeNote);
        if (!core::UserPrompts().YesNoDefaultNo(question))
            return false;
    }
    if (button == DBNavigator::Post && core::CurrentSettings().language == QLatin1String("NL") &&
        LocationEditing()) {
        for (const char* f : {"COORDX", "COORDY"}) {
            core::Field field = loc.FieldByName(QString::fromLatin1(f));
            const QString repaired = recording::DecimalCommaRepair(field.AsString());
            if (repaired != field.AsString())
                field.SetAsString(repaired);
        }
    }
    return true;
}

void TMainForm::LocationNavigatorClick(DBNavigator::Button button) {
    core::Dataset& loc = m_store.Locations();
    if (m_store.Samples().State() != DatasetState::Browse)
        return;
    m_store.Samples().SetIndexName(QStringLiteral("ID"));
    m_locationPanel->SelectBiotopeOfWType();
    if (button == DBNavigator::EditRecord && m_locationPanel->LocIdHolder()->text().isEmpty()) {
        core::UserPrompts().Message(ResStr(rsDatabaseEmpty));
        return;
    }
    // The delete cascade ran with the delete (the editor follows the table).
    if (button == DBNavigator::New && loc.State() == DatasetState::Insert)
        m_editor.StartNewLocation(core::CurrentSettings().analist);
    m_grid->SetRememberedRow(1);
    RefreshSampleGrid();
    if (button == DBNavigator::New)
        LocationEdit(QStringLiteral("LOCATIE"))->setFocus();
    ApplyPanelState();
}

// ---------------------------------------------------------------- sample navigator

bool TMainForm::SampleApply() {
    try {
        m_editor.Apply();
        return true;
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return false;
    }
}

bool TMainForm::SampleNavigatorBeforeAction(DBNavigator::Button button) {
    core::Dataset& samples = m_store.Samples();
    switch (button) {
    case DBNavigator::Delete: {
        QString name = m_editor.CurrentSampleBelongs()
                           ? samples.FieldByName(QStringLiteral("DESMID")).AsString()
                           : QString();
        if (name.trimmed().isEmpty())
            name = maps::ResStr(maps::rsEmptyField);
        return core::UserPrompts().YesNoDefaultNo(name + QStringLiteral("\n\n") +
                                                  ResStr(rsDeleteRecordQuestion));
    }
    case DBNavigator::Post:
        return SampleEditing() ? SampleApply() : true;
    case DBNavigator::New:
        if (SampleEditing())
            RefreshSampleGrid();
        return !SampleEditing();
    default:
        return true;
    }
}

void TMainForm::SampleNavigatorClick(DBNavigator::Button button) {
    switch (button) {
    case DBNavigator::Delete:
    case DBNavigator::Post:
    case DBNavigator::Cancel:
        RefreshSampleGrid();
        break;
    case DBNavigator::New:
    case DBNavigator::EditRecord:
        m_namePanel->SearchEdit()->clear();
        m_namePanel->SearchEdit()->setFocus();
        if (SampleEditing())
            SampleApply();
        break;
    default:
        break;
    }
    ApplyPanelState();
}

void TMainForm::PostSampleIfEditing() {
    if (!SampleEditing())
        return;
    if (!SampleApply())
        return;
    try {
        m_store.Samples().Post();
    } catch (const AbortAction&) {
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

// ---------------------------------------------------------------- sample grid

void TMainForm::ResetSampleGrid() {
    m_grid->Reset();
}

void TMainForm::RefreshSampleGrid() {
    ResetSampleGrid();
    m_nwBox->ClearFields();
    PostSampleIfEditing();
    if (SampleEditing())
        return; // the post was refused: the sample stays in edit
    m_grid->setFocus();
    bool ok = false;
    const int maxId = m_store.maxLocationID.toInt(&ok);
    SampleNavigator()->setEnabled(ok && maxId >= 0 && !LocationEditing());
    core::Dataset& samples = m_store.Samples();
    core::Dataset& loc = m_store.Locations();
    if (!samples.Active() || !loc.Active())
        return;
    samples.SetIndexName(QStringLiteral("ID"));
    if (m_locationPanel->LocationText(QStringLiteral("ID")).isEmpty())
        return;
    const int noted = samples.RecNo();
    m_grid->Show(m_editor.SampleRows(), noted);
    if (m_grid->Data().Cell(0, 1).isEmpty()) {
        m_samplePanel->ClearFields();
        BerekenNatuurwaarde();
        return;
    }
    BerekenNatuurwaarde();
    m_grid->SampleGridSelectCell(m_grid->RememberedRow());
    m_grid->MakeRememberedCurrent(true);
}

void TMainForm::FocusGridName() {
    m_grid->setFocus();
    m_grid->MakeRememberedCurrent(false);
}

void TMainForm::EditCurrentSampleAt(int column) {
    core::Dataset& samples = m_store.Samples();
    if (!samples.Active() || !m_editor.CurrentSampleBelongs() || !m_samplePanel->isEnabled())
        return;
    if (samples.State() == DatasetState::Browse)
        samples.Edit();
    DBEdit* name = m_samplePanel->FocusColumn(column);
    const int row = m_grid->RememberedRow() - 1;
    if (name && m_grid->item(row, 2))
        name->Link().Write(m_grid->item(row, 2)->text());
}

// ---------------------------------------------------------------- nature value

void TMainForm::BerekenNatuurwaarde() {
    if (!m_nwForm)
        return;
    ecology::NatureValueTally& tally = m_ecology.tally;
    if (!m_ecology.selectionRun)
        tally.ClearData();
    m_nwBox->Clear(m_ecology.taxaList.DiversityOnly());
    recording::LocationSampleEditor::EventTally event;
    try {
        event = m_editor.TallyCurrentEvent(tally, m_nwBox->IgnoreBox()->isChecked(),
                                           m_nwBox->AlternativeBox()->isChecked());
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    m_nwForm->ShowResults();
    if (event.samples == 0 || m_ecology.selectionRun)
        return;
    m_nwBox->Show(ecology::SummaryTexts(tally.Result(), event.samples, event.firstName),
                  tally.RedListNames());
}

void TMainForm::NatuurwaardeClick() {
    if (!m_nwForm)
        return;
    m_nwForm->ShowBesideMain();
    activateWindow();
    BerekenNatuurwaarde();
}

// ---------------------------------------------------------------- panels

void TMainForm::SearchEditChange() {
    m_namePanel->SearchEditChange();
}

void TMainForm::BiotoopboxChange() {
    m_locationPanel->BiotoopboxChange();
}

void TMainForm::DBEDagExit() {
    m_locationPanel->DBEDagExit();
}

void TMainForm::DBEMaandExit() {
    m_locationPanel->DBEMaandExit();
}

// ---------------------------------------------------------------- copy

void TMainForm::CopyRecordClick() {
    if (!ConfirmNoPendingEdits())
        return;
    core::Dataset& loc = m_store.Locations();
    if (!loc.Active() || loc.IsEmpty())
        return;
    if (!core::UserPrompts().YesNo(ResStr(rsCopyQuestion)))
        return;
    try {
        m_editor.CopyRecord(core::CurrentSettings().analist);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    m_locationPanel->SelectBiotopeOfWType();
    ApplyPanelState();
    m_grid->SetRememberedRow(1);
    RefreshSampleGrid();
    LocationEdit(QStringLiteral("DAG"))->setFocus();
}

// ---------------------------------------------------------------- database listener

void TMainForm::TablesClosed() {
    // Nothing of the database that was open stays on show: its samples, its event's value.
    ResetSampleGrid();
    m_nwBox->Clear(m_ecology.taxaList.DiversityOnly());
    ApplyPanelState();
}

void TMainForm::DatabaseStatusChanged(const QString& text) {
    m_databaseLabel->setText(text);
}

void TMainForm::DatabaseOpened(bool hasLocations) {
    if (hasLocations)
        RefreshSampleGrid();
    else
        SampleNavigator()->setEnabled(false);
}

void TMainForm::DatabaseOpenFailed() {
    ResetSampleGrid();
    SampleNavigator()->setEnabled(false);
}

void TMainForm::ProcessEvents() {
    // Screen updates only: a terminate request (a socket notifier) waits for the event loop,
    // so that it never closes the database in the middle of opening it.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                QEventLoop::ExcludeSocketNotifiers);
}

// ---------------------------------------------------------------- window

QAction* TMainForm::MenuAction(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

DBNavigator* TMainForm::SampleNavigator() const {
    return m_samplePanel->Navigator();
}

DBEdit* TMainForm::LocationEdit(const QString& field) const {
    return m_locationPanel->Edit(field);
}

DBEdit* TMainForm::SampleEdit(const QString& field) const {
    return m_samplePanel->Edit(field);
}

DBComboBox* TMainForm::SampleCombo(const QString& field) const {
    return m_samplePanel->Combo(field);
}

QTableWidget* TMainForm::SampleGrid() const {
    return m_grid;
}

const core::Grid& TMainForm::SampleGridData() const {
    return m_grid->Data();
}

int TMainForm::RememberedRow() const {
    return m_grid->RememberedRow();
}

QLineEdit* TMainForm::SearchEdit() const {
    return m_namePanel->SearchEdit();
}

QListWidget* TMainForm::Names() const {
    return m_namePanel->Names();
}

QLabel* TMainForm::AuthorLabel() const {
    return m_samplePanel->AuthorLabel();
}

QGroupBox* TMainForm::LocationPanel() const {
    return m_locationPanel;
}

QGroupBox* TMainForm::SamplePanel() const {
    return m_samplePanel;
}

QLineEdit* TMainForm::NatureValueField(const QString& objectName) const {
    return m_nwBox->Field(objectName);
}

QLabel* TMainForm::RedListLabel() const {
    return m_nwBox->RedListLabel();
}

QLabel* TMainForm::NatureValueLabel() const {
    return m_nwBox->NatureValueLabel();
}

QLabel* TMainForm::DiversityOnlyLabel() const {
    return m_nwBox->DiversityOnlyLabel();
}

QCheckBox* TMainForm::IgnoreBox() const {
    return m_nwBox->IgnoreBox();
}

QCheckBox* TMainForm::AlternativeBox() const {
    return m_nwBox->AlternativeBox();
}

QComboBox* TMainForm::Biotoopbox() const {
    return m_locationPanel->Biotoopbox();
}

void TMainForm::StoreGeometry() {
    if (!m_shown || isMinimized() || isMaximized())
        return;
    core::Settings& s = core::CurrentSettings();
    s.mainLeft = x();
    s.mainTop = y();
    s.mainWidth = width();
    s.mainHeight = height();
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    StoreGeometry();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    StoreGeometry();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!ConfirmNoPendingEdits()) {
        event->ignore();
        return;
    }
    m_store.CloseDatabase();
    if (m_nwForm)
        m_nwForm->close();
    event->accept();
}

} // namespace velmora::ui
