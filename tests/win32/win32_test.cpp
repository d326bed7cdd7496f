// The Windows backends, the stand-in programs and the native views for real, under Wine: the
// cases the core's tests hold with fakes are not repeated here.
#include "fakes/fakes.h"
#include "launch/player.h"
#include "picker/std_directory_source.h"
#include "platform/win32/registry_settings_store.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_dosbox_starter.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_short_path.h"
#include "platform/win32/win32_window_activator.h"
#include "remote/control_panel.h"
#include "ui/win32/main_window.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/pickers.h"
#include "ui/win32/resource.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kavo::win32ui {

using namespace std::string_literals;
namespace fs = std::filesystem;

// Real files in a fresh directory under the temporary directory, the real backends, and
// waiting with the thread's messages served. The programs the tests start are in the working
// directory, the build directory.
struct Win32Test : ::testing::Test {
    // One per test process; eight characters, so that its own name is already in 8.3 form.
    const fs::path root =
        fs::temp_directory_path() / ("K" + std::to_string(GetCurrentProcessId() % 10000000));
    const std::string dir = win32::toUtf8(root.wstring());
    Win32FileSystem files;
    Win32ShortPath shortPaths;
    Win32ProcessStarter starter;
    fake::Messages messages;
    const std::string log = path("probe.log");
    std::error_code error;

    // The stand-in programs log to probe.log.
    Win32Test() {
        fs::remove_all(root), fs::create_directories(root);
        SetEnvironmentVariableW(L"KAVO_PROBE_LOG", fsPath(log).c_str());
    }
    ~Win32Test() override { fs::remove_all(root, error); }
    std::string path(std::string_view name = {}) const { return dir + "\\" + std::string(name); }
    static fs::path fsPath(const std::string& utf8) { return *win32::toWide(utf8); }
    static void write(const std::string& path, std::string_view bytes, DWORD attributes = 0) {
        fs::create_directories(fsPath(path).parent_path());
        std::ofstream(fsPath(path), std::ios::binary) << bytes;
        SetFileAttributesW(fsPath(path).c_str(), attributes);
    }
    // Opened without sharing, as by a program still using it.
    static HANDLE open(const std::string& path, DWORD access = GENERIC_READ, DWORD flags = 0) {
        return CreateFileW(fsPath(path).c_str(), access, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    }
    static HWND edit(const wchar_t* title) {
        return CreateWindowW(L"EDIT", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                             nullptr, nullptr, nullptr, nullptr);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(fsPath(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // What the platform itself gives, for comparing ours with.
    static std::string shortPath(const std::string& path) {
        wchar_t buffer[MAX_PATH];
        return win32::toUtf8({buffer, GetShortPathNameW(fsPath(path).c_str(), buffer, MAX_PATH)});
    }
    // Polls done, serving this thread's messages meanwhile; false when time ran out.
    static bool waitFor(const std::function<bool()>& done, int milliseconds = 10000) {
        for (MSG message; milliseconds > 0 && !done(); milliseconds -= 10, Sleep(10))
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        return done();
    }
};

TEST_F(Win32Test, StorageFindsOrdinaryFilesWritesWholeShortensAsTheSystemKeepsValuesExactly) {
    write(path("ro.spc"), "", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    write(path("hro.spc"), "", FILE_ATTRIBUTE_HIDDEN), write(path("Dir.spc\\Música ♫.spc"), "");
    write(path("system.spc"), "", FILE_ATTRIBUTE_SYSTEM), write(path("plain.spc"), "");
    // Found by the name on disk.
    const std::pair<const char*, const char*> cases[] = {
        {"PLAIN.SPC", "plain.spc"}, {"*ro.spc", "ro.spc"}, {"h*", ""}, {"s*", ""}, {"Dir.spc", ""},
        {"missing.spc", ""},        {"No Dir\\a.spc", ""}};
    for (const auto& [given, found] : cases)
        EXPECT_EQ(files.findOrdinaryFile(path(given)), found) << given;
    EXPECT_EQ(files.findOrdinaryFile(path("DIR.SPC\\MÚSICA ♫.SPC")), "Música ♫.spc");
    // The pickers' drives run to Z: (Wine's "/"); a drive's letter alone names its current
    // directory.
    EXPECT_EQ(StdDirectorySource().drives().back().root, "Z:\\");
    EXPECT_EQ(StdDirectorySource().driveDirectory({"Z:", "Z:\\"}),
              win32::toUtf8(fs::current_path().wstring()));
    SetFileAttributesW(fsPath(path("ro.spc")).c_str(), 0);

    // Over a longer hidden file: no old byte survives, and no text-mode translation.
    const std::string cfg = path("SPCPLAY.CFG"), bytes = "a\nb\r\nc\x1A\0d\r"s;
    write(cfg, std::string(2000, 'x'), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(files.writeWhole(cfg, bytes));
    HANDLE holder = open(cfg);
    for (const std::string& bad : {cfg, dir, path("No Dir\\A.CFG"), path("NUL"), ""s})
        EXPECT_FALSE(files.writeWhole(bad, "new") || files.openOrCreate(bad) || files.fileSize(bad))
            << bad;
    CloseHandle(holder);
    EXPECT_TRUE(files.openOrCreate(cfg) && files.openOrCreate(path("New.wav")));
    EXPECT_EQ(read(cfg), bytes);
    EXPECT_TRUE(files.fileSize(cfg) == bytes.size() && files.fileSize(path("New.wav")) == 0u);
    EXPECT_FALSE(files.fileSize(path("Missing.exe")) || fs::exists(fsPath(path("Missing.exe"))));

    // A short path is the system's, whole with its end, or nothing.
    const std::string one = path("Music Files\\Track One.spc"), given = shortPath(dir) + "\\t.spc";
    write(one, "SNES"), write(given, "SNES");
    const std::string found = shortPath(one) + '\0';
    const std::tuple<std::string, std::size_t, std::string> shortened[] = {
        {one, found.size(), found}, {one, found.size() - 1, ""}, {given, 1000, given + '\0'},
        {path("No.spc"), 1000, ""}, {"\xFF.spc", 1000, ""},      {one + '\0', 1000, ""}};
    for (const auto& [file, size, written] : shortened) {
        std::string buffer(size, '#');
        shortPaths.getShortPathName(file, buffer);
        EXPECT_EQ(buffer, written + std::string(size - written.size(), '#')) << file;
    }
    for (const wchar_t* path : {LR"(C:\MUSICF~1\..\.\A.SPC)", LR"(\\server\Long Share\TRACK~1)",
                                LR"(\\?\C:\A.SPC)", LR"(\\?\UNC\server\Long Share\A.SPC)"})
        EXPECT_TRUE(isShortForm(path)) << win32::toUtf8(path);
    for (const wchar_t* path : {LR"(C:\A B\A.SPC)", LR"(C:\ABCDEFGHI)", LR"(C:\A.SPCX)",
                                LR"(C:\A.B.C)", LR"(C:\A+B)", LR"(C:\.SPC)", LR"(C:\TRACK.)"})
        EXPECT_FALSE(isShortForm(path)) << win32::toUtf8(path);

    // Where the entries lie, as string values, the Windows end-to-end run reads with "reg query";
    // under a root of the test's own: the real entries are never touched.
    const std::wstring base = L"Software\\KAVO FE tests\\" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{base};
    for (const std::string& value :
         {""s, " 75 "s, "%SystemRoot%\\x"s, "line\r\nbreak\ttab"s, "nul\0inside"s, "nul ends\0"s,
          "Músic ♫ 音楽 \xF0\x9F\x8E\xB5"s, std::string(20000, 'x')})
        EXPECT_TRUE(store.save(kSettingsApp, kSettingsSection, key::kSpcDir, value) &&
                    store.get(kSettingsApp, kSettingsSection, key::kSpcDir) == value);
    // Names not UTF-8, with a NUL, empty, addressing another key or too long for one; a value
    // not UTF-8.
    const std::pair<std::string, std::string> refused[] = {
        {"KAVO FE", "\xFF"}, {"KAVO FE", "Vol\0ume"s},        {"KAVO\0FE"s, "Volume"},
        {"", "Volume"},      {"KAVO FE\\Settings", "Volume"}, {std::string(300, 'a'), "Volume"}};
    for (const auto& [app, key] : refused)
        EXPECT_FALSE(store.save(app, kSettingsSection, key, "x")) << app << key;
    EXPECT_FALSE(store.save(kSettingsApp, kSettingsSection, key::kVolume, "\xFF\xFE"));
    RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
}

// The player's path has blanks, and what Windows would try first for it unquoted (SPC.exe) is
// there too, and would not run. The remote then works the player's window, in a process of its
// own, which logs its command line and, after "ready", the keys it gets. Edit boxes stand for the
// front end's and other windows: a key that reached one would change its text, its title.
TEST_F(Win32Test, StartersRunThePlayerAsLaunchedSweepStaleStagesAndTheRemoteWorksItsWindow) {
    // Starts that cannot happen are reported in the system's words; a file of the player's length
    // that Windows cannot run, as a DOS program on 64-bit Windows, as a refused format.
    const std::string player = path("SPC Player ♫.EXE"), junk = path("Not A Program.exe");
    write(path("SPC.exe"), ""), write(junk, std::string(913758, '\x1A'));
    fs::copy_file("kavo_probe.exe", fsPath(player));
    for (const std::string& program :
         {"(No directory specified)"s, path("Missing\\SPCPLAY.EXE"), path(), junk, ""s}) {
        const std::error_code failure = starter.start({program + " X.SPC", program, {}});
        EXPECT_TRUE(failure && failure.message().find("nknown") == std::string::npos &&
                    failure.message().find_last_of(".\r\n") == std::string::npos)
            << program << ": " << failure.message();
        EXPECT_EQ(failure == std::errc::executable_format_error, program == junk) << program;
    }

    // The DOSBox starter sweeps stale stages of its own once their recording is delivered; a run
    // through a stand-in dosbox.exe is tests/e2e/win32_dosbox_e2e.sh. Not one whose owner still
    // runs (its lock held unshared), one younger than a minute, of another name or without the
    // runner's files. A hard link to a user's file that turned read-only since stays, and the
    // user's file stays read-only. A recording that cannot be read now (held open unshared) is
    // kept, and told of once; so is one that no longer fits beside the user's file (the tests'
    // files are limited in size, as by a full disk), whose part already added is cut off again.
    const std::string names[] = {"1-a", "2-b", "3-c", "4-d", "5-e", "x", "6-f", "7-a"}; // 1-a goes
    auto stage = [&](const std::string& name) { return path("kavofe-dosbox-" + name + "\\"); };
    write(path("user.wav"), "RIFF"), write(stage("3-c") + "MINE.SPC", "");
    write(stage("1-a") + "E\\USER.WAV", "late"), write(stage("4-d") + "E\\REC.WAV", "rec");
    write(stage("1-a") + "deliver", "E\\USER.WAV\n" + path("user.wav"));
    write(stage("4-d") + "deliver", "E\\REC.WAV\n" + path("rec.wav"));
    // Set by tests/win32/file_size_limit.sh.
    const std::uintmax_t bigSize = std::stoull(std::getenv("KAVO_FILE_SIZE_LIMIT")) - (3 << 19);
    write(stage("7-a") + "deliver", "E\\BIG.WAV\n" + path("big.wav"));
    write(path("big.wav"), std::string(bigSize, 'w')), write(stage("7-a") + "E\\BIG.WAV", "r");
    fs::resize_file(fsPath(stage("7-a") + "E\\BIG.WAV"), 4 << 20);
    ASSERT_TRUE(CreateHardLinkW(fsPath(path("mine.spc")).c_str(),
                                fsPath(stage("3-c") + "MINE.SPC").c_str(), nullptr));
    SetFileAttributesW(fsPath(path("mine.spc")).c_str(), FILE_ATTRIBUTE_READONLY);
    const FILETIME old{0, 0x01D00000}; // 2015: all but 5-e changed long ago
    for (const std::string& name : names) {
        write(stage(name) + "lock", "");
        write(stage(name) + (name == "6-f" ? "other" : "dosbox.conf"), "");
        HANDLE dir = open(stage(name), FILE_WRITE_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
        SetFileTime(dir, nullptr, nullptr, name == "5-e" ? nullptr : &old), CloseHandle(dir);
    }
    HANDLE lock = open(stage("2-b") + "lock"), busy = open(stage("4-d") + "E\\REC.WAV");
    MessageLoop watcher;
    Win32DosboxStarter(starter, watcher, messages, dir, false); // the second tells nothing new
    Win32DosboxStarter(starter, watcher, messages, dir, false);
    CloseHandle(busy);
    ASSERT_EQ(messages.shown.size(), 2u);
    const std::string told = messages.shown[0].text + messages.shown[1].text;
    EXPECT_NE(told.find(win32::errorCategory().message(ERROR_SHARING_VIOLATION) + ".\rIt is"),
              std::string::npos);
    EXPECT_EQ(read(stage("4-d") + "E\\REC.WAV"), "rec");
    EXPECT_EQ(fs::file_size(fsPath(path("big.wav"))), bigSize);
    for (const std::string& name : names)
        EXPECT_EQ(fs::exists(fsPath(stage(name))), name != "1-a") << name;
    EXPECT_EQ(read(path("user.wav")), "RIFFlate");
    EXPECT_TRUE(GetFileAttributesW(fsPath(path("mine.spc")).c_str()) & FILE_ATTRIBUTE_READONLY);
    CloseHandle(lock), SetFileAttributesW(fsPath(path("mine.spc")).c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string spc = path("Music ♫\\A B.spc"), wav = path("Music ♫\\A.wav");
    write(spc, "SNES-SPC700");
    PlayerSettings settings;
    settings.adopt(path(), player);
    Launcher launcher(files, shortPaths, starter, messages);
    SetEnvironmentVariableW(L"KAVO_PROBE_TITLE", L"SPCPLAY");
    SetEnvironmentVariableW(L"KAVO_PROBE_LOG", L"probe.log"); // in the player's own directory
    ASSERT_EQ(launcher.launch(settings, {spc, player, wav, true}), LaunchOutcome::Started);
    HWND frontEnd = edit(L"KAVO FE under test");
    Win32WindowActivator windows{"KAVO FE under test"};
    Win32KeyboardLayout layout;
    Win32KeyInjector injector;
    ASSERT_TRUE(waitFor([] { return IsWindowVisible(FindWindowW(L"KavoProbe", L"SPCPLAY")); }));
    const HWND exact = FindWindowW(L"KavoProbe", L"SPCPLAY");
    // Only this program's windows are its own; an exact title wins over a beginning, and case
    // does not count.
    EXPECT_FALSE(Win32WindowActivator("SPCPLAY").activateApplication());
    HWND longer = edit(L"SPCPLAY - Track One");
    const std::pair<const char*, HWND> cases[] = {{"spcplay", exact},      {"SPCPLAY -", longer},
                                                  {"spcplay - T", longer}, {"SPCPLAYER", nullptr},
                                                  {"", nullptr},           {"Track One", nullptr}};
    for (const auto& [title, found] : cases) {
        ASSERT_TRUE(windows.activateApplication());
        EXPECT_EQ(windows.activate(title), found != nullptr) << title;
        EXPECT_EQ(GetForegroundWindow(), found != nullptr ? found : frontEnd) << title;
    }
    // A DOS machine's window by its process, whatever the titles.
    DWORD probe = 0;
    GetWindowThreadProcessId(exact, &probe);
    ASSERT_TRUE(windows.activateApplication());
    EXPECT_TRUE(windows.activateDosMachine(probe) && windows.activatedDosMachine());
    EXPECT_EQ(GetForegroundWindow(), exact);
    EXPECT_FALSE(windows.activateDosMachine(probe + 1000000));
    ASSERT_TRUE(windows.activateApplication());
    // Each press with a modifier held, as an access key's Alt is: none reaches the player.
    const BYTE held[] = {VK_LMENU, VK_RMENU, VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_LWIN};
    for (const PanelButton& button : kPanelButtons) {
        keybd_event(held[static_cast<std::size_t>(&button - kPanelButtons.data()) % 6], 0, 0, 0);
        const std::size_t before = read(log).size();
        ASSERT_EQ(pressInPlayer(button.text, windows, layout, injector), PanelOutcome::Sent);
        EXPECT_EQ(GetForegroundWindow(), frontEnd) << button.caption;
        waitFor([&] { return read(log).size() > before; }, 5000);
    }
    // The launcher's command line, the player's path quoted for its blanks; the US layout's keys,
    // which the throw-away prefix has: q, 1 to 9, Shift and "=", "-".
    std::string all = "cmd \"" + player + "\" " + shortPath(spc) + " -w " + shortPath(wav) +
                      "\nready\ndown 81 16\nup 81 16\n";
    for (int digit = 1; digit <= 9; ++digit)
        for (const char* edge : {"down ", "up "})
            all += edge + std::to_string(48 + digit) + " " + std::to_string(1 + digit) + "\n";
    all += "down 16 42 S\ndown 187 13 S\nup 16 42\nup 187 13\ndown 189 12\nup 189 12\n";
    EXPECT_TRUE(waitFor([&] { return read(log) == all; })) << read(log);
    PostMessageW(exact, WM_CLOSE, 0, 0);
    EXPECT_EQ(utf8Text(frontEnd) + utf8Text(longer), "KAVO FE under testSPCPLAY - Track One");
    // A byte above 127 keeps its value on the way: e acute is 0xE9 in ANSI, 0x82 in OEM.
    EXPECT_EQ(layout.charToOem(0xE9), 0x82);
}

// The rows of a list box as shown, without the indentation of depth.
std::vector<std::string> rows(HWND list) {
    std::vector<std::string> texts;
    wchar_t text[MAX_PATH] = {};
    for (WPARAM i = 0; SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) >= 0; ++i)
        texts.push_back(win32::toUtf8(text + wcsspn(text, L" ")));
    return texts;
}

// Double-clicks the directory row showing name.
void enter(HWND picker, const std::string& name) {
    const std::vector<std::string> all = rows(GetDlgItem(picker, kDir1));
    SendDlgItemMessageW(picker, kDir1, LB_SETCURSEL, std::ranges::find(all, name) - all.begin(), 0);
    SendMessageW(picker, WM_COMMAND, MAKEWPARAM(kDir1, LBN_DBLCLK), 0);
}

// Labels show their whole text and cover no control; OK and Cancel keep off the bottom edge.
void expectLaidOut(HWND window) {
    // On the screen, as GetWindowRect gives them.
    RECT client{}, both{}, other{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const auto rect = [&other](HWND control) { return GetWindowRect(control, &other), &other; };
    for (HWND a = GetWindow(window, GW_CHILD); a; a = GetWindow(a, GW_HWNDNEXT)) {
        const RECT at = *rect(a);
        const std::wstring text = wide(utf8Text(a));
        const int id = GetDlgCtrlID(a);
        EXPECT_TRUE((id != IDOK && id != IDCANCEL) || client.bottom - at.bottom >= 3);
        if (wchar_t kind[8] = {}; GetClassNameW(a, kind, 8) && lstrcmpiW(kind, L"Static") != 0)
            continue;
        HDC dc = GetDC(a);
        SIZE size{};
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(a, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ReleaseDC(a, dc);
        EXPECT_LE(size.cx, at.right - at.left) << win32::toUtf8(text);
        for (HWND b = GetWindow(window, GW_CHILD); b; b = GetWindow(b, GW_HWNDNEXT))
            EXPECT_TRUE(a == b || !IntersectRect(&both, &at, rect(b))) << win32::toUtf8(text);
    }
}

// The native views over the presenters, whose rules tests/present holds: only the wiring; the
// Windows end-to-end run goes through the pickers with real keys.
TEST_F(Win32Test, ViewsShowWhatThePresentersDecideAndForwardTheirCommands) {
    fake::Store store;
    // Each picker's stored drive found by its letter in either case, whatever follows it.
    store.put(key::kSpcPickerDrive, std::string{static_cast<char>(std::tolower(dir[0])), ':', ' '});
    store.put(key::kDirPickerDrive, dir.substr(0, 1));
    store.put(key::kSpcPickerDir, dir), store.put(key::kDirPickerDir, dir);
    MainWindow main({store, files, shortPaths, starter, messages}, Remote{});
    HWND window = main.handle();
    // Like a dialog, each window gives the keyboard back to the control that had it, first the
    // SPC box, whenever it is active again: after a picker, a panel click, Alt+Tab.
    HWND other = edit(L"Other");
    const auto refocuses = [other](HWND active, HWND control) {
        SetFocus(control), SetForegroundWindow(other);
        waitFor([&] { return GetFocus() == other; }, 2000);
        SetForegroundWindow(active);
        return waitFor([&] { return GetFocus() == control; }, 2000);
    };
    ShowWindow(window, SW_SHOWNORMAL), expectLaidOut(window);
    EXPECT_TRUE(waitFor([&] { return GetFocus() == GetDlgItem(window, kText1); }));
    EXPECT_TRUE(refocuses(window, GetDlgItem(window, kText1 + 1)));
    // The checked items from 8000 Hz to Stereo, and the level item.
    const auto menu = [menu = GetMenu(window)] {
        std::string marks;
        for (UINT id = IDM_8000; id <= IDM_STEREO; ++id)
            marks += (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) ? '1' : '0';
        wchar_t level[32] = {};
        GetMenuStringW(menu, IDM_CURLEV, level, 32, MF_BYCOMMAND);
        return marks + win32::toUtf8(level);
    };
    EXPECT_EQ(menu(), "00000100001Current Level:  75");
    for (const int id : {IDM_16000, IDM_STEREO, IDM_FORCE8BIT, IDM_LOGTOWAV, IDM_UP5})
        SendMessageW(window, WM_COMMAND, id, 0);
    EXPECT_EQ(menu(), "00100000110Current Level:  80");

    // The SPC file picker holds the main window, close box and all, until it loads a file it
    // lists; its filter boxes' ticks and its list follow their clicks.
    write(path("b.spc"), ""), write(path("tune.zs2"), "");
    const std::string names[] = {"Musik Bücher", "音楽", "\xF0\x9F\x8E\xB5 Töne"};
    for (const std::string& name : names)
        write(path(name + "\\" + name + ".spc"), "");
    SendMessageW(window, WM_COMMAND, IDM_LOADSPC, 0), expectLaidOut(main.picker());
    HWND picker = main.picker();
    EXPECT_TRUE(waitFor([&] { return GetFocus() == GetDlgItem(picker, kDrive1); }));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window) && !IsWindowEnabled(window));
    SendMessageW(picker, WM_COMMAND, kCheck1 + 1, 0);
    EXPECT_EQ(SendDlgItemMessageW(picker, kCheck1 + 1, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(rows(GetDlgItem(picker, kFile1)), (std::vector<std::string>{"b.spc", "tune.zs2"}));
    EXPECT_TRUE(refocuses(picker, GetDlgItem(picker, kFile1)));

    // Any name Windows allows: Latin-1, CJK, beyond the BMP, listed, entered and loaded.
    for (const std::string& name : names) {
        enter(picker, name);
        EXPECT_EQ(rows(GetDlgItem(picker, kFile1)), std::vector<std::string>{name + ".spc"});
        if (&name != &names[2])
            enter(picker, win32::toUtf8(root.filename().wstring()));
    }
    SendDlgItemMessageW(picker, kFile1, LB_SETCURSEL, 0, 0);
    SendMessageW(picker, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return main.picker() == nullptr; }) && IsWindowEnabled(window));
    EXPECT_EQ(utf8Text(GetDlgItem(window, kText1)), path(names[2] + "\\" + names[2] + ".spc"));
    EXPECT_TRUE(waitFor([&] { return GetFocus() == GetDlgItem(window, kText1 + 1); }));
    // The player's directory likewise, stored as UTF-8.
    write(path(names[1] + "\\SPCPLAY.EXE"), std::string(kPlayerExeSize, '\0'));
    SendMessageW(window, WM_COMMAND, IDM_DIR, 0), expectLaidOut(main.picker());
    enter(main.picker(), names[1]), SendMessageW(main.picker(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return main.picker() == nullptr; }));
    EXPECT_EQ(utf8Text(GetDlgItem(window, kText1 + 1)), path(names[1] + "\\SPCPLAY.EXE"));
    // The close box saves.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(!IsWindow(window) && store.value(key::kVolume) == "80");
    EXPECT_EQ(store.value(key::kDirPickerDir) + "|" + store.value(key::kSpcDir),
              path(names[1]) + "|" + path(names[1] + "\\SPCPLAY.EXE"));
    DestroyWindow(other);
}

} // namespace kavo::win32ui
