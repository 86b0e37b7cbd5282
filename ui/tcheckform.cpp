#include "ui/tcheckform.h"

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/prompts.h"
#include "core/text/textfile.h"
#include "ecology/searchlist.h"
#include "recording/messages.h"
#include "ui/formwidgets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

QLineEdit* NamedEdit(const char* name, QWidget* parent, bool readOnly) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

QListWidget* NamedList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    return list;
}

} // namespace

TCheckForm::TCheckForm(core::DatabaseStore& store, ecology::SearchList& searchList, QWidget* parent)
    : QDialog(parent), m_store(store), m_searchList(searchList) {
    setObjectName(QStringLiteral("CheckForm"));
    setWindowTitle(QStringLiteral("Correcties in de naam van sieralgen"));
    setSizeGripEnabled(true);

    // Left: the known names and the doubtful names.
    m_known = NamedList("AlleNamen", this);
    m_doubtful = NamedList("FouteNamen", this);
    auto* lists = new QVBoxLayout;
    lists->addWidget(NamedLabel("AlleNamenLabel", "Alle bekende namen in de database ", this));
    lists->addWidget(m_known, 1);
    lists->addWidget(NamedLabel("FouteNamenLabel", "Dubieuze namen in de database", this));
    lists->addWidget(m_doubtful, 1);

    // Right: the correction, the record, the rules and the buttons.
    auto* change = new QGroupBox(QStringLiteral("Wijzig naam"), this);
    change->setObjectName(QStringLiteral("WijzigGroup"));
    m_correct = NamedEdit("CorrigeerNaam", change, true);
    m_suggestions = NamedList("Sugestie", change);
    m_newName = NamedEdit("NewName", change, false);
    m_changeAll = new QCheckBox(QStringLiteral("Wijzig overal in database"), change);
    m_changeAll->setObjectName(QStringLiteral("ChangeAll"));
    auto* rename = NamedButton("WijzigNaam", "Wijzig naam in database", change);
    auto* addToList = NamedButton("VoegToeZoeklijst", "Voeg naam toe aan de zoeklijst ", change);
    auto* changeLayout = new QVBoxLayout(change);
    changeLayout->addWidget(m_correct);
    changeLayout->addWidget(NamedLabel(
        "SugestieLabel", "Suggestie voor betere naam. Klik op de gewenste naam", change));
    changeLayout->addWidget(m_suggestions, 1);
    changeLayout->addWidget(
        NamedLabel("NewNameLabel", "Nieuwe naam (kan gewijzigd worden)", change));
    changeLayout->addWidget(m_newName);
    changeLayout->addWidget(m_changeAll);
    auto* changeButtons = new QHBoxLayout;
    changeButtons->addWidget(rename);
    changeButtons->addWidget(addToList);
    changeLayout->addLayout(changeButtons);

    auto* record = new QGroupBox(QStringLiteral("Gevonden in record op Locatie en Datum"), this);
    record->setObjectName(QStringLiteral("RecordGroup"));
    m_location = NamedEdit("LocEdit", record, true);
    m_date = NamedEdit("DateEdit", record, true);
    m_databaseName = NamedEdit("DatabaseName", record, true);
    auto* editRecord = NamedButton("BewerkRecord", "Bewerk record", record);
    auto* recordLayout = new QGridLayout(record);
    recordLayout->addWidget(m_location, 0, 0);
    recordLayout->addWidget(m_date, 0, 1);
    recordLayout->addWidget(editRecord, 0, 2);
    recordLayout->addWidget(NamedLabel("DatabaseNameLabel", "Naam in database", record), 1, 0);
    recordLayout->addWidget(m_databaseName, 1, 1, 1, 2);
    recordLayout->setColumnStretch(0, 2);
    recordLayout->setColumnStretch(1, 1);

    auto* rules = new QGroupBox(QStringLiteral("Correcties"), this);
    rules->setObjectName(QStringLiteral("CorrectiesGroup"));
    auto* rulesLayout = new QVBoxLayout(rules);
    rulesLayout->addWidget(NamedLabel(
        "Regel1", "Verwijder dubbele spaties en spaties aan het eind van de naam", rules));
    rulesLayout->addWidget(
        NamedLabel("Regel2", "Na een punt in de naam komt altijd een spatie", rules));
    rulesLayout->addWidget(
        NamedLabel("Regel3", "Alleen de eerste letter in een naam is een hoofdletter", rules));
    rulesLayout->addWidget(NamedLabel(
        "Regel4", "Een naam bevat alleen letters en een punt. Verwijder andere tekens", rules));
    auto* normalise = NamedButton("VoerCorrectiesUit", "Voer correcties uit", rules);
    rulesLayout->addWidget(normalise);

    auto* find = NamedButton("ZoekNamen", "Zoek te corrigeren namen in de database", this);
    auto* deleteNameless =
        NamedButton("VerwijderZonderNaam", "Verwijder records zonder naam uit de database", this);
    auto* save = NamedButton("BewaarLijst", "Bewaar lijst met te wijzigen namen", this);
    auto* closeButton = NamedButton("Sluit", "Sluit venster", this);
    auto* buttons = new QGridLayout;
    buttons->addWidget(find, 0, 0);
    buttons->addWidget(deleteNameless, 0, 1);
    buttons->addWidget(save, 1, 0);
    buttons->addWidget(closeButton, 1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(change, 1);
    right->addWidget(record);
    right->addWidget(rules);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(right, 1);
    resize(900, 680);

    connect(m_doubtful, &QListWidget::currentRowChanged, this,
            [this](int row) { DoubtfulNameClick(row); });
    connect(m_known, &QListWidget::currentRowChanged, this,
            [this](int row) { KnownNameClick(row); });
    connect(m_suggestions, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SuggestionClick(m_suggestions->row(item)); });
    connect(rename, &QPushButton::clicked, this, [this] { RenameClick(); });
    connect(addToList, &QPushButton::clicked, this, [this] { AddToListClick(); });
    connect(editRecord, &QPushButton::clicked, this, [this] { EditRecordClick(); });
    connect(normalise, &QPushButton::clicked, this, [this] { NormaliseClick(); });
    connect(find, &QPushButton::clicked, this, [this] { FindNames(); });
    connect(deleteNameless, &QPushButton::clicked, this, [this] { DeleteNamelessClick(); });
    connect(save, &QPushButton::clicked, this, [this] { SaveListClick(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { reject(); });

    QWidget::setTabOrder(m_known, m_doubtful);
    QWidget::setTabOrder(m_doubtful, m_suggestions);
    QWidget::setTabOrder(m_suggestions, m_newName);
    QWidget::setTabOrder(m_newName, m_changeAll);
    QWidget::setTabOrder(m_changeAll, rename);
    QWidget::setTabOrder(rename, addToList);
    QWidget::setTabOrder(addToList, editRecord);
    QWidget::setTabOrder(editRecord, normalise);
    QWidget::setTabOrder(normalise, find);
    QWidget::setTabOrder(find, deleteNameless);
    QWidget::setTabOrder(deleteNameless, save);
    QWidget::setTabOrder(save, closeButton);
}

QVariant TCheckForm::Run() {
    m_chosenEvent = QVariant();
    exec();
    return m_chosenEvent;
}

void TCheckForm::showEvent(QShowEvent* event) {
    FillKnownNames();
    FindNames();
    QDialog::showEvent(event);
    // The focus on a button: a list that takes the focus makes its first name current, which
    // would act as a click on it.
    if (auto* find = findChild<QPushButton*>(QStringLiteral("ZoekNamen")))
        find->setFocus();
}

void TCheckForm::FillKnownNames() {
    m_knownNames = m_searchList.Names();
    const QSignalBlocker block(m_known);
    m_known->clear();
    m_known->addItems(m_knownNames);
}

void TCheckForm::FindNames() {
    m_changeAll->setChecked(false);
    m_entries = recording::FindDoubtfulNames(m_store.Samples(), m_searchList);
    const QSignalBlocker block(m_doubtful);
    m_doubtful->clear();
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(m_entries.size()));
    for (const recording::DoubtfulEntry& e : m_entries)
        shown << e.Shown();
    m_doubtful->addItems(shown);
}

void TCheckForm::DoubtfulNameClick(int row) {
    if (row < 0 || row >= static_cast<int>(m_entries.size()))
        return;
    const recording::DoubtfulEntry& entry = m_entries[static_cast<std::size_t>(row)];
    m_correct->setText(entry.Shown());
    core::Dataset& samples = m_store.Samples();
    core::Dataset& locations = m_store.Locations();
    try {
        samples.SetRecNo(entry.recNo);
        m_databaseName->setText(samples.FieldByName(QStringLiteral("DESMID")).AsString());
        m_date->setText(samples.FieldByName(QStringLiteral("DATUM")).AsString());
        const QVariant id = samples.FieldByName(QStringLiteral("ID")).AsVariant();
        m_location->setText(locations.Locate(QStringLiteral("ID"), id)
                                ? locations.FieldByName(QStringLiteral("LOCATIE")).AsString()
                                : QString());
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Warning);
    }
    m_changeAll->setChecked(false);
    ShowSuggestions();
}

void TCheckForm::KnownNameClick(int row) {
    if (row < 0 || row >= m_knownNames.size())
        return;
    m_correct->setText(m_knownNames[row]);
    m_location->clear();
    m_date->clear();
    m_databaseName->clear();
    ShowSuggestions();
    m_changeAll->setChecked(true);
}

void TCheckForm::ShowSuggestions() {
    m_suggestions->clear();
    m_suggestions->addItems(recording::Suggestions(m_correct->text(), m_knownNames));
}

void TCheckForm::SuggestionClick(int row) {
    if (row < 0)
        return;
    m_newName->setText(row == 0 ? m_correct->text() : m_suggestions->item(row)->text());
    core::Dataset& samples = m_store.Samples();
    if (samples.RecNo() > 0)
        m_databaseName->setText(samples.FieldByName(QStringLiteral("DESMID")).AsString());
}

void TCheckForm::DataChanged() {
    m_store.MarkSamplesChanged();
}

void TCheckForm::RenameClick() {
    const QString newName = m_newName->text().trimmed();
    if (newName.isEmpty()) {
        // The rule of the main window: a sample always has a name.
        core::UserPrompts().Message(recording::ResStr(recording::rsDesmidNameEmpty) +
                                        QLatin1Char('\n') +
                                        recording::ResStr(recording::rsFillNameFirst),
                                    core::MessageKind::Warning);
        return;
    }
    const QString correct = m_correct->text().trimmed();
    core::Dataset& samples = m_store.Samples();
    try {
        const core::DatabaseStore::BulkChange bulk(m_store);
        if (samples.RecNo() > 0 &&
            samples.FieldByName(QStringLiteral("DESMID")).AsString().trimmed() == correct) {
            samples.Edit();
            samples.FieldByName(QStringLiteral("DESMID")).SetAsString(newName);
            samples.Post();
            m_databaseName->setText(newName);
        }
        if (m_changeAll->isChecked()) {
            const int current = samples.RecNo();
            recording::RenameEverywhere(samples, correct, newName);
            if (current > 0)
                samples.SetRecNo(current);
        }
    } catch (const core::Error& e) {
        if (samples.State() != core::DatasetState::Browse)
            samples.Cancel();
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
    FindNames();
    DataChanged();
}

void TCheckForm::AddToListClick() {
    if (m_addToSearchList)
        m_addToSearchList(m_newName->text());
    FillKnownNames();
    FindNames();
}

void TCheckForm::DeleteNamelessClick() {
    try {
        const core::DatabaseStore::BulkChange bulk(m_store);
        recording::DeleteNamelessSamples(m_store.Samples());
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
    FindNames();
    DataChanged();
}

void TCheckForm::NormaliseClick() {
    try {
        const core::DatabaseStore::BulkChange bulk(m_store);
        recording::NormaliseAllNames(m_store.Samples());
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
    FindNames();
    DataChanged();
}

void TCheckForm::SaveListClick() {
    const QString path = core::UserPrompts().ChooseSaveFile(windowTitle(), m_lastListFolder,
                                                            QStringLiteral("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    m_lastListFolder = QFileInfo(path).absolutePath();
    QStringList lines;
    for (int i = 0; i < m_doubtful->count(); ++i)
        lines << m_doubtful->item(i)->text();
    try {
        core::WriteTextLines(path, lines);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

void TCheckForm::EditRecordClick() {
    core::Dataset& locations = m_store.Locations();
    if (locations.RecNo() > 0)
        m_chosenEvent = locations.FieldByName(QStringLiteral("ID")).AsVariant();
    accept();
}

} // namespace velmora::ui
