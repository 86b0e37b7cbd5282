// The main window's menu bar and the commands it runs: preferences, database selection, backup,
// photo folder, location search, help, about and the end of the program.

#include "ui/tmainform.h"

#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "ecology/taxonnames.h"
#include "recording/databasecatalogue.h"
#include "recording/databaseexport.h"
#include "recording/messages.h"
#include "session/messages.h"
#include "session/session.h"
#include "support/messages.h"
#include "support/photofolder.h"
#include "ui/formwidgets.h"
#include "ui/locationpanel.h"
#include "ui/messages.h"
#include "ui/nameentrypanel.h"
#include "ui/naturevaluebox.h"
#include "ui/samplegridview.h"
#include "ui/samplepanel.h"
#include "ui/tnwform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

using core::DatasetState;

namespace {

struct MenuItem {
    const char* objectName;
    const char* caption;
};

} // namespace

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
    connect(MenuAction(QStringLiteral("SelectDatabase")), &QAction::triggered, this,
            [this] { SelectDatabaseClick(); });
    connect(MenuAction(QStringLiteral("Importeer")), &QAction::triggered, this,
            [this] { ImporteerClick(); });
    connect(MenuAction(QStringLiteral("TextExport")), &QAction::triggered, this,
            [this] { TextExportClick(); });
    connect(MenuAction(QStringLiteral("ExporteerXLSbestand")), &QAction::triggered, this,
            [this] { ExporteerXLSbestandClick(); });
    connect(MenuAction(QStringLiteral("CheckNames")), &QAction::triggered, this,
            [this] { CheckNamesClick(); });
    connect(MenuAction(QStringLiteral("Backup")), &QAction::triggered, this,
            [this] { BackupClick(); });
    MenuAction(QStringLiteral("Backup"))->setEnabled(true);
    connect(MenuAction(QStringLiteral("MaakFotoDIR")), &QAction::triggered, this,
            [this] { MaakFotoDIRClick(); });
    MenuAction(QStringLiteral("MaakFotoDIR"))->setEnabled(true);
    connect(MenuAction(QStringLiteral("SelectLoc")), &QAction::triggered, this,
            [this] { SelectLocClick(); });
    connect(MenuAction(QStringLiteral("Tabellen")), &QAction::triggered, this,
            [this] { TabellenClick(); });
    connect(MenuAction(QStringLiteral("Stippenkaart1")), &QAction::triggered, this,
            [this] { Stippenkaart1Click(); });

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(add(help, {"HelpItem", "Velmora Database Help"}), &QAction::triggered, this,
            [this] { HelpClick(); });
    connect(add(help, {"About", "Over Velmora Database"}), &QAction::triggered, this,
            [this] { AboutClick(); });
}

void TMainForm::AfterPreferences() {
    setWindowTitle(MainCaption(core::ProgramName(), core::ProgramDir()));
    m_databaseLabel->setText(core::ResStr(core::rsDbLabel) + m_store.Name());
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

void TMainForm::SelectDatabaseClick() {
    if (!m_runSelectDatabase || !ConfirmNoPendingEdits())
        return;
    m_grid->SetRememberedRow(1);
    m_store.CloseDatabase(); // the grid and the panels follow (TablesClosed)
    // Whatever happens in the window, the database that is current afterwards is opened.
    auto reopen = [this] {
        m_store.MarkMapForReload();
        if (!m_store.Name().isEmpty()) {
            m_store.OpenDatabase(m_store.Name()); // also its square-coordinates table
            SetCoordinateLabels();
        }
        RefreshSampleGrid();
        ApplyPanelState();
    };
    try {
        m_runSelectDatabase();
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

void TMainForm::ImporteerClick() {
    if (!m_runImport || !m_store.IsOpen() || !ConfirmNoPendingEdits())
        return;
    const QString name = m_store.Name();
    m_grid->SetRememberedRow(1);
    m_store.CloseDatabase(); // the window writes the table files itself
    // However the window ends, the database is open again afterwards.
    auto reopen = [this, name] {
        m_store.MarkMapForReload();
        if (!m_store.IsOpen())
            m_store.OpenDatabase(name); // in its name order, the samples by taxon
        SetCoordinateLabels();
        RefreshSampleGrid();
        ApplyPanelState();
    };
    try {
        m_runImport(name);
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

void TMainForm::TextExportClick() {
    if (!m_store.IsOpen() || !ConfirmNoPendingEdits())
        return;
    const QString path = ChooseFileToWrite(
        QString(), QString(), QStringLiteral("TAB Separated Value (*.tsv);;All Files (*)"),
        QStringLiteral(".tsv"));
    if (path.isEmpty())
        return;
    recording::ExportDatabase(
        m_store, core::CurrentSettings().addInfo ? &m_session.Ecology().taxaList : nullptr, path,
        recording::ExportFormat::Text);
}

void TMainForm::ExporteerXLSbestandClick() {
    if (!m_store.IsOpen() || !ConfirmNoPendingEdits())
        return;
    const QString path = ChooseFileToWrite(
        QString(), QString(), QStringLiteral("Excel bestand (*.xls *.xlsx);;Alle bestanden (*)"),
        QString());
    if (path.isEmpty())
        return;
    recording::ExportDatabase(
        m_store, core::CurrentSettings().addInfo ? &m_session.Ecology().taxaList : nullptr, path,
        recording::ExportFormat::Spreadsheet);
}

void TMainForm::CheckNamesClick() {
    if (!m_runCheckNames || !m_store.IsOpen())
        return;
    QVariant chosen;
    RunOverDatabase([&] {
        m_store.Locations().SetIndexName(QStringLiteral("ID"));
        m_store.Locations().First();
        chosen = m_runCheckNames();
    });
    // "Bewerk record": the event of the sample chosen there.
    if (chosen.isValid() && m_store.Locations().Locate(QStringLiteral("ID"), chosen))
        LoadCurrentEvent();
}

void TMainForm::TabellenClick() {
    if (!m_runTables || !m_store.IsOpen())
        return;
    RunOverDatabase([this] { m_runTables(); });
}

void TMainForm::Stippenkaart1Click() {
    if (!m_runDistribution || !m_store.IsOpen())
        return;
    if (m_store.Samples().IsEmpty()) {
        core::UserPrompts().Message(ResStr(rsNoMapSense) + QLatin1Char('\n') +
                                    ResStr(rsNoDataInDb));
        return;
    }
    int chosen = 0;
    const bool ran = RunOverDatabase([this, &chosen] {
        {
            const BusyCursor busy;
            m_store.Locations().SetIndexName(QStringLiteral("ID"));
            m_store.Locations().First();
            m_store.ReadDatabaseSettings();
        }
        chosen = m_runDistribution();
    });
    if (!ran)
        return;
    try {
        m_store.WriteDatabaseSettings();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
    // "Edit Record": the event of the location chosen there.
    if (chosen > 0 && m_store.Locations().Locate(QStringLiteral("ID"), chosen))
        LoadCurrentEvent();
}

void TMainForm::AddToSearchList(const QString& name) {
    m_namePanel->AddToSearchList(name);
}

void TMainForm::BackupClick() {
    if (!ConfirmNoPendingEdits())
        return;
    core::Settings& settings = core::CurrentSettings();
    const QString folder =
        core::UserPrompts().ChooseFolder(ResStr(rsSelectDirectory), settings.backupFolder, true);
    if (folder.isEmpty())
        return;
    recording::DatabaseCatalogue catalogue(m_store);
    if (m_backupClock)
        catalogue.SetClock(m_backupClock);
    catalogue.BackupInto(folder);
}

void TMainForm::MaakFotoDIRClick() {
    if (!m_runPhotoFolder)
        return;
    if (!m_store.IsOpen() || m_store.Locations().IsEmpty()) {
        core::UserPrompts().Message(support::ResStr(support::rsNoLocationForPhotoFolder),
                                    core::MessageKind::Information);
        return;
    }
    core::Settings& settings = core::CurrentSettings();
    QString mainFolder = support::MainPhotoFolder(settings.photoFolder);
    QString subfolder = support::ProposedSubfolder(support::PhotoEventOf(m_store.Locations()));
    if (m_runPhotoFolder(mainFolder, subfolder) &&
        !support::MakePhotoFolder(mainFolder, subfolder)) {
        core::UserPrompts().Message(support::ResStr(support::rsPhotoFolderNotMade) +
                                        QLatin1Char('\n') +
                                        support::ResStr(support::rsPhotoFolderBadCharacters),
                                    core::MessageKind::Warning);
    }
    settings.photoFolder = mainFolder;
    try {
        core::SaveSettings();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(session::ResStr(session::rsSettingsNotSaved) +
                                        QLatin1Char('\n') + e.Message(),
                                    core::MessageKind::Error);
    }
}

void TMainForm::SelectLocClick() {
    if (!m_runLocationSearch || !m_store.IsOpen() || !ConfirmNoPendingEdits())
        return;
    m_runLocationSearch();
    LoadCurrentEvent();
}

void TMainForm::LoadCurrentEvent() {
    m_grid->SetRememberedRow(1);
    RefreshSampleGrid();
    ApplyPanelState();
}

void TMainForm::AfsluitenClick() {
    close();
}

void TMainForm::HelpClick() {
    const QString manual = core::ManualPath();
    if (!QFile::exists(manual)) {
        core::UserPrompts().Message(ResStr(rsManualMissing) + QStringLiteral(": ") + manual,
                                    core::MessageKind::Warning);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

void TMainForm::AboutClick() {
    QMessageBox::about(this, ResStr(rsAboutTitle),
                       QStringLiteral("VelmoraDataBase ") + ResStr(rsVersion) +
                           QStringLiteral("\n\n") + ResStr(rsAboutText));
}

} // namespace velmora::ui
