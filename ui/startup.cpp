#include "ui/startup.h"

#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "ui/formtranslator.h"
#include "ui/qtprompts.h"
#include "ui/tmainform.h"
#include "ui/tprogress.h"

#include <QApplication>
#include <QLabel>
#include <QSplashScreen>
#include <memory>

namespace velmora::ui {

core::FileLock& ProgramLock() {
    static core::FileLock lock;
    return lock;
}

bool SecondCopyRefused() {
    const QString biotopes = core::LibDir() + QStringLiteral("Biotoopcodes.dbf");
    if (!core::IsFileInUse(biotopes))
        return false;
    core::UserPrompts().Message(core::ResStr(core::rsDatabaseInUse));
    return true;
}

void LoadInterfaceLanguage() {
    StartInterfaceLanguage();
}

int RunProgram(QApplication& app) {
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora Database"));
    QtPrompts prompts;
    core::SetUserPrompts(&prompts);

    core::LoadSettings();
    if (SecondCopyRefused()) {
        core::SetUserPrompts(nullptr);
        return 0;
    }
    // The biotope table stays locked while this copy runs, so a second copy is refused.
    ProgramLock().Acquire(core::LibDir() + QStringLiteral("Biotoopcodes.dbf"));

    LoadInterfaceLanguage();

    QPixmap splashImage(420, 160);
    splashImage.fill(QColor(0xE8, 0xF0, 0xE0));
    QSplashScreen splash(splashImage);
    splash.setWindowTitle(QStringLiteral("Velmora Data Base"));
    splash.showMessage(QStringLiteral("Velmora Data Base"), Qt::AlignCenter);
    splash.show();
    QApplication::processEvents();

    auto mainForm = std::make_unique<TMainForm>();
    prompts.SetParent(mainForm.get());
    auto progress = std::make_unique<TProgress>(mainForm.get());
    prompts.SetProgressDialog(progress.get());

    int result = 0;
    if (mainForm->FormCreate()) {
        mainForm->FormShow();
        mainForm->show();
        splash.finish(mainForm.get());
        result = app.exec();
    }
    prompts.SetProgressDialog(nullptr);
    prompts.SetParent(nullptr);
    progress.reset();
    mainForm.reset();

    try {
        core::SaveSettings();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(core::ResStr(core::rsSettingsNotSaved) + QLatin1Char('\n') +
                                        e.Message(),
                                    core::MessageKind::Error);
    }
    core::SetUserPrompts(nullptr);
    ProgramLock().Release();
    return result;
}

} // namespace velmora::ui
