#include "ui/startup.h"

#include "core/prompts.h"
#include "core/settings.h"
#include "session/session.h"
#include "ui/formtranslator.h"
#include "ui/messages.h"
#include "ui/qtprompts.h"
#include "ui/tboxplotform.h"
#include "ui/tcheckform.h"
#include "ui/tdataform.h"
#include "ui/tdistributionform.h"
#include "ui/tfotomapform.h"
#include "ui/tgridcolumnselect.h"
#include "ui/tlocationform.h"
#include "ui/tmainform.h"
#include "ui/tnwform.h"
#include "ui/tprefform.h"
#include "ui/tprogress.h"
#include "ui/tselectdbform.h"
#include "ui/ttableform.h"

#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QSplashScreen>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace velmora::ui {

namespace {
int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char byte = 1;
    (void)!::write(g_signalPipe[1], &byte, 1);
}
} // namespace

QSocketNotifier& TerminationNotifier() {
    static QSocketNotifier* notifier = [] {
        if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            g_signalPipe[0] = g_signalPipe[1] = -1;
        auto* n = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(n, &QSocketNotifier::activated, n, [] {
            char buffer[16];
            while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
            }
        });
        struct sigaction action {};
        action.sa_handler = OnTerminate;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGHUP, SIGINT})
            ::sigaction(sig, &action, nullptr);
        return n;
    }();
    return *notifier;
}

void LoadInterfaceLanguage() {
    StartInterfaceLanguage();
}

void ChooseDatabaseIfNotOpened(TMainForm& form, const core::DatabaseStore& store,
                               const QString& wanted) {
    if (wanted.isEmpty() || store.IsOpen())
        return;
    QTimer::singleShot(0, &form, [&form] { form.SelectDatabaseClick(); });
}

int RunProgram(QApplication& app) {
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora Database"));
    QtPrompts prompts;
    core::SetUserPrompts(&prompts);

    session::Session session;
    session.ReadSettings();
    // The language first: even the refusal of a second copy speaks the user's language.
    LoadInterfaceLanguage();
    if (session.SecondCopyRefused()) {
        core::SetUserPrompts(nullptr);
        return 0;
    }

    QPixmap splashImage(420, 160);
    splashImage.fill(QColor(0xE8, 0xF0, 0xE0));
    QSplashScreen splash(splashImage);
    splash.setWindowTitle(ResStr(rsSplashTitle));
    splash.showMessage(ResStr(rsSplashTitle), Qt::AlignCenter);
    splash.show();
    QApplication::processEvents();
    session.LoadReferenceLists();

    // The windows, in their creation order.
    auto mainForm = std::make_unique<TMainForm>(session);
    prompts.SetParent(mainForm.get());
    auto dataForm = std::make_unique<TDataForm>(session.Store(), mainForm.get());
    mainForm->SetImportDialog([data = dataForm.get()](const QString& name) { data->Run(name); });
    auto nwForm = std::make_unique<TNWForm>(session.Ecology(), mainForm.get());
    mainForm->SetNatureValueWindow(nwForm.get());
    auto distributionForm = std::make_unique<TDistributionForm>(session, mainForm.get());
    mainForm->SetDistributionDialog([form = distributionForm.get()] { return form->Run(); });
    auto prefForm = std::make_unique<TPrefForm>(session, mainForm.get());
    prefForm->SetReloadBiotopes([form = mainForm.get()] { form->LoadBiotopes(); });
    prefForm->SetExpertModeHandler([form = mainForm.get()](bool on) { form->SetExpertMode(on); });
    mainForm->SetPreferencesDialog([pref = prefForm.get()] { pref->exec(); });
    auto locationForm =
        std::make_unique<TLocationForm>(session.Store(), session.Ecology(), mainForm.get());
    locationForm->SetLoadEvent([form = mainForm.get()] { form->LoadCurrentEvent(); });
    locationForm->SetShowNatureValue([nw = nwForm.get()] {
        nw->ShowResults();
        nw->ShowBesideMain();
        nw->raise();
        nw->activateWindow();
    });
    mainForm->SetLocationSearchDialog([location = locationForm.get()] { location->exec(); });
    auto fotoMapForm = std::make_unique<TFotoMapForm>(mainForm.get());
    mainForm->SetPhotoFolderDialog(
        [foto = fotoMapForm.get()](QString& mainFolder, QString& subfolder) {
            return foto->Run(mainFolder, subfolder);
        });
    auto tableForm =
        std::make_unique<TTableForm>(session.Store(), session.Ecology(), mainForm.get());
    tableForm->SetShowNatureValue([nw = nwForm.get()] { nw->ShowResults(); });
    mainForm->SetTablesDialog([table = tableForm.get()] { table->Run(); });
    auto columnSelect = std::make_unique<TGridColumnSelect>(mainForm.get());
    locationForm->SetColumnChooser(columnSelect.get());
    auto progress = std::make_unique<TProgress>(mainForm.get());
    prompts.SetProgressDialog(progress.get());
    auto selectDBForm = std::make_unique<TSelectDBForm>(session.Store(), mainForm.get());
    selectDBForm->SetCoordinateLabelsHandler(
        [form = mainForm.get()] { form->SetCoordinateLabels(); });
    mainForm->SetSelectDatabaseDialog([select = selectDBForm.get()] { select->exec(); });
    auto boxplotForm = std::make_unique<TBoxplotForm>(mainForm.get());
    distributionForm->SetBoxplotWindow(boxplotForm.get());
    auto checkForm =
        std::make_unique<TCheckForm>(session.Store(), session.Ecology().searchList, mainForm.get());
    checkForm->SetAddToSearchList(
        [form = mainForm.get()](const QString& name) { form->AddToSearchList(name); });
    mainForm->SetCheckNamesDialog([check = checkForm.get()] { return check->Run(); });

    // A terminate, hang-up or interrupt signal ends the program as closing the window does:
    // unposted edits are dropped and the database is closed whole. One that arrives while the
    // start-up is still under way (screen updates let events through) waits for it to end:
    // the database is never closed in the middle of being opened.
    bool started = false;
    bool endRequested = false;
    QObject::connect(&TerminationNotifier(), &QSocketNotifier::activated, mainForm.get(),
                     [form = mainForm.get(), &started, &endRequested] {
                         if (!started) {
                             endRequested = true;
                             return;
                         }
                         // A dialog open over the main window (the database selection) is
                         // closed first, so that the main window can close.
                         if (QWidget* modal = QApplication::activeModalWidget())
                             modal->close();
                         form->EndFromOutside();
                     });

    int result = 0;
    if (mainForm->FormCreate()) {
        const QString defaultDatabase = core::CurrentSettings().defaultDatabase;
        mainForm->FormShow();
        mainForm->show();
        splash.finish(mainForm.get());
        started = true;
        if (endRequested) {
            mainForm->EndFromOutside();
        } else {
            ChooseDatabaseIfNotOpened(*mainForm, session.Store(), defaultDatabase);
            result = app.exec();
        }
    }
    prompts.SetProgressDialog(nullptr);
    prompts.SetParent(nullptr);
    checkForm.reset();
    boxplotForm.reset();
    selectDBForm.reset();
    progress.reset();
    columnSelect.reset();
    tableForm.reset();
    fotoMapForm.reset();
    locationForm.reset();
    prefForm.reset();
    distributionForm.reset();
    nwForm.reset();
    dataForm.reset();
    mainForm.reset();
    session.End();
    core::SetUserPrompts(nullptr);
    return result;
}

} // namespace velmora::ui
