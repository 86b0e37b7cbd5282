#include "ui/tdataform.h"

#include "core/databasestore.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "recording/messages.h"
#include "ui/formwidgets.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace velmora::ui {

using namespace recording;

// The data grid: grid row r (from 1) is table row r - 1, grid column c (from 1) table column
// c - 1; row 0 and column 0 of the grid are the headers. Rows above the start row are shown
// as fixed (header) rows.
class ImportGridModel : public QAbstractTableModel {
public:
    explicit ImportGridModel(core::Grid& grid, QObject* parent)
        : QAbstractTableModel(parent), m_grid(grid) {}

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void SetFixedRows(int rows) {
        m_fixed = rows;
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                             {Qt::BackgroundRole});
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max(0, m_grid.RowCount() - 1);
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max(0, m_grid.ColCount() - 1);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_grid.Cell(index.column() + 1, index.row() + 1);
        if (role == Qt::BackgroundRole && index.row() + 1 < m_fixed)
            return QApplication::palette().button();
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        m_grid.SetCell(index.column() + 1, index.row() + 1, value.toString());
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return section + 1 < m_grid.ColCount() && m_grid.RowCount() > 0
                       ? m_grid.Cell(section + 1, 0)
                       : QString();
        return section + 1 < m_grid.RowCount() && m_grid.ColCount() > 0
                   ? m_grid.Cell(0, section + 1)
                   : QString();
    }

private:
    core::Grid& m_grid;
    int m_fixed = 0;
};

namespace {

struct ChooserDef {
    int key;
    const char* labelName;
    const char* caption;
};

// The field choosers of the two groups, in their order on the window.
constexpr ChooserDef kLocationChoosers[] = {
    {kImportLocation, "LocatienaamLabel", "Locatienaam"},
    {kImportDateText, "DatumLabel", "Datum"},
    {kImportComment, "OpmerkingLabel", "Opmerking"},
    {kImportCoordX, "XcoordLabel", "X-coord"},
    {kImportCoordY, "YcoordLabel", "Y-coord"},
    {kImportAcidity, "ZuurgraadLabel", "Zuurgraad"},
    {kImportSampleKind, "MonstersoortLabel", "Soort monster (knijp, plankton)"},
    {kImportAnalyst, "AnalistLabel", "Analist"},
    {kImportOwner, "EigenaarLabel", "Locatie-eigenaar "},
    {kImportLocationCode, "LocatiecodeLabel", "Locatiecode"},
    {kImportPH, "PHLabel", "pH"},
    {kImportConductivity, "GeleidingLabel", "Geleiding"},
    {kImportWaterTemp, "WatertempLabel", "Watertemperatuur"},
    {kImportWaterType, "WatertypeLabel", "Watertype"},
    {kImportHerbarium, "HerbariumLabel", "Herbarium (code)"},
    {kImportAbundanceMeasure, "AbundantiemaatLabel", "Abundantiemaat"},
};
constexpr ChooserDef kSampleChoosers[] = {
    {kImportDesmid, "SieralgLabel", "Sieralg"},
    {kImportAbundance, "AbundantieLabel", "Abundantie"},
    {kImportDL, "DLOLabel", "(D/L/O)"},
    {kImportZygospore, "ZygosporeLabel", "Zygospore"},
    {kImportPhoto, "FotoLabel", "Foto"},
    {kImportCertainty, "ZekerheidLabel", "Zekerheid"},
    {kImportSampleComment, "OpmerkingSLabel", "Opmerking"},
    {kImportInfo, "InfoLabel", "Info"},
};

// A column chooser. The wheel turns it only while it has the focus: turning the wheel to
// scroll the column of choosers must never change a choice on its way.
class ChooserBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent* event) override {
        if (hasFocus())
            QComboBox::wheelEvent(event);
        else
            event->ignore(); // to the scrolling column
    }
};

QComboBox* MakeChooser(const QString& name, QWidget* parent) {
    auto* box = new ChooserBox(parent);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumContentsLength(3);
    box->setMaxVisibleItems(20);
    return box;
}

QString KeyName(int key) {
    return QStringLiteral("Box%1").arg(key);
}

} // namespace

TDataForm::TDataForm(core::DatabaseStore& store, QWidget* parent)
    : QDialog(parent), m_store(store) {
    setObjectName(QStringLiteral("DataForm"));
    setWindowTitle(QStringLiteral("Importeer TSV of XLS(X) datafile"));
    setSizeGripEnabled(true);

    QWidget* choosers = BuildChoosers();

    // The grid, and the notice shown in its place while the import runs.
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DataGrid"));
    m_model = new ImportGridModel(m_import.Grid(), this);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->viewport()->installEventFilter(this);
    m_waitLabel = new QLabel(ResStr(rsImportWait), this);
    m_waitLabel->setObjectName(QStringLiteral("WachtLabel"));
    m_waitLabel->setAlignment(Qt::AlignCenter);
    m_waitLabel->hide();
    m_databaseLabel = new QLabel(this);
    m_databaseLabel->setObjectName(QStringLiteral("DatabaseLabel"));

    QGridLayout* buttons = BuildButtons();
    auto* right = new QVBoxLayout;
    right->addWidget(m_databaseLabel);
    right->addWidget(m_grid, 1);
    right->addWidget(m_waitLabel, 1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(choosers);
    layout->addLayout(right, 1);
    // As large as the screen allows, up to a size that shows the choosers and a good part of
    // the grid.
    const QRect screen =
        this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 900);
    resize(std::min(1180, screen.width() - 40), std::min(780, screen.height() - 60));

    ConnectChoosers();
    m_add->setChecked(true);
    m_columnDates->setChecked(true);
    FillChoosers();
    ShowChoices();

    SetTabOrder();
}

// The choosers, in a column that scrolls when the window is low.
QWidget* TDataForm::BuildChoosers() {
    auto* controls = new QWidget(this);
    controls->setObjectName(QStringLiteral("ControlPanel"));
    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 4, 0);

    auto* locationGroup = new QGroupBox(QStringLiteral("Locatiegegevens"), controls);
    locationGroup->setObjectName(QStringLiteral("LocatieGroup"));
    auto* locationGrid = new QGridLayout(locationGroup);
    int row = 0;
    for (const ChooserDef& def : kLocationChoosers) {
        auto* label = NamedLabel(def.labelName, def.caption, locationGroup);
        m_boxes[static_cast<std::size_t>(def.key)] = MakeChooser(KeyName(def.key), locationGroup);
        label->setBuddy(m_boxes[static_cast<std::size_t>(def.key)]);
        locationGrid->addWidget(label, row, 0);
        locationGrid->addWidget(m_boxes[static_cast<std::size_t>(def.key)], row, 1);
        const int second = def.key == kImportLocation  ? kImportLocation2
                           : def.key == kImportComment ? kImportComment2
                                                       : 0;
        if (second) {
            auto* pair = new QHBoxLayout;
            pair->addWidget(MakeLabel(QStringLiteral("+"),
                                      def.key == kImportLocation ? QStringLiteral("PlusLabel1")
                                                                 : QStringLiteral("PlusLabel2"),
                                      locationGroup));
            m_boxes[static_cast<std::size_t>(second)] = MakeChooser(KeyName(second), locationGroup);
            pair->addWidget(m_boxes[static_cast<std::size_t>(second)]);
            pair->addStretch(1);
            locationGrid->addLayout(pair, row, 2);
        }
        ++row;
    }
    locationGrid->addWidget(NamedLabel("DMJLabel", "Dag/Maand/Jaar", locationGroup), row, 0);
    auto* dmj = new QHBoxLayout;
    for (int key : {kImportDay, kImportMonth, kImportYear}) {
        m_boxes[static_cast<std::size_t>(key)] = MakeChooser(KeyName(key), locationGroup);
        dmj->addWidget(m_boxes[static_cast<std::size_t>(key)]);
    }
    dmj->addStretch(1);
    locationGrid->addLayout(dmj, row, 1, 1, 2);
    locationGrid->setColumnStretch(2, 1);
    column->addWidget(locationGroup);

    auto* sampleGroup = new QGroupBox(QStringLiteral("Sieralggegevens"), controls);
    sampleGroup->setObjectName(QStringLiteral("SieralgGroup"));
    auto* sampleGrid = new QGridLayout(sampleGroup);
    row = 0;
    for (const ChooserDef& def : kSampleChoosers) {
        auto* label = NamedLabel(def.labelName, def.caption, sampleGroup);
        m_boxes[static_cast<std::size_t>(def.key)] = MakeChooser(KeyName(def.key), sampleGroup);
        label->setBuddy(m_boxes[static_cast<std::size_t>(def.key)]);
        sampleGrid->addWidget(label, row, 0);
        sampleGrid->addWidget(m_boxes[static_cast<std::size_t>(def.key)], row, 1);
        ++row;
    }
    sampleGrid->addWidget(
        MakeLabel(QStringLiteral("+ ' # ' +"), QStringLiteral("InfoPlusLabel"), sampleGroup),
        row - 1, 2);
    m_boxes[kImportInfo2] = MakeChooser(KeyName(kImportInfo2), sampleGroup);
    sampleGrid->addWidget(m_boxes[kImportInfo2], row - 1, 3);
    sampleGrid->setColumnStretch(4, 1);
    column->addWidget(sampleGroup);

    auto* uniqueGroup =
        new QGroupBox(QStringLiteral("Unieke locatie wordt bepaald door kolom:"), controls);
    uniqueGroup->setObjectName(QStringLiteral("UniekGroup"));
    auto* uniqueLayout = new QVBoxLayout(uniqueGroup);
    auto* uniqueRow = new QHBoxLayout;
    for (int i = 0; i < kUniqueLocationColumns; ++i) {
        m_unique[static_cast<std::size_t>(i)] =
            MakeChooser(QStringLiteral("TSL%1").arg(i + 1), uniqueGroup);
        uniqueRow->addWidget(m_unique[static_cast<std::size_t>(i)]);
    }
    uniqueRow->addStretch(1);
    uniqueLayout->addLayout(uniqueRow);
    auto* note =
        NamedLabel("UniekNoot", "Een kolom met '0' betekent dat deze kolom niet meegenomen wordt",
                   uniqueGroup);
    note->setWordWrap(true);
    uniqueLayout->addWidget(note);
    column->addWidget(uniqueGroup);

    auto* dateGroup = new QGroupBox(QStringLiteral("Datumformaat"), controls);
    dateGroup->setObjectName(QStringLiteral("DatumGroup"));
    auto* dateLayout = new QGridLayout(dateGroup);
    m_columnDates =
        new QRadioButton(QStringLiteral("Dag, Maand en Jaar in aparte kolommen"), dateGroup);
    m_columnDates->setObjectName(QStringLiteral("RadioButton1"));
    m_textDates = new QRadioButton(QStringLiteral("Datum als text"), dateGroup);
    m_textDates->setObjectName(QStringLiteral("RadioButton2"));
    m_dateFormat = new QComboBox(dateGroup);
    m_dateFormat->setObjectName(QStringLiteral("DMJEDit"));
    m_dateFormat->addItems({kYearFirstFormat, kDayFirstFormat});
    auto* formatLabel = NamedLabel("FormaatLabel", "Formaat", dateGroup);
    formatLabel->setBuddy(m_dateFormat);
    dateLayout->addWidget(m_columnDates, 0, 0, 1, 3);
    dateLayout->addWidget(m_textDates, 1, 0);
    dateLayout->addWidget(formatLabel, 1, 1);
    dateLayout->addWidget(m_dateFormat, 1, 2);
    dateLayout->setColumnStretch(3, 1);
    column->addWidget(dateGroup);

    auto* methodRow = new QHBoxLayout;
    auto* methodGroup = new QGroupBox(QStringLiteral("Methode van toevoegen"), controls);
    methodGroup->setObjectName(QStringLiteral("MethodeGroup"));
    auto* methodLayout = new QVBoxLayout(methodGroup);
    m_add = new QRadioButton(QStringLiteral("Voeg toe aan database"), methodGroup);
    m_add->setObjectName(QStringLiteral("VoegToe"));
    m_replace = new QRadioButton(QStringLiteral("Vervang database"), methodGroup);
    m_replace->setObjectName(QStringLiteral("Vervang"));
    methodLayout->addWidget(m_add);
    methodLayout->addWidget(m_replace);
    methodRow->addWidget(methodGroup);
    auto* sideFields = new QGridLayout;
    m_coordinateBox = new QComboBox(controls);
    m_coordinateBox->setObjectName(QStringLiteral("CoordinateBox"));
    m_coordinateBox->addItems({kAmersfoort, kLatLonChoice});
    m_coordinateBox->setCurrentIndex(-1);
    auto* coordinateLabel = NamedLabel("CoordinateLabel", "Coördinaatsysteem", controls);
    coordinateLabel->setBuddy(m_coordinateBox);
    m_boxes[kImportStartRow] = MakeChooser(QStringLiteral("Startrijbox"), controls);
    auto* startLabel = NamedLabel("StartrijLabel", "Data begint in rij:", controls);
    startLabel->setBuddy(m_boxes[kImportStartRow]);
    sideFields->addWidget(coordinateLabel, 0, 0);
    sideFields->addWidget(m_coordinateBox, 0, 1);
    sideFields->addWidget(startLabel, 1, 0);
    sideFields->addWidget(m_boxes[kImportStartRow], 1, 1);
    methodRow->addLayout(sideFields);
    methodRow->addStretch(1);
    column->addLayout(methodRow);
    column->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ControlScroll"));
    scroll->setWidget(controls);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    note->setMinimumWidth(10); // the note wraps; it does not widen the column
    scroll->setMinimumWidth(controls->minimumSizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width() + 4);

    return scroll;
}

// The buttons below the grid, wired to their handlers.
QGridLayout* TDataForm::BuildButtons() {
    auto* open = NamedButton("OpenTSVXLSfile", "Open TSV of XLS(X) bestand", this);
    auto* loadLayout = NamedButton("LoadSettings", "Open kolomindeling", this);
    auto* lastLayout = NamedButton("LaatstGebruikt", "Laatst gebruikte indeling", this);
    auto* saveLayout = NamedButton("SaveSettings", "Bewaar kolomindeling", this);
    auto* sort = NamedButton("Sorteer", "Sorteer data op unieke locatie", this);
    auto* check = NamedButton("CheckCoord", "Check Coördinaten", this);
    auto* make = NamedButton("MaakDatabase", "Maak database", this);
    auto* closeButton = NamedButton("SluitVenster", "Sluit venster", this);
    auto* buttons = new QGridLayout;
    buttons->addWidget(open, 0, 0);
    buttons->addWidget(loadLayout, 0, 1);
    buttons->addWidget(lastLayout, 0, 2);
    buttons->addWidget(saveLayout, 0, 3);
    buttons->addWidget(sort, 1, 0);
    buttons->addWidget(check, 1, 1);
    buttons->addWidget(make, 1, 2);
    buttons->addWidget(closeButton, 1, 3);

    connect(open, &QPushButton::clicked, this, [this] { OpenTSVXLSfileClick(); });
    connect(loadLayout, &QPushButton::clicked, this, [this] { LoadSettingsClick(); });
    connect(lastLayout, &QPushButton::clicked, this, [this] { LaatstGebruiktClick(); });
    connect(saveLayout, &QPushButton::clicked, this, [this] { SaveSettingsClick(); });
    connect(sort, &QPushButton::clicked, this, [this] { SorteerClick(); });
    connect(check, &QPushButton::clicked, this, [this] { CheckCoordClick(); });
    connect(make, &QPushButton::clicked, this, [this] { MaakDatabaseClick(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { reject(); });

    m_buttons = {open, loadLayout, lastLayout, saveLayout, sort, check, make, closeButton};
    return buttons;
}

// Every chooser stores what it shows in the import's state.
void TDataForm::ConnectChoosers() {
    for (int key = 1; key <= kImportKeyCount; ++key) {
        QComboBox* box = m_boxes[static_cast<std::size_t>(key)];
        connect(box, &QComboBox::currentIndexChanged, this, [this, key](int index) {
            if (m_filling)
                return;
            m_import.choosers.box[static_cast<std::size_t>(key)] = index;
            if (key == kImportStartRow)
                m_model->SetFixedRows(std::max(0, index));
            else
                m_import.ChooserLeft(key);
        });
    }
    for (int i = 0; i < kUniqueLocationColumns; ++i) {
        connect(m_unique[static_cast<std::size_t>(i)], &QComboBox::currentIndexChanged, this,
                [this, i](int index) {
                    if (!m_filling)
                        m_import.choosers.unique[static_cast<std::size_t>(i)] = index;
                });
    }
    connect(m_columnDates, &QRadioButton::toggled, this, [this] { DateModeChanged(); });
    connect(m_textDates, &QRadioButton::toggled, this, [this] { DateModeChanged(); });
    connect(m_dateFormat, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!m_filling)
            m_import.choosers.dateFormat = text;
    });
    connect(m_replace, &QRadioButton::toggled, this, [this](bool on) { m_import.replace = on; });
    connect(m_coordinateBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_import.coordinateSystem =
            index < 0 ? QString() : m_coordinateBox->itemData(index).toString();
    });
    // The coordinate system keeps its own value whatever the language shows.
    m_coordinateBox->setItemData(0, kAmersfoort);
    m_coordinateBox->setItemData(1, kLatLonChoice);
}

// The choosers top to bottom, then the grid and the buttons.
void TDataForm::SetTabOrder() {
    QList<QWidget*> order;
    for (const ChooserDef& def : kLocationChoosers) {
        order << m_boxes[static_cast<std::size_t>(def.key)];
        if (def.key == kImportLocation)
            order << m_boxes[kImportLocation2];
        if (def.key == kImportComment)
            order << m_boxes[kImportComment2];
    }
    order << m_boxes[kImportDay] << m_boxes[kImportMonth] << m_boxes[kImportYear];
    for (const ChooserDef& def : kSampleChoosers)
        order << m_boxes[static_cast<std::size_t>(def.key)];
    order << m_boxes[kImportInfo2];
    for (QComboBox* box : m_unique)
        order << box;
    order << m_columnDates << m_textDates << m_dateFormat << m_add << m_replace << m_coordinateBox
          << m_boxes[kImportStartRow] << m_grid;
    for (QPushButton* button : m_buttons)
        order << button;
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

TDataForm::~TDataForm() = default;

void TDataForm::Run(const QString& name) {
    m_name = name;
    exec();
}

void TDataForm::showEvent(QShowEvent* event) {
    m_import.Shown();
    m_databaseLabel->setText(QStringLiteral("Database : ") + m_name);
    ShowChoices();
    QDialog::showEvent(event);
}

void TDataForm::done(int result) {
    m_waitLabel->hide();
    m_grid->show();
    QDialog::done(result);
}

void TDataForm::FillChoosers() {
    m_filling = true;
    QStringList numbers;
    for (int i = 0; i <= m_import.ChooserCount(); ++i)
        numbers << QString::number(i);
    for (int key = 1; key < kImportStartRow; ++key) {
        QComboBox* box = m_boxes[static_cast<std::size_t>(key)];
        box->clear();
        box->addItems(numbers);
    }
    QStringList rows;
    for (int i = 0; i <= m_import.StartRowCount(); ++i)
        rows << QString::number(i);
    m_boxes[kImportStartRow]->clear();
    m_boxes[kImportStartRow]->addItems(rows);
    for (QComboBox* box : m_unique) {
        box->clear();
        box->addItems(numbers);
    }
    m_filling = false;
}

void TDataForm::ShowChoices() {
    m_filling = true;
    const ColumnLayout& c = m_import.choosers;
    auto show = [](QComboBox* box, int value) {
        box->setCurrentIndex(value >= 0 && value < box->count() ? value : -1);
    };
    for (int key = 1; key <= kImportKeyCount; ++key)
        show(m_boxes[static_cast<std::size_t>(key)], c.box[static_cast<std::size_t>(key)]);
    for (int i = 0; i < kUniqueLocationColumns; ++i)
        show(m_unique[static_cast<std::size_t>(i)], c.unique[static_cast<std::size_t>(i)]);
    m_columnDates->setChecked(c.columnMode);
    m_textDates->setChecked(c.textMode && !c.columnMode);
    const int format = m_dateFormat->findText(c.dateFormat);
    if (format >= 0)
        m_dateFormat->setCurrentIndex(format);
    m_model->SetFixedRows(std::max(0, c.box[kImportStartRow]));
    m_filling = false;
    DateModeChanged();
}

void TDataForm::DateModeChanged() {
    const bool columns = m_columnDates->isChecked();
    if (!m_filling) {
        m_import.choosers.columnMode = columns;
        m_import.choosers.textMode = m_textDates->isChecked();
    }
    for (int key : {kImportDay, kImportMonth, kImportYear})
        m_boxes[static_cast<std::size_t>(key)]->setEnabled(columns);
    m_boxes[kImportDateText]->setEnabled(!columns);
    m_dateFormat->setEnabled(!columns);
}

void TDataForm::GridChanged() {
    m_model->Reset();
    m_model->SetFixedRows(std::max(0, m_import.choosers.box[kImportStartRow]));
}

void TDataForm::SizeColumns() {
    // Every column as wide as its widest text (at most 1000 pixels); a large file is measured
    // on its first rows.
    const core::Grid& grid = m_import.Grid();
    const QFontMetrics metrics(m_grid->font());
    const int rows = std::min(grid.RowCount(), 2000);
    for (int c = 1; c < grid.ColCount(); ++c) {
        int width = 10;
        for (int r = 0; r < rows; ++r)
            width = std::max(width, metrics.horizontalAdvance(grid.Cell(c, r)));
        m_grid->setColumnWidth(c - 1, std::min(width, 1000) + 12);
    }
}

void TDataForm::OpenTSVXLSfileClick() {
    const QString start =
        m_import.LastDataFolder().isEmpty() ? core::ProgramDir() : m_import.LastDataFolder();
    const QString path = core::UserPrompts().ChooseOpenFile(
        windowTitle(), start,
        ResStr(rsImportDataFilter) + QStringLiteral(" (*.tsv *.xls *.xlsx);;") +
            ResStr(rsImportAllFiles) + QStringLiteral(" (*)"));
    if (!path.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool read = m_import.OpenDataFile(path);
        QApplication::restoreOverrideCursor();
        if (read) {
            GridChanged();
            FillChoosers();
            ShowChoices();
        }
    }
    SizeColumns();
}

void TDataForm::SaveSettingsClick() {
    const QString path = ChooseFileToWrite(windowTitle(), m_import.RememberedLayout(),
                                           QStringLiteral("VelmoraDatabase Format (*.vlf);;") +
                                               ResStr(rsImportAllFiles) + QStringLiteral(" (*)"),
                                           QStringLiteral(".vlf"));
    if (!path.isEmpty())
        m_import.SaveColumnLayout(path);
}

void TDataForm::LoadSettingsClick() {
    const QString path = core::UserPrompts().ChooseOpenFile(
        windowTitle(),
        m_import.RememberedLayout().isEmpty() ? m_import.LastDataFolder()
                                              : m_import.RememberedLayout(),
        QStringLiteral("VelmoraDatabase format (*.vlf);;") + ResStr(rsImportAllFiles) +
            QStringLiteral(" (*)"));
    if (path.isEmpty())
        return;
    if (m_import.LoadColumnLayout(path))
        ShowChoices();
}

void TDataForm::LaatstGebruiktClick() {
    if (m_import.RememberedLayout().isEmpty()) {
        LoadSettingsClick();
        return;
    }
    if (m_import.LoadColumnLayout(m_import.RememberedLayout()))
        ShowChoices();
}

void TDataForm::SorteerClick() {
    m_import.SortData();
    GridChanged();
}

void TDataForm::CheckCoordClick() {
    m_import.CheckCoordinateCells();
}

void TDataForm::MaakDatabaseClick() {
    // The notice stands in the grid's place once the checks have passed and the run begins.
    const int result = m_import.MakeDatabase(m_store, m_name, [this] {
        m_grid->hide();
        m_waitLabel->show();
        QApplication::processEvents();
    });
    m_waitLabel->hide();
    m_grid->show();
    GridChanged();
    if (result == 0) {
        accept();
        return;
    }
    if (result > 0) {
        m_grid->selectRow(result - 1);
        m_grid->scrollTo(m_model->index(result - 1, 0));
        m_grid->setFocus();
    }
}

bool TDataForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->modifiers() & Qt::ControlModifier) {
            const QModelIndex index = m_grid->indexAt(mouse->position().toPoint());
            if (index.isValid() && core::UserPrompts().YesNo(ResStr(rsImportRemoveRowQuestion))) {
                RemoveGridRow(m_import.Grid(), index.row() + 1);
                GridChanged();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora::ui
