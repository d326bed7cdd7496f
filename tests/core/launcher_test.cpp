#include "fakes/fakes.h"
#include "launch/dosname.h"
#include "launch/launcher.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

struct LauncherTest : ::testing::Test {
    fake::Files files;
    fake::ShortPaths shortPaths;
    fake::Starter starter;
    fake::Messages messages;
    PlayerSettings settings;
    Launcher launcher{files, shortPaths, starter, messages};

    LaunchOutcome launch(std::string spc, std::string wav = "", bool log = false,
                         std::string player = "/opt/SPCPLAY/SPCPLAY.EXE") {
        return launcher.launch(settings, {std::move(spc), std::move(player), std::move(wav), log});
    }
    std::string onlyMessage() const {
        EXPECT_EQ(messages.shown.size(), 1u);
        if (messages.shown.empty())
            return {};
        EXPECT_EQ(messages.shown[0].title, "Error");
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
        return messages.shown[0].text;
    }
};

TEST_F(LauncherTest, CommandLines) {
    files.files["/music/Track One.spc"] = "spc";
    files.files["/out/old.wav"] = "RIFF data";
    shortPaths.shortForms["/music/Track One.spc"] = "/MUSIC/TRACKO~1.SPC";
    shortPaths.shortForms["/out/old.wav"] = "/OUT/OLD.WAV";
    const struct {
        std::string spc, wav;
        bool log;
        std::string player;
        CommandLine expected;
    } cases[] = {
        {"/music/Track One.spc",
         "",
         false,
         "/opt/SPCPLAY/SPCPLAY.EXE",
         {"/opt/SPCPLAY/SPCPLAY.EXE /MUSIC/TRACKO~1.SPC",
          "/opt/SPCPLAY/SPCPLAY.EXE",
          {"/MUSIC/TRACKO~1.SPC"}}},
        {"/music/Track One.spc",
         "/out/old.wav",
         true,
         "/opt/SPCPLAY/SPCPLAY.EXE",
         {"/opt/SPCPLAY/SPCPLAY.EXE /MUSIC/TRACKO~1.SPC -w /OUT/OLD.WAV",
          "/opt/SPCPLAY/SPCPLAY.EXE",
          {"/MUSIC/TRACKO~1.SPC", "-w", "/OUT/OLD.WAV"}}},
        // Logging off: the WAV box is not looked at.
        {"/music/Track One.spc",
         "/out/old.wav",
         false,
         "/opt/SPCPLAY/SPCPLAY.EXE",
         {"/opt/SPCPLAY/SPCPLAY.EXE /MUSIC/TRACKO~1.SPC",
          "/opt/SPCPLAY/SPCPLAY.EXE",
          {"/MUSIC/TRACKO~1.SPC"}}},
        // Blanks in the player path stay unquoted and unshortened.
        {"/music/Track One.spc",
         "",
         false,
         "/My Programs/SPCPLAY.EXE",
         {"/My Programs/SPCPLAY.EXE /MUSIC/TRACKO~1.SPC",
          "/My Programs/SPCPLAY.EXE",
          {"/MUSIC/TRACKO~1.SPC"}}},
        // A vanished SPC file: the line ends in the blank after the player path.
        {"/music/gone.spc",
         "",
         false,
         "/opt/SPCPLAY/SPCPLAY.EXE",
         {"/opt/SPCPLAY/SPCPLAY.EXE ", "/opt/SPCPLAY/SPCPLAY.EXE", {}}},
        // A text of blanks is not an empty box.
        {"   ",
         "",
         false,
         "/opt/SPCPLAY/SPCPLAY.EXE",
         {"/opt/SPCPLAY/SPCPLAY.EXE ", "/opt/SPCPLAY/SPCPLAY.EXE", {}}},
    };
    for (const auto& c : cases) {
        starter.started.clear();
        EXPECT_EQ(launch(c.spc, c.wav, c.log, c.player), LaunchOutcome::Started);
        ASSERT_EQ(starter.started.size(), 1u);
        EXPECT_EQ(starter.started[0], c.expected) << c.expected.text;
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(files.files.at("/out/old.wav"), "RIFF data");
}

TEST_F(LauncherTest, ConfigIsWrittenFirstEvenWithoutSpcFile) {
    EXPECT_EQ(launch("", "/new.wav", true), LaunchOutcome::NoSpcFile);
    EXPECT_EQ(onlyMessage(), "You must specify an SPC file!");
    EXPECT_EQ(files.calls, std::vector<std::string>{"write SPCPLAY.CFG"});
    EXPECT_FALSE(files.files.contains("/new.wav"));
    EXPECT_TRUE(starter.started.empty());
    EXPECT_EQ(files.files.at("SPCPLAY.CFG").size(), 390u);
}

TEST_F(LauncherTest, MissingWavFileIsCreatedEmpty) {
    files.files["/a.spc"] = "spc";
    EXPECT_EQ(launch("/a.spc", "/OUT.WAV", true), LaunchOutcome::Started);
    EXPECT_EQ(files.files.at("/OUT.WAV"), "");
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0].text, "/opt/SPCPLAY/SPCPLAY.EXE /A.SPC -w /OUT.WAV");
}

TEST_F(LauncherTest, StopsWithAMessage) {
    files.files["/a.spc"] = "spc";
    files.files["/.hidden.wav"] = "";
    files.hidden.insert("/.hidden.wav");
    files.unwritable.insert("/locked.wav");
    files.files["/long.wav"] = "";
    shortPaths.failing.insert("/long.wav");
    const struct {
        std::string wav;
        bool log;
        std::string player;
        std::error_code startError;
        LaunchOutcome outcome;
        std::string mentions;
    } cases[] = {
        {"",
         true,
         "/p/SPCPLAY.EXE",
         {},
         LaunchOutcome::WavUnusable,
         "Logging to a WAV file is on, but no WAV file is given.\rType the WAV file's name, or "
         "turn off \"Log to WAV File\"."},
        {"/locked.wav",
         true,
         "/p/SPCPLAY.EXE",
         {},
         LaunchOutcome::WavUnusable,
         "Could not open or create the WAV file \"/locked.wav\".\rChoose a file in a directory you "
         "can write to."},
        {"/.hidden.wav",
         true,
         "/p/SPCPLAY.EXE",
         {},
         LaunchOutcome::WavUnusable,
         "The WAV file \"/.hidden.wav\" is hidden or not an ordinary file, so the player cannot be "
         "given its name.\rChoose an ordinary WAV file that is not hidden (on Linux, one whose "
         "name does not begin with \".\")."},
        {"", false, "(No directory specified)",
         std::make_error_code(std::errc::no_such_file_or_directory), LaunchOutcome::StartFailed,
         "(No directory specified)"},
        {"/long.wav",
         true,
         "/p/SPCPLAY.EXE",
         {},
         LaunchOutcome::NoShortName,
         "\"/long.wav\" has no short (8.3) name, so the DOS player could not open it.\rKeep the "
         "music on a drive that has short names, or ask an administrator to turn them on for that "
         "volume."},
        // Only Windows refuses a DOS program this way; elsewhere it is any unrunnable file.
        {"", false, "/p/SPCPLAY.EXE", std::make_error_code(std::errc::executable_format_error),
#ifdef _WIN32
         LaunchOutcome::StartFailed, "DOSBox"},
#else
         LaunchOutcome::StartFailed, "Set the player's directory"},
#endif
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        starter.started.clear();
        starter.result = c.startError;
        EXPECT_EQ(launch("/a.spc", c.wav, c.log, c.player), c.outcome);
        EXPECT_NE(onlyMessage().find(c.mentions), std::string::npos) << c.mentions;
        EXPECT_EQ(starter.started.size(), c.outcome == LaunchOutcome::StartFailed ? 1u : 0u);
    }
    messages.shown.clear();
    shortPaths.failing.insert("/a.spc");
    EXPECT_EQ(launch("/a.spc"), LaunchOutcome::NoShortName);
    EXPECT_NE(onlyMessage().find("short names"), std::string::npos);
}

TEST_F(LauncherTest, UnwritableConfigStopsBeforeAnythingElse) {
    settings.adopt("/ro/", "/ro/SPCPLAY.EXE");
    files.unwritable.insert("/ro/SPCPLAY.CFG");
    EXPECT_EQ(launch(""), LaunchOutcome::ConfigNotWritten);
    EXPECT_NE(onlyMessage().find("/ro/SPCPLAY.CFG"), std::string::npos);
    EXPECT_TRUE(starter.started.empty());
}

TEST(Dosname, OnlyOrdinaryFilesHaveShortPaths) {
    fake::Files files;
    fake::ShortPaths shortPaths;
    files.files["/music/long name.spc"] = "";
    files.files["/music/.hidden.spc"] = "";
    files.hidden.insert("/music/.hidden.spc");
    files.files["/music/nofit.spc"] = "";
    shortPaths.shortForms["/music/nofit.spc"] = std::string(1000, 'x'); // no room for the NUL
    files.files["/music/fails.spc"] = "";
    shortPaths.failing.insert("/music/fails.spc");
    files.files["/music/fits.spc"] = "";
    shortPaths.shortForms["/music/fits.spc"] = std::string(999, 'y');

    EXPECT_EQ(dosname(files, shortPaths, "/music/long name.spc"), "/MUSIC/LONGNAME.SPC");
    EXPECT_EQ(dosname(files, shortPaths, "/music/fits.spc"), std::string(999, 'y'));
    for (const std::string path :
         {"/music/missing.spc", "/music/.hidden.spc", "/music/nofit.spc", "/music/fails.spc"})
        EXPECT_EQ(dosname(files, shortPaths, path), "") << path;
    // The platform is not asked about files that are not there.
    EXPECT_EQ(std::count(shortPaths.calls.begin(), shortPaths.calls.end(), "/music/missing.spc"),
              0);
}

} // namespace
} // namespace kavo
