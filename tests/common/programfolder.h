#pragma once
// A program folder for a test: a temporary directory with Data/ and Lib/ (Lib/ with the
// shipped biotope table when the main window is made), made the program's folder with the
// default settings and "." as decimal separator; all of it undone when the test ends.

#include "core/folders.h"
#include "core/settings.h"
#include "core/text/textutils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace velmora::testing {

class ProgramFolder {
public:
    enum class Lib { Empty, WithBiotopes };
    explicit ProgramFolder(Lib lib = Lib::Empty) {
        QDir root(dir.path());
        root.mkdir(QStringLiteral("Data"));
        root.mkdir(QStringLiteral("Lib"));
#ifdef VELMORA_PROGRAM_DIR
        if (lib == Lib::WithBiotopes)
            QFile::copy(QStringLiteral(VELMORA_PROGRAM_DIR) + "/Lib/Biotoopcodes.dbf",
                        dir.filePath(QStringLiteral("Lib/Biotoopcodes.dbf")));
#else
        (void)lib;
#endif
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        core::SetDecimalSeparator(QLatin1Char('.'));
    }
    ~ProgramFolder() {
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    QString filePath(const QString& name) const {
        return dir.filePath(name);
    }
    QString path() const {
        return dir.path();
    }
    // A file of the Data folder.
    QString Data(const QString& file) const {
        return dir.filePath(QStringLiteral("Data/") + file);
    }

    QTemporaryDir dir;
};

} // namespace velmora::testing
