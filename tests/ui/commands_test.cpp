#include "remote/sendkey.h"
#include "window_fixture.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>

namespace kavo::ui::test {
namespace {

constexpr const char* kPlayer = "/opt/spc/SPCPLAY.EXE";

struct PanelCase {
    const char* name;
    int index;
    char key;
};

QPushButton* panelButton(const MainWindow& window, const PanelCase& c) {
    if (c.index < 0)
        return window.findChild<QPushButton*>(QLatin1String(c.name));
    auto* digits = window.findChild<QButtonGroup*>(QStringLiteral("Command2"));
    return digits ? qobject_cast<QPushButton*>(digits->button(c.index)) : nullptr;
}

TEST_F(WindowTest, PanelButtonsPressTheirKeyInThePlayerAndComeBack) {
    const PanelCase cases[] = {{"Command1", -1, 'q'}, {"Command2", 0, '1'},  {"Command2", 4, '5'},
                               {"Command2", 8, '9'},  {"Command3", -1, '+'}, {"Command4", -1, '-'}};
    openActive();
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.index));
        injector.events.clear();
        windows.log.clear();
        QPushButton* button = panelButton(*window, c);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(windows.log, (std::vector<std::string>{"activate SPCPLAY", "activate self"}));
        EXPECT_EQ(injector.events, keyEventsFor(std::string(1, c.key), layout));
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WindowTest, PanelButtonsDoNothingWithoutAPlayerOrARemote) {
    windows.playerPresent = false;
    openActive();
    for (QPushButton* button : window->findChildren<QPushButton*>())
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(windows.log.size(), 12u);
    EXPECT_TRUE(injector.events.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(window->isActiveWindow());

    windows.log.clear();
    openActive(false);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(windows.log.empty());
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace kavo::ui::test
