// Remote control under X: from a click on "&5" to the player's window receiving the key,
// against a bare XTest key press into the same window. Median and worst of 100.
#include "bench_support.h"
#include "bench_table.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <thread>

namespace kavo::bench {

namespace {

constexpr int kClicks = 100;

// The player stand-in, running until the end of the measurement.
class StandIn {
public:
    StandIn() : child_(spawn(KAVO_BENCH_STANDIN, {}, {"DISPLAY=" + benchDisplay()})) {
        unsigned long id = 0;
        if (std::sscanf(readLine(child_.output).c_str(), "ready %lu", &id) == 1)
            window_ = id;
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;
    ~StandIn() {
        if (child_.pid > 0)
            ::kill(child_.pid, SIGTERM);
        reap(child_);
    }
    Window window() const { return window_; }
    // When the next key press arrived, or 0.
    std::int64_t nextKey() {
        long long at = 0;
        unsigned keycode = 0;
        return std::sscanf(readLine(child_.output, 5000).c_str(), "key %u %lld", &keycode, &at) == 2
                   ? at
                   : 0;
    }

private:
    Child child_;
    Window window_ = 0;
};

void report(benchmark::State& state, std::vector<double> latencies) {
    if (latencies.size() != kClicks) {
        state.SkipWithError("not every key reached the player");
        return;
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_us"] = (latencies[kClicks / 2 - 1] + latencies[kClicks / 2]) / 2;
    state.counters["worst_us"] = latencies.back();
}

void bareKey(benchmark::State& state) {
    Display* x = XOpenDisplay(benchDisplay().c_str());
    if (x == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        StandIn player;
        XSetInputFocus(x, player.window(), RevertToPointerRoot, CurrentTime);
        XSync(x, False);
        const KeyCode five = XKeysymToKeycode(x, XK_5);
        std::vector<double> latencies;
        for (int i = 0; i < kClicks; ++i) {
            const std::int64_t start = monotonicNanoseconds();
            XTestFakeKeyEvent(x, five, True, CurrentTime);
            XTestFakeKeyEvent(x, five, False, CurrentTime);
            XFlush(x);
            const std::int64_t arrived = player.nextKey();
            if (arrived == 0)
                break;
            latencies.push_back(static_cast<double>(arrived - start) / 1e3);
        }
        report(state, latencies);
    }
    XCloseDisplay(x);
}

void click(benchmark::State& state) {
    Display* x = XOpenDisplay(benchDisplay().c_str());
    if (x == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    const std::string config = scratchDirectory() + "config";
    for (auto _ : state) {
        StandIn player;
        Child program = spawn(
            KAVO_BENCH_KAVOFE, {"--remote"},
            {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + benchDisplay(), "XDG_CONFIG_HOME=" + config});
        int buttonX = 0, buttonY = 0;
        readLine(program.output); // shown
        if (std::sscanf(readLine(program.output).c_str(), "button %d %d", &buttonX, &buttonY) !=
            2) {
            state.SkipWithError("the program did not show its panel");
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            XTestFakeMotionEvent(x, -1, buttonX, buttonY, CurrentTime);
            XSync(x, False);
            std::vector<double> latencies;
            for (int i = 0; i < kClicks; ++i) {
                const std::int64_t start = monotonicNanoseconds();
                XTestFakeButtonEvent(x, 1, True, CurrentTime);
                XTestFakeButtonEvent(x, 1, False, CurrentTime);
                XFlush(x);
                const std::int64_t arrived = player.nextKey();
                if (arrived == 0)
                    break;
                latencies.push_back(static_cast<double>(arrived - start) / 1e3);
                // Let the focus come back before the next click, as a user's pace would.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            report(state, latencies);
        }
        ::kill(program.pid, SIGTERM);
        reap(program);
    }
    XCloseDisplay(x);
}

} // namespace

void registerRemote() {
    if (benchDisplay().empty())
        return;
    benchmark::RegisterBenchmark("remote/bare_xtest_key", bareKey)->Iterations(1);
    benchmark::RegisterBenchmark("remote/kavofe_click", click)->Iterations(1);
    addComparison({"Remote: click on \"&5\" to key received, median of 100", "remote/kavofe_click",
                   "remote/bare_xtest_key", "median_us", "us", ""});
    addComparison({"Remote: click on \"&5\" to key received, worst of 100", "remote/kavofe_click",
                   "remote/bare_xtest_key", "worst_us", "us", ""});
}

} // namespace kavo::bench
