#pragma once
// Errors of the program: an unreadable or unwritable file, a value that cannot be
// converted. They carry the file (when there is one) and the reason, so that a window can
// show one clear message. Nothing below the windows swallows them.

#include <QString>
#include <stdexcept>

namespace velmora::core {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& reason, const QString& file = {});
    const QString& File() const { return m_file; }
    const QString& Reason() const { return m_reason; }
    // "file: reason", or the reason alone when no file is involved.
    QString Message() const;

private:
    QString m_file;
    QString m_reason;
};

// Inside a catch block: the exception being handled as a text for the user (an Error's
// message, "not enough memory", or what another exception says).
QString CurrentFailureText();

// Thrown by a rule that has already told the user why an action cannot go on (a refused
// post, say): the action is abandoned without a further message and nothing is written.
struct Refusal {};

} // namespace velmora::core
