#include "remote/sendkey.h"
#include "window_fixture.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>

namespace kavo::ui::test {
namespace {

constexpr const char* kPlayer = "/opt/spc/SPCPLAY.EXE";

TEST_F(WindowTest, AboutShowsItsThreeLinesWithCarriageReturns) {
    open();
    find("mnuabout")->trigger();
    const std::vector<fake::Messages::Shown> expected{
        {"KAVO FrontEnd 1.03j\rProgrammed by Vorlane\rhttp://kavofe.example.org/", "About",
         MessageIcon::Information}};
    EXPECT_EQ(messages.shown, expected);
}

TEST_F(WindowTest, LaunchUsesTheBoxesAndTheLogSwitch) {
    store.put(key::kSpcDir, kPlayer);
    files.files["/music/Track One.spc"] = "SNES";
    open();
    find<QLineEdit>("Text1")->setText("/music/Track One.spc");
    find<QLineEdit>("Text3")->setText("/out/a b.wav");
    find("mnulaunch")->trigger();
    find("mnulogtowav")->trigger();
    find("mnulaunch")->trigger();
    find<QLineEdit>("Text2")->setText("/typed/SPCPLAY.EXE");
    find("mnulaunch")->trigger();

    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(starter.started.size(), 3u);
    EXPECT_EQ(starter.started[0].text, "/opt/spc/SPCPLAY.EXE /MUSIC/TRACKONE.SPC");
    EXPECT_EQ(starter.started[1].text, "/opt/spc/SPCPLAY.EXE /MUSIC/TRACKONE.SPC -w /OUT/AB.WAV");
    EXPECT_EQ(starter.started[2].program, "/typed/SPCPLAY.EXE");
    EXPECT_TRUE(files.files.contains("/out/a b.wav"));
}

TEST_F(WindowTest, LaunchWithoutSpcFileReportsAnErrorAndStartsNothing) {
    open();
    find("mnulogtowav")->trigger();
    find<QLineEdit>("Text3")->setText("/out/a.wav");
    find("mnulaunch")->trigger();
    const std::vector<fake::Messages::Shown> expected{
        {"You must specify an SPC file!", "Error", MessageIcon::Error}};
    EXPECT_EQ(messages.shown, expected);
    EXPECT_TRUE(starter.started.empty());
    EXPECT_FALSE(files.files.contains("/out/a.wav"));
}

TEST_F(WindowTest, LoadspcFillsTheSpcBox) {
    open();
    window->loadspc("/music/Track One.spc");
    EXPECT_EQ(text("Text1"), "/music/Track One.spc");
}

TEST_F(WindowTest, SetdirShowsTheAdoptedPlayerOnly) {
    open();
    files.files["/opt/small/SPCPLAY.EXE"] = "MZ";
    window->setdir("/opt/none/");
    window->setdir("/opt/small/");
    EXPECT_EQ(text("Text2"), "(No directory specified)");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "SPCPLAY.EXE not found!");
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::Error);

    files.files[kPlayer] = std::string(913758, '\0');
    window->setdir("/opt/spc/");
    EXPECT_EQ(text("Text2"), kPlayer);
    EXPECT_EQ(messages.shown.size(), 2u);
    window->savereg();
    EXPECT_EQ(store.value(key::kSpcDir), kPlayer);
}

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
