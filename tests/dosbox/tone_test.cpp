// The player's DOSBox as the user hears it: a DOS program's Sound Blaster tone reaches the host's
// sound output (SDL's disk driver writes it to a file), and the program runs far faster than
// under DOSBox's defaults.
#include "fakes/fakes.h"
#include "platform/posix/dosbox_starter.h"
#include "platform/posix/posix_process_starter.h"
#include "temp_dir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <numeric>
#include <poll.h>
#include <span>
#include <spawn.h>
#include <sys/wait.h>
#include <utility>

extern char** environ;

namespace kavo {
namespace {

struct Watcher : FdWatcher {
    void watch(int fd, std::function<void()> onReady) override { watched = fd, ended = onReady; }
    void unwatch(int /*fd*/) override {}
    int watched = -1;
    std::function<void()> ended;
};

// The share of the power that the strongest frequency within 10 Hz of 440 holds in the second
// after the first quarter second of sound in the capture (16-bit stereo, 44100 Hz; its left
// channel): Goertzel over tenths of a second, whose powers add up, as a loaded host's gaps in
// the sound break the phase.
double toneShare(const std::string& raw) {
    std::vector<double> x(raw.size() / 4);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<std::int16_t>(static_cast<unsigned char>(raw[4 * i]) |
                                         static_cast<unsigned char>(raw[4 * i + 1]) << 8);
    const auto loud = std::ranges::find_if(x, [](double v) { return std::abs(v) > 1000; });
    if (x.end() - loud < 55125)
        return 0;
    const std::span second(loud + 11025, 44100);
    double best = 0;
    for (int f = 430; f <= 450; ++f) {
        const double c = 2 * std::cos(2 * std::numbers::pi * f / 44100);
        double power = 0;
        for (std::size_t at = 0; at < second.size(); at += 4410) {
            double s1 = 0, s2 = 0;
            for (const double v : second.subspan(at, 4410))
                s2 = std::exchange(s1, v + c * s1 - s2);
            power += 2 * (s1 * s1 + s2 * s2 - c * s1 * s2) / 4410;
        }
        best = std::max(best, power);
    }
    return best / std::inner_product(second.begin(), second.end(), second.begin(), 0.0);
}

TEST(DosboxSound, AToneReachesTheHostAndTheProgramRunsAtFullSpeed) {
    const char* display = std::getenv("KAVO_TEST_DISPLAY"); // NOLINT(concurrency-mt-unsafe)
    ASSERT_NE(display, nullptr) << "test.sh starts a private Xvfb and names it";
    test::TempDir root;
    const std::string dir = root.mkdir("player") + "/", capture = root.dir() + "out.raw";
    std::filesystem::copy_file(KAVO_DOS_TONE_EXE, dir + "TONE.EXE");
    // NOLINTBEGIN(concurrency-mt-unsafe): one thread
    ::setenv("DISPLAY", display, 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);

    // DOSBox with nothing but the program to run: its defaults.
    std::vector<std::string> words{
        "dosbox", "-conf",
        root.file("bare.conf", "[autoexec]\nmount c " + dir + "\nc:\nTONE\nexit\n")};
    std::vector<char*> argv{words[0].data(), words[1].data(), words[2].data(), nullptr};
    pid_t bare = 0;
    ASSERT_EQ(::posix_spawnp(&bare, "dosbox", nullptr, nullptr, argv.data(), environ), 0);
    ASSERT_EQ(::waitpid(bare, nullptr, 0), bare);
    // Loop iterations a second that the program counted.
    const auto speed = [&dir] { return std::stol(test::readAll(dir + "SPEED.TXT"), nullptr, 16); };
    const long defaults = speed();

    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", "23", 1); // with the default 150 most buffers are dropped
    // NOLINTEND(concurrency-mt-unsafe)
    PosixProcessStarter native;
    fake::Messages messages;
    Watcher watcher;
    DosboxStarter starter(native, watcher, messages, root.mkdir("run"));
    ASSERT_NE(starter.shortPathsFor(dir + "TONE.EXE"), nullptr);
    ASSERT_FALSE(starter.start({dir + "TONE.EXE", dir + "TONE.EXE", {}}));
    pollfd ending{watcher.watched, POLLIN, 0};
    ASSERT_EQ(::poll(&ending, 1, 90000), 1);
    watcher.ended();
    const long ours = speed();
    EXPECT_GE(ours, 10 * defaults) << ours << " iterations a second against " << defaults;
    EXPECT_GT(toneShare(test::readAll(capture)), 0.5) << "no second of 440 Hz in the capture";
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace kavo
