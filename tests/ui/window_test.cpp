#include "fakes/fakes.h"
#include "remote/sendkey.h"
#include "ui/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace kavo::fake {
void PrintTo(const Store::Write& write, std::ostream* os) {
    *os << write.key << '=' << write.value;
}
} // namespace kavo::fake

namespace kavo::ui::test {
namespace {

// A main window over recording fakes, the remote included, shown and active so that
// shortcuts and access keys reach it.
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
    QAbstractButton* digit(int index) const {
        return find<QButtonGroup>("Command2")->button(index);
    }
    // Keys go where a real keyboard's would: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
    }
    void expectKeysSent(const char* text) {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !windows.log.empty(); }));
        EXPECT_EQ(windows.log, (std::vector<std::string>{"activate SPCPLAY", "activate self"}));
        EXPECT_EQ(injector.events, keyEventsFor(text, layout)) << text;
        windows.log.clear();
        injector.events.clear();
    }

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

// Twips as the window was designed; 15 twips make one logical pixel.
QRect fromTwips(int left, int top, int width, int height) {
    const auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    return {px(left), px(top), px(width), px(height)};
}

TEST_F(WindowTest, ControlsCaptionsAndPlaces) {
    open();
    const struct {
        const char *name, *caption;
        int left, top, width, height;
    } places[] = {
        {"Label1", "Filename:", 120, 120, 735, 255},
        {"Text1", "", 120, 360, 4095, 285},
        {"Label2", "SPCPLAY Directory:", 120, 720, 1455, 255},
        {"Text2", "(No directory specified)", 120, 960, 4095, 285},
        {"Label3", "WAV Filename:", 120, 1320, 1215, 255},
        {"Text3", "", 120, 1560, 4095, 285},
        {"Frame1", "SPCPlay Controls", 4320, 120, 1575, 1695},
        {"Command1", "&Stop Playing", 120, 240, 1335, 255},
        {"Command3", "&+", 660, 1320, 255, 255},
        {"Command4", "&-", 1040, 1320, 255, 255},
    };
    for (const auto& p : places) {
        auto* widget = find<QWidget>(p.name);
        EXPECT_EQ(widget->geometry(), fromTwips(p.left, p.top, p.width, p.height)) << p.name;
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            caption = label->text();
            EXPECT_LE(label->fontMetrics().horizontalAdvance(caption), label->width()) << p.name;
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            caption = box->text();
            EXPECT_TRUE(box->isEnabled() && !box->isReadOnly()) << p.name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            caption = button->text();
        } else {
            caption = qobject_cast<QGroupBox*>(widget)->title();
        }
        EXPECT_EQ(caption, p.caption) << p.name;
    }
    EXPECT_EQ(find<QWidget>("Command4")->geometry(), QRect(69, 88, 17, 17));
    const QPoint digitPlaces[] = {{120, 600}, {480, 600}, {840, 600},  {1200, 600}, {120, 960},
                                  {480, 960}, {840, 960}, {1200, 960}, {300, 1320}};
    ASSERT_EQ(find<QButtonGroup>("Command2")->buttons().size(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(digit(i)->objectName(), "Command2");
        EXPECT_EQ(digit(i)->text(), QStringLiteral("&%1").arg(i + 1));
        EXPECT_EQ(digit(i)->parentWidget(), find<QWidget>("Frame1"));
        EXPECT_EQ(digit(i)->geometry(),
                  fromTwips(digitPlaces[i].x(), digitPlaces[i].y(), 255, 255));
    }

    EXPECT_EQ(window->windowTitle(), "KAVOfe - Version 1.03j");
    EXPECT_EQ(window->windowIcon().pixmap(48, 48).size(), QSize(48, 48));
    const QWidget* client = window->centralWidget();
    EXPECT_EQ(client->size(), QSize(397, 126));
    EXPECT_EQ(client->y(), window->menuBar()->geometry().bottom() + 1);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags.testFlag(Qt::Tool));
    // Centred, off by the frame at most: its size is not known before the window is mapped.
    const QRect outer = window->frameGeometry();
    const QPoint offset = outer.center() - window->screen()->availableGeometry().center();
    EXPECT_LE(std::abs(offset.x()), outer.width() - window->width() + 1);
    EXPECT_LE(std::abs(offset.y()), outer.height() - window->height() + 1);

    // Tab visits the boxes, then the panel buttons, in order.
    find<QWidget>("Text1")->setFocus();
    std::vector<QWidget*> order{find<QWidget>("Text2"), find<QWidget>("Text3"),
                                find<QWidget>("Command1")};
    for (int i = 0; i < 9; ++i)
        order.push_back(digit(i));
    for (const char* name : {"Command3", "Command4", "Text1"})
        order.push_back(find<QWidget>(name));
    for (QWidget* next : order) {
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

struct MenuRow {
    int level;
    QString name, caption, shortcut;
    bool operator==(const MenuRow&) const = default;
};
void PrintTo(const MenuRow& row, std::ostream* os) {
    *os << row.level << ' ' << row.name.toStdString() << " \"" << row.caption.toStdString() << "\" "
        << row.shortcut.toStdString();
}
void flatten(const QList<QAction*>& actions, int level, std::vector<MenuRow>& rows) {
    for (const QAction* action : actions) {
        rows.push_back({level, action->objectName(),
                        action->isSeparator() ? QStringLiteral("-") : action->text(),
                        action->shortcut().toString(QKeySequence::PortableText)});
        if (action->menu())
            flatten(action->menu()->actions(), level + 1, rows);
    }
}

TEST_F(WindowTest, MenuTreeAndCommands) {
    store.put(key::kSamplingRate, "7");
    open();
    std::vector<MenuRow> rows;
    flatten(window->menuBar()->actions(), 1, rows);
    const std::vector<MenuRow> expected{
        {1, "mnufile", "&File", ""},
        {2, "mnuloadspc", "&Load SPC. . .", "Ctrl+L"},
        {2, "mnudir", "&SPCPLAY Dir. . .", ""},
        {2, "mnusep", "-", ""},
        {2, "mnuquit", "&Exit", "Ctrl+X"},
        {1, "mnusound", "&Sound", ""},
        {2, "mnusr", "&Sampling Rate", ""},
        {3, "mnu8000", "8000Hz", ""},
        {3, "mnu11025", "11025Hz", ""},
        {3, "mnu16000", "16000Hz", ""},
        {3, "mnu22050", "22050Hz", ""},
        {3, "mnu32000", "32000Hz", ""},
        {3, "mnu44100", "44100Hz", ""},
        {2, "mnuvol", "&Volume", ""},
        {3, "mnuup5", "&Up 5", "Ctrl+U"},
        {3, "mnudown5", "&Down 5", "Ctrl+D"},
        {3, "mnusep5", "-", ""},
        {3, "mnucurlev", "Current Level:  75", ""},
        {2, "mnuforce8bit", "&Force 8-bit Sound", ""},
        {2, "mnulogtowav", "&Log to WAV File", ""},
        {2, "mnustereo", "S&tereo", ""},
        {1, "mnulaunch", "&Launch", ""},
        {1, "mnuabout", "&About", ""},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(find("mnulaunch")->menu(), nullptr);
    EXPECT_FALSE(find("mnucurlev")->isEnabled());
    find("mnucurlev")->trigger();
    EXPECT_TRUE(store.writes.empty());

    for (const char* item : {"mnu16000", "mnustereo", "mnuforce8bit", "mnulogtowav", "mnuup5"})
        find(item)->trigger();
    EXPECT_TRUE(find("mnu16000")->isChecked());
    EXPECT_FALSE(find("mnu44100")->isChecked());
    EXPECT_FALSE(find("mnustereo")->isChecked());
    EXPECT_TRUE(find("mnuforce8bit")->isChecked());
    EXPECT_TRUE(find("mnulogtowav")->isChecked());
    EXPECT_TRUE(find<QLineEdit>("Text3")->isEnabled());
    EXPECT_EQ(find("mnucurlev")->text(), "Current Level:  80");
    find("mnulogtowav")->trigger();
    EXPECT_FALSE(find<QLineEdit>("Text3")->isEnabled());

    // Shortcuts reach the menu even from a text box; access keys run their commands.
    find<QLineEdit>("Text1")->setFocus();
    for (Qt::Key key : {Qt::Key_U, Qt::Key_D, Qt::Key_D, Qt::Key_D})
        press(key, Qt::ControlModifier);
    EXPECT_EQ(find("mnucurlev")->text(), "Current Level:  70");
    press(Qt::Key_A, Qt::AltModifier);
    press(Qt::Key_L, Qt::AltModifier);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "About");
    EXPECT_EQ(messages.shown[1].text, "You must specify an SPC file!");
    press(Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return find<QMenu>("mnufile")->isVisible(); }));
}

TEST_F(WindowTest, PanelPressesItsKeysInThePlayerAndComesBack) {
    open();
    const std::pair<QAbstractButton*, const char*> clicks[] = {
        {find<QPushButton>("Command1"), "q"},
        {digit(0), "1"},
        {digit(4), "5"},
        {digit(8), "9"},
        {find<QPushButton>("Command3"), "+"},
        {find<QPushButton>("Command4"), "-"}};
    for (const auto& [button, text] : clicks) {
        QTest::mouseClick(button, Qt::LeftButton);
        expectKeysSent(text);
    }
    // By access key from a text box; Enter clicks a focused button, as Space does.
    for (const auto& [key, text] :
         {std::pair{Qt::Key_1, "1"}, {Qt::Key_9, "9"}, {Qt::Key_Plus, "+"}, {Qt::Key_Minus, "-"}}) {
        find<QLineEdit>("Text1")->setFocus();
        press(key, Qt::AltModifier);
        expectKeysSent(text);
    }
    find<QPushButton>("Command3")->setFocus();
    press(Qt::Key_Return);
    expectKeysSent("+");
    EXPECT_TRUE(messages.shown.empty());

    // Without a player, or without a remote, every button does nothing.
    windows.playerPresent = false;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(windows.log.size(), 12u);
    EXPECT_TRUE(injector.events.empty());
    windows.log.clear();
    open(false);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(windows.log.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(window->isActiveWindow());
}

using Writes = std::vector<fake::Store::Write>;
Writes round(const char* volume, int times = 1) {
    Writes out;
    for (int i = 0; i < times; ++i)
        for (const auto& [k, v] : {std::pair{key::kSpcDir, ""},
                                   {key::kSamplingRate, "3"},
                                   {key::kStereo, "1"},
                                   {key::kForce8bit, "0"},
                                   {key::kVolume, volume}})
            out.push_back({"KAVO FE", "Settings", std::string(k), v});
    return out;
}

// Close saves at unload and again at final release; Exit (Ctrl+X, even from a text box with
// selected text) saves once and ends at once.
TEST_F(WindowTest, ClosingAndExiting) {
    open();
    find("mnuup5")->trigger();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(store.writes, round("80"));
    window.reset();
    EXPECT_EQ(store.writes, round("80", 2));

    store.writes.clear();
    open();
    auto* box = find<QLineEdit>("Text2");
    box->setText("/music/a.spc");
    box->setFocus();
    box->selectAll();
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "/music/a.spc") << "the box cut instead";
    EXPECT_FALSE(window->isVisible());
    window.reset();
    EXPECT_EQ(store.writes, round("80"));

    store.writes.clear();
    open();
    find("mnudir")->trigger();
    QPointer<QWidget> picker = window->picker();
    ASSERT_FALSE(picker.isNull());
    QTimer::singleShot(0, window.get(), [this] { find("mnuquit")->trigger(); });
    // Should the loop keep running, this ends it with a code that fails the test.
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(picker.isNull());
    EXPECT_EQ(store.writes, round("80"));
}

TEST_F(WindowTest, APickerIsAWindowOfItsOwnAndDisablesTheMainWindow) {
    for (const bool closeMain : {false, true}) {
        for (const auto& [item, key] :
             {std::pair{"mnuloadspc", Qt::Key_L}, {"mnudir", Qt::Key_unknown}}) {
            SCOPED_TRACE(item);
            store.writes.clear();
            open();
            if (key == Qt::Key_L) {
                find<QLineEdit>("Text2")->setFocus();
                press(key, Qt::ControlModifier);
            } else {
                find(item)->trigger();
            }
            QPointer<QWidget> picker = window->picker();
            ASSERT_FALSE(picker.isNull());
            EXPECT_TRUE(picker->isWindow() && picker->isVisible() && picker->isEnabled());
            EXPECT_EQ(picker->windowHandle()->transientParent(), window->windowHandle());
            EXPECT_FALSE(window->isEnabled());
            QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
            QTest::keyClicks(find<QLineEdit>("Text1"), "abc");
            EXPECT_TRUE(windows.log.empty());
            EXPECT_EQ(find<QLineEdit>("Text1")->text(), "");

            if (closeMain) {
                window->close();
                EXPECT_EQ(store.writes.size(), 5u);
            } else {
                picker->close();
                EXPECT_TRUE(window->isEnabled());
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(picker.isNull());
            window.reset();
        }
    }
}

} // namespace
} // namespace kavo::ui::test
