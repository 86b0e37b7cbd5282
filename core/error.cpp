#include "core/error.h"

#include "core/resourcestrings.h"

#include <new>

namespace velmora::core {

static std::string Compose(const QString& reason, const QString& file) {
    return (file.isEmpty() ? reason : file + QStringLiteral(": ") + reason).toStdString();
}

Error::Error(const QString& reason, const QString& file)
    : std::runtime_error(Compose(reason, file)), m_file(file), m_reason(reason) {}

QString Error::Message() const {
    return QString::fromStdString(what());
}

QString CurrentFailureText() {
    try {
        throw;
    } catch (const Error& e) {
        return e.Message();
    } catch (const std::bad_alloc&) {
        return ResStr(rsNotEnoughMemory);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("?");
    }
}

} // namespace velmora::core
