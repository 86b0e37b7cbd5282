#pragma once
// The interface language engine. A language file replaces the built-in Dutch texts of the
// windows and of the message table at run time. One engine serves the whole run (see
// Localizer() in support/interfacelanguage.h).
//
// The file (UTF-8, lines handled one by one):
//
//   ; Tarvo's Zendra Localizer Language File.      <- signature, optionally after a BOM
//   Humanize=0                                     <- options, anywhere in the file
//   [TMainForm]                                    <- a window class
//   Caption='Main window'
//   SelectDatabase.Caption='Open, create or delete database'
//   Sorteer.Items='By name' 'Oldest first'         <- two lines: two list items
//   (x)OldButton.Caption='...'                     <- "(": obsolete or untranslated, skipped
//   [RESOURCESTRINGS]
//   1001_rsDatabaseInUse='The database is already open in another program'
//   [(x)TOldForm]                                  <- a deleted window: loading stops here
//
// Errors are never shown: the engine runs silently. A bad line is skipped, or loading stops
// where going on could apply wrong texts; what was read before stays. Every problem is kept
// in Errors(), for tests and for whoever maintains a language file.
//
// The engine knows nothing of widgets. A window is reached through FormAccess, and the
// interface layer attaches the translation step to window creation through FormHost.

#include "support/tresstringer.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace velmora::support {

// One [...] section: a window class and its entries in file order.
struct FormSection {
    QString name;
    QStringList paths;  // property paths such as "SelectDatabase.Caption"
    QStringList values; // decoded values; line breaks are carriage returns
};

enum class LocalizerErrorKind {
    FileUnreadable,
    BadSignature,
    DeletedWindow,  // a [(x)...] section: loading stopped
    InvalidUtf8,    // line skipped
    SkippedLine,    // an obsolete "(x)" or untranslated "(!)" line
    BadResourceId,  // line skipped
    BadLine,        // no "=" (skipped) or an empty property path (loading stopped)
    BadValue,       // an undecodable value: loading stopped
    UnknownProperty // an entry whose path leads nowhere in the window: entry skipped
};

struct LocalizerError {
    LocalizerErrorKind kind;
    int line = 0; // 1-based line of the file; 0 for errors met while translating a window
    QString detail;
};

// What the engine needs of a window (or of a frame inside one).
class FormAccess {
public:
    virtual ~FormAccess() = default;
    // The class name and the names of its ancestors, most derived first, up to the generic
    // window class (which is not listed): {"TMainForm"}.
    virtual QStringList ClassChain() const = 0;
    // The frames embedded directly in this window.
    virtual std::vector<std::unique_ptr<FormAccess>> Frames() const = 0;
    // Sets the property a path leads to; false when there is no such property.
    virtual bool Apply(const QString& path, const QString& value) = 0;
};

// The interface layer's side of automatic translation.
class FormHost {
public:
    virtual ~FormHost() = default;
    // Attaches (or detaches) the translation step that runs on every new window.
    virtual void AutoTranslateChanged(bool on) = 0;
    // Translates every window that exists now.
    virtual void TranslateAllForms() = 0;
};

class TFreeLocalizer {
public:
    static const QString& Signature();
    static const QString& DefaultMarker(); // "\"

    TFreeLocalizer();
    ~TFreeLocalizer();
    TFreeLocalizer(const TFreeLocalizer&) = delete;
    TFreeLocalizer& operator=(const TFreeLocalizer&) = delete;

    // Automatic translation: when on, every new window is translated after it is built and
    // before it is shown, and loading a file retranslates the windows that exist.
    void SetAutoTranslate(bool on);
    bool AutoTranslate() const { return m_autoTranslate; }
    void SetFormHost(FormHost* host);
    FormHost* Host() const { return m_host; }

    // The folder relative names are taken from; empty (the program passes full paths).
    void SetLanguageDir(const QString& dir) { m_languageDir = dir; }
    const QString& LanguageDir() const { return m_languageDir; }

    // Reads a language file (".lng" is appended when missing). The form sections of the
    // previous file are dropped first; the message table is rebuilt when the file has a
    // [RESOURCESTRINGS] section. After a complete load the name is remembered and, with
    // automatic translation on, every existing window is translated. Never throws.
    void LoadLanguageFile(const QString& name);
    // The last file that loaded completely; empty before.
    const QString& LanguageFile() const { return m_languageFile; }

    // Applies the sections of the window's ancestor classes, then its own.
    void TranslateForm(FormAccess& form);

    const std::vector<FormSection>& Sections() const { return m_sections; }
    // The first section with this name (letter case ignored), or null.
    const FormSection* Section(const QString& name) const;

    bool Humanize() const { return m_humanize; }
    const QString& CrMarker() const { return m_crMarker; }
    const QString& CrlfMarker() const { return m_crlfMarker; }

    TResStringer& ResStringer() { return m_stringer; }
    const TResStringer& ResStringer() const { return m_stringer; }
    // Routes every core::ResStr lookup through this engine's message table, until the
    // engine is destroyed. Line breaks reach the caller as "\n".
    void InstallResourceTranslator();

    // Problems of the last load and of the translations since.
    const std::vector<LocalizerError>& Errors() const { return m_errors; }
    void ClearErrors() { m_errors.clear(); }

private:
    void ReadOptions(const QList<QByteArray>& lines);
    // False when loading must stop.
    bool ReadFormLine(const QString& line, int lineNo, FormSection& section);
    bool ReadResourceLine(const QString& line, int lineNo);
    std::optional<QString> DecodeValue(const QString& value, bool resourceString) const;
    void TranslateClass(FormAccess& form, const QStringList& chain, qsizetype index);
    void ApplySection(FormAccess& form, const QString& className);
    void Report(LocalizerErrorKind kind, int line, const QString& detail);

    std::vector<FormSection> m_sections;
    TResStringer m_stringer;
    bool m_humanize = false;
    QString m_crMarker;
    QString m_crlfMarker;
    bool m_autoTranslate = false;
    FormHost* m_host = nullptr;
    QString m_languageDir;
    QString m_languageFile;
    bool m_translatorInstalled = false;
    std::vector<LocalizerError> m_errors;
};

} // namespace velmora::support
