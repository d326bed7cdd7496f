#include "remote/sendkey.h"
#include "window_fixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace kavo::ui::test {
namespace {

TEST_F(WindowTest, CtrlXEndsTheProgramEvenFromATextBoxWithSelectedText) {
    for (const char* name : {"Text1", "Text2", "Text3"}) {
        SCOPED_TRACE(name);
        store.writes.clear();
        openActive();
        auto* box = find<QLineEdit>(name);
        box->setText("/music/a.spc");
        box->setFocus();
        box->selectAll();
        ASSERT_EQ(QApplication::focusWidget(), box);
        press(Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "/music/a.spc") << "the box cut instead";
        EXPECT_EQ(store.writes.size(), 5u);
        EXPECT_FALSE(window->isVisible());
        window.reset();
        EXPECT_EQ(store.writes.size(), 5u);
    }
}

TEST_F(WindowTest, VolumeShortcutsWorkFromATextBox) {
    openActive();
    find<QLineEdit>("Text1")->setFocus();
    press(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(find("mnucurlev")->text(), "Current Level:  80");
    press(Qt::Key_U, Qt::ControlModifier);
    press(Qt::Key_D, Qt::ControlModifier);
    press(Qt::Key_D, Qt::ControlModifier);
    press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(find("mnucurlev")->text(), "Current Level:  70");
}

TEST_F(WindowTest, CtrlLOpensThePickerAndDisablesTheWindow) {
    openActive();
    find<QLineEdit>("Text2")->setFocus();
    press(Qt::Key_L, Qt::ControlModifier);
    ASSERT_NE(window->picker(), nullptr);
    EXPECT_TRUE(window->picker()->isVisible());
    EXPECT_FALSE(window->isEnabled());
}

TEST_F(WindowTest, MenuBarAccessKeysRunTheirCommands) {
    openActive();
    find<QLineEdit>("Text1")->setFocus();
    press(Qt::Key_A, Qt::AltModifier);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "About");
    press(Qt::Key_L, Qt::AltModifier);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "You must specify an SPC file!");
}

TEST_F(WindowTest, AltFOpensTheFileMenu) {
    openActive();
    find<QLineEdit>("Text1")->setFocus();
    press(Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return find<QMenu>("mnufile")->isVisible(); }));
}

TEST_F(WindowTest, PanelAccessKeysPressTheirKeysInThePlayer) {
    const std::pair<Qt::Key, char> keys[] = {{Qt::Key_1, '1'},
                                             {Qt::Key_5, '5'},
                                             {Qt::Key_9, '9'},
                                             {Qt::Key_Plus, '+'},
                                             {Qt::Key_Minus, '-'}};
    openActive();
    for (const auto& [key, sent] : keys) {
        SCOPED_TRACE(sent);
        injector.events.clear();
        windows.log.clear();
        find<QLineEdit>("Text1")->setFocus();
        press(key, Qt::AltModifier);
        // A button's access key clicks it on release of the animation.
        EXPECT_TRUE(QTest::qWaitFor([this] { return !windows.log.empty(); }));
        EXPECT_EQ(injector.events, keyEventsFor(std::string(1, sent), layout));
    }
    // Enter clicks a focused button, as Space does.
    injector.events.clear();
    find<QPushButton>("Command3")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(injector.events, keyEventsFor("+", layout));
}

} // namespace
} // namespace kavo::ui::test
