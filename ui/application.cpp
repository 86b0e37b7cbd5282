#include "ui/application.h"

#include "core/error.h"
#include "core/prompts.h"

namespace velmora::ui {

bool DeliverGuarded(const std::function<bool()>& deliver) {
    QString failure;
    try {
        return deliver();
    } catch (const core::Refusal&) {
        return false;
    } catch (...) {
        failure = core::CurrentFailureText();
    }
    try {
        core::UserPrompts().Message(failure, core::MessageKind::Error);
    } catch (...) {
        // Showing the message failed as well: the event stays unhandled, the program goes on.
    }
    return false;
}

bool Application::notify(QObject* receiver, QEvent* event) {
    return DeliverGuarded([&] { return QApplication::notify(receiver, event); });
}

} // namespace velmora::ui
