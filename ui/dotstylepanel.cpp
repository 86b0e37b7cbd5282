#include "ui/dotstylepanel.h"

#include "core/prompts.h"
#include "maps/messages.h"
#include "ui/formwidgets.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <functional>

namespace velmora::ui {

namespace {

// The shape names, in the order of the list (the position is what the settings store).
const char* const kShapeNames[maps::kShapeCount] = {"Cirkel gevuld",
                                                    "Cirkel open",
                                                    "Vierkant gevuld",
                                                    "Vierkant open",
                                                    "Driehoek open top omhoog",
                                                    "Driehoek open top omlaag",
                                                    "Ruit open",
                                                    "Kruis",
                                                    "Plus"};

const int kSizeEntries[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,  14,  16,
                            20, 24, 30, 35, 40, 45, 50, 55, 60, 70, 80, 90, 100, 110, 120};

// The slots, the suffix of their controls' names, in the order of maps::StyleSlot.
const char* const kSlotSuffixes[maps::kStyleSlotCount] = {
    "Primair", "Sec1", "Sec2", "Sec3", "Sec4", "Abund", "Voor", "Na", "AlleLocaties"};

// The style tabs, in the order of maps::StyleTab: object name and caption.
const char* const kTabNames[8][2] = {
    {"PagePrimair", "Primair"},    {"PageSec1", "Sec1"},
    {"PageSec2", "Sec2"},          {"PageSec3", "Sec3"},
    {"PageSec4", "Sec4"},          {"PageAbund", "Abund."},
    {"PageSpeciaal", "Speciaal "}, {"PageAlleLocaties", "Alle Locaties"}};

QComboBox* NumberList(const QString& name, int first, int last, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    for (int i = first; i <= last; ++i)
        list->addItem(QString::number(i));
    return list;
}

// The text of an editable list last set or reported: a change is reported once.
const char* const kReported = "reportedText";

// Shows a text in an editable list: the entry when there is one, typed text otherwise.
void SetListText(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text));
    list->setEditText(text);
    list->setProperty(kReported, text);
}

// A typed text counts when the user leaves the field or presses Enter; a chosen entry at
// once. Only a text that differs from the one last set or reported restyles.
void ReportChanges(QComboBox* list, QObject* receiver, const std::function<void()>& changed) {
    list->setProperty(kReported, list->currentText());
    auto report = [list, changed] {
        if (list->currentText() == list->property(kReported).toString())
            return;
        list->setProperty(kReported, list->currentText());
        changed();
    };
    QObject::connect(list, &QComboBox::activated, receiver, report);
    if (QLineEdit* edit = list->lineEdit())
        QObject::connect(edit, &QLineEdit::editingFinished, receiver, report);
}

} // namespace

// ---------------------------------------------------------------- one slot

SlotEditor::SlotEditor(const QString& suffix, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Slot") + suffix);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_kleur = NamedButton("", "Kleur ", this);
    m_kleur->setObjectName(QStringLiteral("Kleur") + suffix);
    m_swatch = new QFrame(this);
    m_swatch->setObjectName(QStringLiteral("Swatch") + suffix);
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setAutoFillBackground(true);
    m_swatch->setMinimumSize(40, 20);
    m_size = NumberList(QStringLiteral("Stipgrootte") + suffix, 0, -1, this);
    for (const int size : kSizeEntries)
        m_size->addItem(QString::number(size));
    m_shape = new QComboBox(this);
    m_shape->setObjectName(QStringLiteral("Vorm") + suffix);
    for (const char* shape : kShapeNames)
        m_shape->addItem(QString::fromUtf8(shape));
    m_lineWidth = NumberList(QStringLiteral("Lijnbreedte") + suffix, 0, 15, this);
    grid->addWidget(m_kleur, 0, 0);
    grid->addWidget(m_swatch, 0, 1);
    grid->addWidget(
        MakeLabel(QStringLiteral("Stipgrootte"), QStringLiteral("StipgrootteLabel") + suffix, this),
        1, 0);
    grid->addWidget(m_size, 1, 1);
    grid->addWidget(MakeLabel(QStringLiteral("Vorm"), QStringLiteral("VormLabel") + suffix, this),
                    2, 0);
    grid->addWidget(m_shape, 2, 1);
    grid->addWidget(
        MakeLabel(QStringLiteral("Lijnbreedte"), QStringLiteral("LijnbreedteLabel") + suffix, this),
        3, 0);
    grid->addWidget(m_lineWidth, 3, 1);
    grid->setColumnStretch(1, 1);
    SetStyle(maps::DotStyle());

    connect(m_kleur, &QPushButton::clicked, this, [this] { KB2Click(); });
    ReportChanges(m_size, this, [this] { emit Restyled(); });
    ReportChanges(m_lineWidth, this, [this] { emit Restyled(); });
    connect(m_shape, &QComboBox::activated, this, [this] { emit Restyled(); });
}

void SlotEditor::SetStyle(const maps::DotStyle& style) {
    m_color = style.color;
    ShowColor();
    SetListText(m_size, style.size);
    m_shape->setCurrentIndex(style.shape >= 0 && style.shape < maps::kShapeCount ? style.shape
                                                                                 : -1);
    SetListText(m_lineWidth, style.lineWidth);
}

maps::DotStyle SlotEditor::Style() const {
    maps::DotStyle style;
    style.color = m_color;
    style.size = m_size->currentText();
    style.shape = m_shape->currentIndex();
    style.lineWidth = m_lineWidth->currentText();
    return style;
}

void SlotEditor::DefaultShape() {
    if (m_shape->currentIndex() < 0)
        m_shape->setCurrentIndex(0);
}

void SlotEditor::KB2Click() {
    if (const auto chosen = core::UserPrompts().ChooseColor(m_color)) {
        m_color = *chosen;
        ShowColor();
    }
    // Cancelling the dialog redraws as well.
    emit Restyled();
}

void SlotEditor::ShowColor() {
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, core::ToQColor(m_color));
    m_swatch->setPalette(palette);
}

// ---------------------------------------------------------------- the panel

DotStylePanel::DotStylePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DotStylePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PC"));
    m_pages->setUsesScrollButtons(true);
    for (int tab = 0; tab < 8; ++tab) {
        auto* page = new QWidget(m_pages);
        page->setObjectName(QString::fromLatin1(kTabNames[tab][0]));
        auto* pageLayout = new QVBoxLayout(page);
        m_layerLabels[std::size_t(tab)] = new QLabel(page);
        m_layerLabels[std::size_t(tab)]->setObjectName(QStringLiteral("Layer") +
                                                       QString::fromLatin1(kTabNames[tab][0] + 4));
        QFont bold = m_layerLabels[std::size_t(tab)]->font();
        bold.setBold(true);
        m_layerLabels[std::size_t(tab)]->setFont(bold);
        pageLayout->addWidget(m_layerLabels[std::size_t(tab)]);
        m_pages->addTab(page, QString::fromUtf8(kTabNames[tab][1]));
    }
    for (int slot = 0; slot < maps::kStyleSlotCount; ++slot)
        m_slots[std::size_t(slot)] = new SlotEditor(QString::fromLatin1(kSlotSuffixes[slot]), this);
    auto page = [this](maps::StyleTab tab) {
        return static_cast<QVBoxLayout*>(m_pages->widget(int(tab))->layout());
    };
    auto slot = [this](maps::StyleSlot s) { return m_slots[std::size_t(s)]; };
    const maps::StyleSlot plain[] = {maps::StyleSlot::Primary, maps::StyleSlot::Secondary1,
                                     maps::StyleSlot::Secondary2, maps::StyleSlot::Secondary3,
                                     maps::StyleSlot::Secondary4};
    for (int i = 0; i < 5; ++i)
        page(maps::StyleTab(i))->addWidget(slot(plain[i]));

    // "Abund.": the slot, the sizes by abundance and "Teken Opnieuw".
    page(maps::StyleTab::Abundance)->addWidget(slot(maps::StyleSlot::Abundance));
    m_abundGrid = new QTableWidget(0, 2, this);
    m_abundGrid->setObjectName(QStringLiteral("AbundGrid"));
    m_abundGrid->setHorizontalHeaderLabels(
        {maps::ResStr(maps::rsAbundanceHeader), maps::ResStr(maps::rsDotSizeHeader)});
    m_abundGrid->verticalHeader()->hide();
    m_abundGrid->horizontalHeader()->setStretchLastSection(true);
    m_abundGrid->setMinimumHeight(90);
    page(maps::StyleTab::Abundance)->addWidget(m_abundGrid, 1);
    QPushButton* redraw = NamedButton("TekenOpnieuw", "Teken Opnieuw", this);
    page(maps::StyleTab::Abundance)->addWidget(redraw);

    // "Speciaal ": the separation year between the before and the from slot.
    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(NamedLabel("JaarLabel", "  Voor en  Vanaf Jaar", this));
    m_separationYear = new QLineEdit(this);
    m_separationYear->setObjectName(QStringLiteral("SeparatieJaar"));
    m_separationYear->setMaximumWidth(80);
    yearRow->addWidget(m_separationYear);
    yearRow->addStretch(1);
    page(maps::StyleTab::Special)->addLayout(yearRow);
    const struct {
        const char* name;
        const char* caption;
        maps::StyleSlot slot;
    } special[] = {{"VoorGroup", "Voor", maps::StyleSlot::Before},
                   {"VanafGroup", "Vanaf", maps::StyleSlot::From}};
    for (const auto& s : special) {
        auto* group = new QGroupBox(QString::fromLatin1(s.caption), this);
        group->setObjectName(QString::fromLatin1(s.name));
        auto* groupLayout = new QVBoxLayout(group);
        groupLayout->addWidget(slot(s.slot));
        page(maps::StyleTab::Special)->addWidget(group);
    }

    // "Alle Locaties": the slot and "Toon alle Locaties".
    page(maps::StyleTab::AllLocations)->addWidget(slot(maps::StyleSlot::AllLocations));
    QPushButton* allLocations = NamedButton("AllLocationsbtn", "Toon alle Locaties", this);
    page(maps::StyleTab::AllLocations)->addWidget(allLocations);
    for (int tab = 0; tab < 8; ++tab) {
        if (tab != int(maps::StyleTab::Abundance))
            page(maps::StyleTab(tab))->addStretch(1);
    }
    layout->addWidget(m_pages);

    // "Stippen en hokken": where a dot goes, and the pen of square outlines.
    auto* placement = new QGroupBox(QStringLiteral("Stippen en hokken"), this);
    placement->setObjectName(QStringLiteral("PlacementGroup"));
    auto* placementLayout = new QGridLayout(placement);
    m_exact = new QRadioButton(QStringLiteral("precies"), placement);
    m_exact->setObjectName(QStringLiteral("Precies"));
    m_kmSquare = new QRadioButton(maps::ResStr(maps::rsKmSquareButton), placement);
    m_kmSquare->setObjectName(QStringLiteral("KmHok"));
    m_hourSquare = new QRadioButton(QStringLiteral("uurhok"), placement);
    m_hourSquare->setObjectName(QStringLiteral("UurHok"));
    m_exact->setChecked(true);
    placementLayout->addWidget(m_exact, 0, 0);
    placementLayout->addWidget(m_kmSquare, 0, 1);
    placementLayout->addWidget(m_hourSquare, 0, 2);
    m_outlineLabel = NamedLabel("UurhoklijnbreedteLabel", "Uurhoklijnbreedte", placement);
    m_outlineWidth = NumberList(QStringLiteral("Uurhoklijnbreedte"), 1, 15, placement);
    placementLayout->addWidget(m_outlineLabel, 1, 0, 1, 2);
    placementLayout->addWidget(m_outlineWidth, 1, 2);
    layout->addWidget(placement);

    QPushButton* save = NamedButton("SaveDotSettings", "Bewaar huidige stippeninstellingen", this);
    QPushButton* open =
        NamedButton("OpenDotSettings", "Open bestand met stippeninstellingen", this);
    layout->addWidget(save);
    layout->addWidget(open);

    for (SlotEditor* editor : m_slots)
        connect(editor, &SlotEditor::Restyled, this, [this] { emit Restyled(); });
    ReportChanges(m_outlineWidth, this, [this] { emit Restyled(); });
    for (QRadioButton* button : {m_exact, m_kmSquare, m_hourSquare})
        connect(button, &QRadioButton::clicked, this, [this] { emit PlacementClicked(); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (!m_switching)
            emit TabChosen();
    });
    connect(redraw, &QPushButton::clicked, this, [this] { emit RedrawClicked(); });
    connect(allLocations, &QPushButton::clicked, this, [this] { emit AllLocationsClicked(); });
    connect(save, &QPushButton::clicked, this, [this] { emit SaveSettingsClicked(); });
    connect(open, &QPushButton::clicked, this, [this] { emit OpenSettingsClicked(); });
    connect(m_abundGrid, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (m_filling || column != 1)
            return;
        m_sizes.Grid().SetCell(1, row + 1, m_abundGrid->item(row, column)->text());
    });
}

void DotStylePanel::SetStyles(const maps::DotStyles& styles) {
    for (int slot = 0; slot < maps::kStyleSlotCount; ++slot)
        m_slots[std::size_t(slot)]->SetStyle(styles.entries[std::size_t(slot)]);
    m_fontName = styles.fontName;
    m_fontSize = styles.fontSize;
}

maps::DotStyles DotStylePanel::Styles() const {
    maps::DotStyles styles;
    for (int slot = 0; slot < maps::kStyleSlotCount; ++slot)
        styles.entries[std::size_t(slot)] = m_slots[std::size_t(slot)]->Style();
    styles.fontName = m_fontName;
    styles.fontSize = m_fontSize;
    return styles;
}

maps::StyleTab DotStylePanel::Tab() const {
    return maps::StyleTab(std::max(m_pages->currentIndex(), 0));
}

void DotStylePanel::SetTab(maps::StyleTab tab) {
    m_switching = true;
    m_pages->setCurrentIndex(int(tab));
    m_switching = false;
}

maps::Placement DotStylePanel::Placement() const {
    if (m_kmSquare->isChecked())
        return maps::Placement::KmSquare;
    if (m_hourSquare->isChecked() && !m_hourSquare->isHidden())
        return maps::Placement::HourSquare;
    return maps::Placement::Exact;
}

QString DotStylePanel::OutlineWidth() const {
    return m_outlineWidth->currentText();
}

QString DotStylePanel::SeparationYear() const {
    return m_separationYear->text();
}

void DotStylePanel::Prepare(bool latLon, const QString& separationYear) {
    for (SlotEditor* editor : m_slots)
        editor->DefaultShape();
    SetListText(m_outlineWidth, QStringLiteral("1"));
    m_separationYear->setText(separationYear);
    m_kmSquare->setText(maps::ResStr(latLon ? maps::rsPerSquareButton : maps::rsKmSquareButton));
    if (latLon && m_hourSquare->isChecked())
        m_exact->setChecked(true);
    m_hourSquare->setVisible(!latLon);
    m_outlineLabel->setVisible(!latLon);
    m_outlineWidth->setVisible(!latLon);
}

void DotStylePanel::ShowAbundanceSizes() {
    m_filling = true;
    const core::Grid& grid = m_sizes.Grid();
    m_abundGrid->setRowCount(std::max(grid.RowCount() - 1, 0));
    for (int row = 1; row < grid.RowCount(); ++row) {
        auto* abundance = new QTableWidgetItem(grid.Cell(0, row));
        abundance->setFlags(abundance->flags() & ~Qt::ItemIsEditable);
        m_abundGrid->setItem(row - 1, 0, abundance);
        m_abundGrid->setItem(row - 1, 1,
                             new QTableWidgetItem(grid.ColCount() > 1 ? grid.Cell(1, row) : ""));
    }
    m_filling = false;
}

void DotStylePanel::SetLayerLabel(maps::StyleTab tab, const QString& text) {
    m_layerLabels[std::size_t(tab)]->setText(text);
}

QString DotStylePanel::LayerLabel(maps::StyleTab tab) const {
    return m_layerLabels[std::size_t(tab)]->text();
}

void DotStylePanel::ClearLayerLabels() {
    for (QLabel* label : m_layerLabels)
        label->clear();
}

} // namespace velmora::ui
