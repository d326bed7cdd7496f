// The Windows DOSBox starter with a stand-in dosbox.exe on PATH (probe_dosbox.cpp), which
// reads everything through the mounts of the configuration it is given.
#include "fakes/fakes.h"
#include "launch/launcher.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_dosbox_starter.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_short_path.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace kavo {
namespace {

class WaitWatcher : public HandleWatcher {
public:
    void watch(HANDLE handle, std::function<void()> onSignalled) override {
        watched_[handle] = std::move(onSignalled);
    }
    void unwatch(HANDLE handle) override { watched_.erase(handle); }
    void runUntilIdle() {
        for (int i = 0; i < 400 && !watched_.empty(); ++i)
            for (const auto& [handle, onSignalled] : watched_)
                if (WaitForSingleObject(handle, 50) == WAIT_OBJECT_0) {
                    const auto call = onSignalled; // it unwatches itself
                    call();
                    break;
                }
    }

private:
    std::map<HANDLE, std::function<void()>> watched_;
};

// ctest runs each test in a process of its own: the environment set here goes with it.
struct DosboxStarterTest : ::testing::Test {
    test::TempDir dir;
    const std::string stages = dir.path("stages");
    const std::string log = dir.path("probe.log");
    Win32FileSystem files;
    Win32ShortPath shortPaths;
    Win32ProcessStarter native;
    WaitWatcher watcher;
    fake::Messages messages;

    void SetUp() override {
        test::makeDirectory(stages);
        test::makeDirectory(dir.path("bin"));
        std::filesystem::copy_file(test::fsPath(test::builtProgram("kavo_probe_dosbox.exe")),
                                   test::fsPath(dir.path("bin\\dosbox.exe")));
        SetEnvironmentVariableW(L"PATH", test::fsPath(dir.path("bin")).c_str());
        SetEnvironmentVariableW(L"KAVO_PROBE_LOG", test::fsPath(log).c_str());
        SetEnvironmentVariableW(L"KAVO_PROBE_QUIT", L"1");
    }
};

TEST_F(DosboxStarterTest, HostileNamesPlayAndTheRecordingReachesTheUsersWav) {
    // The second WAV lies on another volume where Wine has one (/dev/shm): no hard link there.
    const std::string otherVolume = "Z:\\dev\\shm\\kavo-" + std::to_string(GetCurrentProcessId());
    const bool haveOtherVolume = CreateDirectoryW(test::fsPath(otherVolume).c_str(), nullptr);
    struct Case {
        std::string player, spc, wav;
    };
    const std::vector<Case> cases = {
        {dir.path("Pl\xC3\xA4yer 50% & x; y"), dir.path("M\xC3\xBCsic\\%PATH% & a;b.spc"),
         dir.path("M\xC3\xBCsic\\log & 100%.wav")},
        {dir.path("Player 2"), dir.path("M\xC3\xBCsic\\x ^ !'y'.spc"),
         haveOtherVolume ? otherVolume + "\\\xC3\xA9 & %TEMP%.wav" : dir.path("x.wav")},
    };
    test::makeDirectory(dir.path("M\xC3\xBCsic"));
    for (const Case& c : cases) {
        // A DOS program: MZ without a Windows header.
        test::makeDirectory(c.player);
        test::writeFile(c.player + "\\SPCPLAY.EXE", "MZ" + std::string(200, '\0'));
        PlayerSettings settings;
        settings.adopt(c.player + "\\", c.player + "\\SPCPLAY.EXE");
        test::writeFile(c.spc, "SPC of " + c.spc);
        test::writeFile(c.wav, "RIFF");
        {
            Win32DosboxStarter starter(native, watcher, messages, stages, false);
            Launcher launcher(files, shortPaths, starter, messages);
            ASSERT_EQ(launcher.launch(settings, {c.spc, settings.playerPath(), c.wav, true}),
                      LaunchOutcome::Started)
                << (messages.shown.empty() ? "" : messages.shown[0].text);
            watcher.runUntilIdle();
            EXPECT_EQ(starter.running(), 0u);
        }
        EXPECT_EQ(test::readFile(c.wav), "RIFFWAV:SPC of " + c.spc) << c.wav;
        EXPECT_TRUE(std::filesystem::is_empty(test::fsPath(stages)));
    }
    const std::string probeLog = test::readFile(log);
    EXPECT_EQ(probeLog.find("error"), std::string::npos) << probeLog;
    EXPECT_NE(probeLog.find("cmd C:\\SPCPLAY.EXE D:\\PATHAB.SPC -w E:\\LOG100.WAV"),
              std::string::npos)
        << probeLog;
    EXPECT_NE(probeLog.find("cfg 390"), std::string::npos) << probeLog;
    EXPECT_TRUE(messages.shown.empty());
    std::filesystem::remove_all(test::fsPath(otherVolume));
}

TEST_F(DosboxStarterTest, StaleStagesAreSweptAndUndeliveredRecordingsDeliveredFirst) {
    const std::string wav = dir.path("user.wav");
    test::writeFile(wav, "RIFF");
    const std::string stale = stages + "\\kavofe-dosbox-1";
    test::makeDirectory(stale + "\\E");
    test::writeFile(stale + "\\lock", "");
    test::writeFile(stale + "\\E\\USER.WAV", "late");
    test::writeFile(stale + "\\deliver", "E\\USER.WAV\n" + wav);
    // One whose owner still runs: its lock is held without sharing.
    const std::string live = stages + "\\kavofe-dosbox-2";
    test::makeDirectory(live);
    HANDLE lock = CreateFileW(test::fsPath(live + "\\lock").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    Win32DosboxStarter starter(native, watcher, messages, stages, false);
    EXPECT_FALSE(test::exists(stale));
    EXPECT_TRUE(test::exists(live));
    EXPECT_EQ(test::readFile(wav), "RIFFlate");
    CloseHandle(lock);
}

} // namespace
} // namespace kavo
