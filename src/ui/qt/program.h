#pragma once

#include "ui/qt/main_window.h"
#include "ui/qt/qt_message_sink.h"

#include <memory>

namespace kavo::ui {

// The main window with this platform's backends, put together as the program runs it. Needs a
// QApplication.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    MainWindow& window() { return *window_; }
    // Shows the window and makes it the one the control panel gives the focus back to.
    void show();

private:
    struct Backends;
    static Collaborators wire(Backends& backends, QtMessageSink& messages);

    QtMessageSink messages_; // first: the backends report through it
    std::unique_ptr<Backends> backends_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace kavo::ui
