#include "ui/tmainform.h"

#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/textutils.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "ecology/taxonnames.h"
#include "ui/tnwform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

using core::DatasetState;
using core::ResStr;

namespace {

struct MenuItem {
    const char* objectName;
    const char* caption;
};

struct FieldControl {
    const char* label;
    const char* field;
    int row;
    int column; // 0 or 1 (the panel has two label/control columns)
    int span;   // columns of the control
};

// The location panel: label, field and place.
constexpr FieldControl kLocationFields[] = {
    {"Locatienaam", "LOCATIE", 0, 0, 3},
    {"Locatiecode", "LOCCODE", 0, 4, 1},
    {"Locatie-eigenaar ", "OWNER", 1, 4, 1},
    {"Analist", "ANALIST", 2, 4, 1},
    {"pH", "PH", 3, 4, 1},
    {"Geleiding", "GELEIDING", 4, 4, 1},
    {"Watertemperatuur", "WATERTEMP", 5, 4, 1},
    {"Herbarium (code)", "HERBARIUM", 6, 4, 1},
    {"Soort monster (knijp, plankton)", "MONSTERSRT", 3, 0, 3},
    {"Opmerking", "OPMLOCATIE", 4, 0, 3},
};

QLabel* MakeLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

DBComboBox* MakeCombo(QWidget* parent, const QStringList& items) {
    auto* combo = new DBComboBox(parent);
    combo->addItems(items);
    return combo;
}

} // namespace

TMainForm::TMainForm(core::DatabaseStore& store, ecology::EcologyData& ecology, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_ecology(ecology), m_editor(store) {
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
        MakeLabel(ResStr(core::rsDbLabelNone), QStringLiteral("DatabaseLabel"), central);
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

    BuildLocationPanel(central);
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
    BuildSamplePanel(central);
    middle->addWidget(m_samplePanel, 5);
    auto* nameColumn = new QWidget(central);
    nameColumn->setObjectName(QStringLiteral("NamePanel"));
    BuildNamePanel(nameColumn);
    middle->addWidget(nameColumn, 3);
    middle->addWidget(m_nwBox, 3);
    layout->addLayout(middle);

    BuildGrid(central);
    layout->addWidget(m_grid, 1);
    setCentralWidget(central);
    BuildMenu();

    m_locationNavigator->Bind(&m_store.Locations());
    m_locationNavigator->SetBeforeAction(
        [this](DBNavigator::Button b) { return LocationNavigatorBeforeAction(b); });
    m_locationNavigator->SetAfterAction(
        [this](DBNavigator::Button b) { LocationNavigatorClick(b); });
    m_sampleNavigator->Bind(&m_store.Samples());
    m_sampleNavigator->SetVisibleButtons({DBNavigator::New, DBNavigator::Delete,
                                          DBNavigator::EditRecord, DBNavigator::Post,
                                          DBNavigator::Cancel});
    m_sampleNavigator->SetBeforeAction(
        [this](DBNavigator::Button b) { return SampleNavigatorBeforeAction(b); });
    m_sampleNavigator->SetAfterAction([this](DBNavigator::Button b) { SampleNavigatorClick(b); });

    core::Dataset& locations = m_store.Locations();
    core::Dataset& samples = m_store.Samples();
    // The sample panel shows and changes only a sample of the current location: after a new
    // sample is cancelled on a location without samples, the table's cursor is back on a
    // sample of another location, and the panel then shows nothing.
    const auto belongs = [this] { return m_editor.CurrentSampleBelongs(); };
    for (auto& [field, edit] : m_sampleEdits)
        edit->Link().SetScope(belongs);
    for (auto& [field, combo] : m_sampleCombos)
        combo->Link().SetScope(belongs);
    m_sampleNavigator->SetScope(belongs);
    connect(m_copyButton, &QPushButton::clicked, this, [this] { CopyRecordClick(); });
    m_locationsState = locations.Connect(core::DatasetEvent::DataChanged,
                                         [this](core::Dataset&) { ApplyPanelState(); });
    m_samplesState = samples.Connect(core::DatasetEvent::DataChanged,
                                     [this](core::Dataset&) { ApplyPanelState(); });
    m_store.AddListener(this);
    SetTabOrder();

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
    core::Dataset& locations = m_store.Locations();
    core::Dataset& samples = m_store.Samples();
    locations.Disconnect(m_locationsState);
    samples.Disconnect(m_samplesState);
    m_biotopes.Close();
}

// ---------------------------------------------------------------- building

void TMainForm::BuildMenu() {
    QMenuBar* bar = menuBar();
    auto add = [](auto* container, const MenuItem& item) {
        QAction* action = container->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.objectName));
        return action;
    };
    QMenu* database = bar->addMenu(QStringLiteral("Bestand"));
    database->setObjectName(QStringLiteral("DatabaseMenu"));
    static constexpr MenuItem kDatabaseItems[] = {
        {"SelectDatabase", "Open, maak of verwijder Database"},
        {"Importeer", "Importeer TSV of XLS(X) bestand"},
        {"TextExport", "Exporteer huidige database als TAB gescheiden tekst"},
        {"ExporteerXLSbestand", "Exporteer huidige database als Excel bestand"},
        {"Backup", "Maak Backup"},
        {"CheckNames", "Corrigeer namen in database"},
    };
    // Windows that later versions add are listed but not yet available.
    for (const MenuItem& item : kDatabaseItems)
        add(database, item)->setEnabled(false);
    database->addSeparator();
    connect(add(database, {"Afsluiten", "Afsluiten"}), &QAction::triggered, this,
            [this] { AfsluitenClick(); });

    static constexpr MenuItem kWindowItems[] = {
        {"SelectLoc", "Locatielijst"},     {"Natuurwaarde", "Natuurwaarde"},
        {"Stippenkaart1", "Stippenkaart"}, {"ToonHokInfo", "Hokgegevens"},
        {"Tabellen", "Tabellen"},          {"MaakFotoDIR", "Maak fotomap"},
        {"Preferences", "Voorkeuren"},
    };
    for (const MenuItem& item : kWindowItems)
        add(bar, item)->setEnabled(false);
    connect(MenuAction(QStringLiteral("Natuurwaarde")), &QAction::triggered, this,
            [this] { NatuurwaardeClick(); });
    connect(MenuAction(QStringLiteral("Preferences")), &QAction::triggered, this,
            [this] { PreferencesClick(); });

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(add(help, {"HelpItem", "Velmora Database Help"}), &QAction::triggered, this,
            [this] { HelpClick(); });
    connect(add(help, {"About", "Over Velmora Database"}), &QAction::triggered, this,
            [this] { AboutClick(); });
}

void TMainForm::BuildLocationPanel(QWidget* parent) {
    m_locationPanel = new QGroupBox(parent);
    m_locationPanel->setObjectName(QStringLiteral("Locationpnl"));
    auto* grid = new QGridLayout(m_locationPanel);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    core::Dataset* locations = &m_store.Locations();
    auto edit = [&](const char* field) {
        auto* e = new DBEdit(m_locationPanel);
        e->Bind(locations, QString::fromLatin1(field));
        m_locationEdits[QString::fromLatin1(field)] = e;
        return e;
    };
    for (const FieldControl& f : kLocationFields) {
        QLabel* label =
            MakeLabel(QString::fromUtf8(f.label),
                      QStringLiteral("Lbl") + QString::fromLatin1(f.field), m_locationPanel);
        label->setWordWrap(true); // long captions take two lines in the fixed-width window
        grid->addWidget(label, f.row, f.column);
        DBEdit* e = edit(f.field);
        if (f.column > 0)
            e->setMinimumWidth(130);
        grid->addWidget(e, f.row, f.column + 1, 1, f.span);
    }
    // Date: day, month, year side by side.
    grid->addWidget(MakeLabel(QStringLiteral("Dag"), QStringLiteral("LblDAG"), m_locationPanel), 1,
                    0);
    auto* date = new QHBoxLayout;
    for (const char* f : {"DAG", "MAAND", "JAAR"}) {
        if (QLatin1String(f) != QLatin1String("DAG"))
            date->addWidget(
                MakeLabel(QLatin1String(f) == QLatin1String("MAAND") ? QStringLiteral("Maand")
                                                                     : QStringLiteral("Jaar"),
                          QStringLiteral("Lbl") + QString::fromLatin1(f), m_locationPanel));
        DBEdit* e = edit(f);
        e->setMaximumWidth(QLatin1String(f) == QLatin1String("JAAR") ? 52 : 32);
        date->addWidget(e);
    }
    date->addStretch(1);
    grid->addLayout(date, 1, 1, 1, 3);
    connect(m_locationEdits[QStringLiteral("DAG")], &DBEdit::FocusLeft, this,
            [this] { DBEDagExit(); });
    connect(m_locationEdits[QStringLiteral("MAAND")], &DBEdit::FocusLeft, this,
            [this] { DBEMaandExit(); });
    connect(m_locationEdits[QStringLiteral("JAAR")], &DBEdit::FocusLeft, this,
            [this] { DBEJaarExit(); });

    // Coordinates, with labels that follow the coordinate system.
    m_coordXLabel =
        MakeLabel(ResStr(core::rsCoordLabelX), QStringLiteral("CoordXLabel"), m_locationPanel);
    m_coordYLabel =
        MakeLabel(ResStr(core::rsCoordLabelY), QStringLiteral("CoordYLabel"), m_locationPanel);
    auto* coords = new QHBoxLayout;
    coords->addWidget(edit("COORDX"));
    coords->addWidget(m_coordYLabel);
    coords->addWidget(edit("COORDY"));
    grid->addWidget(m_coordXLabel, 2, 0);
    grid->addLayout(coords, 2, 1, 1, 3);

    grid->addWidget(
        MakeLabel(QStringLiteral("Zuurgraad"), QStringLiteral("LblZUURGRAAD"), m_locationPanel), 5,
        0);
    m_zuurgraad = MakeCombo(m_locationPanel, {QStringLiteral("Zuur"), QStringLiteral("Zwak zuur"),
                                              QStringLiteral("Neutraal-alkalisch")});
    m_zuurgraad->Bind(locations, QStringLiteral("ZUURGRAAD"));
    m_zuurgraad->SetItemsTranslatable(true);
    grid->addWidget(m_zuurgraad, 5, 1);
    grid->addWidget(
        MakeLabel(QStringLiteral("Abundantiemaat"), QStringLiteral("LblAMAAT"), m_locationPanel), 5,
        2);
    m_amaat =
        MakeCombo(m_locationPanel, {QStringLiteral("Aanwezig"), QStringLiteral("1,2 of 3 (dood=0)"),
                                    QStringLiteral("cel/ml")});
    m_amaat->Bind(locations, QStringLiteral("AMAAT"));
    m_amaat->SetItemsTranslatable(true);
    grid->addWidget(m_amaat, 5, 3);

    m_biotopeLabel =
        MakeLabel(QStringLiteral("Biotoop"), QStringLiteral("LblWTYPE"), m_locationPanel);
    grid->addWidget(m_biotopeLabel, 6, 0);
    auto* biotope = new QHBoxLayout;
    DBEdit* wtype = edit("WTYPE");
    wtype->setMaximumWidth(60);
    biotope->addWidget(wtype);
    m_biotoopbox = new QComboBox(m_locationPanel);
    m_biotoopbox->setObjectName(QStringLiteral("Biotoopbox"));
    m_biotoopbox->setMinimumWidth(260);
    biotope->addWidget(m_biotoopbox, 1);
    grid->addLayout(biotope, 6, 1, 1, 3);
    connect(m_biotoopbox, &QComboBox::activated, this, [this](int) { BiotoopboxChange(); });
    connect(wtype, &QLineEdit::textChanged, this, [this] { DBEWatertypeChange(); });

    // Expert: the location number and the location-ID holder of the sample side.
    auto* expert = new QHBoxLayout;
    DBEdit* id = edit("ID");
    id->setReadOnly(true);
    m_locIdHolder = new QLineEdit(m_locationPanel);
    m_locIdHolder->setObjectName(QStringLiteral("LocIDHolder"));
    m_locIdHolder->setReadOnly(true);
    auto* idLabel = MakeLabel(QStringLiteral("ID"), QStringLiteral("LblID"), m_locationPanel);
    expert->addWidget(idLabel);
    expert->addWidget(id);
    expert->addWidget(m_locIdHolder);
    grid->addLayout(expert, 7, 4, 1, 2);
    m_expertWidgets << idLabel << id << m_locIdHolder;

    DBEdit* remark = m_locationEdits[QStringLiteral("OPMLOCATIE")];
    connect(remark, &QLineEdit::textChanged, remark,
            [remark](const QString& text) { remark->setToolTip(text); });
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
}

void TMainForm::BuildSamplePanel(QWidget* parent) {
    m_samplePanel = new QGroupBox(parent);
    m_samplePanel->setObjectName(QStringLiteral("Desmidpnl"));
    auto* grid = new QGridLayout(m_samplePanel);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    core::Dataset* samples = &m_store.Samples();
    auto edit = [&](const char* field) {
        auto* e = new DBEdit(m_samplePanel);
        e->Bind(samples, QString::fromLatin1(field));
        m_sampleEdits[QString::fromLatin1(field)] = e;
        return e;
    };
    grid->addWidget(
        MakeLabel(QStringLiteral("Sieralg"), QStringLiteral("LblDESMID"), m_samplePanel), 0, 0);
    DBEdit* desmid = edit("DESMID");
    desmid->setObjectName(QStringLiteral("DBEDesmid"));
    grid->addWidget(desmid, 0, 1, 1, 5);
    m_authorLabel = MakeLabel(QString(), QStringLiteral("AuthorLabel"), m_samplePanel);
    m_authorLabel->setTextFormat(Qt::PlainText); // an "&" is shown as it is
    // A long author citation takes a second line instead of widening the panel.
    m_authorLabel->setWordWrap(true);
    m_authorLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(m_authorLabel, 1, 1, 1, 5);
    connect(desmid, &QLineEdit::textChanged, this, [this] { DBEDesmidChange(); });
    connect(desmid, &DBEdit::FocusEntered, this, [this] { DBEDesmidEnter(); });

    struct Combo {
        const char* label;
        const char* field;
        QStringList items;
    };
    const Combo combos[] = {
        {"Abundantie", "ABUND", {" ", "0", "+", "1", "2", "3"}},
        {"(D/L/O)", "DL", {" ", "L", "D", "O"}},
        {"Zygospore", "ZYGO", {" ", "+"}},
        {"Afbeelding", "FOTO", {" ", "F", "T"}},
        {"Zekerheid", "ZEKER", {" ", "N", "CF"}},
    };
    int column = 1;
    for (const Combo& c : combos) {
        auto* label =
            MakeLabel(QString::fromLatin1(c.label),
                      QStringLiteral("Lbl") + QString::fromLatin1(c.field), m_samplePanel);
        if (QLatin1String(c.field) == QLatin1String("DL"))
            label->setToolTip(QStringLiteral("Dood/Levend/Onbekend"));
        grid->addWidget(label, 2, column - 1 + (column > 1 ? 0 : 0), Qt::AlignBottom);
        DBComboBox* combo = MakeCombo(m_samplePanel, c.items);
        combo->Bind(samples, QString::fromLatin1(c.field));
        m_sampleCombos[QString::fromLatin1(c.field)] = combo;
        grid->addWidget(combo, 3, column - 1);
        // The focus rule: an item equal to the text is selected; other texts stay as typed.
        connect(combo, &DBComboBox::FocusEntered, combo, [combo] {
            const QString text = combo->currentText();
            const int index = combo->findText(text);
            const QSignalBlocker block(combo);
            if (index >= 0) {
                combo->setCurrentIndex(index);
            } else {
                combo->setCurrentIndex(0);
                combo->setEditText(text);
            }
        });
        ++column;
    }
    grid->addWidget(
        MakeLabel(QStringLiteral("Opmerking"), QStringLiteral("LblOPMDESMID"), m_samplePanel), 4,
        0);
    grid->addWidget(edit("OPMDESMID"), 4, 1, 1, 5);
    grid->addWidget(
        MakeLabel(QStringLiteral("Info"), QStringLiteral("LblDESMIDINFO"), m_samplePanel), 5, 0);
    grid->addWidget(edit("DESMIDINFO"), 5, 1, 1, 5);
    for (const char* f : {"OPMDESMID", "DESMIDINFO"}) {
        DBEdit* e = m_sampleEdits[QString::fromLatin1(f)];
        connect(e, &QLineEdit::textChanged, e, [e](const QString& t) { e->setToolTip(t); });
    }

    auto* expert = new QHBoxLayout;
    for (const char* f : {"ID", "DATUM", "KXY", "UXY"}) {
        DBEdit* e = edit(f);
        e->setReadOnly(true);
        e->setObjectName(QStringLiteral("DBESample") + QString::fromLatin1(f));
        expert->addWidget(e);
        m_expertWidgets << e;
    }
    grid->addLayout(expert, 6, 1, 1, 5);

    m_sampleNavigator = new DBNavigator(m_samplePanel);
    m_sampleNavigator->setObjectName(QStringLiteral("SampleNavigator"));
    grid->addWidget(m_sampleNavigator, 7, 0, 1, 6);
}

void TMainForm::BuildNamePanel(QWidget* parent) {
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(MakeLabel(QStringLiteral("Zoek"), QStringLiteral("ZoekLabel"), parent));
    m_searchEdit = new QLineEdit(parent);
    m_searchEdit->setObjectName(QStringLiteral("SearchEdit"));
    searchRow->addWidget(m_searchEdit);
    layout->addLayout(searchRow);
    m_names = new QListWidget(parent);
    m_names->setObjectName(QStringLiteral("Names"));
    m_names->setMinimumHeight(110);
    layout->addWidget(m_names, 1);
    m_voegToeButton = new QPushButton(QStringLiteral("Voeg toe aan Zoeklijst"), parent);
    m_voegToeButton->setObjectName(QStringLiteral("VoegToe"));
    layout->addWidget(m_voegToeButton);
    connect(m_searchEdit, &QLineEdit::textChanged, this, [this] { SearchEditChange(); });
    connect(m_names, &QListWidget::itemClicked, this, [this] { NamesClick(); });
    // Walking the list with the arrow keys: the name field follows the highlight.
    connect(m_names, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && m_names->hasFocus() && SampleEditing())
            m_sampleEdits[QStringLiteral("DESMID")]->Link().Write(m_names->item(row)->text());
    });
    connect(m_voegToeButton, &QPushButton::clicked, this, [this] { VoegToeClick(); });
    m_searchEdit->installEventFilter(this);
    m_names->installEventFilter(this);
    m_sampleEdits[QStringLiteral("DESMID")]->installEventFilter(this);

    m_nwBox = new QGroupBox(QStringLiteral("Natuurwaarde"), parent->parentWidget());
    m_nwBox->setObjectName(QStringLiteral("NWBox"));
    auto* nw = new QGridLayout(m_nwBox);
    nw->setVerticalSpacing(1);
    const std::pair<const char*, const char*> rows[] = {{"AantalTaxa", "Aantal Taxa: "},
                                                        {"Divers", "Divers. (d - D):"},
                                                        {"Zeldz", "Zeldz. (r - R):"},
                                                        {"Sign", "Sign.. (s - S):"}};
    int row = 0;
    for (const auto& [name, caption] : rows) {
        nw->addWidget(MakeLabel(QString::fromLatin1(caption),
                                QString::fromLatin1(name) + QStringLiteral("Label"), m_nwBox),
                      row, 0);
        auto* field = new QLineEdit(m_nwBox);
        field->setObjectName(QString::fromLatin1(name));
        field->setReadOnly(true);
        field->setMaximumWidth(80);
        nw->addWidget(field, row, 1);
        m_nwFields[QString::fromLatin1(name)] = field;
        ++row;
    }
    m_redListLabel =
        MakeLabel(ResStr(core::rsRedListLabel), QStringLiteral("RodeLijstLabel"), m_nwBox);
    m_natureValueLabel =
        MakeLabel(ResStr(core::rsNatureValueLabel), QStringLiteral("NatuurwaardeLabel"), m_nwBox);
    QFont bold = m_natureValueLabel->font();
    bold.setBold(true);
    m_natureValueLabel->setFont(bold);
    nw->addWidget(m_redListLabel, row++, 0, 1, 2);
    nw->addWidget(m_natureValueLabel, row++, 0, 1, 2);
    // A few words in the box, the whole sentence as its tooltip (the nature value window
    // shows the sentence).
    m_diversityOnlyLabel = MakeLabel(ResStr(core::rsDiversityOnlyShort),
                                     QStringLiteral("DiversityOnlyLabel"), m_nwBox);
    m_diversityOnlyLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_diversityOnlyLabel->hide();
    nw->addWidget(m_diversityOnlyLabel, row++, 0, 1, 2);
    m_ignoreBox = new QCheckBox(QStringLiteral("Negeer D, 0, ? en T "), m_nwBox);
    m_ignoreBox->setObjectName(QStringLiteral("NegeerBox"));
    m_alternativeBox = new QCheckBox(QStringLiteral("Alternatieve Methode"), m_nwBox);
    m_alternativeBox->setObjectName(QStringLiteral("AlternatiefBox"));
    nw->addWidget(m_ignoreBox, row++, 0, 1, 2);
    nw->addWidget(m_alternativeBox, row++, 0, 1, 2);
    connect(m_ignoreBox, &QCheckBox::clicked, this, [this] { BerekenNatuurwaarde(); });
    connect(m_alternativeBox, &QCheckBox::clicked, this, [this] { BerekenNatuurwaarde(); });
    nw->setRowStretch(row, 1);
}

void TMainForm::BuildGrid(QWidget* parent) {
    m_grid = new QTableWidget(parent);
    m_grid->setObjectName(QStringLiteral("SampleGrid"));
    m_grid->setColumnCount(recording::kSampleGridColumns);
    m_grid->setHorizontalHeaderLabels(recording::SampleGridHeader());
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(18);
    m_grid->verticalHeader()->setMinimumSectionSize(18);
    m_grid->horizontalHeader()->setMinimumSectionSize(0);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setMinimumHeight(120);
    static constexpr int widths[recording::kSampleGridColumns] = {0,  18, 240, 38,  38,
                                                                  38, 38, 38,  162, 142};
    for (int c = 0; c < recording::kSampleGridColumns; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    // Room for three-digit row numbers in the interface font.
    m_grid->setColumnWidth(
        1,
        std::max(widths[1], m_grid->fontMetrics().horizontalAdvance(QStringLiteral("999")) + 10));
    // The short code columns fit their captions in any language; the name column takes the
    // room of a wider window.
    for (int c = 3; c <= 7; ++c)
        m_grid->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_grid->setColumnHidden(0, true);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (!m_fillingGrid && row >= 0)
            SampleGridSelectCell(row + 1);
    });
}

void TMainForm::SetTabOrder() {
    // The order of the layout: the location's left column (name, date, coordinates, …), its
    // right column, then the sample panel, the search field, the name list and the grid.
    QList<QWidget*> order;
    for (const char* f :
         {"LOCATIE", "DAG", "MAAND", "JAAR", "COORDX", "COORDY", "MONSTERSRT", "OPMLOCATIE"})
        order << m_locationEdits[QString::fromLatin1(f)];
    order << m_zuurgraad << m_amaat << m_locationEdits[QStringLiteral("WTYPE")] << m_biotoopbox;
    for (const char* f :
         {"LOCCODE", "OWNER", "ANALIST", "PH", "GELEIDING", "WATERTEMP", "HERBARIUM"})
        order << m_locationEdits[QString::fromLatin1(f)];
    order << m_sampleEdits[QStringLiteral("DESMID")];
    for (const char* f : {"ABUND", "DL", "ZYGO", "FOTO", "ZEKER"})
        order << m_sampleCombos[QString::fromLatin1(f)];
    order << m_sampleEdits[QStringLiteral("OPMDESMID")]
          << m_sampleEdits[QStringLiteral("DESMIDINFO")] << m_searchEdit << m_names << m_grid;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---------------------------------------------------------------- start-up

QString TMainForm::MainCaption(const QString& programName, const QString& programDir) {
    // Started from elsewhere than its own folder (a copy, a link): the program's name, in the
    // words a user knows rather than the executable's.
    if (!programDir.contains(programName))
        return QStringLiteral("Velmora Database");
    return QStringLiteral("VelmoraDataBase ") + ResStr(core::rsVersion);
}

bool TMainForm::FormCreate() {
    SetExpertMode(false);
    setWindowTitle(MainCaption(core::ProgramName(), core::ProgramDir()));
    if (core::ProgramName().contains(QLatin1Char(' '))) {
        core::UserPrompts().Message(ResStr(core::rsFileNameHasBlanks) + QLatin1Char('\n') +
                                        ResStr(core::rsClickOkToEnd),
                                    core::MessageKind::Error);
        return false;
    }
    LoadBiotopes();
    m_searchEdit->clear();
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
    ApplyPanelState();
}

void TMainForm::SetExpertMode(bool on) {
    m_expertMode = on;
    m_expertLabel->setVisible(on);
    for (QWidget* w : m_expertWidgets)
        w->setVisible(on);
}

void TMainForm::SetCoordinateLabels() {
    const bool latLon = m_store.CoordinateSystem() == QLatin1String("LatLon");
    m_coordXLabel->setText(ResStr(latLon ? core::rsLongitudeLabel : core::rsCoordLabelX));
    m_coordYLabel->setText(ResStr(latLon ? core::rsLatitudeLabel : core::rsCoordLabelY));
}

void TMainForm::LoadBiotopes() {
    m_biotopeCodes.clear();
    m_biotoopbox->clear();
    try {
        // Kept open for the window's life: the open table is what refuses a second copy.
        if (!m_biotopes.Active())
            m_biotopes.Open(core::LibDir() + QStringLiteral("Biotoopcodes.dbf"));
        core::Field code = m_biotopes.FieldByName(QStringLiteral("CODE"));
        core::Field text = m_biotopes.FieldByName(QStringLiteral("BIOTOOP"));
        for (m_biotopes.First(); !m_biotopes.Eof(); m_biotopes.Next()) {
            m_biotopeCodes << code.AsString();
            m_biotoopbox->addItem(code.AsString() + QStringLiteral("   ") + text.AsString());
        }
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
    SelectBiotopeOfWType();
}

// ---------------------------------------------------------------- state

bool TMainForm::LocationEditing() const {
    const DatasetState s = m_store.Locations().State();
    return s == DatasetState::Edit || s == DatasetState::Insert;
}

bool TMainForm::SampleEditing() const {
    const DatasetState s = m_store.Samples().State();
    return s == DatasetState::Edit || s == DatasetState::Insert;
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
    m_voegToeButton->setVisible(!locationEditing);
    m_copyButton->setEnabled(open && !locationEditing && !SampleEditing());
    bool ok = false;
    const int maxId = m_store.maxLocationID.toInt(&ok);
    m_sampleNavigator->setEnabled(open && !locationEditing && ok && maxId >= 0);
    m_locationNavigator->setEnabled(open && !SampleEditing());
}

bool TMainForm::ConfirmNoPendingEdits() {
    if (!m_store.Locations().Active() || !m_store.Samples().Active())
        return true;
    if (!LocationEditing() && !SampleEditing())
        return true;
    core::UserPrompts().Message(ResStr(core::rsSaveEditsFirst), core::MessageKind::Warning);
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

QString TMainForm::LocationText(const QString& field) {
    core::Dataset& loc = m_store.Locations();
    if (!loc.Active() || (loc.State() == DatasetState::Browse && loc.IsEmpty()))
        return {};
    return loc.FieldByName(field).AsString();
}

// ---------------------------------------------------------------- location navigator

bool TMainForm::LocationNavigatorBeforeAction(DBNavigator::Button button) {
    core::Dataset& loc = m_store.Locations();
    if (m_store.Samples().State() != DatasetState::Browse)
        return false;
    m_locIdHolder->setText(LocationText(QStringLiteral("ID")));
    if (button == DBNavigator::Delete) {
        const QString question = LocationText(QStringLiteral("LOCATIE")) + QStringLiteral("\n\n") +
                                 ResStr(core::rsDeleteRecordQuestion) + QLatin1Char('\n') +
                                 ResStr(core::rsDeleteCascadeNote);
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
    SelectBiotopeOfWType();
    if (button == DBNavigator::EditRecord && m_locIdHolder->text().isEmpty()) {
        core::UserPrompts().Message(ResStr(core::rsDatabaseEmpty));
        return;
    }
    if (button == DBNavigator::Delete) {
        m_editor.SamplesUpdate(m_locIdHolder->text().toLongLong());
        m_store.locationsChanged = true;
    } else {
        if (button == DBNavigator::New) {
            loc.FieldByName(QStringLiteral("ANALIST")).SetAsString(core::CurrentSettings().analist);
            loc.FieldByName(QStringLiteral("ID")).SetAsInteger(m_editor.NextLocationId());
            m_store.locationsChanged = true;
        }
    }
    m_rememberedRow = 1;
    RefreshSampleGrid();
    if (button == DBNavigator::New)
        m_locationEdits[QStringLiteral("LOCATIE")]->setFocus();
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
            name = ResStr(core::rsEmptyField);
        return core::UserPrompts().YesNoDefaultNo(name + QStringLiteral("\n\n") +
                                                  ResStr(core::rsDeleteRecordQuestion));
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
        m_searchEdit->clear();
        m_searchEdit->setFocus();
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
    m_store.samplesChanged = true;
    try {
        m_store.Samples().Post();
    } catch (const AbortAction&) {
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

// ---------------------------------------------------------------- sample grid

void TMainForm::ResetSampleGrid() {
    m_fillingGrid = true;
    m_gridData = core::Grid(recording::kSampleGridColumns, 2);
    m_gridData.SetRow(0, recording::SampleGridHeader());
    m_grid->clearContents();
    m_grid->setRowCount(1);
    m_fillingGrid = false;
}

void TMainForm::ClearSampleFields() {
    // No sample of the current location is current: the bound controls show nothing.
    for (auto& [field, edit] : m_sampleEdits)
        edit->Refresh();
    for (auto& [field, combo] : m_sampleCombos) {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(0);
        combo->Refresh();
    }
    m_sampleNavigator->UpdateButtons();
}

void TMainForm::RefreshSampleGrid() {
    ResetSampleGrid();
    for (auto& [name, field] : m_nwFields)
        field->clear();
    PostSampleIfEditing();
    if (SampleEditing())
        return; // the post was refused: the sample stays in edit
    m_grid->setFocus();
    bool ok = false;
    const int maxId = m_store.maxLocationID.toInt(&ok);
    m_sampleNavigator->setEnabled(ok && maxId >= 0 && !LocationEditing());
    core::Dataset& samples = m_store.Samples();
    core::Dataset& loc = m_store.Locations();
    if (!samples.Active() || !loc.Active())
        return;
    samples.SetIndexName(QStringLiteral("ID"));
    if (LocationText(QStringLiteral("ID")).isEmpty())
        return;
    const int noted = samples.RecNo();
    m_gridData = m_editor.SampleRows();
    if (m_gridData.Cell(0, 1).isEmpty()) {
        ClearSampleFields();
        FillGrid();
        BerekenNatuurwaarde();
        return;
    }
    m_rememberedRow = 1;
    for (int r = 1; r < m_gridData.RowCount(); ++r)
        if (m_gridData.Cell(0, r).toInt() == noted)
            m_rememberedRow = r;
    FillGrid();
    BerekenNatuurwaarde();
    SampleGridSelectCell(m_rememberedRow);
    m_fillingGrid = true;
    m_grid->setCurrentCell(m_rememberedRow - 1, 2);
    m_grid->scrollToItem(m_grid->item(m_rememberedRow - 1, 2));
    m_fillingGrid = false;
}

void TMainForm::FillGrid() {
    m_fillingGrid = true;
    const int rows = m_gridData.RowCount() - 1;
    m_grid->clearContents();
    m_grid->setRowCount(std::max(rows, 1));
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 0; c < recording::kSampleGridColumns; ++c) {
            auto* item = new QTableWidgetItem(m_gridData.Cell(c, r));
            if (c <= 1)
                item->setBackground(buttonFace);
            if (c == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            else if (c >= 2)
                item->setToolTip(m_gridData.Cell(c, r)); // the whole text of a cut cell
            m_grid->setItem(r - 1, c, item);
        }
    }
    PaintGridRowNumbers();
    m_fillingGrid = false;
}

void TMainForm::PaintGridRowNumbers() {
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor text = QApplication::palette().color(QPalette::Text);
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        QTableWidgetItem* item = m_grid->item(r, 1);
        if (!item)
            continue;
        const bool current = r + 1 == m_rememberedRow;
        item->setBackground(current ? QColor(Qt::black) : buttonFace);
        item->setForeground(current ? QColor(Qt::white) : text);
    }
}

void TMainForm::SampleGridSelectCell(int row) {
    if (row < 1 || row >= m_gridData.RowCount() || m_gridData.Cell(0, row).isEmpty())
        return;
    core::Dataset& samples = m_store.Samples();
    if (samples.State() != DatasetState::Browse)
        return;
    try {
        samples.SetRecNo(m_gridData.Cell(0, row).toInt());
        samples.SetIndexName(QStringLiteral("ID"));
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    for (int r = 1; r < m_gridData.RowCount(); ++r) {
        m_gridData.SetCell(1, r, QString::number(r));
        if (QTableWidgetItem* item = m_grid->item(r - 1, 1))
            item->setText(QString::number(r));
    }
    m_rememberedRow = row;
    PaintGridRowNumbers();
}

void TMainForm::FocusGridName() {
    m_grid->setFocus();
    m_fillingGrid = true;
    m_grid->setCurrentCell(std::max(m_rememberedRow - 1, 0), 2);
    m_fillingGrid = false;
}

void TMainForm::EditCurrentSampleAt(int column) {
    core::Dataset& samples = m_store.Samples();
    if (!samples.Active() || !m_editor.CurrentSampleBelongs() || !m_samplePanel->isEnabled())
        return;
    if (samples.State() == DatasetState::Browse)
        samples.Edit();
    static const char* const editors[] = {"",     "",     "DESMID", "ABUND",     "DL",
                                          "ZYGO", "FOTO", "ZEKER",  "OPMDESMID", "DESMIDINFO"};
    if (column < 2 || column > 9)
        column = 2;
    const QString field = QString::fromLatin1(editors[column]);
    if (auto it = m_sampleEdits.find(field); it != m_sampleEdits.end()) {
        it->second->setFocus();
        if (column == 2 && m_grid->item(m_rememberedRow - 1, 2))
            it->second->Link().Write(m_grid->item(m_rememberedRow - 1, 2)->text());
    } else if (auto c = m_sampleCombos.find(field); c != m_sampleCombos.end()) {
        c->second->setFocus();
    }
}

// ---------------------------------------------------------------- nature value

void TMainForm::BerekenNatuurwaarde() {
    if (!m_nwForm)
        return;
    ecology::NatureValueTally& tally = m_ecology.tally;
    if (!m_ecology.selectionRun)
        tally.ClearData();
    for (auto& [name, field] : m_nwFields)
        field->clear();
    m_redListLabel->setText(ResStr(core::rsRedListLabel));
    m_natureValueLabel->setText(ResStr(core::rsNatureValueLabel));
    m_diversityOnlyLabel->setText(ResStr(core::rsDiversityOnlyShort));
    m_diversityOnlyLabel->setToolTip(ResStr(core::rsOnlyDiversity));
    m_diversityOnlyLabel->setVisible(m_ecology.taxaList.DiversityOnly());
    tally.SetMilieu(ecology::MilieuOfZuurgraad(LocationText(QStringLiteral("ZUURGRAAD"))));
    tally.SetAlternativeMethod(m_alternativeBox->isChecked());
    const int rows = m_gridData.Cell(0, 1).isEmpty() ? 0 : m_gridData.RowCount() - 1;
    if (rows == 0) {
        m_nwForm->ShowResults();
        return;
    }
    try {
        for (int r = 1; r <= rows; ++r) {
            bool excluded = false;
            if (m_ignoreBox->isChecked())
                excluded = !ecology::IsCountedRecord(m_gridData.Cell(7, r), m_gridData.Cell(3, r),
                                                     m_gridData.Cell(4, r),
                                                     ecology::CountedRecordRule::MainWindow);
            tally.AddTaxon(m_gridData.Cell(2, r), excluded);
        }
        tally.ComputeNatureValue();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    m_nwForm->ShowResults();
    if (m_ecology.selectionRun)
        return;
    const ecology::MainWindowSummary summary =
        ecology::SummaryTexts(tally.Result(), rows, m_gridData.Cell(2, 1));
    m_nwFields[QStringLiteral("AantalTaxa")]->setText(summary.aantalTaxa);
    m_nwFields[QStringLiteral("Divers")]->setText(summary.divers);
    m_nwFields[QStringLiteral("Zeldz")]->setText(summary.zeldz);
    m_nwFields[QStringLiteral("Sign")]->setText(summary.sign);
    m_redListLabel->setText(summary.redListLabel);
    QString redList = tally.RedListNames();
    m_redListLabel->setToolTip(redList.replace(QStringLiteral("\n\r"), QStringLiteral("\n")));
    m_natureValueLabel->setText(summary.natureValueLabel);
}

void TMainForm::NatuurwaardeClick() {
    if (!m_nwForm)
        return;
    m_nwForm->ShowBesideMain();
    activateWindow();
    BerekenNatuurwaarde();
}

// ---------------------------------------------------------------- name entry

void TMainForm::SearchEditChange() {
    m_names->clear();
    m_names->addItems(m_ecology.searchList.FilterNames(m_searchEdit->text()));
}

void TMainForm::NamesClick() {
    if (!SampleEditing() || !m_names->currentItem())
        return;
    m_sampleEdits[QStringLiteral("DESMID")]->Link().Write(m_names->currentItem()->text());
}

void TMainForm::DBEDesmidEnter() {
    if (SampleEditing() && m_names->currentItem() && m_names->currentItem()->isSelected())
        m_sampleEdits[QStringLiteral("DESMID")]->Link().Write(m_names->currentItem()->text());
}

void TMainForm::DBEDesmidChange() {
    DBEdit* desmid = m_sampleEdits[QStringLiteral("DESMID")];
    const auto author = m_ecology.taxaList.Author(desmid->text());
    m_authorLabel->setText(author.value_or(QString()));
    desmid->setToolTip(desmid->text());
}

void TMainForm::VoegToeClick() {
    const QString shown = m_sampleEdits[QStringLiteral("DESMID")]->text();
    const QString name = shown.trimmed();
    if (name.isEmpty())
        return;
    if (m_ecology.searchList.Contains(name)) {
        core::UserPrompts().Message(shown + QLatin1Char('\n') + ResStr(core::rsAlreadyListed));
        return;
    }
    if (!core::UserPrompts().YesNo(shown + QLatin1Char('\n') + ResStr(core::rsAddToSearchList)))
        return;
    try {
        m_ecology.searchList.AddToAdditionalList(
            name, ecology::AdditionalTaxaListPath(core::CurrentSettings().number));
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

// ---------------------------------------------------------------- biotopes and dates

void TMainForm::SelectBiotopeOfWType() {
    const QString code = LocationText(QStringLiteral("WTYPE"));
    int index = -1;
    for (int i = 0; i < m_biotopeCodes.size(); ++i) {
        if (m_biotopeCodes[i].compare(code, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    }
    const QSignalBlocker block(m_biotoopbox);
    m_biotoopbox->setCurrentIndex(index);
    m_biotopeLabel->setToolTip(m_biotoopbox->currentText());
}

void TMainForm::BiotoopboxChange() {
    const QString code = m_biotoopbox->currentText().left(5).trimmed();
    m_locationEdits[QStringLiteral("WTYPE")]->Link().Write(code);
    m_biotopeLabel->setToolTip(m_biotoopbox->currentText());
}

void TMainForm::DBEWatertypeChange() {
    SelectBiotopeOfWType();
}

void TMainForm::CheckDateAndWarn() {
    if (!recording::IsStorableDate(LocationText(QStringLiteral("DAG")),
                                   LocationText(QStringLiteral("MAAND")),
                                   LocationText(QStringLiteral("JAAR"))))
        core::UserPrompts().Message(ResStr(core::rsDateError), core::MessageKind::Warning);
}

void TMainForm::PadField(const QString& field) {
    if (!LocationEditing())
        return;
    const QString text = LocationText(field);
    const QString padded = recording::PadDayOrMonth(text);
    if (padded != text)
        m_store.Locations().FieldByName(field).SetAsString(padded);
}

void TMainForm::DBEDagExit() {
    if (!LocationEditing())
        return;
    if (!LocationText(QStringLiteral("MAAND")).isEmpty() &&
        !LocationText(QStringLiteral("JAAR")).isEmpty())
        CheckDateAndWarn();
    PadField(QStringLiteral("DAG"));
}

void TMainForm::DBEMaandExit() {
    if (!LocationEditing())
        return;
    if (!LocationText(QStringLiteral("DAG")).isEmpty() &&
        !LocationText(QStringLiteral("JAAR")).isEmpty())
        CheckDateAndWarn();
    PadField(QStringLiteral("MAAND"));
}

void TMainForm::DBEJaarExit() {
    // An empty year is still being typed; the post refuses a location without one.
    if (LocationEditing() && !LocationText(QStringLiteral("JAAR")).trimmed().isEmpty())
        CheckDateAndWarn();
}

// ---------------------------------------------------------------- copy

void TMainForm::CopyRecordClick() {
    if (!ConfirmNoPendingEdits())
        return;
    core::Dataset& loc = m_store.Locations();
    if (!loc.Active() || loc.IsEmpty())
        return;
    if (!core::UserPrompts().YesNo(ResStr(core::rsCopyQuestion)))
        return;
    try {
        m_editor.CopyRecord(core::CurrentSettings().analist);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    SelectBiotopeOfWType();
    ApplyPanelState();
    m_rememberedRow = 1;
    RefreshSampleGrid();
    m_locationEdits[QStringLiteral("DAG")]->setFocus();
}

// ---------------------------------------------------------------- keys

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, QWidget* target) {
    const bool alt = modifiers & Qt::AltModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool samplePanel = m_samplePanel->isEnabled() && m_store.IsOpen();
    if (key == Qt::Key_Insert && alt) {
        m_locationNavigator->Press(DBNavigator::New);
        return true;
    }
    if (key == Qt::Key_Insert && !alt && !ctrl) {
        if (samplePanel) {
            m_sampleNavigator->Press(DBNavigator::New);
            m_searchEdit->setFocus();
        }
        return true;
    }
    if (enter && alt) {
        if (LocationEditing())
            m_locationNavigator->Press(DBNavigator::Post);
        return true;
    }
    if (enter && ctrl) {
        if (samplePanel) {
            m_locIdHolder->setText(LocationText(QStringLiteral("ID")));
            m_sampleNavigator->Press(DBNavigator::Post);
        }
        return true;
    }
    if (ctrl && key == Qt::Key_E) {
        if (samplePanel) {
            m_sampleNavigator->Press(DBNavigator::EditRecord);
            m_searchEdit->setFocus();
        }
        return true;
    }
    if (ctrl && key == Qt::Key_S) {
        if (samplePanel)
            m_searchEdit->setFocus();
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (target == m_names && SampleEditing()) {
            m_store.Samples().Cancel();
            FocusGridName();
            return true;
        }
        if (target == m_searchEdit) {
            m_grid->setFocus();
            return true;
        }
        if (LocationEditing()) {
            m_locationNavigator->Press(DBNavigator::Cancel);
            return true;
        }
        if (SampleEditing()) {
            m_sampleNavigator->Press(DBNavigator::Cancel);
            FocusGridName();
            return true;
        }
        return false;
    }
    if (enter && !alt && !ctrl && target == m_names) {
        // Enter takes the highlighted name and goes on to the abundance.
        if (SampleEditing() && m_names->currentItem()) {
            m_sampleEdits[QStringLiteral("DESMID")]->Link().Write(m_names->currentItem()->text());
            m_sampleCombos[QStringLiteral("ABUND")]->setFocus();
        }
        return true;
    }
    if (key == Qt::Key_Down && target == m_searchEdit && m_samplePanel->isEnabled()) {
        m_names->setFocus();
        if (m_names->count() > 0) {
            m_names->setCurrentRow(0);
            if (SampleEditing())
                m_sampleEdits[QStringLiteral("DESMID")]->Link().Write(m_names->item(0)->text());
        }
        return true;
    }
    if (target == m_grid && (enter || key == Qt::Key_Tab) && !alt && !ctrl) {
        EditCurrentSampleAt(m_grid->currentColumn());
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (FormKeyDown(key->key(), key->modifiers(), widget))
                return true;
        }
    } else if (event->type() == QEvent::KeyRelease &&
               watched == m_sampleEdits[QStringLiteral("DESMID")]) {
        // DBEDesmidKeyUp: the name field filters the list too.
        m_names->clear();
        m_names->addItems(
            m_ecology.searchList.FilterNames(m_sampleEdits[QStringLiteral("DESMID")]->text()));
    } else if (event->type() == QEvent::MouseButtonPress && watched == m_searchEdit) {
        m_searchEdit->clear(); // SearchEditClick
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- database listener

void TMainForm::DatabaseLabel(const QString& text) {
    m_databaseLabel->setText(text);
}

void TMainForm::SampleNavigatorEnabled(bool enabled) {
    m_sampleNavigator->setEnabled(enabled);
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

DBEdit* TMainForm::LocationEdit(const QString& field) const {
    auto it = m_locationEdits.find(field);
    return it == m_locationEdits.end() ? nullptr : it->second;
}

DBEdit* TMainForm::SampleEdit(const QString& field) const {
    auto it = m_sampleEdits.find(field);
    return it == m_sampleEdits.end() ? nullptr : it->second;
}

DBComboBox* TMainForm::SampleCombo(const QString& field) const {
    auto it = m_sampleCombos.find(field);
    return it == m_sampleCombos.end() ? nullptr : it->second;
}

QLineEdit* TMainForm::NatureValueField(const QString& objectName) const {
    auto it = m_nwFields.find(objectName);
    return it == m_nwFields.end() ? nullptr : it->second;
}

void TMainForm::AfterPreferences() {
    setWindowTitle(MainCaption(core::ProgramName(), core::ProgramDir()));
    m_databaseLabel->setText(ResStr(core::rsDbLabel) + m_store.Name());
    SetCoordinateLabels(); // in the language just chosen
    RefreshSampleGrid();
}

void TMainForm::PreferencesClick() {
    if (m_store.IsOpen() && !ConfirmNoPendingEdits())
        return;
    if (m_runPreferences)
        m_runPreferences();
    AfterPreferences();
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

void TMainForm::AfsluitenClick() {
    close();
}

void TMainForm::HelpClick() {
    const QString manual = core::ManualPath();
    if (!QFile::exists(manual)) {
        core::UserPrompts().Message(ResStr(core::rsManualMissing) + QStringLiteral(": ") + manual,
                                    core::MessageKind::Warning);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

void TMainForm::AboutClick() {
    QMessageBox::about(this, ResStr(core::rsAboutTitle),
                       QStringLiteral("VelmoraDataBase ") + ResStr(core::rsVersion) +
                           QStringLiteral("\n\n") + ResStr(core::rsAboutText));
}

} // namespace velmora::ui
