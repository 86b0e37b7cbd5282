#include "ui/tdistributionform.h"

#include "charts/phenology.h"
#include "core/coordinates.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/imagefiles.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/taxonnames.h"
#include "maps/kml.h"
#include "maps/mapcalibration.h"
#include "maps/messages.h"
#include "maps/recordfilter.h"
#include "session/session.h"
#include "ui/dotstylepanel.h"
#include "ui/formwidgets.h"
#include "ui/mappanels.h"
#include "ui/tboxplotform.h"
#include "ui/tplotpanelwidget.h"
#include "ui/tzoomform.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
// The width of the column of controls beside the map.
constexpr int kControlColumnWidth = 417;
} // namespace

// ---------------------------------------------------------------- the map panel

MapPanel::MapPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MapPanel"));
    setMouseTracking(true);
    setMinimumSize(200, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MapPanel::ShowFullSize(const QImage* image) {
    m_full = image;
    m_fitted = false;
    m_fittedPicture = QImage();
    m_position = Bounded(m_position);
    update();
}

void MapPanel::ShowFitted(QImage fitted, const QImage* fullSize) {
    m_full = fullSize;
    m_fitted = true;
    m_fittedPicture = std::move(fitted);
    m_position = QPoint(0, 0);
    update();
}

const QImage& MapPanel::Picture() const {
    static const QImage none;
    if (m_fitted)
        return m_fittedPicture;
    return m_full ? *m_full : none;
}

const QImage& MapPanel::FullPicture() const {
    static const QImage none;
    return m_full ? *m_full : none;
}

QPoint MapPanel::FullPixel(QPoint panelPosition) const {
    const QPoint shown = panelPosition - m_position;
    const QImage& picture = Picture();
    const QImage& full = FullPicture();
    if (!m_fitted || picture.isNull() || full.isNull())
        return shown;
    return {int(shown.x() * qint64(full.width()) / picture.width()),
            int(shown.y() * qint64(full.height()) / picture.height())};
}

void MapPanel::SetImagePosition(QPoint position) {
    m_position = m_fitted ? QPoint(0, 0) : Bounded(position);
    update();
}

QPoint MapPanel::Bounded(QPoint position) const {
    auto axis = [](int value, int image, int panel) {
        if (image > panel)
            return std::clamp(value, panel - image, 0); // no gap inside the panel
        return std::max(value, 0);
    };
    const QImage& picture = Picture();
    return {axis(position.x(), picture.width(), width()),
            axis(position.y(), picture.height(), height())};
}

void MapPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (const QImage& picture = Picture(); !picture.isNull())
        painter.drawImage(m_position, picture);
}

void MapPanel::mousePressEvent(QMouseEvent* event) {
    m_dragging = true;
    m_pressedAt = event->position().toPoint();
    m_positionAtPress = m_position;
    if (event->modifiers() & Qt::AltModifier)
        emit AltPressed(m_pressedAt - m_position);
}

void MapPanel::mouseMoveEvent(QMouseEvent* event) {
    // The keyboard follows the pointer over the map (the calibration's keys act on it).
    if (QWidget* top = window())
        top->setFocus();
    if (!m_dragging || m_fitted || !(event->buttons() & Qt::RightButton))
        return;
    SetImagePosition(m_positionAtPress + event->position().toPoint() - m_pressedAt);
}

void MapPanel::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

// ---------------------------------------------------------------- the window

namespace {
// Marks the records of the runs stale when the tables change.
class SourceWatch final : public core::DatabaseListener {
public:
    SourceWatch(core::DatabaseStore& store, bool& stale) : m_store(store), m_stale(stale) {
        m_store.AddListener(this);
    }
    ~SourceWatch() override { m_store.RemoveListener(this); }
    void TablesClosed() override { m_stale = true; }
    void DatabaseOpened(bool) override { m_stale = true; }
    void LocationsChanged() override { m_stale = true; }
    void SamplesChanged() override { m_stale = true; }

private:
    core::DatabaseStore& m_store;
    bool& m_stale;
};

QCheckBox* NamedCheck(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}
} // namespace

TDistributionForm::TDistributionForm(session::Session& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_store(session.Store()), m_map(m_store),
      m_dotStyles(m_store) {
    m_sourceListener = std::make_unique<SourceWatch>(m_store, m_sourceStale);
    setObjectName(QStringLiteral("DistributionForm"));
    setWindowTitle(QStringLiteral("Stippenkaarten"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);

    auto* buttons = new QHBoxLayout;
    m_openKaart = NamedButton("OpenKaart", "Open Kaart", this);
    m_calLabel = new QLabel(this);
    m_calLabel->setObjectName(QStringLiteral("CalLabel"));
    m_fitToWindow = new QCheckBox(QStringLiteral("Pas kaartgrootte aan venstergrootte aan"), this);
    m_fitToWindow->setObjectName(QStringLiteral("FitToWindow"));
    buttons->addWidget(m_openKaart);
    m_calibrate = NamedButton("Calibreren", "Kalibreer kaart", this);
    buttons->addWidget(m_calibrate);
    buttons->addWidget(m_calLabel);
    buttons->addWidget(m_fitToWindow);
    buttons->addStretch(1);
    QPushButton* kaart = NamedButton("KaartKnop", "Kaart", this);
    QPushButton* excursie = NamedButton("TabellenKnop", "Excursie", this);
    QPushButton* milieu = NamedButton("MilieuKnop", "Milieu", this);
    buttons->addWidget(kaart);
    buttons->addWidget(excursie);
    buttons->addWidget(milieu);
    layout->addLayout(buttons);

    auto* body = new QHBoxLayout;
    auto* column = new QVBoxLayout;
    m_calGroup = new QGroupBox(QStringLiteral("Stippenkaart calibratie"), this);
    m_calGroup->setObjectName(QStringLiteral("CalibrationGroup"));
    m_calGroup->setFixedWidth(kControlColumnWidth);
    auto* calibration = new QGridLayout(m_calGroup);
    const char* instructions[4][2] = {
        {"Instr1lbl",
         "Gebruik de ALT-toets en klik op een plek met bekende coordinaten (of gebruik "
         "ALT + ENTER). Gebruik ALT + cursor toetsen voor accurate positionering"},
        {"Instr2lbl", "Voer de bekende coordinaten ( X dan Y) in en klik op OK:"},
        {"Instr3lbl", "ALT + klik op een tweede plek "},
        {"Instr4lbl", "Voer ook hier de bekende X en Y coordinaten in en klik op OK:"}};
    for (int i = 0; i < 4; ++i) {
        m_instructions[i] = NamedLabel(instructions[i][0], instructions[i][1], m_calGroup);
        m_instructions[i]->setWordWrap(true);
    }
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(m_calGroup);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    m_cx1 = edit("CX1");
    m_cy1 = edit("CY1");
    m_cx2 = edit("CX2");
    m_cy2 = edit("CY2");
    m_ok2 = NamedButton("OK2", "OK", m_calGroup);
    m_ok = NamedButton("OK", "OK", m_calGroup);
    m_annuleer = NamedButton("Annuleer", "Annuleer", m_calGroup);
    calibration->addWidget(m_instructions[0], 0, 0, 1, 3);
    calibration->addWidget(m_instructions[1], 1, 0, 1, 3);
    calibration->addWidget(m_cx1, 2, 0);
    calibration->addWidget(m_cy1, 2, 1);
    calibration->addWidget(m_ok2, 2, 2);
    calibration->addWidget(m_instructions[2], 3, 0, 1, 3);
    calibration->addWidget(m_instructions[3], 4, 0, 1, 3);
    calibration->addWidget(m_cx2, 5, 0);
    calibration->addWidget(m_cy2, 5, 1);
    calibration->addWidget(m_ok, 5, 2);
    calibration->addWidget(m_annuleer, 6, 2);
    m_calGroup->hide();
    column->addWidget(m_calGroup);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    m_tabs->setFixedWidth(kControlColumnWidth);

    // The tab "Stippen": the taxon list with its search and options, the period, and the
    // styles; in a scroll area for small screens.
    auto* dotsScroll = new QScrollArea(m_tabs);
    dotsScroll->setObjectName(QStringLiteral("Stippen"));
    dotsScroll->setWidgetResizable(true);
    dotsScroll->setFrameShape(QFrame::NoFrame);
    dotsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* dots = new QWidget(dotsScroll);
    dots->setObjectName(QStringLiteral("StippenPage"));
    auto* dotsLayout = new QVBoxLayout(dots);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(NamedLabel("ZoekLabel", "Zoek: ", dots));
    m_search = new QLineEdit(dots);
    m_search->setObjectName(QStringLiteral("ZoekEdit"));
    m_search->setClearButtonEnabled(true);
    searchRow->addWidget(m_search, 1);
    dotsLayout->addLayout(searchRow);
    m_names = new QListWidget(dots);
    m_names->setObjectName(QStringLiteral("Names"));
    m_names->setMinimumHeight(140);
    dotsLayout->addWidget(m_names, 1);
    auto* optionGrid = new QGridLayout;
    m_negOT = NamedCheck("NegOT", "Negeer D, 0, ? en T ", dots);
    m_currentNames = NamedCheck("CurrentNames", "Gebruik huidige namen", dots);
    m_zygosporen = NamedCheck("Zygosporen", "Alleen zygosporen", dots);
    m_negeerVar = NamedCheck("Negeervar", "Negeer variëteiten", dots);
    optionGrid->addWidget(m_negOT, 0, 0);
    optionGrid->addWidget(m_currentNames, 0, 1);
    optionGrid->addWidget(m_zygosporen, 1, 0);
    optionGrid->addWidget(m_negeerVar, 1, 1);
    dotsLayout->addLayout(optionGrid);
    auto* periodRow = new QHBoxLayout;
    m_periode = NamedCheck("Periode", "Periode:", dots);
    m_beginJaar = new QLineEdit(dots);
    m_beginJaar->setObjectName(QStringLiteral("BeginJaar"));
    m_beginJaar->setMaximumWidth(60);
    m_eindJaar = new QLineEdit(dots);
    m_eindJaar->setObjectName(QStringLiteral("EindJaar"));
    m_eindJaar->setMaximumWidth(60);
    periodRow->addWidget(m_periode);
    periodRow->addWidget(NamedLabel("BeginJaarLabel", "Beginjaar >=", dots));
    periodRow->addWidget(m_beginJaar);
    periodRow->addWidget(NamedLabel("EindJaarLabel", "Eindjaar<=", dots));
    periodRow->addWidget(m_eindJaar);
    periodRow->addStretch(1);
    dotsLayout->addLayout(periodRow);
    // The record filter: rows of field, operator and value.
    m_filterGroup = new QGroupBox(maps::ResStr(maps::rsFilterCaption), dots);
    m_filterGroup->setObjectName(QStringLiteral("FilterGroup"));
    auto* filterLayout = new QGridLayout(m_filterGroup);
    m_filterCheck = NamedCheck("FilterCheck", "Filter", m_filterGroup);
    m_filterGrid = new QTableWidget(1, maps::kFilterGridColumns, m_filterGroup);
    m_filterGrid->setObjectName(QStringLiteral("FilterGrid"));
    m_filterGrid->setHorizontalHeaderLabels({maps::ResStr(maps::rsFilterFieldHeader),
                                             maps::ResStr(maps::rsFilterOperatorHeader),
                                             maps::ResStr(maps::rsFilterValueHeader)});
    m_filterGrid->verticalHeader()->hide();
    m_filterGrid->setColumnWidth(0, 90);
    m_filterGrid->setColumnWidth(1, 50);
    m_filterGrid->horizontalHeader()->setStretchLastSection(true);
    m_filterGrid->verticalHeader()->setDefaultSectionSize(m_filterGrid->fontMetrics().height() + 6);
    m_filterGrid->setMinimumHeight(4 * (m_filterGrid->fontMetrics().height() + 6) + 4);
    m_filterGrid->setMaximumHeight(8 * (m_filterGrid->fontMetrics().height() + 6) + 4);
    m_filterGrid->viewport()->setMouseTracking(true);
    m_filterGrid->viewport()->installEventFilter(this);
    QPushButton* addFilter = NamedButton("AddFilter", "+ Filter", m_filterGroup);
    QPushButton* deleteFilter = NamedButton("DeleteFilter", "- Filter", m_filterGroup);
    QPushButton* clearFilter = NamedButton("ClearFilter", "Wis Filter", m_filterGroup);
    QPushButton* saveFilter = NamedButton("SaveFilter", "Save Filter", m_filterGroup);
    QPushButton* openFilter = NamedButton("OpenFilter", "Open Filter", m_filterGroup);
    filterLayout->addWidget(m_filterCheck, 0, 0);
    filterLayout->addWidget(addFilter, 0, 1);
    filterLayout->addWidget(deleteFilter, 0, 2);
    filterLayout->addWidget(clearFilter, 0, 3);
    filterLayout->addWidget(m_filterGrid, 1, 0, 1, 4);
    filterLayout->addWidget(saveFilter, 2, 0, 1, 2);
    filterLayout->addWidget(openFilter, 2, 2, 1, 2);
    dotsLayout->addWidget(m_filterGroup);
    connect(m_filterCheck, &QCheckBox::clicked, this, [this] { FilterClick(); });
    connect(addFilter, &QPushButton::clicked, this, [this] { AddFilterClick(); });
    connect(deleteFilter, &QPushButton::clicked, this, [this] { DeleteFilterClick(); });
    connect(clearFilter, &QPushButton::clicked, this, [this] { ClearFilterClick(); });
    connect(saveFilter, &QPushButton::clicked, this, [this] { SaveFilterClick(); });
    connect(openFilter, &QPushButton::clicked, this, [this] { OpenFilterClick(); });
    // An edited filter is used only after it is checked again.
    connect(m_filterGrid, &QTableWidget::itemChanged, this,
            [this] { m_filterCheck->setChecked(false); });
    auto* mapButtons = new QHBoxLayout;
    QPushButton* wisKaart = NamedButton("WisKaart", "Wis Kaart", dots);
    QPushButton* googleEarth = NamedButton("ToonInGoogleEarth", "Toon in Google Earth", dots);
    mapButtons->addWidget(wisKaart);
    mapButtons->addWidget(googleEarth);
    dotsLayout->addLayout(mapButtons);
    m_styles = new DotStylePanel(dots);
    dotsLayout->addWidget(m_styles);
    QPushButton* saveList = NamedButton("BewaarSoortenlijst", "Bewaar Soortenlijst", dots);
    QPushButton* saveListAuthors =
        NamedButton("BewaarSoortenlijstauteur", "Bewaar Soortenlijst met Auteursnaam", dots);
    dotsLayout->addWidget(saveList);
    dotsLayout->addWidget(saveListAuthors);
    dotsScroll->setWidget(dots);
    m_tabs->addTab(dotsScroll, QStringLiteral("Stippen"));

    auto* save = new QWidget(m_tabs);
    save->setObjectName(QStringLiteral("Bewaar"));
    auto* saveLayout = new QVBoxLayout(save);
    m_saveName = new QLabel(save);
    m_saveName->setObjectName(QStringLiteral("SaveNameLabel"));
    saveLayout->addWidget(m_saveName);
    auto* saveGroup = new QGroupBox(QStringLiteral("Bewaar kaart"), save);
    saveGroup->setObjectName(QStringLiteral("SaveGroup"));
    auto* saveButtons = new QVBoxLayout(saveGroup);
    const struct {
        const char* name;
        const char* caption;
        const char* extension;
    } formats[] = {{"SaveBMP", "Als bitmap (BMP)", ".bmp"},
                   {"SaveJPG", "Gecomprimeerd als JPG", ".jpg"},
                   {"SavePNG", "Gecomprimeerd als PNG", ".png"}};
    for (const auto& f : formats) {
        QPushButton* button = NamedButton(f.name, f.caption, saveGroup);
        const QString extension = QString::fromLatin1(f.extension);
        connect(button, &QPushButton::clicked, this,
                [this, extension] { SaveMapClick(extension); });
        saveButtons->addWidget(button);
    }
    saveLayout->addWidget(saveGroup);
    m_savePhEc = NamedCheck("SavePhEc", "Bewaar ook de pH-EGV grafiek", save);
    m_savePhenology = NamedCheck("SavePhenology", "Bewaar ook  de fenologiegrafiek", save);
    m_saveBoxplot = NamedCheck("SaveBoxplot", "Bewaar ook de pH en EGV Boxplot", save);
    saveLayout->addWidget(m_savePhEc);
    saveLayout->addWidget(m_savePhenology);
    saveLayout->addWidget(m_saveBoxplot);
    saveLayout->addStretch(1);
    m_tabs->addTab(save, QStringLiteral("Bewaar"));

    // The tab "Legenda": the frequency lines and the legend written onto the map.
    auto* legend = new QWidget(m_tabs);
    legend->setObjectName(QStringLiteral("Legenda"));
    auto* legendLayout = new QVBoxLayout(legend);
    auto* corners = new QGroupBox(QStringLiteral("Plaats"), legend);
    corners->setObjectName(QStringLiteral("PlaatsGroup"));
    auto* cornerGrid = new QGridLayout(corners);
    const struct {
        const char* name;
        const char* caption;
        maps::Corner corner;
        int row, column;
    } cornerButtons[] = {{"LinksBoven", "Links boven", maps::Corner::TopLeft, 0, 0},
                         {"RechtsBoven", "Rechts boven", maps::Corner::TopRight, 0, 1},
                         {"LinksOnder", "Links onder", maps::Corner::BottomLeft, 1, 0},
                         {"RechtsOnder", "Rechts onder", maps::Corner::BottomRight, 1, 1}};
    for (const auto& c : cornerButtons) {
        auto* button = new QRadioButton(QString::fromLatin1(c.caption), corners);
        button->setObjectName(QString::fromLatin1(c.name));
        button->setChecked(c.corner == maps::Corner::TopRight);
        const maps::Corner corner = c.corner;
        connect(button, &QRadioButton::clicked, this, [this, corner] { PositionClick(corner); });
        cornerGrid->addWidget(button, c.row, c.column);
    }
    legendLayout->addWidget(corners);
    auto* fontGroup = new QGroupBox(QStringLiteral("Font"), legend);
    fontGroup->setObjectName(QStringLiteral("FontGroup"));
    auto* fontGrid = new QGridLayout(fontGroup);
    m_fontStyle = new QFontComboBox(fontGroup);
    m_fontStyle->setObjectName(QStringLiteral("FontStyle"));
    m_fontStyle->setCurrentFont(QFont(QStringLiteral("Verdana")));
    m_fontBar = new QSlider(Qt::Horizontal, fontGroup);
    m_fontBar->setObjectName(QStringLiteral("FontBar"));
    m_fontBar->setRange(4, 100);
    m_fontBar->setValue(9);
    m_fontSize = new QLineEdit(QStringLiteral("9"), fontGroup);
    m_fontSize->setObjectName(QStringLiteral("FontGrootte"));
    m_fontSize->setReadOnly(true);
    m_fontSize->setMaximumWidth(50);
    fontGrid->addWidget(NamedLabel("FontStyleLabel", "Font Style", fontGroup), 0, 0);
    fontGrid->addWidget(m_fontStyle, 0, 1, 1, 3);
    fontGrid->addWidget(NamedLabel("KleinLabel", "Klein", fontGroup), 1, 0);
    fontGrid->addWidget(m_fontBar, 1, 1, 1, 2);
    fontGrid->addWidget(NamedLabel("GrootLabel", "Groot", fontGroup), 1, 3);
    fontGrid->addWidget(NamedLabel("FontGrootteLabel", "Font grootte", fontGroup), 2, 0);
    fontGrid->addWidget(m_fontSize, 2, 1);
    legendLayout->addWidget(fontGroup);
    m_memo = new QPlainTextEdit(legend);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setMaximumHeight(60);
    legendLayout->addWidget(m_memo);
    QPushButton* placeFrequency = NamedButton("UFKFButton", "Plaats Freq. en Klasse", legend);
    legendLayout->addWidget(placeFrequency);
    m_legendGrid = new QTableWidget(maps::kLegendRows, 2, legend);
    m_legendGrid->setObjectName(QStringLiteral("LegendGrid"));
    m_legendGrid->horizontalHeader()->hide();
    m_legendGrid->verticalHeader()->hide();
    m_legendGrid->setColumnWidth(0, 45); // "Prim" to "Sec5" in full
    m_legendGrid->horizontalHeader()->setStretchLastSection(true);
    m_legendGrid->verticalHeader()->setDefaultSectionSize(m_legendGrid->fontMetrics().height() + 6);
    m_legendGrid->setFixedHeight(maps::kLegendRows * (m_legendGrid->fontMetrics().height() + 6) +
                                 4);
    for (int row = 0; row < maps::kLegendRows; ++row) {
        m_legendGrid->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
        m_legendGrid->setItem(row, 1, new QTableWidgetItem(QString()));
    }
    legendLayout->addWidget(m_legendGrid);
    auto* legendButtons = new QHBoxLayout;
    QPushButton* makeLegend = NamedButton("MaakLegenda", "Maak Legenda", legend);
    QPushButton* placeLegend = NamedButton("PlaceLegend", "Plaats Legenda", legend);
    QPushButton* undoText = NamedButton("UndoText", "Verwijder tekst", legend);
    legendButtons->addWidget(makeLegend);
    legendButtons->addWidget(placeLegend);
    legendButtons->addWidget(undoText);
    legendLayout->addLayout(legendButtons);
    legendLayout->addStretch(1);
    m_tabs->addTab(legend, QStringLiteral("Legenda"));
    connect(placeFrequency, &QPushButton::clicked, this, [this] { UFKFButtonClick(); });
    connect(makeLegend, &QPushButton::clicked, this, [this] { MaakLegendaClick(); });
    connect(placeLegend, &QPushButton::clicked, this, [this] { PlaceLegendClick(); });
    connect(undoText, &QPushButton::clicked, this, [this] { UndoClick(); });
    connect(m_fontBar, &QSlider::valueChanged, this, [this] { FontBarChange(); });
    connect(m_fontStyle, &QFontComboBox::currentFontChanged, this, [this] {
        m_styles->SetLegendFont(m_fontStyle->currentFont().family(), m_fontSize->text());
    });
    column->addWidget(m_tabs, 1);
    body->addLayout(column);

    auto* mapSide = new QVBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("WETLabel"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    mapSide->addWidget(m_title);
    m_panel = new MapPanel(this);
    mapSide->addWidget(m_panel, 1);
    auto* mapView = new QWidget(this);
    mapView->setObjectName(QStringLiteral("KaartPanel"));
    mapView->setLayout(mapSide);
    mapSide->setContentsMargins(0, 0, 0, 0);
    m_views = new QStackedWidget(this);
    m_views->setObjectName(QStringLiteral("Views"));
    m_excursion = new ExcursionPanel(m_views);
    m_environmentPanel = new EnvironmentPanel(m_views);
    m_views->addWidget(mapView);
    m_views->addWidget(m_excursion);
    m_views->addWidget(m_environmentPanel);
    body->addWidget(m_views, 1);
    // The large phenology chart, saved with the map; never shown.
    m_phenologyLarge = new TPlotPanelWidget(this);
    m_phenologyLarge->setObjectName(QStringLiteral("FenologiePlot1"));
    m_phenologyLarge->hide();
    charts::SetupPhenologyPlot1(m_phenologyLarge->Panel());
    charts::SetupPhenologyPlot2(m_environmentPanel->PhenologyPlot()->Panel());
    m_environmentPanel->PhenologyPlot()->FitToPanel();
    charts::SetupPHEGVPlot(m_environmentPanel->PhEcPlot()->Panel());
    MakeEnvironmentRun(m_ownBoxplots);
    m_busyNotice = new QLabel(this);
    m_busyNotice->setObjectName(QStringLiteral("BusyNotice"));
    m_busyNotice->setFrameShape(QFrame::Panel);
    m_busyNotice->setAlignment(Qt::AlignCenter);
    m_busyNotice->setAutoFillBackground(true);
    m_busyNotice->hide();
    layout->addLayout(body, 1);

    connect(m_openKaart, &QPushButton::clicked, this, [this] { OpenKaartClick(); });
    connect(m_calibrate, &QPushButton::clicked, this, [this] { CalibrerenClick(); });
    connect(m_ok2, &QPushButton::clicked, this, [this] { OK2Click(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(m_annuleer, &QPushButton::clicked, this, [this] { AnnuleerClick(); });
    connect(m_panel, &MapPanel::AltPressed, this, [this](QPoint p) { ImageAltPress(p); });
    connect(kaart, &QPushButton::clicked, this, [this] { KaartKnopClick(); });
    connect(excursie, &QPushButton::clicked, this, [this] { TabellenKnopClick(); });
    connect(milieu, &QPushButton::clicked, this, [this] { MilieuKnopClick(); });
    connect(m_search, &QLineEdit::textChanged, this, [this] { ZoekEditChange(); });
    connect(m_names, &QListWidget::itemClicked, this, [this] { NamesClick(); });
    connect(m_names, &QListWidget::itemActivated, this, [this] { NamesClick(); });
    for (QCheckBox* option : {m_negOT, m_currentNames, m_zygosporen})
        connect(option, &QCheckBox::clicked, this, [this] { BuildNameLists(); });
    connect(m_negeerVar, &QCheckBox::clicked, this, [this] { BuildSpeciesList(); });
    connect(m_periode, &QCheckBox::clicked, this, [this] { PeriodeClick(); });
    connect(wisKaart, &QPushButton::clicked, this, [this] { WisKaartClick(); });
    connect(googleEarth, &QPushButton::clicked, this, [this] { ToonInGoogleEarthClick(); });
    connect(saveList, &QPushButton::clicked, this, [this] { BewaarSoortenlijstClick(false); });
    connect(saveListAuthors, &QPushButton::clicked, this,
            [this] { BewaarSoortenlijstClick(true); });
    connect(m_excursion, &ExcursionPanel::RowSelected, this,
            [this](int row) { DataGridSelectCell(row); });
    connect(m_excursion, &ExcursionPanel::HeaderPressed, this, [this](int column, bool down) {
        m_excursion->MarkSort(m_tables->SortLocations(column, down));
        m_excursion->ShowLocations(&m_tables->LocationTable());
    });
    connect(m_excursion, &ExcursionPanel::SortButtonPressed, this,
            [this](maps::SortMark button, bool down) {
                m_tables->SortLocationsBy(button, down);
                m_excursion->MarkSort(button);
                m_excursion->ShowLocations(&m_tables->LocationTable());
            });
    connect(m_excursion, &ExcursionPanel::EditRecordClicked, this, [this] { EditRecordClick(); });
    connect(m_styles, &DotStylePanel::Restyled, this, [this] { Stipmaat2Change(); });
    connect(m_styles, &DotStylePanel::PlacementClicked, this, [this] { rbClick(); });
    connect(m_styles, &DotStylePanel::TabChosen, this, [this] { PCChange(); });
    connect(m_styles, &DotStylePanel::RedrawClicked, this, [this] { TekenOpnieuwClick(); });
    connect(m_styles, &DotStylePanel::AllLocationsClicked, this,
            [this] { AllLocationsbtnClick(); });
    connect(m_styles, &DotStylePanel::SaveSettingsClicked, this,
            [this] { SaveDotSettingsClick(); });
    connect(m_styles, &DotStylePanel::OpenSettingsClicked, this,
            [this] { OpenDotSettingsClick(); });
    try {
        m_classes = maps::FrequencyClassTable::Load(core::LibDir() +
                                                    QStringLiteral("Frequentieklassen.dbf"));
    } catch (const core::Error&) {
        // Without the table the frequency lines are left out; the maps work all the same.
    }
    m_openDocument = [](const QString& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    // The Alt keys of the calibration reach the window whichever control has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    connect(m_fitToWindow, &QCheckBox::toggled, this, [this] { FitToWindowClick(); });
}

TDistributionForm::~TDistributionForm() {
    // The panels show the run tables, which go before the panels do.
    ForgetRunTables();
}

void TDistributionForm::ForgetRunTables() {
    m_excursion->ShowLocations(nullptr);
    m_environmentPanel->ForgetTables();
}

int TDistributionForm::Run() {
    ShowForm();
    exec();
    return m_editLocationId;
}

void TDistributionForm::ShowForm() {
    const core::Settings& settings = core::CurrentSettings();
    // The stored place, kept on the screen (a smaller screen than the one it was stored on).
    QRect place(settings.distLeft, settings.distTop, std::max(settings.distWidth, 640),
                std::max(settings.distHeight, 480));
    if (const QScreen* shown = screen()) {
        const QRect available = shown->availableGeometry();
        place.setSize(place.size().boundedTo(available.size()));
        place.moveLeft(
            std::clamp(place.left(), available.left(), available.right() + 1 - place.width()));
        place.moveTop(
            std::clamp(place.top(), available.top(), available.bottom() + 1 - place.height()));
    }
    resize(place.size());
    move(place.topLeft());
    if (settings.distState == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
    // The styles of the database, as the main window has just read them.
    m_styles->SetStyles(m_dotStyles.styles);
    ShowLegendFont(m_dotStyles.styles);
    m_styles->Prepare(m_store.CoordinateSystem() == core::kLatLon, settings.separatieJaar);
    m_dutchRules = settings.language.compare(QLatin1String("NL"), Qt::CaseInsensitive) == 0;
    m_styles->SetTab(maps::StyleTab::Primary);
    m_tabs->setCurrentIndex(0);
    m_busy = false;
    m_editLocationId = 0;
    // The map in view, the controls from their top, no taxon chosen yet.
    m_views->setCurrentIndex(0);
    if (auto* scroll = qobject_cast<QScrollArea*>(m_tabs->widget(0)))
        scroll->verticalScrollBar()->setValue(0);
    m_names->clearSelection();
    m_names->setCurrentItem(nullptr);
    ClearFilterClick();
    // The shared period, and the squares of the database within it.
    m_beginJaar->setText(settings.beginJaar);
    m_eindJaar->setText(settings.eindJaar);
    m_periode->setChecked(m_store.periodFilterOn);
    if (m_store.IsOpen())
        m_totals = m_store.SquareTotals();
    // The taxon list, when samples changed since it was built.
    if (m_store.samplesChanged || m_sourceStale || m_sampleNames.isEmpty()) {
        m_store.samplesChanged = false;
        m_sourceStale = true;
        BuildNameLists();
    }
    if (!m_map.Loaded()) {
        m_map.LoadStoredMap();
        ShowMap();
        m_panel->SetImagePosition({settings.distMapLeft, settings.distMapTop});
    } else {
        ShowMap();
    }
    ShowCalibrationState();
}

void TDistributionForm::ShowLegendFont(const maps::DotStyles& styles) {
    m_fontStyle->setCurrentFont(QFont(styles.fontName));
    m_fontBar->setRange(4, 100);
    m_fontBar->setValue(maps::LegendFontSize(styles));
    FontBarChange();
}

void TDistributionForm::ShowCalibrationState() {
    // A loaded map sets the smallest legend font: one that stays readable on it.
    if (!m_map.PlainMap().isNull())
        m_fontBar->setMinimum(std::clamp(m_map.LegendFontMinimum(), 1, 100));
    if (!m_map.Caption().isEmpty())
        setWindowTitle(m_map.Caption());
    m_calLabel->setText(m_map.CalibrationLabel());
    // Red while the map carries no calibration; the button-text colour otherwise.
    QPalette palette = m_calLabel->palette();
    palette.setColor(QPalette::WindowText, m_map.IsCalibrated()
                                               ? this->palette().color(QPalette::ButtonText)
                                               : QColor(Qt::red));
    m_calLabel->setPalette(palette);
}

void TDistributionForm::ShowMap() {
    const QImage& working = m_map.WorkingImage();
    if (m_fitToWindow->isChecked() && !working.isNull())
        m_panel->ShowFitted(m_map.FittedView(m_panel->size()), &working);
    else
        m_panel->ShowFullSize(&working);
}

void TDistributionForm::FitToWindowClick() {
    ShowMap();
}

void TDistributionForm::OpenKaartClick() {
    core::Settings& settings = core::CurrentSettings();
    const QString path = core::UserPrompts().ChooseOpenFile(
        QString(), core::MapsDir(),
        QStringLiteral("Image files (bmp, jpg, png) (*.bmp *.jpg *.png);;All files (*)"));
    if (path.isEmpty())
        return;
    m_map.OpenMap(path);
    ShowMap();
    m_panel->SetImagePosition({0, 0});
    settings.distMapTop = 0;
    settings.distMapLeft = 0;
    ShowCalibrationState();
}

void TDistributionForm::SaveMapClick(const QString& extension) {
    core::Settings& settings = core::CurrentSettings();
    const QString folder = settings.lastUsedMapDir.isEmpty() ? QDir::homePath() + QLatin1Char('/')
                                                             : settings.lastUsedMapDir;
    const QString start = folder + maps::SafeFileName(m_saveName->text()) + extension;
    // The dialog opens on the type of the button pressed.
    QStringList types = {QStringLiteral("BMP ImageFile (*.bmp)"),
                         QStringLiteral("JPG Image File (*.jpg)"),
                         QStringLiteral("PNG Image File (*.png)")};
    std::stable_partition(types.begin(), types.end(), [&](const QString& type) {
        return type.contains(QLatin1Char('*') + extension);
    });
    types << QStringLiteral("All files (*)");
    const QString path =
        ChooseFileToWrite(QString(), start, types.join(QStringLiteral(";;")), extension);
    if (path.isEmpty())
        return;
    settings.lastUsedMapDir = QFileInfo(path).absolutePath() + QLatin1Char('/');
    try {
        const BusyCursor busy;
        m_map.SaveWorkingImage(maps::SavedImagePath(path, maps::kMapFilePart, extension));
        // The plots asked for, beside the map, in the map's format.
        if (m_savePhEc->isChecked()) {
            const charts::TPlotPanel& plot = m_boxplotWindow
                                                 ? m_boxplotWindow->PHEGV()
                                                 : m_environmentPanel->PhEcPlot()->Panel();
            core::SaveImage(plot.PlotBMP(),
                            maps::SavedImagePath(path, maps::kPhEcFilePart, extension));
        }
        if (m_savePhenology->isChecked())
            core::SaveImage(m_phenologyLarge->Panel().PlotBMP(),
                            maps::SavedImagePath(path, maps::kPhenologyFilePart, extension));
        if (m_saveBoxplot->isChecked()) {
            charts::BoxplotData& boxplots = m_environment->Boxplots();
            core::SaveImage(boxplots.DrawOwnBoxplots(),
                            maps::SavedImagePath(path, maps::kBoxplotFilePart, extension));
        }
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

void TDistributionForm::FormCloseQuery() {
    core::Settings& settings = core::CurrentSettings();
    const bool maximised = windowState() & Qt::WindowMaximized;
    if (!maximised) {
        settings.distLeft = x();
        settings.distTop = y();
        settings.distWidth = width();
        settings.distHeight = height();
    }
    settings.distState = maximised ? 1 : 0;
    settings.distMapLeft = m_panel->ImagePosition().x();
    settings.distMapTop = m_panel->ImagePosition().y();
}

void TDistributionForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // A resize by the user starts the map at its corner again; the first layout keeps the
    // stored position.
    if (event->oldSize().isValid())
        m_panel->SetImagePosition({0, 0});
    ShowMap();
    PlaceMagnifier();
    if (m_views->currentIndex() == 2)
        DrawBoxplotPicture();
}

void TDistributionForm::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    PlaceMagnifier();
}

// ---------------------------------------------------------------- calibration

void TDistributionForm::CalibrerenClick() {
    if (!m_zoom) {
        m_zoom = new TZoomForm(*m_panel, this);
        m_zoom->show();
        PlaceMagnifier();
    }
    m_panel->setCursor(Qt::CrossCursor);
    m_step = 1;
    for (int i = 1; i < 4; ++i)
        m_instructions[i]->hide();
    for (QLineEdit* e : {m_cx1, m_cy1, m_cx2, m_cy2}) {
        e->clear();
        e->hide();
    }
    m_ok2->hide();
    m_ok->hide();
    m_instructions[0]->show();
    m_calGroup->show();
}

void TDistributionForm::ImageAltPress(QPoint shownPixel) {
    if (m_step == 1) {
        m_first = shownPixel;
        m_instructions[1]->show();
        m_cx1->show();
        m_cy1->show();
        m_ok2->show();
        m_step = 0;
        m_cx1->setFocus();
    } else if (m_step == 2) {
        // A further press replaces the second point.
        m_second = shownPixel;
        m_instructions[3]->show();
        m_cx2->show();
        m_cy2->show();
        m_ok->show();
        m_cx2->setFocus();
    }
}

void TDistributionForm::OK2Click() {
    try {
        (void)core::ParseDegrees(m_cx1->text());
        (void)core::ParseDegrees(m_cy1->text());
    } catch (const core::Error&) {
        core::UserPrompts().Message(maps::ResStr(maps::rsErrorInX1Y1), core::MessageKind::Error);
        AnnuleerClick();
        return;
    }
    m_instructions[2]->show();
    m_ok2->hide();
    m_step = 2;
}

void TDistributionForm::OKClick() {
    m_calGroup->hide();
    m_step = 0;
    maps::CalibrationRequest request;
    request.first = m_first;
    request.second = m_second;
    request.x1 = m_cx1->text();
    request.y1 = m_cy1->text();
    request.x2 = m_cx2->text();
    request.y2 = m_cy2->text();
    if (m_fitToWindow->isChecked())
        request.shownSize = m_panel->Picture().size();
    maps::CalibrationOutcome outcome = maps::CalibrationOutcome::Refused;
    try {
        outcome = m_map.Calibrate(request);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
    // Unreadable values or unusable points: the magnifier stays for another try.
    if (outcome == maps::CalibrationOutcome::Refused)
        return;
    CloseMagnifier();
    if (outcome == maps::CalibrationOutcome::Saved) {
        ShowMap();
        ShowCalibrationState();
    }
}

void TDistributionForm::AnnuleerClick() {
    m_step = 0;
    m_calGroup->hide();
    CloseMagnifier();
}

void TDistributionForm::CloseMagnifier() {
    delete m_zoom;
    m_zoom = nullptr;
    m_panel->unsetCursor();
}

void TDistributionForm::PlaceMagnifier() {
    if (m_zoom)
        m_zoom->move(m_panel->mapToGlobal(QPoint(6, 6)));
}

bool TDistributionForm::eventFilter(QObject* watched, QEvent* event) {
    // A click into the search text empties it: the whole list again.
    if (watched == m_search && event->type() == QEvent::MouseButtonPress)
        m_search->clear();
    if (watched == m_filterGrid && event->type() == QEvent::KeyPress)
        m_filterCheck->setChecked(false);
    if (watched == m_filterGrid->viewport() && event->type() == QEvent::MouseMove) {
        // The hint of the column under the pointer.
        const int column =
            m_filterGrid->columnAt(static_cast<QMouseEvent*>(event)->position().toPoint().x());
        m_filterGrid->setToolTip(column == 0   ? maps::ResStr(maps::rsFilterFieldHint)
                                 : column == 1 ? maps::ResStr(maps::rsFilterOperatorHint)
                                               : QString());
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::AltModifier))
        return QDialog::eventFilter(watched, event);
    QPoint step;
    switch (key->key()) {
    case Qt::Key_Left:
        step = {-1, 0};
        break;
    case Qt::Key_Right:
        step = {1, 0};
        break;
    case Qt::Key_Up:
        step = {0, -1};
        break;
    case Qt::Key_Down:
        step = {0, 1};
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A press and release of the left button where the pointer rests.
        const QPoint at = m_panel->mapFromGlobal(QCursor::pos());
        if (!m_panel->rect().contains(at))
            return true;
        QMouseEvent press(QEvent::MouseButtonPress, at, m_panel->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::AltModifier);
        QCoreApplication::sendEvent(m_panel, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, m_panel->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::AltModifier);
        QCoreApplication::sendEvent(m_panel, &release);
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
    QCursor::setPos(QCursor::pos() + step);
    return true;
}

void TDistributionForm::done(int result) {
    // Every way out (the close button, Escape) keeps the window's place and the map's; the
    // calibration ends with the window.
    FormCloseQuery();
    AnnuleerClick();
    m_dotStyles.styles = m_styles->Styles();
    // What was drawn goes with the window.
    WisKaartClick();
    QDialog::done(result);
}

// ---------------------------------------------------------------- runs and styles

QString TDistributionForm::Title() const {
    return m_title->text();
}

maps::DrawSettings TDistributionForm::CurrentDrawSettings() const {
    maps::DrawSettings draw;
    draw.styles = m_styles->Styles();
    draw.tab = m_styles->Tab();
    draw.rules.coordinateSystem = m_store.CoordinateSystem();
    draw.rules.dutchRules = m_dutchRules;
    draw.rules.placement = m_styles->Placement();
    draw.outlineWidth = m_styles->OutlineWidth();
    draw.separationYear = m_styles->SeparationYear();
    return draw;
}

void TDistributionForm::MakeEnvironmentRun(charts::BoxplotData& boxplots) {
    ForgetRunTables();
    m_tables.reset();
    m_environment = std::make_unique<charts::EnvironmentRun>(boxplots);
    m_environment->AddScatterPlot(m_environmentPanel->PhEcPlot()->Panel());
    if (m_boxplotWindow)
        m_environment->AddScatterPlot(m_boxplotWindow->PHEGV());
    m_environment->AddPhenologyPlot(m_phenologyLarge->Panel());
    m_environment->AddPhenologyPlot(m_environmentPanel->PhenologyPlot()->Panel());
    m_tables = std::make_unique<maps::RunTables>(*m_environment);
    ResetRunTables(false, false);
    ShowRunTables();
}

void TDistributionForm::SetBoxplotWindow(TBoxplotForm* boxplots) {
    m_boxplotWindow = boxplots;
    MakeEnvironmentRun(boxplots ? boxplots->Data() : m_ownBoxplots);
}

maps::NameListOptions TDistributionForm::CurrentNameOptions() const {
    maps::NameListOptions options;
    options.ignoreUncertain = m_negOT->isChecked();
    options.currentNames = m_currentNames->isChecked();
    options.zygosporesOnly = m_zygosporen->isChecked();
    options.ignoreVarieties = m_negeerVar->isChecked();
    return options;
}

maps::RunOptions TDistributionForm::CurrentRunOptions() const {
    maps::RunOptions options;
    options.names = CurrentNameOptions();
    return options;
}

void TDistributionForm::ShowBusy(bool busy) {
    if (busy) {
        m_busyNotice->setText(maps::ResStr(maps::rsBusyCalculating));
        m_busyNotice->adjustSize();
        m_busyNotice->resize(m_busyNotice->width() + 40, m_busyNotice->height() + 24);
        m_busyNotice->move((width() - m_busyNotice->width()) / 2,
                           (height() - m_busyNotice->height()) / 2);
        m_busyNotice->raise();
        m_busyNotice->show();
    } else {
        m_busyNotice->hide();
    }
}

void TDistributionForm::StartRun(maps::RunKind kind, bool redraw) {
    if (m_busy)
        return;
    m_busy = true;
    m_names->setEnabled(false);
    // Whatever happens, the window is idle again afterwards.
    struct Idle {
        TDistributionForm& form;
        ~Idle() {
            form.m_busy = false;
            form.ShowBusy(false);
            form.m_names->setEnabled(true);
        }
    } idle{*this};
    maps::RunOptions options = CurrentRunOptions();
    if (m_periode->isChecked()) {
        bool beginOk = false, endOk = false;
        options.beginYear = m_beginJaar->text().trimmed().toInt(&beginOk);
        options.endYear = m_eindJaar->text().trimmed().toInt(&endOk);
        if (!beginOk || !endOk) {
            core::UserPrompts().Message(maps::ResStr(maps::rsPeriodNotNumbers),
                                        core::MessageKind::Error);
            m_periode->setChecked(false);
            m_store.periodFilterOn = false;
            return;
        }
        options.periodOn = true;
    }
    if (m_filterCheck->isChecked()) {
        if (!m_filter.Compile(FilterGridData(), m_session.FieldNames())) {
            core::UserPrompts().Message(maps::ResStr(maps::rsFixFilterFirst),
                                        core::MessageKind::Error);
            m_filterCheck->setChecked(false);
            return;
        }
        options.filter = m_filter.AsRunFilter();
    }
    ShowBusy(true);
    // The notice is painted before the work starts; no input is taken meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    try {
        Run(kind, redraw, options);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        ShowRunTables();
        ShowMap();
    }
}

void TDistributionForm::ResetRunTables(bool allLocations, bool redraw) {
    const bool newMap = maps::StartsNewMap(m_styles->Tab());
    maps::RunTablesSettings settings;
    settings.coordinateSystem = m_store.CoordinateSystem();
    settings.dutchRules = m_dutchRules;
    settings.boxplotOrientation = core::CurrentSettings().boxplotOrientation;
    // The names by code, looked up once per collected location.
    QHash<QString, QString> biotopes;
    for (const session::Biotope& biotope : m_session.Biotopes()) {
        if (!biotopes.contains(biotope.code)) // a repeated code: the first one's name
            biotopes.insert(biotope.code, biotope.name);
    }
    settings.biotopeName = [biotopes](const QString& code) { return biotopes.value(code); };
    m_tables->Reset(newMap, allLocations, settings);
    if (!redraw)
        m_styles->AbundanceSizes().Clear();
    if (newMap) {
        m_map.ResetWorkingImage();
        m_texts.ResetLine();
        m_hint.clear();
        m_environmentPanel->SetInfoLine(QString());
        m_environmentPanel->BoxplotImage()->clear();
    }
}

void TDistributionForm::Run(maps::RunKind kind, bool redraw, const maps::RunOptions& options) {
    if (m_sourceStale) {
        m_source.Read(m_store.Locations(), m_store.Samples());
        m_sourceStale = false;
    }
    ResetRunTables(kind == maps::RunKind::AllLocations, redraw);
    m_runAborted = false;
    if (kind == maps::RunKind::AllLocations) {
        maps::StartAllLocationsTexts(m_frequency);
        m_environmentPanel->ShowFrequency(m_frequency);
    }
    ShowMap();
    maps::RunWalk walk;
    if (kind == maps::RunKind::AllLocations) {
        m_title->setText(maps::ResStr(maps::rsAllLocationsTitle));
        walk = maps::WalkAllLocations(m_source, options);
    } else {
        const QListWidgetItem* selected = m_names->currentItem();
        if (!selected || !selected->isSelected()) {
            ShowRunTables();
            return;
        }
        const QString name = selected->text();
        SetRunLabels(name);
        const ecology::TaxaList& taxa = m_session.Ecology().taxaList;
        m_environmentPanel->SetInfoLine(maps::SpeciesInfoLine(taxa, name));
        walk = maps::WalkTaxon(m_source, taxa, name, options);
        m_hint << walk.names;
        m_panel->setToolTip(m_hint.join(QLatin1Char('\n')));
    }
    const maps::DrawSettings draw = CurrentDrawSettings();
    maps::AbundanceSizes& sizes = m_styles->AbundanceSizes();
    // Without a calibrated map the tables are still filled; the map stays empty.
    QImage unused(1, 1, QImage::Format_RGB32);
    const maps::MapCalibration none = *maps::MapCalibration::FromEdges({0, 1, 1, 0}, QSize(1, 1));
    const std::optional<maps::MapCalibration>& calibration = m_map.Calibration();
    const bool drawable = calibration && !m_map.WorkingImage().isNull();
    const BusyCursor busy;
    maps::RecordDrawer drawer(drawable ? m_map.WorkingImage() : unused,
                              drawable ? *calibration : none, draw, kind, redraw, sizes);
    const maps::RunOutcome outcome = maps::TakeSteps(walk, *m_tables, drawer, draw.tab, sizes);
    m_runAborted = outcome.aborted;
    if (!walk.error.isEmpty())
        core::UserPrompts().Message(walk.error, core::MessageKind::Error);
    if (outcome.finished) {
        maps::FrequencyRun counts;
        counts.taxonRun = kind == maps::RunKind::Taxon;
        counts.coordinateSystem = m_store.CoordinateSystem();
        counts.language = core::CurrentSettings().language;
        counts.kmSquares = int(m_tables->KmSquareKeys().size());
        counts.hourSquares = int(m_tables->HourSquareKeys().size());
        counts.totalKmSquares = m_totals.first;
        counts.totalHourSquares = m_totals.second;
        maps::WriteFrequencyTexts(m_frequency, m_classes, counts);
        m_environmentPanel->ShowFrequency(m_frequency);
        m_memo->setPlainText(m_frequency.memo.join(QLatin1Char('\n')));
        ShowRunTables();
    }
    ShowMap();
    if (kind == maps::RunKind::AllLocations)
        SetRunLabels(QString());
}

void TDistributionForm::ShowRunTables() {
    m_styles->ShowAbundanceSizes();
    const maps::RunTables& tables = *m_tables;
    m_excursion->ShowLocations(&tables.LocationTable());
    m_excursion->MarkSort(maps::SortMark::Date);
    m_excursion->SetCount(tables.CountText());
    m_environmentPanel->ShowTables(tables);
    DrawBoxplotPicture();
    m_environmentPanel->PhEcPlot()->update();
    m_environmentPanel->PhenologyPlot()->update();
    if (m_boxplotWindow)
        m_boxplotWindow->PHEGVWidget()->update();
    // The first location in the details.
    if (tables.LocationTable().RowCount() > 1)
        m_excursion->DataGrid()->selectRow(0);
    DataGridSelectCell(1);
}

void TDistributionForm::DrawBoxplotPicture() {
    // The boxplots drawn into the panel's picture, at the size the panel has now.
    const int orientation = m_environment->Boxplots().Orientation();
    QImage picture(m_environmentPanel->BoxplotSize(orientation), QImage::Format_RGB32);
    picture.fill(Qt::white);
    m_environment->Boxplots().DrawBoxplots(picture);
    m_environmentPanel->BoxplotImage()->setPixmap(QPixmap::fromImage(picture));
}

void TDistributionForm::SetRunLabels(const QString& name) {
    const QString database = m_store.Name();
    const maps::StyleTab tab = m_styles->Tab();
    if (name.isEmpty()) {
        // All locations: the title stays "Alle locaties".
        const QString label = database + QLatin1Char('_') + maps::ResStr(maps::rsAllLocationsTitle);
        m_styles->SetLayerLabel(maps::StyleTab::AllLocations, label);
        m_saveName->setText(label);
        return;
    }
    setWindowTitle(name);
    m_title->setText(name);
    if (tab == maps::StyleTab::Primary) {
        m_styles->ClearLayerLabels();
        m_saveName->clear();
        m_hint.clear();
    }
    if (tab != maps::StyleTab::AllLocations)
        m_styles->SetLayerLabel(tab, name);
    m_saveName->setText(database + QLatin1Char('_') + name);
}

void TDistributionForm::AllLocationsbtnClick() {
    StartRun(maps::RunKind::AllLocations, false);
}

void TDistributionForm::TekenOpnieuwClick() {
    StartRun(maps::RunKind::Taxon, true);
}

void TDistributionForm::Stipmaat2Change() {
    RepeatNewMapRun();
}

void TDistributionForm::RepeatNewMapRun() {
    switch (m_styles->Tab()) {
    case maps::StyleTab::Primary:
        StartRun(maps::RunKind::Taxon, false);
        break;
    case maps::StyleTab::AllLocations:
        StartRun(maps::RunKind::AllLocations, false);
        break;
    default:
        break; // the other layers keep what they drew
    }
}

void TDistributionForm::rbClick() {
    const maps::StyleTab tab = m_styles->Tab();
    if (tab == maps::StyleTab::Abundance) {
        TekenOpnieuwClick();
        return;
    }
    if (tab == maps::StyleTab::AllLocations)
        m_map.ResetWorkingImage();
    if (m_title->text() == maps::ResStr(maps::rsAllLocationsTitle))
        StartRun(maps::RunKind::AllLocations, false);
    else
        StartRun(maps::RunKind::Taxon, false);
}

void TDistributionForm::PCChange() {
    if (m_styles->Tab() == maps::StyleTab::AllLocations)
        AllLocationsbtnClick();
}

// ---------------------------------------------------------------- the taxon list

void TDistributionForm::BuildNameLists() {
    if (m_sourceStale) {
        const BusyCursor busy;
        m_source.Read(m_store.Locations(), m_store.Samples());
        m_sourceStale = false;
    }
    m_sampleNames =
        maps::SampleNameList(m_source, m_session.Ecology().taxaList, CurrentNameOptions());
    BuildSpeciesList();
}

void TDistributionForm::BuildSpeciesList() {
    m_species = maps::SpeciesList(m_sampleNames, m_negeerVar->isChecked());
    ZoekEditChange();
}

void TDistributionForm::ZoekEditChange() {
    const QString current = m_names->currentItem() ? m_names->currentItem()->text() : QString();
    m_names->clear();
    m_names->addItems(maps::SearchTaxa(m_species, m_search->text()));
    // The taxon drawn stays chosen when the list still shows it.
    const QList<QListWidgetItem*> same = m_names->findItems(current, Qt::MatchExactly);
    if (!same.isEmpty())
        m_names->setCurrentItem(same.front(), QItemSelectionModel::NoUpdate);
}

void TDistributionForm::NamesClick() {
    if (m_busy || !m_names->currentItem())
        return;
    m_names->currentItem()->setSelected(true);
    // A taxon on the tab of all locations starts a fresh map on "Primair".
    if (m_styles->Tab() == maps::StyleTab::AllLocations)
        m_styles->SetTab(maps::StyleTab::Primary);
    m_texts.ForgetUndo();
    StartRun(maps::RunKind::Taxon, false);
}

void TDistributionForm::PeriodeClick() {
    if (m_title->text().isEmpty())
        return;
    core::Settings& settings = core::CurrentSettings();
    settings.beginJaar = m_beginJaar->text();
    settings.eindJaar = m_eindJaar->text();
    m_store.periodFilterOn = m_periode->isChecked();
    {
        ShowBusy(true);
        const BusyCursor busy;
        m_totals = m_store.SquareTotals();
        ShowBusy(false);
    }
    RepeatNewMapRun();
}

void TDistributionForm::WisKaartClick() {
    m_busy = false;
    ShowBusy(false);
    const maps::StyleTab remembered = m_styles->Tab();
    if (remembered != maps::StyleTab::AllLocations && remembered != maps::StyleTab::Special &&
        remembered != maps::StyleTab::Primary)
        m_styles->SetTab(maps::StyleTab::Primary);
    m_title->clear();
    setWindowTitle(m_map.Caption().isEmpty() ? QStringLiteral("Stippenkaarten") : m_map.Caption());
    m_styles->ClearLayerLabels();
    m_saveName->clear();
    m_hint.clear();
    m_panel->setToolTip(QString());
    ResetRunTables(false, false);
    m_map.ResetWorkingImage();
    ShowRunTables();
    ShowMap();
    m_styles->SetTab(remembered);
}

void TDistributionForm::BewaarSoortenlijstClick(bool withAuthors) {
    QStringList lines;
    for (int i = 0; i < m_names->count(); ++i) {
        const QString name = m_names->item(i)->text();
        const std::optional<QString> author =
            withAuthors ? m_session.Ecology().taxaList.Author(name) : std::nullopt;
        lines << (author ? name + QLatin1Char(' ') + *author : name);
    }
    const QString path = ChooseFileToWrite(QString(), core::DataDir(),
                                           QStringLiteral("Text files (*.txt);;All files (*)"),
                                           QStringLiteral(".txt"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray text = lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        core::UserPrompts().Message(file.errorString(), core::MessageKind::Error);
}

// ---------------------------------------------------------------- the record filter

core::Grid TDistributionForm::FilterGridData() const {
    core::Grid grid(maps::kFilterGridColumns, m_filterGrid->rowCount() + 1);
    grid.SetCell(0, 0, QStringLiteral("Veld"));
    grid.SetCell(1, 0, QStringLiteral("Op."));
    grid.SetCell(2, 0, QStringLiteral("Value"));
    for (int row = 0; row < m_filterGrid->rowCount(); ++row) {
        for (int column = 0; column < maps::kFilterGridColumns; ++column) {
            const QTableWidgetItem* item = m_filterGrid->item(row, column);
            grid.SetCell(column, row + 1, item ? item->text() : QString());
        }
    }
    return grid;
}

void TDistributionForm::SetFilterGrid(const core::Grid& grid) {
    const QSignalBlocker quiet(m_filterGrid);
    m_filterGrid->setRowCount(std::max(grid.RowCount() - 1, 0));
    for (int row = 1; row < grid.RowCount(); ++row) {
        for (int column = 0; column < maps::kFilterGridColumns; ++column)
            m_filterGrid->setItem(
                row - 1, column,
                new QTableWidgetItem(column < grid.ColCount() ? grid.Cell(column, row) : ""));
    }
}

void TDistributionForm::FilterClick() {
    RepeatNewMapRun();
}

void TDistributionForm::AddFilterClick() {
    core::Grid grid = FilterGridData();
    if (maps::AddFilterRow(grid))
        SetFilterGrid(grid);
}

void TDistributionForm::DeleteFilterClick() {
    core::Grid grid = FilterGridData();
    const bool several = grid.RowCount() > 2;
    maps::DeleteFilterRow(grid, std::max(m_filterGrid->currentRow(), 0) + 1);
    SetFilterGrid(grid);
    if (several)
        m_filterCheck->setChecked(false);
}

void TDistributionForm::ClearFilterClick() {
    m_filterCheck->setChecked(false);
    SetFilterGrid(maps::NewFilterGrid());
    m_filterGroup->setTitle(maps::ResStr(maps::rsFilterCaption));
}

void TDistributionForm::SaveFilterClick() {
    const QString folder = core::FiltersDir();
    QDir().mkpath(folder);
    QString path = core::UserPrompts().ChooseSaveFile(QString(), folder,
                                                      QStringLiteral("Filter files (*.tsv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".tsv");
    try {
        maps::SaveFilterFile(path, FilterGridData());
        m_filterGroup->setTitle(QFileInfo(path).fileName());
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

void TDistributionForm::OpenFilterClick() {
    const QString folder = core::FiltersDir();
    if (!QFileInfo::exists(folder))
        core::UserPrompts().Message(maps::ResStr(maps::rsNoFiltersAvailable));
    const QString path = core::UserPrompts().ChooseOpenFile(
        QString(), folder, QStringLiteral("Filter files (*.tsv);;All files (*)"));
    if (path.isEmpty())
        return;
    try {
        SetFilterGrid(maps::OpenFilterFile(path, m_session.FieldNames()));
        m_filterGroup->setTitle(QFileInfo(path).completeBaseName());
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

// ---------------------------------------------------------------- texts on the map

namespace {
// The layers of the legend rows, in order.
constexpr maps::StyleTab kLegendLayers[maps::kLegendRows] = {
    maps::StyleTab::Primary,    maps::StyleTab::Secondary1, maps::StyleTab::Secondary2,
    maps::StyleTab::Secondary3, maps::StyleTab::Secondary4, maps::StyleTab::Abundance};
} // namespace

QFont TDistributionForm::TextFont() const {
    QFont font = m_fontStyle->currentFont();
    font.setPointSize(m_fontBar->value());
    font.setItalic(false);
    font.setBold(false);
    return font;
}

void TDistributionForm::PositionClick(maps::Corner corner) {
    m_texts.SetCorner(corner);
}

void TDistributionForm::FontBarChange() {
    m_fontSize->setText(QString::number(m_fontBar->value()));
    m_styles->SetLegendFont(m_fontStyle->currentFont().family(), m_fontSize->text());
}

void TDistributionForm::UFKFButtonClick() {
    const QStringList lines = m_memo->toPlainText().split(QLatin1Char('\n'));
    // Before any run the memo has no lines to place.
    if (lines.size() < 2)
        return;
    m_texts.PlaceFrequencyLines(m_map.WorkingImage(), lines[0], lines[1], TextFont());
    ShowMap();
}

void TDistributionForm::MaakLegendaClick() {
    const char* const tags[] = {"Prim", "Sec1", "Sec2", "Sec3", "Sec4", "Sec5"};
    for (int row = 0; row < maps::kLegendRows; ++row) {
        const QString label = m_styles->LayerLabel(kLegendLayers[row]);
        m_legendGrid->item(row, 0)->setText(label.isEmpty() ? QString()
                                                            : QString::fromLatin1(tags[row]));
        m_legendGrid->item(row, 1)->setText(label);
    }
}

void TDistributionForm::PlaceLegendClick() {
    std::array<maps::LegendRow, maps::kLegendRows> rows;
    const maps::DotStyles styles = m_styles->Styles();
    try {
        for (int row = 0; row < maps::kLegendRows; ++row) {
            rows[std::size_t(row)].text = m_legendGrid->item(row, 1)->text();
            if (rows[std::size_t(row)].text.trimmed().isEmpty())
                continue;
            // Each layer's tab becomes the active one while its symbol is drawn.
            m_styles->SetTab(kLegendLayers[row]);
            maps::StyleRequest request;
            request.tab = kLegendLayers[row];
            rows[std::size_t(row)].style = maps::ResolveStyle(styles, request);
        }
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    m_texts.PlaceLegend(m_map.WorkingImage(), rows, TextFont());
    ShowMap();
}

void TDistributionForm::UndoClick() {
    if (m_texts.Undo(m_map.WorkingImage()))
        ShowMap();
}

QString TDistributionForm::MemoText() const {
    return m_memo->toPlainText();
}

void TDistributionForm::ToonInGoogleEarthClick() {
    const QString title = m_title->text();
    if (title.size() <= 1 || m_runAborted || m_tables->LocationTable().RowCount() <= 1)
        return;
    maps::PlacementRules rules;
    rules.coordinateSystem = m_store.CoordinateSystem();
    rules.dutchRules = m_dutchRules;
    rules.placement = m_styles->Placement();
    maps::KmlWriteResult written;
    try {
        const BusyCursor busy;
        written = maps::WriteKml(m_tables->LocationTable(), title, rules, [] {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    if (written.aborted)
        m_runAborted = true;
    if (!written.path.isEmpty() && m_openDocument)
        m_openDocument(written.path);
}

// ---------------------------------------------------------------- the panels

void TDistributionForm::KaartKnopClick() {
    m_views->setCurrentIndex(0);
}

void TDistributionForm::TabellenKnopClick() {
    m_views->setCurrentIndex(1);
}

void TDistributionForm::MilieuKnopClick() {
    m_views->setCurrentIndex(2);
    DrawBoxplotPicture();
}

void TDistributionForm::DataGridSelectCell(int gridRow) {
    const core::Grid& table = m_tables->LocationTable();
    bool ok = false;
    const int id =
        gridRow >= 1 && gridRow < table.RowCount() ? table.Cell(0, gridRow).toInt(&ok) : 0;
    const maps::LocationRow* location = ok ? m_source.LocationById(id) : nullptr;
    m_excursion->ShowDetails(location, location ? maps::LocationSamples(m_source, id)
                                                : maps::LocationSamples(m_source, -1));
}

void TDistributionForm::EditRecordClick() {
    if (m_excursion->ShownId() == 0)
        return;
    m_editLocationId = m_excursion->ShownId();
    done(QDialog::Accepted);
}

void TDistributionForm::SaveDotSettingsClick() {
    const QString folder = m_dotSettingsFolder.isEmpty() ? core::MapsDir() : m_dotSettingsFolder;
    const QString path = ChooseFileToWrite(
        QString(), folder, QStringLiteral("Velmora Database Dots (*.dbd)"), QStringLiteral(".dbd"));
    if (path.isEmpty())
        return;
    m_dotSettingsFolder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    try {
        maps::DotSettingsFile file;
        file.mapName = m_store.MapName();
        file.styles = m_styles->Styles();
        maps::SaveDotSettingsFile(path, file);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

void TDistributionForm::OpenDotSettingsClick() {
    const QString folder = m_dotSettingsFolder.isEmpty() ? core::MapsDir() : m_dotSettingsFolder;
    const QString path = core::UserPrompts().ChooseOpenFile(
        QString(), folder, QStringLiteral("Velmora Database Dots (*.dbd *.ini);;All files (*)"));
    if (path.isEmpty())
        return;
    m_dotSettingsFolder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    maps::DotSettingsFile file;
    try {
        file = maps::OpenDotSettingsFile(path);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    // The file's map; the database keeps the map it had unless that map is read with its
    // calibration, as with "Open Kaart".
    const QString previousMap = m_store.MapName();
    m_store.SetMapName(file.mapName);
    m_map.ClearLoaded();
    if (m_map.LoadStoredMap() != maps::LoadResult::Calibrated)
        m_store.SetMapName(previousMap);
    m_styles->SetStyles(file.styles);
    m_dotStyles.styles = file.styles;
    ShowLegendFont(file.styles);
    ShowMap();
    m_panel->SetImagePosition({0, 0});
    ShowCalibrationState();
}

} // namespace velmora::ui
