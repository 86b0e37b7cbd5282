#pragma once
// Test steps run inside a modal window opened by the code under test: the steps wait until
// the window runs its own event loop, then run; a window that a failed step leaves open is
// rejected, so the test goes on.

#include <QDialog>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

namespace velmora::testing {

// `ran` (when given) is set once the steps have run.
inline void InModalWindow(QDialog* window, const std::function<void()>& steps,
                          const std::shared_ptr<bool>& ran = {}) {
    QTimer::singleShot(0, window, [window, steps, ran] {
        // The timer may fire before the window is shown, or while it is being shown (screen
        // updates while a database is opened or closed): the steps wait for its event loop.
        if (!window->isVisible() || QThread::currentThread()->loopLevel() == 0) {
            InModalWindow(window, steps, ran);
            return;
        }
        if (ran)
            *ran = true;
        window->activateWindow();
        steps();
        if (window->isVisible())
            window->reject();
    });
}

} // namespace velmora::testing
