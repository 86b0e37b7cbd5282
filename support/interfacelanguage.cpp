#include "support/interfacelanguage.h"

#include "core/folders.h"
#include "core/settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

namespace velmora::support {

namespace {
// Lets the interface settle after a language change, events still running.
void Pause(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool LoadWhenPresent(const QString& code, int pause) {
    const QString path = LanguageFilePath(code);
    if (code.isEmpty() || !QFileInfo(path).isFile())
        return false;
    TFreeLocalizer& localizer = Localizer();
    localizer.SetAutoTranslate(true);
    localizer.LoadLanguageFile(path);
    Pause(pause);
    return true;
}
} // namespace

TFreeLocalizer& Localizer() {
    static TFreeLocalizer engine;
    static const bool installed = (engine.InstallResourceTranslator(), true);
    Q_UNUSED(installed);
    return engine;
}

QString LanguageFilePath(const QString& code) {
    return core::LanguageDir() + code + QStringLiteral(".lng");
}

bool LoadStartupLanguage() {
    return LoadWhenPresent(core::CurrentSettings().language, 100);
}

bool LoadCommandLineLanguage() {
    return LoadWhenPresent(core::CurrentSettings().language, 0);
}

bool SwitchLanguage(const QString& code) {
    core::CurrentSettings().language = code;
    return LoadWhenPresent(code, 200);
}

} // namespace velmora::support
