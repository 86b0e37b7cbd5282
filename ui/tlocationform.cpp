#include "ui/tlocationform.h"

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ui/formwidgets.h"
#include "ui/tgridcolumnselect.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

// The shown events: record numbers of the locations table, their texts read when drawn.
class LocationRowsModel : public QAbstractTableModel {
public:
    LocationRowsModel(core::DatabaseStore& store, QObject* parent)
        : QAbstractTableModel(parent), m_store(store) {}

    void SetRows(std::vector<int> recNos) {
        beginResetModel();
        m_recNos = std::move(recNos);
        endResetModel();
    }
    void SetColumns(const QStringList& fields, const QStringList& captions) {
        beginResetModel();
        m_fields = fields;
        m_captions = captions;
        m_columns.clear();
        if (m_store.IsOpen() && m_store.Locations().Active()) {
            const core::dbf::DbfTable& table = m_store.Locations().Table();
            for (const QString& f : fields)
                m_columns.push_back(f.isEmpty() ? -1 : table.FieldIndex(f.toStdString()));
        }
        endResetModel();
    }
    const std::vector<int>& RecNos() const { return m_recNos; }
    const QStringList& Fields() const { return m_fields; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_recNos.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || !m_store.IsOpen())
            return {};
        const std::size_t column = static_cast<std::size_t>(index.column());
        if (column >= m_columns.size() || m_columns[column] < 0)
            return QString();
        const core::dbf::DbfTable& table = m_store.Locations().Table();
        const auto recNo =
            static_cast<std::uint32_t>(m_recNos[static_cast<std::size_t>(index.row())]);
        if (recNo < 1 || recNo > table.PhysicalCount())
            return QString();
        return QString::fromStdString(table.Text(table.Record(recNo), m_columns[column]));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return section < m_captions.size() ? m_captions[section] : QString();
    }

private:
    core::DatabaseStore& m_store;
    std::vector<int> m_recNos;
    QStringList m_fields;
    QStringList m_captions;
    std::vector<int> m_columns;
};

namespace {
QLineEdit* Edit(const char* objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    return edit;
}

const QStringList kStartFields = {"ID",     "LOCATIE", "DAG", "MAAND",     "JAAR",
                                  "COORDX", "COORDY",  "PH",  "GELEIDING", "HERBARIUM"};
} // namespace

TLocationForm::TLocationForm(core::DatabaseStore& store, ecology::EcologyData& ecology,
                             QWidget* parent)
    : QDialog(parent), m_store(store), m_ecology(ecology), m_search(store) {
    setObjectName(QStringLiteral("LocationForm"));
    setWindowTitle(QStringLiteral("Zoek locaties"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    // The modes, with their fields beside them.
    auto* toon = new QGroupBox(QStringLiteral("Toon"), this);
    toon->setObjectName(QStringLiteral("Toon"));
    auto* modes = new QGridLayout(toon);
    m_modes = new QButtonGroup(this);
    const char* captions[] = {"Alle locaties", "Locaties met de geselecteerde sieralg",
                              "Locaties met als eigenaar",
                              "Locatienaam bevat de tekst:", "Bij de sieralg; Opmerking staat: "};
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(captions[i]), toon);
        radio->setObjectName(QStringLiteral("RB%1").arg(i));
        m_modes->addButton(radio, i);
        modes->addWidget(radio, i, 0);
    }
    m_selectedDesmid = Edit("SelectedDesmid", toon);
    m_selectedDesmid->setReadOnly(true);
    m_owner = Edit("Eigenaar", toon);
    m_name = Edit("Locatie", toon);
    m_remark = Edit("Opmerking", toon);
    modes->addWidget(m_selectedDesmid, 1, 1);
    modes->addWidget(m_owner, 2, 1);
    modes->addWidget(m_name, 3, 1);
    modes->addWidget(m_remark, 4, 1);
    auto* yearRow = new QHBoxLayout;
    m_year = Edit("Jaar", toon);
    m_year->setMaximumWidth(80);
    yearRow->addWidget(NamedLabel("JaarLabel", "AND jaar", toon));
    yearRow->addWidget(m_year);
    yearRow->addStretch(1);
    modes->addLayout(yearRow, 5, 0, 1, 2);
    modes->setColumnStretch(1, 1);
    top->addWidget(toon, 3);

    // The taxon search.
    auto* taxa = new QVBoxLayout;
    taxa->addWidget(NamedLabel("SearchLabel", "Zoek (deel van de naam van de sieralg):", this));
    auto* searchRow = new QHBoxLayout;
    m_searchEdit = Edit("SearchEdit", this);
    m_searchEdit->setToolTip(QStringLiteral("Toets ENTER om op deze naam te zoeken"));
    m_useSearch = NamedButton("UseSearchBtn", "Gebruik zoek woord", this);
    searchRow->addWidget(m_searchEdit, 1);
    searchRow->addWidget(m_useSearch);
    taxa->addLayout(searchRow);
    taxa->addWidget(NamedLabel("NamesLabel", "Lijst met sieralgen (klik om te selecteren)", this));
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("Names"));
    m_names->setMinimumHeight(120);
    taxa->addWidget(m_names, 1);
    top->addLayout(taxa, 2);

    // The order.
    auto* sorteer = new QGroupBox(QStringLiteral("Sorteer op"), this);
    sorteer->setObjectName(QStringLiteral("Sorteer"));
    auto* orders = new QVBoxLayout(sorteer);
    m_order = new QButtonGroup(this);
    int id = 0;
    // Unnamed children of the group: a language file sets them as its Items.
    for (const char* item : {"Locatie", "Datum oudste eerst", "Datum nieuwste eerst"}) {
        auto* radio = new QRadioButton(QString::fromUtf8(item), sorteer);
        m_order->addButton(radio, id++);
        orders->addWidget(radio);
    }
    orders->addStretch(1);
    top->addWidget(sorteer);

    m_model = new LocationRowsModel(store, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("LocGrid"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false); // Tab goes on to the buttons
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->viewport()->installEventFilter(this);
    layout->addWidget(m_grid, 1);

    auto* buttons = new QHBoxLayout;
    m_selectAll = NamedButton("SelectAllBtn", "Selecteer alle locaties", this);
    m_bereken = NamedButton("BerekenBtn", "Bereken Natuurwaarde van geselecteerde locaties", this);
    m_okButton = NamedButton("OKbtn", "OK", this);
    buttons->addWidget(m_selectAll);
    buttons->addWidget(m_bereken);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    layout->addLayout(buttons);
    resize(900, 600);

    QWidget* order[] = {m_searchEdit, m_useSearch, m_names,   m_modes->button(0),
                        m_owner,      m_name,      m_remark,  m_year,
                        m_grid,       m_selectAll, m_bereken, m_okButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(m_modes, &QButtonGroup::idClicked, this, [this](int mode) {
        if (mode == recording::LocationSearch::WithRemark)
            RemarkSearch();
        else
            SetMode(mode);
    });
    connect(m_owner, &QLineEdit::returnPressed, this,
            [this] { SetMode(recording::LocationSearch::WithOwner); });
    connect(m_name, &QLineEdit::returnPressed, this,
            [this] { SetMode(recording::LocationSearch::NameContains); });
    connect(m_year, &QLineEdit::returnPressed, this, [this] { ApplyMode(); });
    connect(m_remark, &QLineEdit::returnPressed, this, [this] { RemarkSearch(); });
    connect(m_remark, &QLineEdit::textEdited, this,
            [this] { SetMode(recording::LocationSearch::AllLocations); });
    connect(m_searchEdit, &QLineEdit::textChanged, this,
            [this](const QString& t) { FillNames(t); });
    connect(m_searchEdit, &QLineEdit::returnPressed, this,
            [this] { TaxonSearch(m_searchEdit->text()); });
    connect(m_useSearch, &QPushButton::clicked, this,
            [this] { TaxonSearch(m_searchEdit->text()); });
    connect(m_names, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { TaxonSearch(item->text()); });
    connect(m_names, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { TaxonSearch(item->text()); });
    connect(m_order, &QButtonGroup::idClicked, this, [this](int order) { SortChanged(order); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { ColumnTitleClick(column); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    RowMadeCurrent(current.row());
            });
    connect(m_selectAll, &QPushButton::clicked, this, [this] { SelectAllClick(); });
    connect(m_bereken, &QPushButton::clicked, this, [this] { BerekenClick(); });
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    m_model->SetColumns(kStartFields, {});
    m_modes->button(0)->setChecked(true);
    FillNames(QString());
}

TLocationForm::~TLocationForm() = default;

void TLocationForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TLocationForm::FormShow() {
    const int order = std::clamp(core::CurrentSettings().order, 0, 2);
    m_order->button(order)->setChecked(true);
    if (QAbstractButton* radio = m_modes->button(m_search.mode))
        radio->setChecked(true);
    ShowColumns(m_model->Fields()); // captions in the interface language of the moment
    ApplyMode();
}

void TLocationForm::FillNames(const QString& text) {
    m_names->clear();
    m_names->addItems(m_ecology.searchList.NamesContaining(text));
}

QString TLocationForm::CurrentTag() const {
    return core::LocationOrderTag(std::max(0, m_order->checkedId()));
}

void TLocationForm::ApplyMode() {
    m_applying = true;
    m_grid->clearSelection();
    m_allSelected = false;
    m_search.owner = m_owner->text();
    m_search.name = m_name->text();
    m_search.year = m_year->text().trimmed(); // a stray blank is no part of a year
    std::vector<int> recNos;
    for (const recording::LocationSearch::Row& row : m_search.Rows({}, CurrentTag()))
        recNos.push_back(row.recNo);
    m_model->SetRows(std::move(recNos));
    m_applying = false;
}

void TLocationForm::SetMode(int mode) {
    m_search.mode = mode;
    if (QAbstractButton* radio = m_modes->button(mode))
        radio->setChecked(true);
    ApplyMode();
}

void TLocationForm::TaxonSearch(const QString& text) {
    QString taxon = text;
    while (taxon.endsWith(QLatin1Char(' ')))
        taxon.chop(1);
    m_search.TaxonSearch(taxon);
    m_selectedDesmid->setText(taxon);
    SetMode(recording::LocationSearch::WithTaxon);
}

void TLocationForm::RemarkSearch() {
    m_search.RemarkSearch(m_remark->text());
    SetMode(recording::LocationSearch::WithRemark);
}

void TLocationForm::SortChanged(int order) {
    if (m_store.IsOpen() && m_store.Locations().Active())
        m_store.Locations().SetIndexName(core::LocationOrderTag(order));
    ApplyMode();
}

void TLocationForm::RowMadeCurrent(int row) {
    if (m_applying || !m_store.IsOpen())
        return;
    const std::vector<int>& recNos = m_model->RecNos();
    if (row < 0 || row >= static_cast<int>(recNos.size()))
        return;
    core::Dataset& locations = m_store.Locations();
    if (locations.RecNo() != recNos[static_cast<std::size_t>(row)])
        locations.SetRecNo(recNos[static_cast<std::size_t>(row)]);
    if (m_loadEvent)
        m_loadEvent();
}

void TLocationForm::SelectAllClick() {
    m_allSelected = !m_allSelected;
    if (m_allSelected)
        m_grid->selectAll();
    else
        m_grid->clearSelection();
}

void TLocationForm::BerekenClick() {
    std::vector<int> rows;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> recNos;
    for (int row : rows)
        recNos.push_back(m_model->RecNos()[static_cast<std::size_t>(row)]);
    m_applying = true; // the run makes each event current itself
    // Without a selection the run only resets the tally: the window then shows zeros.
    const bool finished = m_search.RunSelection(recNos, m_ecology, m_loadEvent);
    m_applying = false;
    if (!finished)
        return;
    if (m_showNatureValue)
        m_showNatureValue();
}

void TLocationForm::ColumnTitleClick(int column) {
    QStringList fields = m_model->Fields();
    if (!m_chooser || column < 0 || column >= fields.size())
        return;
    const int picked = m_chooser->Choose(fields[column]);
    QStringList captions;
    for (const QString& field : fields)
        captions << CaptionOf(field);
    if (picked >= 0) {
        fields[column] = recording::LocationFieldNames()[picked];
        captions[column] = CaptionOf(fields[column]);
    } else if (!m_chooser->ProposedCaption().isEmpty()) {
        captions[column] = m_chooser->ProposedCaption();
    }
    ShowColumns(fields, captions);
}

void TLocationForm::FitColumns() {
    // Widths by what a field holds; the rows are not measured (there may be many).
    const QFontMetrics metrics = m_grid->fontMetrics();
    const QStringList fields = m_model->Fields();
    for (int c = 0; c < fields.size(); ++c) {
        const QString& field = fields[c];
        const int chars = field == QLatin1String("LOCATIE") || field == QLatin1String("OPMLOCATIE")
                              ? 22
                          : field == QLatin1String("ID") || field == QLatin1String("DAG") ||
                                  field == QLatin1String("MAAND") || field == QLatin1String("JAAR")
                              ? 4
                              : 10;
        const int caption =
            metrics.horizontalAdvance(
                m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
            16;
        m_grid->setColumnWidth(
            c, std::max(caption, metrics.horizontalAdvance(QLatin1Char('0')) * chars + 12));
    }
}

void TLocationForm::AddColumn() {
    ShowColumns(QStringList(m_model->Fields()) << QString());
}

void TLocationForm::RemoveLastColumn() {
    QStringList fields = m_model->Fields();
    if (fields.size() <= 1)
        return;
    fields.removeLast();
    ShowColumns(fields);
}

void TLocationForm::ShowColumns(const QStringList& fields, QStringList captions) {
    for (qsizetype c = captions.size(); c < fields.size(); ++c)
        captions << CaptionOf(fields[c]);
    m_model->SetColumns(fields, captions);
    FitColumns();
}

QString TLocationForm::CaptionOf(const QString& field) const {
    if (m_chooser)
        return m_chooser->CaptionOf(field);
    const qsizetype i = recording::LocationFieldNames().indexOf(field);
    return i >= 0 ? recording::LocationFieldCaptions()[i] : QString();
}

bool TLocationForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->modifiers() & Qt::ControlModifier) {
            if (mouse->button() == Qt::LeftButton)
                AddColumn();
            else if (mouse->button() == Qt::RightButton)
                RemoveLastColumn();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<int> TLocationForm::ShownRecords() const {
    return m_model->RecNos();
}

QStringList TLocationForm::ColumnFields() const {
    return m_model->Fields();
}

void TLocationForm::done(int result) {
    // The main window's view is whole again, its samples in ID order from the first.
    if (m_store.IsOpen() && m_store.Samples().Active()) {
        m_store.Samples().SetIndexName(QStringLiteral("ID"));
        m_store.Samples().First();
    }
    QDialog::done(result);
}

} // namespace velmora::ui
