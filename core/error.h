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

} // namespace velmora::core
