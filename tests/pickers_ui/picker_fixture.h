#pragma once

#include "fakes/fakes.h"
#include "picker/temp_dir.h"
#include "present/picker_host.h"
#include "ui/qt/pickers/picker_window.h"

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kavo::ui::test {

class RecordingHost : public PickerHost {
public:
    explicit RecordingHost(fake::Store& store) : store_(store) {}
    void loadspc(const std::string& path) override { calls.push_back("loadspc " + path); }
    void setdir(const std::string& directoryText) override {
        calls.push_back("setdir " + directoryText);
        writesBeforeSetdir = store_.writes.size();
    }
    void enableMain() override { calls.push_back("enableMain"); }

    std::vector<std::string> calls;
    std::size_t writesBeforeSetdir = 0;

private:
    fake::Store& store_;
};

// A picker over a private directory tree, started from inside it, with $HOME as the tree.
class PickerTest : public ::testing::Test {
protected:
    PickerTest() : saved_(std::filesystem::current_path()) {
        savedHome_ = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(tree.str()));
        std::filesystem::current_path(tree.path());
    }
    ~PickerTest() override {
        delete window.data();
        std::filesystem::current_path(saved_);
        qputenv("HOME", savedHome_);
    }
    PickerTest(const PickerTest&) = delete;
    PickerTest& operator=(const PickerTest&) = delete;

    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    template <typename T> T* find(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::string dirPath() const {
        return static_cast<const PickerWindow*>(window.data())->directoryPath();
    }
    // Keys go where a real keyboard's would: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    bool closedAndDeleted() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
    int enableCount() const {
        return static_cast<int>(std::count(host.calls.begin(), host.calls.end(), "enableMain"));
    }

    kavo::test::TempDir tree;
    fake::Store store;
    fake::Messages messages;
    RecordingHost host{store};
    QPointer<QWidget> window;

private:
    std::filesystem::path saved_;
    QByteArray savedHome_;
};

} // namespace kavo::ui::test
