#include "cli/consoleprompts.h"

namespace velmora::cli {

void ConsolePrompts::Write(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    line.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_err << line << '\n';
    m_err.flush();
}

void ConsolePrompts::Message(const QString& text, core::MessageKind kind) {
    if (kind == core::MessageKind::Error)
        ++m_errors;
    Write(text);
}

// The command line has already said yes: the question itself is not shown.
bool ConsolePrompts::YesNo(const QString&) {
    return true;
}

core::Answer ConsolePrompts::YesNoCancel(const QString&) {
    return core::Answer::Yes;
}

bool ConsolePrompts::OkAbort(const QString&) {
    return true;
}

std::optional<QString> ConsolePrompts::InputText(const QString&, const QString&,
                                                 const QString& initial) {
    return initial;
}

} // namespace velmora::cli
