// The Windows DOSBox starter's sweep of staging directories left behind. A run through a
// stand-in dosbox.exe is tests/e2e/win32_dosbox_e2e.sh.
#include "fakes/fakes.h"
#include "platform/win32/win32_dosbox_starter.h"
#include "platform/win32/win32_process_starter.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

struct NoWatcher : HandleWatcher {
    void watch(HANDLE /*handle*/, std::function<void()> /*onSignalled*/) override {}
    void unwatch(HANDLE /*handle*/) override {}
};

TEST(DosboxStarter, StaleStagesAreSweptAfterTheirRecordingIsDeliveredAndLockedOnesStay) {
    test::TempDir dir;
    const std::string wav = dir.path("user.wav");
    test::writeFile(wav, "RIFF");
    const std::string stale = dir.path("kavofe-dosbox-1");
    test::makeDirectory(stale + "\\E");
    test::writeFile(stale + "\\lock", "");
    test::writeFile(stale + "\\E\\USER.WAV", "late");
    test::writeFile(stale + "\\deliver", "E\\USER.WAV\n" + wav);
    // One whose owner still runs: its lock is held without sharing.
    const std::string live = dir.path("kavofe-dosbox-2");
    test::makeDirectory(live);
    HANDLE lock = CreateFileW(test::fsPath(live + "\\lock").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    Win32ProcessStarter native;
    NoWatcher watcher;
    fake::Messages messages;
    Win32DosboxStarter starter(native, watcher, messages,
                               dir.path().substr(0, dir.path().size() - 1), false);
    EXPECT_FALSE(test::exists(stale));
    EXPECT_TRUE(test::exists(live));
    EXPECT_EQ(test::readFile(wav), "RIFFlate");
    CloseHandle(lock);
}

} // namespace
} // namespace kavo
