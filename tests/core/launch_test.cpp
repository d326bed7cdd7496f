#include "fakes/fakes.h"
#include "launch/config_file.h"
#include "launch/dos_machine.h"
#include "launch/launcher.h"

#include <gtest/gtest.h>

namespace kavo {

// The held texts go in as they are, whatever they hold.
TEST(ConfigFile, FixedBytesAroundTheHeldTexts) {
    EXPECT_EQ(
        configFileText("7", " 1", "", -20),
        "; SPCPlay Configuration file\r\n\r\n; Sound Sampling Rate\r\n;   0 = 8000Hz, 1 = "
        "11025Hz, 2 = 22050Hz, 3 = 44100Hz\r\n;   4 = 32000Hz,5 = 16000Hz\r\n\r\nSoundrate = "
        "7\r\n\r\n; Stereo (0 = off, 1 = on)\r\n\r\nStereo =  1\r\n\r\n; Force 8-bit sound "
        "on  (1 = Yes, 0 = No)\r\n\r\nForce8bit = \r\n\r\n; Sound Volume Level (0 .. 100)\r\n; "
        "Note : Setting this too high can cause sound overflow which degrades quality\r\nVolume = "
        "-20\r\n");
}

// Runs players under /dos/ in an emulator that has short paths of its own.
struct DosStarter : fake::Starter {
    ShortPathApi* shortPathsFor(const std::string& program) override {
        return program.starts_with("/dos/") ? &dosPaths : nullptr;
    }
    fake::ShortPaths dosPaths;
};

// The configuration file is written first; then the player starts with the boxes' short paths,
// or the user is told why not.
TEST(Launcher, StartsThePlayerOrSaysWhyNot) {
    fake::Files files;
    fake::ShortPaths shortPaths;
    DosStarter starter;
    fake::Messages messages;
    PlayerSettings settings;
    Launcher launcher{files, shortPaths, starter, messages};
    for (const char* path :
         {"/m/Track One.spc", "/o/old.wav", "/.h.wav", "/l.wav", "/x.spc", "/f.spc", "/n.spc"})
        files.files[path] = "RIFF";
    files.hidden.insert("/.h.wav"), files.unwritable.insert("/ro.wav");
    shortPaths.failing = {"/l.wav", "/x.spc"};
    shortPaths.shortForms = {{"/m/Track One.spc", "/M/TRACKO~1.SPC"},
                             {"/f.spc", std::string(999, 'y')},
                             {"/n.spc", std::string(1000, 'x')}}; // no room for the NUL
    starter.dosPaths.shortForms = {{"/m/Track One.spc", "D:\\A.SPC"}, {"/NEW.WAV", "E:\\N"}};
    const auto launch = [&](std::string spc, std::string wav, bool log, std::string player) {
        messages.shown = {}, starter.started = {}, files.calls = {}, shortPaths.calls = {};
        return launcher.launch(settings, {std::move(spc), std::move(player), std::move(wav), log});
    };
    using enum LaunchOutcome;
    const std::string p = "/p/P.EXE", s = "/m/Track One.spc", t = " /M/TRACKO~1.SPC";
    const std::string cannot = "Could not start the player \"/p/P.EXE\"";
    const std::string noName = "\" has no short (8.3) name, so the DOS player could not open it.\r"
                               "Keep the music on a drive that has short names, or ask an "
                               "administrator to turn them on for that volume.";
    const std::error_code none, noFile = std::make_error_code(std::errc::no_such_file_or_directory);
    const std::error_code badFormat = std::make_error_code(std::errc::executable_format_error);
    const std::string menu = ".\rSet the player's directory with \"SPCPLAY Dir\" in the File menu.";
    const struct {
        std::string spc, wav;
        bool log;
        std::string player;
        LaunchOutcome outcome;
        std::error_code startError;
        std::string text; // the command line when started, else the message
        std::string arguments = {};
    } cases[] = {
        {s, "", false, p, Started, none, p + t, "/M/TRACKO~1.SPC"},
        {s, "/o/old.wav", true, p, Started, none, p + t + " -w /O/OLD.WAV",
         "/M/TRACKO~1.SPC|-w|/O/OLD.WAV"},
        // Logging off: the WAV box is not looked at. A missing WAV file is created empty.
        {s, "/o/old.wav", false, p, Started, none, p + t, "/M/TRACKO~1.SPC"},
        {s, "/NEW.WAV", true, p, Started, none, p + t + " -w /NEW.WAV",
         "/M/TRACKO~1.SPC|-w|/NEW.WAV"},
        // Blanks in the player path stay unquoted and unshortened.
        {s, "", false, "/My P/P.EXE", Started, none, "/My P/P.EXE" + t, "/M/TRACKO~1.SPC"},
        // A vanished SPC file, or a box of blanks: the line ends in the blank after the player.
        {"/m/gone.spc", "", false, p, Started, none, p + " "},
        {"   ", "", false, p, Started, none, p + " "},
        {"/f.spc", "", false, p, Started, none, p + " " + std::string(999, 'y'),
         std::string(999, 'y')},
        {"/n.spc", "", false, p, NoShortName, none, "\"/n.spc" + noName},
        // An emulated DOS player names the files in its own terms, in the same layout.
        {s, "/NEW.WAV", true, "/dos/P.EXE", Started, none, "/dos/P.EXE D:\\A.SPC -w E:\\N",
         "D:\\A.SPC|-w|E:\\N"},
        {"", "/N.WAV", true, p, NoSpcFile, none, "You must specify an SPC file!"},
        {"/x.spc", "", true, p, NoShortName, none, "\"/x.spc" + noName},
        {s, "", true, p, WavUnusable, none,
         "Logging to a WAV file is on, but no WAV file is given.\rType the WAV file's name, or "
         "turn off \"Log to WAV File\"."},
        {s, "/ro.wav", true, p, WavUnusable, none,
         "Could not open or create the WAV file \"/ro.wav\".\rChoose a file in a directory you "
         "can write to."},
        {s, "/.h.wav", true, p, WavUnusable, none,
         "The WAV file \"/.h.wav\" is hidden or not an ordinary file, so the player cannot be "
         "given its name.\rChoose an ordinary WAV file that is not hidden (on Linux, one whose "
         "name does not begin with \".\")."},
        {s, "/l.wav", true, p, NoShortName, none, "\"/l.wav" + noName},
        {s, "", false, p, StartFailed, noFile, cannot + ": " + noFile.message() + menu},
        {s, "", false, p, StartFailed, StartError::NotDosName,
         cannot + ".\rThe player's file name is not a DOS file name, so DOSBox cannot start "
                  "it.\rRename it to SPCPLAY.EXE."},
        {s, "", false, p, StartFailed, StartError::Staging,
         cannot + ".\rThe files for DOSBox could not be prepared in the temporary directory.\r"
                  "Check that it exists and has free space."},
        {s, "/o/old.wav", true, p, StartFailed, StartError::RecordingBusy,
         "The WAV file \"/o/old.wav\" is still being recorded into by the player in DOSBox.\r"
         "Stop the player first, then launch again."},
#ifdef _WIN32
        {s, "", false, p, StartFailed, badFormat,
         "Windows refused to run the player \"/p/P.EXE\" itself.\rIf it is the DOS player, "
         "launch again: it then plays in DOSBox."},
        {s, "", false, p, StartFailed, StartError::EmulatorMissing,
         cannot + ".\rThe player is a DOS program, and 64-bit Windows plays it only in DOSBox, "
                  "which was not found.\rGet DOSBox from https://www.dosbox.com, install it, and "
                  "launch again."},
#else
        {s, "", false, p, StartFailed, badFormat, cannot + ": " + badFormat.message() + menu},
        {s, "", false, p, StartFailed, StartError::EmulatorMissing,
         cannot + ".\rThe player is a DOS program, which this system runs in DOSBox, and DOSBox "
                  "is not installed.\rInstall it (Debian and Ubuntu: sudo apt install dosbox) "
                  "and launch again."},
#endif
    };
    for (const auto& c : cases) {
        starter.result = c.startError;
        EXPECT_EQ(launch(c.spc, c.wav, c.log, c.player), c.outcome) << c.text;
        EXPECT_EQ(files.calls.front(), "write SPCPLAY.CFG");
        EXPECT_EQ(starter.started.size(), c.outcome == Started || c.outcome == StartFailed);
        // The platform is not asked about files that are not there.
        EXPECT_EQ(std::ranges::count(shortPaths.calls, "/m/gone.spc"), 0);
        EXPECT_EQ(messages.shown, std::vector<fake::Messages::Shown>(
                                      c.outcome != Started, {c.text, "Error", MessageIcon::Error}));
        if (c.outcome != Started)
            continue;
        std::string got = starter.started.at(0).text + "#" + starter.started[0].program + "#";
        for (const std::string& word : starter.started[0].arguments)
            got += (got.ends_with('#') ? "" : "|") + word;
        EXPECT_EQ(got, c.text + "#" + c.player + "#" + c.arguments);
        EXPECT_TRUE(!c.player.starts_with("/dos/") || shortPaths.calls.empty()) << "its own only";
    }
    EXPECT_EQ(files.files.at("/o/old.wav") + "|" + files.files.at("/NEW.WAV"), "RIFF|");
    EXPECT_FALSE(files.files.contains("/N.WAV"));
    EXPECT_EQ(files.files.at("SPCPLAY.CFG"), configFileText("3", "1", "0", 75));

    // An unwritable configuration file in the player directory: nothing else is done (where it
    // goes the main window's tests pin).
    settings.adopt("/p/", p);
    files.unwritable.insert("/p/SPCPLAY.CFG");
    EXPECT_EQ(launch(s, "", false, p), ConfigNotWritten);
    EXPECT_EQ(files.calls, std::vector<std::string>{"write /p/SPCPLAY.CFG"});
    EXPECT_EQ(messages.shown.at(0).text,
              "Could not write the player's configuration file \"/p/SPCPLAY.CFG\".\rCheck that the "
              "player's directory exists and can be written to.");
    EXPECT_TRUE(starter.started.empty());
}

// Windows splits the program part of a line at a blank or a tab; nothing else changes.
TEST(Launcher, WindowsQuotesOnlyAProgramPartWithABlankOrTab) {
    const std::string w = "C:\\A B.WAV", rest = " C:\\A.SPC -w C:\\A B.WAV";
    const std::pair<std::string, std::string> cases[] = {{"C:\\P\\SPCPLAY.EXE", ""},
                                                         {"C:\\Player Dir\\P.EXE", "\""},
                                                         {"C:\\Tab\tDir\\P.EXE", "\""},
                                                         {"", ""}};
    for (const auto& [player, quote] : cases)
        EXPECT_EQ(windowsCommandText(buildCommandLine(player, "C:\\A.SPC", &w)),
                  quote + player + quote + rest);
}

// Devices are DOSBox's (tried), also a long name cut to one; the renamed form stays 8.3. Only
// plain commands and directories pass; DOS programs are told from Windows ones by their header.
TEST(DosMachine, NamesCommandsDirectoriesAndPrograms) {
    // Long name|DOS name.
    for (std::string_view c :
         {"CON.SPC|CON_.SPC", "com9.spc|COM9_.SPC", "COM10.SPC|COM10.SPC", "coma.spc|COMA.SPC",
          "com1.spc|COM1_.SPC", "zz.spc|ZZ.SPC", "nul|NUL_", ".hidden|FILE.HID", "a.b.c|AB.C",
          "song_1-2|SONG_1-2", "%PATH%.spc|PATH.SPC", "\xE6\x97\xA5.spc|FILE.SPC",
          "x.y.wave|XY.WAV", "Output of it|OUTPUTOF", "x\" & c \\ \xC3\x9C|XC",
          "emmxxxx0.spc|EMMXXXX_.SPC", "mscd001.wav|MSCD001_.WAV", "LPT9|LPT9_",
          "Emmxxxx0 copy.spc|EMMXXXX_.SPC"}) {
        const auto bar = c.find('|');
        EXPECT_EQ(dos::fileName(c.substr(0, bar)), c.substr(bar + 1)) << c;
        EXPECT_TRUE(dos::isDosName(c.substr(bar + 1))) << c;
    }
    // "+": a DOS name.
    for (std::string_view name :
         {"+SPCPLAY.EXE", "+spcplay.exe", "+A.B", "-", "-SPC PLAY.EXE", "-SPCPLAYER.EXE", "-X.EXEC",
          "-CON.EXE", "-A&B", "+ABC1.SPC", "-PRN.SPC", "-AUX"})
        EXPECT_EQ(dos::isDosName(name.substr(1)), name[0] == '+') << name;
    EXPECT_TRUE(dos::isPlainCommand("C:\\SPCPLAY.EXE D:\\TRACKONE.SPC -w E:\\OUT_1.WAV"));
    for (std::string_view line : {"C:\\A.EXE > NUL", "C:\\A.EXE %PATH%", "C:\\A.EXE\nexit",
                                  "C:\\A.EXE | B", "C:\\A.EXE \"x\""})
        EXPECT_FALSE(dos::isPlainCommand(line)) << line;

    EXPECT_EQ(dos::stagingBase("/run/user/1000", "/var/tmp") +
                  dos::stagingBase(nullptr, "/v/t+p.1") + dos::stagingBase("relative", nullptr) +
                  dos::stagingBase("/run/a b", "/tmp/%x") + dos::stagingBase("/home/\"q\"", "/t;x"),
              "/run/user/1000/v/t+p.1/tmp/tmp/tmp");

    for (std::string_view dir : {"C:\\", "a:\\x", "Z:\\PROGRA~1\\KAVO_1-2.X\\"})
        EXPECT_TRUE(dos::isPlainWindowsDir(dir)) << dir;
    for (std::string_view dir :
         {"C:", "1:\\x", "C;\\x", "C:/x", "C:x\\", "C:\\ x", "C:\\x y", "C:\\%x%", "C:\\\xC3\xA9"})
        EXPECT_FALSE(dos::isPlainWindowsDir(dir)) << dir;

    const std::string header = "MZ" + std::string(58, '\0') + "\x80\x01" + std::string(2, '\0');
    EXPECT_EQ(dos::newHeaderOffset(header), 0x180u);
    EXPECT_EQ(dos::newHeaderOffset("ZM" + header.substr(2)), 0x180u);
    EXPECT_FALSE(dos::newHeaderOffset("MZ short") || dos::newHeaderOffset(std::string(64, 'x')));
    EXPECT_TRUE(dos::isDosProgram(header, "") && dos::isDosProgram(header, "NE\0\0") &&
                dos::isDosProgram(header.substr(0, 2), ""));
    EXPECT_FALSE(dos::isDosProgram(header, std::string_view("PE\0\0", 4)));
    EXPECT_FALSE(dos::isDosProgram("\177ELF", "") || dos::isDosProgram(std::string(64, 'x'), ""));
}

// The marker goes only where every drive and the program are there; what the mounts said
// against it is told.
TEST(DosMachine, ConfigMountsOnlyTheStageAndTheEndIsTold) {
    dos::StageNames names;
    std::string fits(16, '#'), tooShort(8, '#'); // room for the NUL, and none
    names.getShortPathName("/m/Track One.spc", fits), names.getShortPathName("/o/x.wav", tooShort);
    EXPECT_EQ(fits + tooShort, std::string("D:\\TRACKONE.SPC\0", 16) + "########");
    const dos::Stage& stage = names.stage;
    EXPECT_EQ(dos::config("/run/s", stage, "C:\\SPCPLAY.EXE D:\\TRACKONE.SPC -w E:\\X.WAV"),
              "[sdl]\nfullscreen=false\noutput=surface\nautolock=false\nwaitonerror=false\n"
              "[dos]\nkeyboardlayout=none\n[cpu]\ncore=dynamic\ncycles=max\n[autoexec]\n"
              "mount y /run/s/Y\n"
              "mount c /run/s/C >>Y:\\SAID.TXT\nmount d /run/s/D >>Y:\\SAID.TXT\n"
              "mount e /run/s/E >>Y:\\SAID.TXT\nif not exist C:\\NUL goto end\n"
              "if not exist D:\\NUL goto end\nif not exist E:\\NUL goto end\n"
              "if not exist C:\\SPCPLAY.EXE goto end\nc:\ncd \\\necho started > Y:\\STARTED.TXT\n"
              "C:\\SPCPLAY.EXE D:\\TRACKONE.SPC -w E:\\X.WAV\n:end\nexit\n");
    EXPECT_TRUE(
        dos::config("C:\\S", {}, "X", '\\')
            .ends_with(
                "mount y C:\\S\\Y\nmount c C:\\S\\C >>Y:\\SAID.TXT\nif not exist C:\\NUL goto end\n"
                "if not exist X goto end\nc:\ncd \\\necho started > "
                "Y:\\STARTED.TXT\nX\n:end\nexit\n"));
    EXPECT_EQ(dos::recording(stage, {"D:\\TRACKONE.SPC", "-w", "E:\\X.WAV"}), &stage.files()[1]);
    EXPECT_EQ(dos::recording(stage, {"E:\\X.WAV"}), nullptr);

    const std::string failed = "CONFIG:x\nExit to error: Can't init SDL nope \r\nmore";
    EXPECT_EQ(dos::errorReason("Exit to error: "), "unknown error");
    EXPECT_EQ(dos::endReport(failed, true),
              "DOSBox could not run the player: Can't init SDL nope.");
    const std::string mounted = "Drive C is mounted as local directory /s/C/\n";
    EXPECT_EQ(dos::endReport("all fine\n", false, mounted) + "|" +
                  dos::endReport("", false, mounted + "Directory /s/D doesn't exist.\r\n"),
              "DOSBox ended before it started the player.|DOSBox ended before it started the "
              "player. DOSBox said: Directory /s/D doesn't exist.");
    EXPECT_EQ(dos::endReport("all fine\n", true, "Directory /s/D doesn't exist."), "");
}

} // namespace kavo
