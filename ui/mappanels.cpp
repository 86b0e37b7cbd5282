#include "ui/mappanels.h"

#include "ui/formwidgets.h"
#include "ui/tplotpanelwidget.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

// ---------------------------------------------------------------- grid model

void GridModel::SetGrid(const core::Grid* grid) {
    beginResetModel();
    m_grid = grid;
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_grid ? 0 : std::max(0, m_grid->RowCount() - 1);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_grid ? 0 : m_grid->ColCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!m_grid || !index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_grid->Cell(index.column(), index.row() + 1);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !m_grid)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < m_titles.size() && !m_titles[section].isEmpty())
            return m_titles[section];
        return section < m_grid->ColCount() && m_grid->RowCount() > 0 ? m_grid->Cell(section, 0)
                                                                      : QVariant();
    }
    return section + 1;
}

bool GridModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                              int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    while (m_titles.size() <= section)
        m_titles.append(QString());
    m_titles[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void FitGridColumns(QTableView* view) {
    const auto* model = view->model();
    if (!model)
        return;
    const QFontMetrics metrics(view->font());
    const QFontMetrics headerMetrics(view->horizontalHeader()->font());
    const int rows = model->rowCount();
    for (int column = 0; column < model->columnCount(); ++column) {
        int width =
            headerMetrics.horizontalAdvance(model->headerData(column, Qt::Horizontal).toString());
        for (int row = 0; row < rows; ++row)
            width = std::max(width, metrics.horizontalAdvance(
                                        model->data(model->index(row, column)).toString()));
        view->setColumnWidth(column, std::clamp(width + 12, 10, 1000));
    }
}

namespace {
QTableView* ReadOnlyTable(const char* name, GridModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    return view;
}

QLineEdit* ReadOnlyEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}
} // namespace

// ---------------------------------------------------------------- excursion panel

ExcursionPanel::ExcursionPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ExcursionPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    auto* sortRow = new QHBoxLayout;
    m_byLocation = NamedButton("opLocatie", "Op Locatie", this);
    m_byDate = NamedButton("opDatum", "Op Datum", this);
    m_bySquare = NamedButton("opKmHok", "Op km-hok (X,Y)", this);
    for (QPushButton* button : {m_byLocation, m_byDate, m_bySquare}) {
        button->setCheckable(true);
        button->installEventFilter(this);
        sortRow->addWidget(button);
    }
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("Meldingen"));
    sortRow->addWidget(m_count, 1);
    layout->addLayout(sortRow);

    m_dataModel = new GridModel(this);
    m_dataGrid = ReadOnlyTable("DataGrid", m_dataModel, this);
    m_dataGrid->horizontalHeader()->viewport()->installEventFilter(this);
    m_dataGrid->horizontalHeader()->setSectionsClickable(false);
    layout->addWidget(m_dataGrid, 1);

    auto* details = new QGroupBox(this);
    details->setObjectName(QStringLiteral("LocationDetails"));
    auto* grid = new QGridLayout(details);
    m_locatie = ReadOnlyEdit("LocatieEdit", details);
    m_dag = ReadOnlyEdit("DagEdit", details);
    m_maand = ReadOnlyEdit("MaandEdit", details);
    m_jaar = ReadOnlyEdit("JaarEdit", details);
    m_x = ReadOnlyEdit("XEdit", details);
    m_y = ReadOnlyEdit("YEdit", details);
    m_analist = ReadOnlyEdit("AnalistEdit", details);
    m_opmerking = ReadOnlyEdit("OpmerkingEdit", details);
    m_aantal = ReadOnlyEdit("AantalEdit", details);
    const struct {
        const char* name;
        const char* caption;
        QLineEdit* edit;
        int row, column, span;
    } fields[] = {{"LocatieLabel", "Locatienaam", m_locatie, 0, 0, 5},
                  {"DagLabel", "Dag", m_dag, 1, 0, 1},
                  {"MaandLabel", "Maand", m_maand, 1, 2, 1},
                  {"JaarDetailLabel", "Jaar", m_jaar, 1, 4, 1},
                  {"XLabel", "X-coord", m_x, 2, 0, 1},
                  {"YLabel", "Y-coord", m_y, 2, 2, 1},
                  {"AantalLabel", "Aantal", m_aantal, 2, 4, 1},
                  {"AnalistLabel", "Analist", m_analist, 3, 0, 5},
                  {"OpmerkingLabel", "Opmerking", m_opmerking, 4, 0, 5}};
    for (const auto& f : fields) {
        grid->addWidget(NamedLabel(f.name, f.caption, details), f.row, f.column * 2);
        grid->addWidget(f.edit, f.row, f.column * 2 + 1, 1, f.span);
    }
    QPushButton* edit = NamedButton("EditRecord", "Edit Record", details);
    grid->addWidget(edit, 5, 0, 1, 2);
    layout->addWidget(details);

    m_samplesModel = new GridModel(this);
    m_samplesGrid = ReadOnlyTable("Grid", m_samplesModel, this);
    layout->addWidget(m_samplesGrid, 1);

    connect(edit, &QPushButton::clicked, this, [this] { emit EditRecordClicked(); });
    connect(m_dataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit RowSelected(current.row() + 1);
            });
}

void ExcursionPanel::ShowLocations(const core::Grid* table) {
    m_dataModel->SetGrid(table);
    // The model was reset: the selection model is new to the rows.
    FitGridColumns(m_dataGrid);
}

void ExcursionPanel::SetCount(const QString& text) {
    m_count->setText(text);
}

void ExcursionPanel::MarkSort(maps::SortMark mark) {
    m_byLocation->setChecked(mark == maps::SortMark::Location);
    m_byDate->setChecked(mark == maps::SortMark::Date);
    m_bySquare->setChecked(mark == maps::SortMark::Square);
}

void ExcursionPanel::ShowDetails(const maps::LocationRow* location, const core::Grid& samples) {
    m_shownId = location ? location->id : 0;
    m_locatie->setText(location ? location->locatie : QString());
    m_dag->setText(location ? location->dag : QString());
    m_maand->setText(location ? location->maand : QString());
    m_jaar->setText(location ? location->jaar : QString());
    m_x->setText(location ? location->coordX : QString());
    m_y->setText(location ? location->coordY : QString());
    m_analist->setText(location ? location->analist : QString());
    m_opmerking->setText(location ? location->opmLocatie : QString());
    m_samples = samples;
    m_aantal->setText(location ? QString::number(std::max(0, m_samples.RowCount() - 1))
                               : QString());
    m_samplesModel->SetGrid(&m_samples);
    FitGridColumns(m_samplesGrid);
}

bool ExcursionPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool descending = mouse->button() == Qt::RightButton;
    if (mouse->button() != Qt::LeftButton && !descending)
        return QWidget::eventFilter(watched, event);
    if (watched == m_dataGrid->horizontalHeader()->viewport()) {
        const int column =
            m_dataGrid->horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
        if (column >= 0)
            emit HeaderPressed(column, descending);
        return true;
    }
    const maps::SortMark marks[] = {maps::SortMark::Location, maps::SortMark::Date,
                                    maps::SortMark::Square};
    QPushButton* buttons[] = {m_byLocation, m_byDate, m_bySquare};
    for (int i = 0; i < 3; ++i) {
        if (watched == buttons[i]) {
            emit SortButtonPressed(marks[i], descending);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- environment panel

EnvironmentPanel::EnvironmentPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("EnvironmentPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("InfoLine"));
    m_info->setWordWrap(true);
    layout->addWidget(m_info);
    m_squareCount = new QLabel(this);
    m_squareCount->setObjectName(QStringLiteral("HokkenLabel"));
    m_uf = new QLabel(this);
    m_uf->setObjectName(QStringLiteral("UFLabel"));
    m_kf = new QLabel(this);
    m_kf->setObjectName(QStringLiteral("KFLabel"));
    for (QLabel* label : {m_squareCount, m_uf, m_kf})
        layout->addWidget(label);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    m_biotopeLabel = new QLabel(this);
    m_biotopeLabel->setObjectName(QStringLiteral("BiotoopLabel"));
    left->addWidget(m_biotopeLabel);
    m_biotopeModel = new GridModel(this);
    m_biotopes = ReadOnlyTable("BiotoopGrid", m_biotopeModel, this);
    m_biotopes->setMinimumWidth(310);
    left->addWidget(m_biotopes, 1);
    m_earliest = new QLabel(this);
    m_earliest->setObjectName(QStringLiteral("Vroegste"));
    m_latest = new QLabel(this);
    m_latest->setObjectName(QStringLiteral("Laatste"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("MeldingenMilieu"));
    left->addWidget(m_earliest);
    left->addWidget(m_latest);
    left->addWidget(m_count);
    m_phenology = new TPlotPanelWidget(this);
    m_phenology->setObjectName(QStringLiteral("FenologiePlot2"));
    left->addWidget(m_phenology);
    body->addLayout(left);

    auto* right = new QVBoxLayout;
    m_phLabel = new QLabel(this);
    m_phLabel->setObjectName(QStringLiteral("pHLabel"));
    right->addWidget(m_phLabel);
    m_phEc = new TPlotPanelWidget(this);
    m_phEc->setObjectName(QStringLiteral("pHEGVPlot"));
    right->addWidget(m_phEc, 1);
    m_boxplot = new QLabel(this);
    m_boxplot->setObjectName(QStringLiteral("BoxplotImage"));
    m_boxplot->setMinimumSize(200, 120);
    m_boxplot->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The picture follows the area, not the other way round.
    m_boxplot->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    right->addWidget(m_boxplot, 1);
    body->addLayout(right, 1);
    layout->addLayout(body, 1);
}

QSize EnvironmentPanel::BoxplotSize(int orientation) const {
    const QSize area = m_boxplot->size().expandedTo(QSize(200, 120));
    return orientation == 1 ? QSize(area.width(), area.height() * 3 / 10) : area;
}

void EnvironmentPanel::SetInfoLine(const QString& text) {
    m_info->setText(text);
}

QString EnvironmentPanel::InfoLine() const {
    return m_info->text();
}

void EnvironmentPanel::ForgetTables() {
    m_biotopeModel->SetGrid(nullptr);
}

void EnvironmentPanel::ShowFrequency(const maps::FrequencyTexts& texts) {
    m_squareCount->setText(texts.squareCount);
    m_uf->setText(texts.uf);
    m_kf->setText(texts.kf);
}

QString EnvironmentPanel::SquareCountText() const {
    return m_squareCount->text();
}

QString EnvironmentPanel::UFText() const {
    return m_uf->text();
}

QString EnvironmentPanel::KFText() const {
    return m_kf->text();
}

void EnvironmentPanel::ShowTables(const maps::RunTables& tables) {
    m_biotopeModel->SetGrid(&tables.BiotopeTable());
    FitGridColumns(m_biotopes);
    // The biotope's name takes the room the counts leave, so that "N" and "%" stay in view.
    if (m_biotopeModel->columnCount() > 1)
        m_biotopes->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_biotopeLabel->setText(tables.BiotopeLabel());
    m_phLabel->setText(tables.PhLabel());
    m_earliest->setText(tables.EarliestText());
    m_latest->setText(tables.LatestText());
    m_count->setText(tables.CountText());
}

} // namespace velmora::ui
