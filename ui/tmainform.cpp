#include "ui/tmainform.h"

#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/textutils.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
struct MenuItem {
    const char* objectName;
    const char* caption;
};
} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    // The window's width is fixed by its size limits; only the height follows the settings.
    setMinimumWidth(800);
    setMaximumWidth(800);
    setMinimumHeight(400);
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainPanel"));
    auto* layout = new QVBoxLayout(central);
    m_databaseLabel = new QLabel(QStringLiteral("Database: "), central);
    m_databaseLabel->setObjectName(QStringLiteral("DatabaseLabel"));
    m_expertLabel = new QLabel(QStringLiteral("  Experimental version  "), central);
    m_expertLabel->setObjectName(QStringLiteral("ExpertLabel"));
    layout->addWidget(m_databaseLabel);
    layout->addWidget(m_expertLabel);
    layout->addStretch(1);
    setCentralWidget(central);
    BuildMenu();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenu() {
    QMenuBar* bar = menuBar();
    auto add = [this](auto* container, const MenuItem& item) {
        QAction* action = container->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.objectName));
        return action;
    };
    QMenu* database = bar->addMenu(QStringLiteral("Database"));
    database->setObjectName(QStringLiteral("DatabaseMenu"));
    static constexpr MenuItem kDatabaseItems[] = {
        {"SelectDatabase", "Open, maak of verwijder Database"},
        {"Importeer", "Importeer TSV of XLS(X) bestand"},
        {"TextExport", "Exporteer huidige database als TAB gescheiden tekst"},
        {"ExporteerXLSbestand", "Exporteer huidige database als Excel bestand"},
        {"Backup", "Maak Backup"},
        {"CheckNames", "Corrigeer namen in database"},
    };
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

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(add(help, {"HelpItem", "Velmora Database Help"}), &QAction::triggered, this,
            [this] { HelpClick(); });
    connect(add(help, {"About", "Over Velmora Database"}), &QAction::triggered, this,
            [this] { AboutClick(); });
}

QAction* TMainForm::MenuAction(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

QString TMainForm::MainCaption(const QString& programName, const QString& programDir) {
    if (!programDir.contains(programName))
        return programName;
    return QStringLiteral("VelmoraDataBase ") + core::ResStr(core::rsVersion);
}

bool TMainForm::FormCreate() {
    SetExpertMode(false);
    // Hints appear after a short rest of the pointer and stay ten seconds.
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    setWindowTitle(MainCaption(core::ProgramName(), core::ProgramDir()));
    if (core::ProgramName().contains(QLatin1Char(' '))) {
        core::UserPrompts().Message(core::ResStr(core::rsFileNameHasBlanks) + QLatin1Char('\n') +
                                        core::ResStr(core::rsClickOkToEnd),
                                    core::MessageKind::Error);
        return false;
    }
    return true;
}

void TMainForm::FormShow() {
    const core::Settings& s = core::CurrentSettings();
    if (s.language == QLatin1String("NL"))
        core::SetDecimalSeparator(QLatin1Char(','));
    move(s.mainLeft, s.mainTop);
    resize(s.mainWidth, s.mainHeight);
    m_shown = true;
    m_databaseLabel->setText(QStringLiteral("Database: ") + s.defaultDatabase);
}

void TMainForm::SetExpertMode(bool on) {
    m_expertMode = on;
    m_expertLabel->setVisible(on);
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
    QMainWindow::closeEvent(event);
}

void TMainForm::AfsluitenClick() {
    close();
}

void TMainForm::HelpClick() {
    const QString manual = core::ManualPath();
    if (!QFile::exists(manual)) {
        core::UserPrompts().Message(core::ResStr(core::rsManualMissing) + QStringLiteral(": ") +
                                        manual,
                                    core::MessageKind::Warning);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

void TMainForm::AboutClick() {
    QMessageBox::about(this, QStringLiteral("Over Velmora Database"),
                       QStringLiteral("VelmoraDataBase ") + core::ResStr(core::rsVersion) +
                           QStringLiteral("\n\n") + core::ResStr(core::rsAboutText));
}

} // namespace velmora::ui
