#include "fakes/fakes.h"
#include "launch/dos_machine.h"
#include "launch/launcher.h"
#include "remote/sendkey.h"
#include "remote/us_keyboard.h"
#include "remote/window_title.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

TEST(DosMachine, FileNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"Track One.spc", "TRACKONE.SPC"},
        {"output.wav", "OUTPUT.WAV"},
        {"Output of today.wave", "OUTPUTOF.WAV"},
        {"x.spc\" & mount c \\ & y", "X.SPC"},
        {"%PATH%.spc", "PATH.SPC"},
        {"CON.SPC", "CON_.SPC"},
        {"com9.spc", "COM9_.SPC"},
        {"COM10.SPC", "COM10.SPC"},
        {"coma.spc", "COMA.SPC"},
        {"com1.spc", "COM1_.SPC"},
        {"zz.spc", "ZZ.SPC"},
        {"nul", "NUL_"},
        {"\xC3\x9Cn\xC3\xAF.spc", "N.SPC"},
        {"\xE6\x97\xA5.spc", "FILE.SPC"},
        {".hidden", "FILE.HID"},
        {"a.b.c", "AB.C"},
        {std::string(246, 'a') + ".spc", "AAAAAAAA.SPC"},
        {"song_1-2", "SONG_1-2"},
    };
    for (const auto& [longName, expected] : cases) {
        EXPECT_EQ(dos::fileName(longName), expected) << longName;
        EXPECT_TRUE(dos::isDosName(expected)) << expected;
    }
    for (std::string_view name : {"SPCPLAY.EXE", "spcplay.exe", "A.B"})
        EXPECT_TRUE(dos::isDosName(name)) << name;
    for (std::string_view name : {"", "SPC PLAY.EXE", "SPCPLAYER.EXE", "X.EXEC", "CON.EXE", "A&B"})
        EXPECT_FALSE(dos::isDosName(name)) << name;
}

TEST(DosMachine, OnlyPlainCommandsAndStagingPaths) {
    EXPECT_TRUE(dos::isPlainCommand("C:\\SPCPLAY.EXE D:\\TRACKONE.SPC -w E:\\OUT_1.WAV"));
    for (std::string_view line : {"C:\\A.EXE > NUL", "C:\\A.EXE %PATH%", "C:\\A.EXE\nexit",
                                  "C:\\A.EXE | B", "C:\\A.EXE \"x\""})
        EXPECT_FALSE(dos::isPlainCommand(line)) << line;

    EXPECT_EQ(dos::stagingBase("/run/user/1000", "/var/tmp"), "/run/user/1000");
    EXPECT_EQ(dos::stagingBase(nullptr, "/var/tmp"), "/var/tmp");
    EXPECT_EQ(dos::stagingBase("relative", nullptr), "/tmp");
    EXPECT_EQ(dos::stagingBase("/run/user/a b", "/tmp/%x"), "/tmp");
    EXPECT_EQ(dos::stagingBase("/home/\"q\"", "/t;x"), "/tmp");
}

TEST(DosMachine, TellsDosProgramsFromWindowsOnes) {
    std::string header(64, '\0');
    header[0] = 'M';
    header[1] = 'Z';
    header[0x3C] = '\x80';
    header[0x3D] = '\x01';
    EXPECT_EQ(dos::newHeaderOffset(header), 0x180u);
    EXPECT_TRUE(dos::isDosProgram(header, ""));
    EXPECT_TRUE(dos::isDosProgram(header, "NE\0\0"));
    EXPECT_FALSE(dos::isDosProgram(header, std::string_view("PE\0\0", 4)));
    EXPECT_FALSE(dos::isDosProgram("\x7F"
                                   "ELF",
                                   ""));
    EXPECT_FALSE(dos::isDosProgram("#!/bin/sh\n", ""));
    EXPECT_FALSE(dos::isDosProgram(std::string(64, 'x'), ""));
    EXPECT_TRUE(dos::isDosProgram(header.substr(0, 2), ""));
    EXPECT_FALSE(dos::newHeaderOffset("MZ short"));
}

TEST(DosMachine, ConfigMountsOnlyTheStage) {
    dos::Stage stage;
    EXPECT_EQ(stage.add("/m/Track One.spc"), "D:\\TRACKONE.SPC");
    EXPECT_EQ(stage.add("/o/x.wav"), "E:\\X.WAV");
    EXPECT_EQ(dos::config("/run/s", stage, "C:\\SPCPLAY.EXE D:\\TRACKONE.SPC -w E:\\X.WAV"),
              "[sdl]\nfullscreen=false\noutput=surface\nautolock=false\nwaitonerror=false\n"
              "[dos]\nkeyboardlayout=none\n[autoexec]\n"
              "mount c /run/s/C\nmount d /run/s/D\nmount e /run/s/E\nmount y /run/s/Y\n"
              "echo started > Y:\\STARTED.TXT\nc:\ncd \\\n"
              "C:\\SPCPLAY.EXE D:\\TRACKONE.SPC -w E:\\X.WAV\nexit\n");

    EXPECT_EQ(dos::errorReason("CONFIG:x\nExit to error: Can't init SDL nope \nmore"),
              "Can't init SDL nope");
    EXPECT_EQ(dos::errorReason("Exit to error: "), "unknown error");
    EXPECT_EQ(dos::errorReason("all fine\n"), "");
}

TEST(DosMachine, TitleMatches) {
    const std::string dosbox =
        "DOSBox 0.74-3, Cpu speed:     3000 cycles, Frameskip  0, Program:  ";
    const struct {
        std::string title;
        TitleMatch expected;
    } cases[] = {
        {"SPCPLAY", TitleMatch::Exact},
        {"SPCPLAY - song", TitleMatch::Prefix},
        {dosbox + "SPCPLAY", TitleMatch::DosMachine},
        {dosbox + "spcplay ", TitleMatch::DosMachine},
        {dosbox + "SPCPLAYX", TitleMatch::NoMatch},
        {dosbox + "DOSBOX", TitleMatch::NoMatch},
        {"Editor - Program:  SPCPLAY", TitleMatch::NoMatch},
        {"spcplay", TitleMatch::NoMatch},
    };
    for (const auto& [title, expected] : cases)
        EXPECT_EQ(matchTitle(title, "SPCPLAY"), expected) << title;
    EXPECT_LT(TitleMatch::DosMachine, TitleMatch::Prefix);
}

// Set-1 scan codes by US key position, Shift included where the US keyboard needs it.
TEST(DosMachine, UsKeyPositions) {
    UsPcKeyboard us;
    auto keys = [&](std::string_view text) {
        std::vector<std::pair<int, int>> out;
        for (const KeyEvent& e : keyEventsFor(text, us))
            out.emplace_back(e.scanCode, e.flags);
        return out;
    };
    using Keys = std::vector<std::pair<int, int>>;
    EXPECT_EQ(keys("q%{F4}"), (Keys{{0x10, 0}, {0x10, 2}}));
    EXPECT_EQ(keys("1"), (Keys{{0x02, 0}, {0x02, 2}}));
    EXPECT_EQ(keys("9"), (Keys{{0x0A, 0}, {0x0A, 2}}));
    EXPECT_EQ(keys("-"), (Keys{{0x0C, 0}, {0x0C, 2}}));
    EXPECT_EQ(keys("+"), (Keys{{0x2A, 0}, {0x0D, 0}, {0x2A, 2}, {0x0D, 2}}));
    EXPECT_EQ(keys("Q"), (Keys{{0x2A, 0}, {0x10, 0}, {0x2A, 2}, {0x10, 2}}));
    EXPECT_EQ(keys("\xC3\xA9"), (Keys{{0x2A, 0}, {0xFF, 0}, {0x2A, 2}, {0xFF, 2}}));
    EXPECT_EQ(us.vkKeyScan('+'), 0x1BB);
    EXPECT_EQ(us.vkKeyScan('/'), 0xBF);
}

// A DOS player names its files in its own terms; the line keeps the launcher's layout.
TEST(DosMachine, LauncherUsesThePlayersShortPaths) {
    struct DosStarter : fake::Starter {
        ShortPathApi* shortPathsFor(const std::string& program) override {
            asked.push_back(program);
            return &dosPaths;
        }
        fake::ShortPaths dosPaths;
        std::vector<std::string> asked;
    };
    fake::Files files;
    fake::ShortPaths platformPaths;
    DosStarter starter;
    fake::Messages messages;
    Launcher launcher{files, platformPaths, starter, messages};
    files.files["/m/a.spc"] = "spc";
    starter.dosPaths.shortForms = {{"/m/a.spc", "D:\\A.SPC"}, {"/o.wav", "E:\\O.WAV"}};

    EXPECT_EQ(launcher.launch({}, {"/m/a.spc", "/p/SPCPLAY.EXE", "/o.wav", true}),
              LaunchOutcome::Started);
    EXPECT_EQ(starter.asked, std::vector<std::string>{"/p/SPCPLAY.EXE"});
    EXPECT_TRUE(platformPaths.calls.empty());
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0].text, "/p/SPCPLAY.EXE D:\\A.SPC -w E:\\O.WAV");

    starter.result = StartError::EmulatorMissing;
    EXPECT_EQ(launcher.launch({}, {"/m/a.spc", "/p/SPCPLAY.EXE", "", false}),
              LaunchOutcome::StartFailed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.find("Could not start the player \"/p/SPCPLAY.EXE\".\r"), 0u);
#ifdef _WIN32
    const std::string whereToGetIt = "https://www.dosbox.com";
#else
    const std::string whereToGetIt = "sudo apt install dosbox";
#endif
    EXPECT_NE(messages.shown[0].text.find(whereToGetIt), std::string::npos);
}

} // namespace
} // namespace kavo
