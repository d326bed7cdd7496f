#include "fakes/fakes.h"
#include "platform/win32/registry_settings_store.h"
#include "platform/win32/wide_text.h"
#include "test_support.h"
#include "ui/win32/main_window.h"
#include "ui/win32/pickers.h"
#include "ui/win32/resource.h"

#include <gtest/gtest.h>

namespace kavo::win32ui {
namespace {

// Counts the writes it passes on to the registry, under a key of the tests' own.
class CountingRegistry : public RegistrySettingsStore {
public:
    CountingRegistry() : RegistrySettingsStore(L"Software\\KavoViewTests") {}
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override {
        ++writes;
        return RegistrySettingsStore::save(app, section, key, value);
    }
    int writes = 0;
};

class ViewsTest : public ::testing::Test {
protected:
    ViewsTest() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KavoViewTests"); }
    void command(HWND window, int id) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        test::waitFor([] { return true; }, 0);
    }
    bool checked(int id) const {
        return (GetMenuState(GetMenu(main->handle()), static_cast<UINT>(id), MF_BYCOMMAND) &
                MF_CHECKED) != 0;
    }
    void open() { main = std::make_unique<MainWindow>(services, Remote{}); }

    CountingRegistry store;
    fake::Files files;
    fake::ShortPaths shortPaths;
    fake::Starter starter;
    fake::Messages messages;
    MainServices services{store, files, shortPaths, starter, messages};
    std::unique_ptr<MainWindow> main;
};

TEST_F(ViewsTest, MainWindowHasItsCaptionSizeAndFixedBorder) {
    open();
    EXPECT_EQ(utf8Text(main->handle()), "KAVOfe - Version 1.03j");
    RECT client{};
    GetClientRect(main->handle(), &client);
    EXPECT_EQ(client.right, 397);
    EXPECT_EQ(client.bottom, 126);
    const auto style = static_cast<DWORD>(GetWindowLongW(main->handle(), GWL_STYLE));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0U);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(utf8Text(GetDlgItem(main->handle(), kText1 + 1)), "(No directory specified)");
    EXPECT_NE(GetMenuState(GetMenu(main->handle()), IDM_CURLEV, MF_BYCOMMAND) & MF_GRAYED, 0U);
}

TEST_F(ViewsTest, MenuCheckMarksFollowEachCommand) {
    open();
    struct Step {
        int command;
        std::vector<int> checkedItems;
        const char* level;
    };
    for (const Step& s : {
             Step{0, {IDM_44100, IDM_STEREO}, "Current Level:  75"},
             Step{IDM_16000, {IDM_16000, IDM_STEREO}, "Current Level:  75"},
             Step{IDM_STEREO, {IDM_16000}, "Current Level:  75"},
             Step{IDM_FORCE8BIT, {IDM_16000, IDM_FORCE8BIT}, "Current Level:  75"},
             Step{IDM_LOGTOWAV, {IDM_16000, IDM_FORCE8BIT, IDM_LOGTOWAV}, "Current Level:  75"},
             Step{IDM_UP5, {IDM_16000, IDM_FORCE8BIT, IDM_LOGTOWAV}, "Current Level:  80"},
             Step{IDM_LOGTOWAV, {IDM_16000, IDM_FORCE8BIT}, "Current Level:  80"},
         }) {
        if (s.command != 0)
            command(main->handle(), s.command);
        for (int id = IDM_8000; id <= IDM_STEREO; ++id) {
            const bool expected =
                std::find(s.checkedItems.begin(), s.checkedItems.end(), id) != s.checkedItems.end();
            EXPECT_EQ(checked(id), expected) << "item " << id << " after " << s.command;
        }
        wchar_t level[64] = {};
        GetMenuStringW(GetMenu(main->handle()), IDM_CURLEV, level, 64, MF_BYCOMMAND);
        EXPECT_EQ(win32::toUtf8(level), s.level);
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main->handle(), kText1 + 2)));
}

TEST_F(ViewsTest, SavesTwiceOnCloseAndOnceOnExit) {
    open();
    command(main->handle(), IDM_UP5);
    SendMessageW(main->handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(store.writes, 5);
    main->presenter().release();
    EXPECT_EQ(store.writes, 10);
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, key::kVolume), "80");

    store.writes = 0;
    open();
    command(main->handle(), IDM_QUIT);
    EXPECT_FALSE(IsWindow(main->handle()));
    main->presenter().release();
    EXPECT_EQ(store.writes, 5);
}

TEST_F(ViewsTest, SpcPickerFiltersDisablesTheMainWindowAndKeepsItsPlace) {
    test::TempDir dir;
    test::writeFile(dir.path("b.spc"), "SNES");
    test::writeFile(dir.path("tune.zs2"), "SNES");
    SetCurrentDirectoryW(test::fsPath(dir.path()).c_str());
    open();
    command(main->handle(), IDM_LOADSPC);
    HWND picker = main->picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(utf8Text(picker), "Load SPC File");
    EXPECT_EQ(GetWindow(picker, GW_OWNER), main->handle());
    EXPECT_TRUE(GetWindowLongW(picker, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetFocus(), GetDlgItem(picker, kDrive1));
    EXPECT_FALSE(IsWindowEnabled(main->handle()));
    SendMessageW(main->handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main->handle())) << "a disabled main window cannot be closed";

    const auto boxes = [picker] {
        std::string ticks;
        for (int id = kCheck1; id < kCheck1 + 3; ++id)
            ticks +=
                SendMessageW(GetDlgItem(picker, id), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
        return ticks + " " +
               std::to_string(SendMessageW(GetDlgItem(picker, kFile1), LB_GETCOUNT, 0, 0));
    };
    EXPECT_EQ(boxes(), "100 1");
    for (const auto& [box, expected] :
         {std::pair{1, "110 2"}, std::pair{0, "010 1"}, std::pair{2, "001 2"},
          std::pair{2, "000 2"}, std::pair{0, "100 1"}}) {
        command(picker, kCheck1 + box);
        EXPECT_EQ(boxes(), expected) << "after box " << box;
    }
    SendMessageW(GetDlgItem(picker, kFile1), LB_SETCURSEL, 0, 0);
    command(picker, IDOK);
    EXPECT_TRUE(test::waitFor([this] { return main->picker() == nullptr; }));
    EXPECT_TRUE(IsWindowEnabled(main->handle()));
    EXPECT_EQ(utf8Text(GetDlgItem(main->handle(), kText1)), dir.path("b.spc"));
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, "SPCDir2"),
              dir.path().substr(0, dir.path().size() - 1));
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, "SPCDir1").substr(0, 1),
              dir.path().substr(0, 1));
}

TEST_F(ViewsTest, DirPickerSetsCancelsAndGivesTheMainWindowBack) {
    test::TempDir dir;
    SetCurrentDirectoryW(test::fsPath(dir.path()).c_str());
    open();
    for (const int button : {IDCANCEL, IDOK}) {
        command(main->handle(), IDM_DIR);
        HWND picker = main->picker();
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(utf8Text(picker), "Set SPCPLAY.EXE Dir");
        RECT client{};
        GetClientRect(picker, &client);
        EXPECT_EQ(client.right, 178);
        EXPECT_EQ(client.bottom, 153);
        command(picker, button);
        EXPECT_TRUE(test::waitFor([this] { return main->picker() == nullptr; }));
        EXPECT_TRUE(IsWindowEnabled(main->handle()));
    }
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "SPCPLAY.EXE not found!");
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, "SPCDir4"),
              dir.path().substr(0, dir.path().size() - 1));
    EXPECT_EQ(store.writes, 2);
}

} // namespace
} // namespace kavo::win32ui
