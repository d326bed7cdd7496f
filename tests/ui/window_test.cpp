#include "fakes/fakes.h"
#include "remote/control_panel.h"
#include "remote/sendkey.h"
#include "temp_dir.h"
#include "ui/qt/main_window.h"
#include "ui/qt/platform_choice.h"
#include "ui/qt/qt_message_sink.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <gtest/gtest.h>

namespace kavo::ui {
namespace {

// A main window over recording fakes, active so that shortcuts and access keys reach it, run in
// a private tree for its pickers to list.
struct WindowTest : ::testing::Test {
    WindowTest() {
        std::filesystem::current_path(tree.path());
        for (const char* name : {"b.spc", "A.SPC", "tune.zs2", "music/deep.spc", "gone/"})
            tree.file(name);
    }
    ~WindowTest() override {
        window.reset();
        std::filesystem::current_path(saved);
    }
    void open(bool remote = true) {
        window = std::make_unique<MainWindow>(
            remote ? Collaborators{store, files, paths, starter, messages, &windows, &layout, &keys}
                   : Collaborators{store, files, paths, starter, messages});
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Opens a picker, which must take the keyboard itself.
    QWidget* openPicker(const char* item) {
        trigger(item);
        EXPECT_TRUE(QTest::qWaitFor([this] { return focused() == find("Drive1", true); }));
        return window->picker();
    }
    // A control of the main window, or of the picker open over it.
    template <typename T = QWidget> T* find(const char* name, bool inPicker = false) const {
        return (inPicker ? window->picker() : window.get())->findChild<T*>(name);
    }
    void trigger(const char* action) const { window->findChild<QAction*>(action)->trigger(); }
    std::string text(const char* box) const { return find<QLineEdit>(box)->text().toStdString(); }
    static QWidget* focused() { return QApplication::focusWidget(); }
    // Keys go where a real keyboard's would: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused(), key, modifiers);
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

// Exit by Ctrl+X from a text box with selected text does not cut it.
TEST_F(WindowTest, MainWindowShowsWhatItsPresenterDecidesAndForwardsCommands) {
    open();
    for (const QLabel* label : window->findChildren<QLabel*>()) // the narrow font fits them
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    for (const char* item : {"mnu16000", "mnustereo", "mnuforce8bit", "mnulogtowav"})
        trigger(item);
    std::string checked;
    for (const QAction* action : window->findChildren<QAction*>())
        checked += action->isChecked() ? action->objectName().toStdString() + " " : "";
    EXPECT_EQ(checked, "mnu16000 mnuforce8bit mnulogtowav ");
    EXPECT_TRUE(find("Text3")->isEnabled());
    find("Text2")->setFocus();
    for (Qt::Key key : {Qt::Key_U, Qt::Key_U, Qt::Key_D, Qt::Key_A})
        press(key, key == Qt::Key_A ? Qt::AltModifier : Qt::ControlModifier);
    EXPECT_EQ(window->findChild<QAction*>("mnucurlev")->text(), "Current Level:  80");
    EXPECT_EQ(messages.shown.at(0).title, "About");
    find<QLineEdit>("Text2")->setText("/music/a.spc");
    find<QLineEdit>("Text2")->selectAll();
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(text("Text2"), "/music/a.spc");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(store.writes.size(), 5U);
}

// By click and by Enter on the button; without a remote, nothing.
TEST_F(WindowTest, PanelPressesItsKeysInThePlayerAndComesBack) {
    open();
    const auto buttons = find("Frame1")->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 12);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const PanelButton& entry = kPanelButtons.at(static_cast<std::size_t>(i));
        EXPECT_EQ(buttons[i]->text().toStdString(), entry.caption);
        QTest::mouseClick(buttons[i], Qt::LeftButton);
        buttons[i]->setFocus();
        press(Qt::Key_Return);
        auto twice = keyEventsFor(entry.text, layout);
        twice.insert(twice.end(), twice.begin(), twice.end());
        EXPECT_EQ(keys.events, twice) << entry.caption;
        EXPECT_EQ(windows.log.size(), 4U);
        windows.log.clear();
        keys.events.clear();
    }
    open(false);
    for (QPushButton* button : find("Frame1")->findChildren<QPushButton*>())
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(windows.log.empty() && window->isActiveWindow());
}

// A picker is a window of its own above the main window, which takes no input meanwhile; Exit
// ends the run also with a picker open.
TEST_F(WindowTest, APickerIsModal) {
    files.files[tree.dir() + "SPCPLAY.EXE"] = std::string(913758, 'x');
    open();
    for (const auto& [item, key] : {std::pair{"mnuloadspc", Qt::Key_Escape},
                                    {"mnudir", Qt::Key_S},
                                    {"mnudir", Qt::Key_unknown}}) {
        QPointer<QWidget> picker = openPicker(item);
        EXPECT_EQ(picker->windowHandle()->transientParent(), window->windowHandle());
        EXPECT_TRUE(picker->testAttribute(Qt::WA_KeyboardFocusChange)) << "focus frame at once";
        EXPECT_FALSE(window->isEnabled());
        QTest::keyClicks(find("Text1"), "abc");
        EXPECT_EQ(text("Text1"), "");
        if (key == Qt::Key_unknown) {
            QTimer::singleShot(0, window.get(), [this] { trigger("mnuquit"); });
            // Should the loop keep running, this ends it with a code that fails the test.
            QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
            EXPECT_EQ(QApplication::exec(), 0);
        } else {
            press(key, key == Qt::Key_S ? Qt::AltModifier : Qt::NoModifier);
        }
        EXPECT_TRUE(QTest::qWaitFor([&picker] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return picker.isNull();
        }));
        EXPECT_TRUE(window->isEnabled());
    }
    EXPECT_EQ(text("Text2"), tree.dir() + "SPCPLAY.EXE");
    EXPECT_EQ(store.value("SPCDir4"), tree.str());
}

TEST_F(WindowTest, SpcPickerShowsItsListsAndTags) {
    const std::string header = "SNES-SPC700 Sound File Data v0.30\x1a\x1a\x1a\x1a";
    tree.file("b.spc", header + std::string(9, 0) + "Song" + std::string(206, 0));
    open();
    openPicker("mnuloadspc");
    auto* dir1 = find<QListWidget>("Dir1", true);
    auto* file1 = find<QListWidget>("File1", true);
    for (const auto* box : window->picker()->findChildren<QCheckBox*>())
        EXPECT_LE(box->sizeHint().width(), box->width()) << "clipped";
    EXPECT_LE(dir1->sizeHintForRow(0), 16) << "directory rows are one line high";
    QTest::mouseClick(find<QCheckBox>("Check2", true), Qt::LeftButton);
    EXPECT_EQ(file1->count(), 3);
    // Selecting a file with the keyboard shows what its tag says; a file without one, nothing.
    file1->setFocus();
    file1->setCurrentRow(0);
    press(Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::text() == "Title: Song"; }));
    press(Qt::Key_Up);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
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
    // Enter on another directory enters it; on the current one it is Load's; in the files, too.
    dir1->setCurrentItem(dir1->findItems("music", {}).value(0));
    dir1->setFocus();
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_EQ(messages.shown.at(0).text, "Choose an SPC file.");
    file1->setFocus();
    file1->setCurrentRow(0);
    press(Qt::Key_Return);
    EXPECT_EQ(text("Text1"), tree.dir() + "music/deep.spc");
}

// A box belongs to the window of ours active when it is raised, breaks lines at CRs and never
// reads text as markup.
TEST(QtMessageSink, ShowsAModalBoxOverTheActiveWindow) {
    QWidget picker;
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    QString seen;
    QTimer::singleShot(0, [&seen, &picker] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        seen = box->text() + (box->parentWidget() == &picker ? "|picker|" : "|other|") +
               QString::number(box->icon()) + (box->textFormat() == Qt::PlainText ? "|plain" : "");
        box->accept();
    });
    QtMessageSink().show("a\rb\r\n<b>c</b>", "Error", MessageIcon::Error);
    EXPECT_EQ(seen, "a\nb\n<b>c</b>|picker|3|plain");
}

TEST(Platform, XWhereBothDisplaysExistAndNoneWasChosen) {
    EXPECT_EQ(preferredPlatform(nullptr, "wayland-0", ":0"), "xcb");
    EXPECT_EQ(preferredPlatform("", "wayland-0", ":0"), "xcb");
    EXPECT_EQ(preferredPlatform("wayland", "wayland-0", ":0"), "");
    EXPECT_EQ(preferredPlatform(nullptr, "wayland-0", nullptr), "");
}

} // namespace
} // namespace kavo::ui
