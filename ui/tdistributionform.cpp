#include "ui/tdistributionform.h"

#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "maps/mapcalibration.h"
#include "ui/formwidgets.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
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

void MapPanel::SetPicture(const QImage& picture, bool fitted) {
    m_picture = picture;
    m_fitted = fitted;
    m_position = fitted ? QPoint(0, 0) : Bounded(m_position);
    update();
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
    return {axis(position.x(), m_picture.width(), width()),
            axis(position.y(), m_picture.height(), height())};
}

void MapPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_picture.isNull())
        painter.drawImage(m_position, m_picture);
}

void MapPanel::mousePressEvent(QMouseEvent* event) {
    m_dragging = true;
    m_pressedAt = event->position().toPoint();
    m_positionAtPress = m_position;
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

TDistributionForm::TDistributionForm(core::DatabaseStore& store, QWidget* parent)
    : QDialog(parent), m_store(store), m_map(store) {
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
    buttons->addWidget(m_calLabel);
    buttons->addWidget(m_fitToWindow);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto* body = new QHBoxLayout;
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    m_tabs->setFixedWidth(kControlColumnWidth);

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
    saveLayout->addStretch(1);
    m_tabs->addTab(save, QStringLiteral("Bewaar"));
    body->addWidget(m_tabs);

    m_panel = new MapPanel(this);
    body->addWidget(m_panel, 1);
    layout->addLayout(body, 1);

    connect(m_openKaart, &QPushButton::clicked, this, [this] { OpenKaartClick(); });
    connect(m_fitToWindow, &QCheckBox::toggled, this, [this] { FitToWindowClick(); });
}

TDistributionForm::~TDistributionForm() = default;

void TDistributionForm::Run() {
    ShowForm();
    exec();
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
    if (!m_map.Loaded()) {
        m_map.LoadStoredMap();
        ShowMap();
        m_panel->SetImagePosition({settings.distMapLeft, settings.distMapTop});
    } else {
        ShowMap();
    }
    ShowCalibrationState();
}

void TDistributionForm::ShowCalibrationState() {
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
        m_panel->SetPicture(m_map.FittedView(m_panel->size()), true);
    else
        m_panel->SetPicture(working, false);
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
    const QString path = ChooseFileToWrite(
        QString(), start,
        QStringLiteral("BMP ImageFile (*.bmp);;JPG Image File (*.jpg);;PNG Image File (*.png);;"
                       "All files (*)"),
        extension);
    if (path.isEmpty())
        return;
    settings.lastUsedMapDir = QFileInfo(path).absolutePath() + QLatin1Char('/');
    try {
        const BusyCursor busy;
        m_map.SaveWorkingImage(maps::SavedImagePath(path, maps::kMapFilePart, extension));
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
    ShowMap();
}

void TDistributionForm::done(int result) {
    // Every way out (the close button, Escape) keeps the window's place and the map's.
    FormCloseQuery();
    QDialog::done(result);
}

} // namespace velmora::ui
