#include "fakes/fakes.h"
#include "remote/sendkey.h"
#include "temp_dir.h"
#include "ui/qt/main_window.h"
#include "ui/qt/platform_choice.h"
#include "ui/qt/qt_message_sink.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace kavo::ui {
namespace {

// A main window over recording fakes, active so that shortcuts and access keys reach it, run in
// a private tree for its pickers to list.
struct WindowTest : ::testing::Test {
    WindowTest() {
        std::filesystem::current_path(tree.str());
        for (const char* name : {"b.spc", "A.SPC", "tune.zs2", "music/deep.spc", "gone/"})
            tree.file(name);
    }
    ~WindowTest() override { std::filesystem::current_path(saved); }
    void open(MessageSink& sink) {
        window = std::make_unique<MainWindow>(
            Collaborators{store, files, paths, starter, sink, &windows, &layout, &keys});
        window->show(), window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // A control of the main window, or of the picker open over it.
    template <typename T = QWidget> T* find(const char* name, bool inPicker = false) const {
        return (inPicker ? window->picker() : window.get())->findChild<T*>(name);
    }
    void trigger(const char* action) const { window->findChild<QAction*>(action)->trigger(); }
    // Keys go where a real keyboard's would: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Exit must end the running loop at once, and with code 0.
    int runUntilExit(const std::function<void()>& exit) const {
        QTimer::singleShot(0, window.get(), exit);
        QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(1); });
        return QApplication::exec();
    }
    // A picker is a window of its own above this one and takes the keyboard, with the focus
    // frame shown at once, while this one takes no input.
    QWidget* openPicker(const char* item) {
        trigger(item);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return QApplication::focusWidget() == find("Drive1", true); }));
        EXPECT_EQ(window->picker()->windowHandle()->transientParent(), window->windowHandle());
        EXPECT_TRUE(window->picker()->testAttribute(Qt::WA_KeyboardFocusChange));
        QTest::keyClicks(find("Text1"), "abc");
        EXPECT_TRUE(!window->isEnabled() && find<QLineEdit>("Text1")->text().isEmpty());
        return window->picker();
    }

    std::filesystem::path saved = std::filesystem::current_path();
    kavo::test::TempDir tree;
    fake::Store store;
    fake::Files files;
    fake::ShortPaths paths;
    fake::Starter starter;
    fake::Messages messages;
    fake::Windows windows;
    fake::Layout layout;
    fake::Injector keys;
    std::unique_ptr<MainWindow> window;
};

// A panel button presses its keys in the player on Enter (clicks: the real-window run). Close
// saves, and so does the release; Exit by Ctrl+X, even from a text box with selected text, saves
// once and does not cut.
TEST_F(WindowTest, MainWindowShowsWhatItsPresenterDecidesAndForwardsCommands) {
    open(messages);
    EXPECT_TRUE(window->close());
    open(messages);
    find("Frame1")->findChildren<QPushButton*>().at(5)->setFocus(); // "&5"
    press(Qt::Key_Return);
    EXPECT_EQ(keys.events, keyEventsFor("5", layout));
    find("Text2")->setFocus();
    press(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(window->findChild<QAction*>("mnucurlev")->text(), "Current Level:  80");
    find<QLineEdit>("Text2")->setText("/music/a.spc");
    find<QLineEdit>("Text2")->selectAll();
    EXPECT_EQ(runUntilExit([] { press(Qt::Key_X, Qt::ControlModifier); }), 0);
    EXPECT_EQ(find<QLineEdit>("Text2")->text() + (window->isVisible() ? " shown" : ""),
              "/music/a.spc");
    EXPECT_EQ(store.writes.size(), 15U);
}

TEST_F(WindowTest, PickersShowWhatTheirPresentersDecideAndTakeTheirKeys) {
    QtMessageSink sink;
    open(sink);
    QPointer<QWidget> picker = openPicker("mnuloadspc");
    auto *dir1 = find<QListWidget>("Dir1", true), *file1 = find<QListWidget>("File1", true);
    EXPECT_LE(dir1->sizeHintForRow(0), 16) << "directory rows are one line high";
    QTest::mouseClick(find("Check2", true), Qt::LeftButton);
    EXPECT_EQ(file1->count(), 3);
    // Double-clicks: a file is only selected; a vanished directory keeps the place and goes.
    const auto doubleClick = [](QListWidget* list, const char* label) {
        const QPoint at = list->visualItemRect(list->findItems(label, {}).value(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(file1, "b.spc");
    EXPECT_EQ(file1->selectedItems().value(0)->text(), "b.spc");
    std::filesystem::remove(tree.dir() + "gone");
    doubleClick(dir1, "gone");
    EXPECT_TRUE(dir1->findItems("gone", {}).isEmpty() && file1->count() == 3);
    // Enter on another directory enters it; on the current one it is Load's.
    dir1->setCurrentItem(dir1->findItems("music", {}).value(0));
    dir1->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(file1->item(0)->text(), "deep.spc");
    // A message box belongs to the window of ours active when it is raised, breaks lines at CRs
    // and never reads text as markup.
    QString seen;
    QTimer::singleShot(0, [&seen, &picker] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        seen = box->text() + (box->parentWidget() == picker ? "|picker|" : "|other|") +
               QString::number(box->icon()) + (box->textFormat() == Qt::PlainText ? "|plain" : "");
        box->accept();
    });
    press(Qt::Key_Return);
    EXPECT_EQ(seen.toStdString(), "Choose an SPC file.|picker|3|plain");
    EXPECT_EQ(QtMessageSink::displayText("a\rb\r\nc"), "a\nb\nc");
    // The picker takes the keyboard back from the box, which gave it to the main window.
    EXPECT_TRUE(QTest::qWaitFor([&picker] { return QApplication::activeWindow() == picker; }));
    press(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&picker] { return picker.isNull(); }) && window->isEnabled());
    openPicker("mnudir"); // Exit ends the run also with a picker open
    EXPECT_EQ(runUntilExit([this] { trigger("mnuquit"); }), 0);
}

TEST(Platform, XWhereBothDisplaysExistAndNoneWasChosen) {
    EXPECT_EQ(preferredPlatform(nullptr, "wayland-0", ":0"), "xcb");
    EXPECT_EQ(preferredPlatform("wayland", "wayland-0", ":0"), "");
    EXPECT_EQ(preferredPlatform(nullptr, "wayland-0", nullptr), "");
}

} // namespace
} // namespace kavo::ui
