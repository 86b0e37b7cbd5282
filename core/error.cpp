#include "core/error.h"

namespace velmora::core {

static std::string Compose(const QString& reason, const QString& file) {
    return (file.isEmpty() ? reason : file + QStringLiteral(": ") + reason).toStdString();
}

Error::Error(const QString& reason, const QString& file)
    : std::runtime_error(Compose(reason, file)), m_file(file), m_reason(reason) {}

QString Error::Message() const {
    return QString::fromStdString(what());
}

} // namespace velmora::core
