#include "ui/ttableform.h"

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ecology/messages.h"
#include "ui/formwidgets.h"
#include "ui/messages.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

using ecology::LcMerge;
using ecology::TableView;

// A grid shown in a table view. With a header row, row 0 of the grid is the view's header and
// the other rows its rows; without, every row is a row and the first fixedRows are drawn as
// headers. For the location table, selected rows are drawn sky blue and the "Merge" cells can
// be edited.
class TableGridModel : public QAbstractTableModel {
public:
    TableGridModel(core::Grid& grid, bool locationTable, QObject* parent)
        : QAbstractTableModel(parent), m_grid(grid), m_locationTable(locationTable) {}

    void Reset(bool headerRow, int fixedRows = 0) {
        beginResetModel();
        m_header = headerRow;
        m_fixed = fixedRows;
        endResetModel();
    }
    int GridRow(int viewRow) const { return viewRow + (m_header ? 1 : 0); }
    void RowChanged(int viewRow) {
        emit dataChanged(index(viewRow, 0), index(viewRow, columnCount() - 1));
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max(0, m_grid.RowCount() - (m_header ? 1 : 0));
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_grid.ColCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const int row = GridRow(index.row());
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_grid.Cell(index.column(), row);
        if (role == Qt::ToolTipRole) // the whole text of a narrow column
            return m_grid.Cell(index.column(), row);
        if (role == Qt::BackgroundRole) {
            if (m_locationTable)
                return ecology::IsSelectedRow(m_grid, row) ? QColor(166, 202, 240)
                                                           : QColor(Qt::white);
            if (row < m_fixed)
                return QApplication::palette().button();
        }
        if (role == Qt::ForegroundRole && m_locationTable)
            return QColor(Qt::black);
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole || !m_locationTable ||
            index.column() != LcMerge)
            return false;
        const QString text = value.toString();
        if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))
            return false;
        m_grid.SetCell(LcMerge, GridRow(index.row()), text);
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (m_locationTable && index.column() == LcMerge)
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || orientation != Qt::Horizontal ||
            !m_header || m_grid.RowCount() == 0 || section >= m_grid.ColCount())
            return {};
        return m_grid.Cell(section, 0);
    }

private:
    core::Grid& m_grid;
    bool m_locationTable;
    bool m_header = true;
    int m_fixed = 0;
};

namespace {

// The "Merge" cells take digits only (at most nine, so that every number is a whole number).
class MergeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
        return editor;
    }
};

// The location table's view, which tells whether a "Merge" cell is being edited.
class LocationTableView : public QTableView {
public:
    using QTableView::QTableView;
    bool Editing() const { return state() == EditingState; }
};

bool Editing(QTableView* locationView) {
    return static_cast<LocationTableView*>(locationView)->Editing();
}

QLineEdit* FilterField(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

template <class View = QTableView>
QTableView* GridView(const char* name, QAbstractItemModel* model, QWidget* parent) {
    auto* view = new View(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setResizeContentsPrecision(500);
    view->setWordWrap(false);
    return view;
}

} // namespace

TTableForm::TTableForm(core::DatabaseStore& store, ecology::EcologyData& ecology, QWidget* parent)
    : QDialog(parent), m_store(store), m_ecology(ecology) {
    setObjectName(QStringLiteral("TableForm"));
    setWindowTitle(QStringLiteral("Tabellen"));
    setSizeGripEnabled(true);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    // The filter.
    m_filterGroup = new QGroupBox(QStringLiteral("Filter"), this);
    m_filterGroup->setObjectName(QStringLiteral("FilterGroup"));
    m_year = FilterField("JaarEdit", m_filterGroup);
    m_owner = FilterField("EigenaarEdit", m_filterGroup);
    m_location = FilterField("LocatieEdit", m_filterGroup);
    m_analyst = FilterField("AnalistEdit", m_filterGroup);
    m_taxon = FilterField("SieralgEdit", m_filterGroup);
    m_caseSensitive = new QCheckBox(QStringLiteral("Hoofdlettergevoelig"), m_filterGroup);
    m_caseSensitive->setObjectName(QStringLiteral("Hoofdlettergevoelig"));
    auto* apply = NamedButton("PasFilterToe", "Pas filter toe", m_filterGroup);
    auto* clear = NamedButton("WisFilter", "Wis Filter", m_filterGroup);
    m_count = new QLabel(m_filterGroup);
    m_count->setObjectName(QStringLiteral("AantalRecords"));
    auto* filterLayout = new QGridLayout(m_filterGroup);
    const std::pair<const char*, const char*> labels[] = {
        {"JaarLabel", "Jaar of Periode:"},       {"EigenaarLabel", "Eigenaar bevat:"},
        {"LocatieLabel", "Locatie bevat:"},      {"AnalistLabel", "Analist bevat:"},
        {"SieralgLabel", "Sieralg naam bevat:"},
    };
    QLineEdit* fields[] = {m_year, m_owner, m_location, m_analyst, m_taxon};
    for (int i = 0; i < 5; ++i) {
        QLabel* label = NamedLabel(labels[i].first, labels[i].second, m_filterGroup);
        label->setBuddy(fields[i]);
        filterLayout->addWidget(label, i, 0);
        filterLayout->addWidget(fields[i], i, 1);
        connect(fields[i], &QLineEdit::returnPressed, this, [this] { FillLocationTable(); });
    }
    filterLayout->addWidget(m_caseSensitive, 5, 0, 1, 2);
    auto* filterButtons = new QHBoxLayout;
    filterButtons->addWidget(apply);
    filterButtons->addWidget(clear);
    filterLayout->addLayout(filterButtons, 6, 0, 1, 2);
    auto* countLine = new QHBoxLayout;
    countLine->addWidget(NamedLabel("AantalLabel", "Aantal gefilterde records ", m_filterGroup));
    countLine->addWidget(m_count, 1);
    filterLayout->addLayout(countLine, 7, 0, 1, 2);

    // The selection.
    m_selectionGroup = new QGroupBox(QStringLiteral("Selectie"), this);
    m_selectionGroup->setObjectName(QStringLiteral("SelectieGroup"));
    auto* all = NamedButton("SelecteerAlles", "Selecteer Alles", m_selectionGroup);
    auto* invert = NamedButton("InverteerSelectie", "Inverteer Selectie", m_selectionGroup);
    auto* none = NamedButton("SelecteerNiets", "Selecteer Niets", m_selectionGroup);
    auto* selectionLayout = new QHBoxLayout(m_selectionGroup);
    selectionLayout->addWidget(all);
    selectionLayout->addWidget(invert);
    selectionLayout->addWidget(none);

    // The tables.
    m_back = NamedButton("Locatietabel", "Maak Locatietabel", this);
    m_speciesList = NamedButton("MaakSoortenlijst", "Maak Soortenlijst (van selectie)", this);
    m_natureValues =
        NamedButton("MaakNatuurwaardenTabel", "Maak Natuurwaardentabel (van selectie)", this);
    m_transpose = NamedButton("Transponeer", "Transponeer tabel", this);
    auto* saveTsv = NamedButton("BewaarTSV", "Bewaar tabel als TSV bestand", this);
    auto* saveExcel = NamedButton("BewaarExcel", "Bewaar tabel als Excel bestand", this);
    m_export = NamedButton("ExportSelectie", "Export Selectie met Sieralginfo als TSV", this);
    auto* closeButton = NamedButton("Sluit", "Sluit venster", this);

    // The options of the results.
    m_optionsGroup = new QGroupBox(QStringLiteral("Opties"), this);
    m_optionsGroup->setObjectName(QStringLiteral("OptiesGroup"));
    auto* optionsLayout = new QVBoxLayout(m_optionsGroup);
    m_ignoreVarieties = Option("NegeerVarieteiten", "Negeer variëteiten in Soortenlijst");
    m_ignoreNotInList = Option("NegeerNIT", "Negeer 'Niet in Taxalijst' ");
    m_ignoreUncertain = Option("NegeerOnzeker", "Negeer onzekere determinaties (?, N)");
    m_ignoreDead = Option("NegeerDood", "Negeer dode cellen (D, 0)");
    m_currentNames = Option("HuidigeNamen", "Gebruik huidige namen");
    m_authors = Option("AuteursNaam", "Voeg auteursnaam in");
    m_merge = Option("MergeAbund", "Merge abund. when merging locations");
    m_allLocationData = Option("AlleLocatiegegevens", "Met alle locatiegegevens");
    for (QCheckBox* box : {m_ignoreVarieties, m_ignoreNotInList, m_ignoreUncertain, m_ignoreDead,
                           m_currentNames, m_authors, m_merge, m_allLocationData})
        optionsLayout->addWidget(box);
    optionsLayout->addWidget(m_transpose);

    // The controls scroll when the screen is too low for them all.
    auto* panel = new QWidget(this);
    auto* controls = new QVBoxLayout(panel);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(m_filterGroup);
    controls->addWidget(m_selectionGroup);
    for (QPushButton* button : {m_back, m_speciesList, m_natureValues})
        controls->addWidget(button);
    controls->addWidget(m_optionsGroup);
    auto* saveButtons = new QHBoxLayout;
    saveButtons->addWidget(saveTsv);
    saveButtons->addWidget(saveExcel);
    controls->addLayout(saveButtons);
    controls->addWidget(m_export);
    controls->addStretch(1);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ControlsScroll"));
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(panel->sizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width());
    auto* left = new QVBoxLayout;
    left->addWidget(scroll, 1);
    left->addWidget(closeButton);

    m_tableModel = new TableGridModel(m_table, true, this);
    m_resultModel = new TableGridModel(m_result, false, this);
    m_listModel = new TableGridModel(m_lists.list, false, this);
    m_tableView = GridView<LocationTableView>("Grid", m_tableModel, this);
    m_tableView->setItemDelegateForColumn(LcMerge, new MergeDelegate(m_tableView));
    m_tableView->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                 QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed);
    m_resultView = GridView("DGrid", m_resultModel, this);
    m_listView = GridView("LGrid", m_listModel, this);
    // The species list's first six rows (location numbers, coordinates, pH, EC and the score
    // titles) stay in view above the taxa: a view of their own, scrolled sideways with the
    // list.
    m_frozenModel = new TableGridModel(m_frozenRows, false, this);
    m_frozenView = GridView("DGridKop", m_frozenModel, this);
    m_frozenView->setFocusPolicy(Qt::NoFocus);
    m_frozenView->horizontalHeader()->hide();
    m_frozenView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozenView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // as wide as the list's
    m_frozenView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_resultView->horizontalScrollBar(), &QScrollBar::valueChanged,
            m_frozenView->horizontalScrollBar(), &QScrollBar::setValue);
    auto* resultPanel = new QWidget(this);
    auto* resultLayout = new QVBoxLayout(resultPanel);
    resultLayout->setContentsMargins(0, 0, 0, 0);
    resultLayout->setSpacing(0);
    resultLayout->addWidget(m_frozenView);
    resultLayout->addWidget(m_resultView, 1);
    m_resultSplitter = new QSplitter(this);
    m_resultSplitter->addWidget(resultPanel);
    m_resultSplitter->addWidget(m_listView);
    m_resultSplitter->setStretchFactor(0, 3);
    m_resultSplitter->setStretchFactor(1, 1);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_tableView);
    m_pages->addWidget(m_resultSplitter);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(m_pages, 1);
    resize(1150, 760);

    connect(apply, &QPushButton::clicked, this, [this] { FillLocationTable(); });
    connect(clear, &QPushButton::clicked, this, [this] { ClearFilterClick(); });
    connect(all, &QPushButton::clicked, this,
            [this] { SetSelection(ecology::SelectionChange::All); });
    connect(invert, &QPushButton::clicked, this,
            [this] { SetSelection(ecology::SelectionChange::Invert); });
    connect(none, &QPushButton::clicked, this,
            [this] { SetSelection(ecology::SelectionChange::None); });
    connect(m_back, &QPushButton::clicked, this, [this] { LocationTableClick(); });
    connect(m_speciesList, &QPushButton::clicked, this, [this] { MaakSoortenlijstClick(); });
    connect(m_natureValues, &QPushButton::clicked, this, [this] { MaakNatuurwaardenTabelClick(); });
    connect(m_transpose, &QPushButton::clicked, this, [this] { TransposeClick(); });
    connect(saveTsv, &QPushButton::clicked, this,
            [this] { BewaarClick(ecology::TableFileFormat::Text); });
    connect(saveExcel, &QPushButton::clicked, this,
            [this] { BewaarClick(ecology::TableFileFormat::Spreadsheet); });
    connect(m_export, &QPushButton::clicked, this, [this] { ExportSelectionClick(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { reject(); });
    for (QCheckBox* box :
         {m_ignoreNotInList, m_ignoreUncertain, m_authors, m_merge, m_ignoreDead, m_currentNames})
        connect(box, &QCheckBox::toggled, this, [this] { OptionChanged(false); });
    connect(m_ignoreVarieties, &QCheckBox::toggled, this, [this] { OptionChanged(true); });
    connect(m_tableView, &QTableView::clicked, this, [this](const QModelIndex& index) {
        LocationCellClicked(index.column(), m_tableModel->GridRow(index.row()));
    });
    m_tableView->installEventFilter(this);
    m_tableView->horizontalHeader()->viewport()->installEventFilter(this);
    m_resultView->horizontalHeader()->viewport()->installEventFilter(this);

    QWidget* order[] = {m_year,
                        m_owner,
                        m_location,
                        m_analyst,
                        m_taxon,
                        m_caseSensitive,
                        apply,
                        clear,
                        all,
                        invert,
                        none,
                        m_back,
                        m_speciesList,
                        m_natureValues,
                        m_ignoreVarieties,
                        m_ignoreNotInList,
                        m_ignoreUncertain,
                        m_ignoreDead,
                        m_currentNames,
                        m_authors,
                        m_merge,
                        m_allLocationData,
                        m_transpose,
                        saveTsv,
                        saveExcel,
                        m_export,
                        closeButton,
                        m_tableView,
                        m_resultView,
                        m_listView};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    ShowLocationTable();
}

TTableForm::~TTableForm() = default;

void TTableForm::ResetLocationModel() {
    m_tableModel->Reset(true);
    // The column of IDs and selection marks is the window's own.
    m_tableView->setColumnHidden(ecology::LcId, true);
}

QCheckBox* TTableForm::Option(const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), m_optionsGroup);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

void TTableForm::Run() {
    exec();
}

void TTableForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (isMinimized())
        showNormal();
    // Shown as "Maak Locatietabel" with the table made anew from the database.
    m_view = TableView::LocationTable;
    ShowLocationTable();
    FillLocationTable();
    m_year->setFocus();
}

ecology::TableFilter TTableForm::Filter() const {
    return {m_year->text(),    m_owner->text(), m_location->text(),
            m_analyst->text(), m_taxon->text(), m_caseSensitive->isChecked()};
}

ecology::SelectionOptions TTableForm::Options() const {
    ecology::SelectionOptions o;
    o.ignoreVarieties = m_ignoreVarieties->isChecked();
    o.ignoreNotInList = m_ignoreNotInList->isChecked();
    o.ignoreUncertain = m_ignoreUncertain->isChecked();
    o.ignoreDead = m_ignoreDead->isChecked();
    o.currentNames = m_currentNames->isChecked();
    o.authors = m_authors->isChecked();
    o.mergeAbundances = m_merge->isChecked();
    return o;
}

ecology::SelectionSource TTableForm::Source() {
    // The window is repainted between events; the user's clicks wait for the end.
    return {m_store.Locations(), m_store.Samples(), m_ecology.taxaList, m_ecology.searchList,
            [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }};
}

// ---------------------------------------------------------------- the location table

void TTableForm::FillLocationTable() {
    if (!m_store.IsOpen())
        return;
    ecology::TableFilter filter = Filter();
    filter.Trim();
    for (auto [field, text] :
         {std::pair{m_year, &filter.year}, std::pair{m_taxon, &filter.taxon},
          std::pair{m_owner, &filter.owner}, std::pair{m_location, &filter.location}})
        if (field->text() != *text)
            field->setText(*text);
    const BusyCursor busy;
    m_table = ecology::FillLocationTable(m_store.Locations(), m_store.Samples(), filter);
    m_filterUsed = filter;
    m_result = core::Grid();
    m_lists = {};
    m_view = TableView::LocationTable;
    m_transposed = false;
    ShowLocationTable();
    m_count->setText(QString::number(m_table.RowCount() - 1));
    m_speciesList->setEnabled(true);
    m_natureValues->setEnabled(true);
}

void TTableForm::ClearFilterClick() {
    for (QLineEdit* field : {m_year, m_owner, m_location, m_analyst, m_taxon})
        field->clear();
    FillLocationTable();
}

void TTableForm::ShowLocationTable() {
    m_filterGroup->setEnabled(true);
    m_selectionGroup->setEnabled(true);
    m_optionsGroup->hide();
    m_export->show();
    m_back->setText(ResStr(rsClearSelection));
    m_view = TableView::LocationTable;
    ResetLocationModel();
    m_resultModel->Reset(false);
    m_listModel->Reset(true);
    m_pages->setCurrentWidget(m_tableView);
    SizeColumns(m_tableView, m_table);
}

void TTableForm::LocationTableClick() {
    // From a result back to the table as it was; on the table itself, a new table (which
    // clears the selection).
    if (m_view != TableView::LocationTable)
        ShowLocationTable();
    else
        FillLocationTable();
}

void TTableForm::SetSelection(ecology::SelectionChange change) {
    ecology::ChangeSelection(m_table, change);
    ResetLocationModel();
}

void TTableForm::LocationCellClicked(int column, int row) {
    if (row <= 0 || row >= m_table.RowCount() || column <= 0 || column == LcMerge)
        return;
    ecology::SetRowSelected(m_table, row, !ecology::IsSelectedRow(m_table, row));
    m_tableModel->RowChanged(row - 1);
}

void TTableForm::LocationHeaderClicked(int column, bool descending) {
    if (column <= 0)
        return;
    // A number being typed goes into its cell first: leaving the cell commits the editor.
    if (Editing(m_tableView)) {
        const QModelIndex current = m_tableView->currentIndex();
        m_tableView->setCurrentIndex(current.siblingAtColumn(ecology::LcLocatie));
    }
    ecology::SortLocationTable(m_table, column, descending);
    ResetLocationModel();
}

// ---------------------------------------------------------------- results

void TTableForm::ShowResult(TableView view) {
    m_view = view;
    m_filterGroup->setEnabled(false);
    m_selectionGroup->setEnabled(false);
    m_export->hide();
    m_optionsGroup->show();
    const bool species = view == TableView::SpeciesList;
    m_ignoreVarieties->setVisible(species);
    m_merge->setVisible(species);
    m_authors->setVisible(species);
    m_transpose->setVisible(!species);
    m_back->setText(ResStr(rsBackToLocationTable));
    ResetLocationModel();
    const bool freeze = species && m_result.RowCount() >= 7;
    m_resultModel->Reset(!species, species ? 6 : 0);
    m_frozenRows = m_result;
    m_frozenRows.SetRowCount(freeze ? 6 : 0);
    m_frozenModel->Reset(false, 6);
    m_resultView->horizontalHeader()->setVisible(!species);
    m_listModel->Reset(true);
    m_listView->setVisible(species);
    m_pages->setCurrentWidget(m_resultSplitter);
    SizeColumns(m_resultView, m_result);
    m_frozenView->setVisible(freeze);
    // The rows the fixed view shows are hidden below it, and only then: a view keeps hidden
    // rows from one table to the next.
    for (int row = 0; row < std::min(6, m_resultModel->rowCount()); ++row)
        m_resultView->setRowHidden(row, freeze);
    m_resultView->scrollToTop();
    m_resultView->horizontalScrollBar()->setValue(0);
    if (freeze) {
        m_frozenView->resizeColumnsToContents();
        for (int c = 0; c < m_result.ColCount(); ++c) {
            const int width =
                std::min(400, std::max(m_resultView->columnWidth(c), m_frozenView->columnWidth(c)));
            m_resultView->setColumnWidth(c, width);
            m_frozenView->setColumnWidth(c, width);
        }
        m_frozenView->setFixedHeight(6 * m_frozenView->verticalHeader()->defaultSectionSize() +
                                     2 * m_frozenView->frameWidth());
        m_frozenView->horizontalScrollBar()->setValue(m_resultView->horizontalScrollBar()->value());
    }
    if (species) {
        SizeColumns(m_listView, m_lists.list);
        int width = 4;
        for (int c = 0; c < m_lists.list.ColCount(); ++c)
            width += m_listView->columnWidth(c);
        // The list takes its width, but leaves the species list at least three fifths.
        const int total = m_resultSplitter->width();
        width = std::min(width, total * 2 / 5);
        m_resultSplitter->setSizes({total - width, width});
    }
    setWindowTitle(QStringLiteral("Tabellen"));
}

bool TTableForm::HasSelection() {
    if (ecology::HasSelectedRow(m_table))
        return true;
    core::UserPrompts().Message(ecology::ResStr(ecology::rsNoSelection),
                                core::MessageKind::Information);
    return false;
}

void TTableForm::MaakSoortenlijstClick() {
    if (!HasSelection())
        return;
    RebuildSpeciesList();
}

void TTableForm::RebuildSpeciesList() {
    const BusyCursor busy;
    ecology::SpeciesListResult built =
        ecology::BuildSpeciesList(Source(), m_table, Options(), m_ecology.tally);
    m_result = std::move(built.table);
    m_lists = std::move(built.lists);
    m_transposed = false;
    ShowResult(TableView::SpeciesList);
    if (m_showNatureValue)
        m_showNatureValue();
}

void TTableForm::MaakNatuurwaardenTabelClick() {
    if (!HasSelection())
        return;
    RebuildNatureValueTable();
}

void TTableForm::RebuildNatureValueTable() {
    const BusyCursor busy;
    ecology::NatureValueTableResult built =
        ecology::BuildNatureValueTable(Source(), m_table, Options(), m_ecology.tally);
    if (built.table.RowCount() == 0) { // nothing selected after all: the message was shown
        ShowLocationTable();
        return;
    }
    m_result = std::move(built.table);
    m_lists = std::move(built.lists);
    m_transposed = false;
    ShowResult(TableView::NatureValueTable);
    if (m_showNatureValue)
        m_showNatureValue();
}

void TTableForm::OptionChanged(bool speciesListOnly) {
    if (m_view == TableView::SpeciesList)
        RebuildSpeciesList();
    else if (m_view == TableView::NatureValueTable && !speciesListOnly)
        RebuildNatureValueTable();
}

void TTableForm::ResultHeaderClicked(int column) {
    if (m_view != TableView::NatureValueTable || m_transposed)
        return;
    ecology::SortNatureValueTable(m_result, column);
    m_resultModel->Reset(true);
}

void TTableForm::TransposeClick() {
    if (m_view != TableView::NatureValueTable || m_transposed)
        return;
    ecology::TransposeTable(m_result);
    m_transposed = true;
    m_resultModel->Reset(true);
    m_resultView->setColumnWidth(0, 120);
    for (int c = 1; c < m_result.ColCount(); ++c)
        m_resultView->setColumnWidth(c, 70);
}

void TTableForm::SizeColumns(QTableView* view, const core::Grid& grid) {
    view->resizeColumnsToContents();
    for (int c = 0; c < grid.ColCount(); ++c)
        view->setColumnWidth(c, std::min(view->columnWidth(c), 400));
}

// ---------------------------------------------------------------- saving and export

void TTableForm::BewaarClick(ecology::TableFileFormat format) {
    const QString name = ecology::DefaultTableFileName(m_filterUsed, m_view);
    const bool text = format == ecology::TableFileFormat::Text;
    const QString extension = text ? QStringLiteral(".tsv") : ecology::TableSpreadsheetExtension();
    const QString start = (m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder) +
                          QLatin1Char('/') + name + extension;
    const QString path = ChooseFileToWrite(QString(), start,
                                           text ? QStringLiteral("TSV-bestand (*.tsv)")
                                                : QStringLiteral("Excel file (*.xls *.xlsx)"),
                                           extension);
    if (path.isEmpty())
        return;
    m_lastFolder = QFileInfo(path).absolutePath();
    const bool result = m_view != TableView::LocationTable;
    const core::Grid& shown = result ? m_result : m_table;
    const core::Grid* list =
        !result ? nullptr : (m_allLocationData->isChecked() ? &m_lists.full : &m_lists.list);
    ecology::SaveSelectionTable(shown, list, path, format, name);
}

void TTableForm::ExportSelectionClick() {
    if (!HasSelection())
        return;
    const QString path = ChooseFileToWrite(
        QString(), m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder,
        QStringLiteral("Tab Separated Value (*.tsv);;All files (*)"), QStringLiteral(".tsv"));
    if (path.isEmpty())
        return;
    m_lastFolder = QFileInfo(path).absolutePath();
    const bool info = core::CurrentSettings().addInfo;
    ecology::ExportSelection(m_store.Locations(), m_store.Samples(), m_table,
                             info ? &m_ecology.taxaList : nullptr, path);
}

bool TTableForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool left = mouse->button() == Qt::LeftButton;
        const bool right = mouse->button() == Qt::RightButton;
        if (watched == m_tableView->horizontalHeader()->viewport() && (left || right)) {
            const int column = m_tableView->horizontalHeader()->logicalIndexAt(mouse->pos());
            if (column >= 0)
                LocationHeaderClicked(column, right);
            return true;
        }
        if (watched == m_resultView->horizontalHeader()->viewport()) {
            const int column = m_resultView->horizontalHeader()->logicalIndexAt(mouse->pos());
            if (column >= 0)
                ResultHeaderClicked(column);
            return true;
        }
    }
    // Space selects or unselects the current row of the location table, as a click does.
    if (watched == m_tableView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && !Editing(m_tableView)) {
        const QModelIndex current = m_tableView->currentIndex();
        if (current.isValid() && current.column() != LcMerge) {
            LocationCellClicked(current.column(), m_tableModel->GridRow(current.row()));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora::ui
