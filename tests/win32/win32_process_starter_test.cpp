#include "fakes/fakes.h"
#include "launch/launcher.h"
#include "launch/player.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_short_path.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace kavo {
namespace {

struct Report {
    std::string program;
    std::string commandLine;
};

// Every probe started reports into a directory: which executable ran, with what command line.
class ProcessStarterTest : public ::testing::Test {
protected:
    test::TempDir dir;
    const std::string reports = dir.path("Reports");
    // The player sits under a path with blanks, and what Windows would try first for the
    // unquoted path is planted beside it.
    const std::string player = dir.path("Program Files\\SPC Player\\SPCPLAY.EXE");
    const std::vector<std::string> decoys = {dir.path("Program.exe"),
                                             dir.path("Program Files\\SPC.exe")};

    void SetUp() override {
        test::makeDirectory(reports);
        test::makeDirectory(dir.path("Program Files\\SPC Player"));
        for (const std::string& copy : decoys)
            plantProbe(copy);
        plantProbe(player);
        SetEnvironmentVariableW(L"KAVO_PROBE_DIR", test::fsPath(reports).c_str());
    }
    void TearDown() override { SetEnvironmentVariableW(L"KAVO_PROBE_DIR", nullptr); }

    static void plantProbe(const std::string& path) {
        std::filesystem::copy_file(test::fsPath(test::builtProgram("kavo_probe_command_line.exe")),
                                   test::fsPath(path));
    }

    std::vector<Report> collect() const {
        std::vector<Report> found;
        for (const auto& entry : std::filesystem::directory_iterator(test::fsPath(reports))) {
            if (entry.path().extension() != L".txt")
                continue;
            std::istringstream lines(test::readFile(win32::toUtf8(entry.path().wstring())));
            Report report;
            std::getline(lines, report.program);
            std::getline(lines, report.commandLine);
            found.push_back(report);
        }
        return found;
    }

    // Waits for the first report, then a little longer for any further start to show too.
    std::vector<Report> awaitReports() const {
        test::waitFor([this] { return !collect().empty(); });
        Sleep(500);
        return collect();
    }

    static bool samePath(const std::string& a, const std::string& b) {
        return CompareStringOrdinal(test::fsPath(a).c_str(), -1, test::fsPath(b).c_str(), -1,
                                    TRUE) == CSTR_EQUAL;
    }
};

TEST_F(ProcessStarterTest, PlayerSeesExactlyTheLaunchersCommandLineAndNoDecoyStarts) {
    test::makeDirectory(dir.path("Music Files"));
    const std::string spc = dir.path("Music Files\\Track One.spc");
    test::writeFile(spc, "SNES-SPC700 Sound File Data");
    const std::string wav = dir.path("Music Files\\Log Of Track One.wav");

    Win32FileSystem files;
    Win32ShortPath shortPaths;
    Win32ProcessStarter starter;
    fake::Messages messages;
    PlayerSettings settings;
    settings.adopt(dir.path("Program Files\\SPC Player\\"), player);
    Launcher launcher(files, shortPaths, starter, messages);

    ASSERT_EQ(launcher.launch(settings, {spc, player, wav, true}), LaunchOutcome::Started);
    EXPECT_TRUE(messages.shown.empty());

    const auto started = awaitReports();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(samePath(started[0].program, player)) << started[0].program;
    const std::string expected =
        player + " " + test::platformShortPath(spc) + " -w " + test::platformShortPath(wav);
    EXPECT_EQ(started[0].commandLine, expected);
    EXPECT_NE(expected.find('~'), std::string::npos);
}

TEST_F(ProcessStarterTest, UnquotedPathWithoutTheApplicationNameStartsADecoy) {
    // What the starter guards against, shown on the same layout: the test above can fail.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring text = *win32::toWide(player + " X.SPC");
    ASSERT_TRUE(CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const auto started = awaitReports();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(samePath(started[0].program, decoys[0])) << started[0].program;
}

TEST_F(ProcessStarterTest, CommandLineTextIsPassedAsItIs) {
    Win32ProcessStarter starter;
    const std::string texts[] = {
        "SPCPLAY.EXE ", // a file that was not found: nothing after the blank
        "anything \"quoted\" \t tab   blanks ", // no requoting, no trimming
        "SPCPLAY.EXE C:\\MÚSICA~1\\TRACK.SPC",  // beyond ASCII
    };
    for (const std::string& text : texts) {
        ASSERT_FALSE(starter.start({text, player, {}})) << text;
        const auto started = awaitReports();
        ASSERT_EQ(started.size(), 1u);
        EXPECT_TRUE(samePath(started[0].program, player));
        EXPECT_EQ(started[0].commandLine, text);
        for (const auto& entry : std::filesystem::directory_iterator(test::fsPath(reports)))
            std::filesystem::remove(entry.path());
    }
}

TEST_F(ProcessStarterTest, StartThatCannotHappenIsReportedInTheSystemsWords) {
    // A file of the player's length that Windows cannot run, as a DOS program on 64-bit Windows.
    const std::string junk = dir.path("Program Files\\Not A Program.exe");
    test::writeFile(junk, std::string(913758, '\x1A'));
    Win32ProcessStarter starter;
    for (const std::string& program :
         {std::string(kNoDirectoryText), dir.path("Missing\\SPCPLAY.EXE"), dir.path(""), junk,
          std::string()}) {
        const std::error_code failure = starter.start({program + " X.SPC", program, {}});
        ASSERT_TRUE(failure) << program;
        const std::string message = failure.message();
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find("nknown"), std::string::npos) << message;
        EXPECT_EQ(message.find_last_of(".\r\n"), std::string::npos) << message;
        EXPECT_EQ(failure == std::errc::executable_format_error, program == junk) << program;
    }
    Sleep(300);
    EXPECT_TRUE(collect().empty());
}

} // namespace
} // namespace kavo
