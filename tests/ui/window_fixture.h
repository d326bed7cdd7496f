#pragma once

#include "fakes/fakes.h"
#include "ui/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kavo::ui::test {

// A main window over recording fakes, the remote included.
class WindowTest : public ::testing::Test {
protected:
    MainWindow& open(bool withRemote = true) {
        Collaborators with{store, files, shortPaths, starter, messages};
        if (withRemote) {
            with.windows = &windows;
            with.layout = &layout;
            with.injector = &injector;
        }
        window = std::make_unique<MainWindow>(with);
        return *window;
    }

    // Shown and active, so that shortcuts and access keys reach it.
    MainWindow& openActive(bool withRemote = true) {
        open(withRemote);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    template <typename T = QAction> T* find(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QString text(const char* box) const;
    // Keys go where a real keyboard's would: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    fake::Store store;
    fake::Files files;
    fake::ShortPaths shortPaths;
    fake::Starter starter;
    fake::Messages messages;
    fake::Windows windows;
    fake::Layout layout;
    fake::Injector injector;
    std::unique_ptr<MainWindow> window;
};

} // namespace kavo::ui::test
