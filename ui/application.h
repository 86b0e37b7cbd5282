#pragma once
// The program's application object. Every event the program handles passes through it: an
// error that escapes a window's handler (an unreadable table, a full disk, no memory) becomes
// a message, and the program goes on, instead of ending without a word.

#include <QApplication>
#include <functional>

namespace velmora::ui {

// Runs a delivery; an exception thrown inside it is shown through the prompts interface and
// the delivery counts as not handled. A refusal (the user has been told already) is quiet.
bool DeliverGuarded(const std::function<bool()>& deliver);

class Application : public QApplication {
public:
    Application(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace velmora::ui
