// The DOS player inside DOSBox: "&Launch" to the DOS program running, and a click on "&5" to
// the key read inside DOS, each against bare DOSBox running the same DOS probe. The probe's
// log (PROBE.LOG, closed after every line) tells when each step has happened.
#include "bench_support.h"
#include "bench_table.h"
#include "common/message_sink.h"
#include "launch/launcher.h"
#include "platform/posix/dosbox_starter.h"
#include "platform/posix/fd_watcher.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "platform/x11/x11_remote.h"
#include "remote/control_panel.h"
#include "remote/player_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace kavo::bench {

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr int kClicks = 20;
// "5" by its US key position: PC scan code 06, X keycode 06 + 8; BIOS hands it over as 35 06.
constexpr unsigned kFiveKeycode = 14;
constexpr std::string_view kFiveRead = "KEY:35 06";

// test-bench.sh only checks that each benchmark runs: one DOSBox start per way is enough.
bool brief() {
    const char* value =
        std::getenv("KAVO_BENCH_BRIEF"); // NOLINT(concurrency-mt-unsafe): one thread
    return value != nullptr && *value != '\0';
}

std::string findDosbox() {
    const char* path = std::getenv("PATH"); // NOLINT(concurrency-mt-unsafe): one thread
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t begin = 0; begin <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', begin), dirs.size());
        std::string candidate = dirs.substr(begin, end - begin) + "/dosbox";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return {};
}

// Why the DOSBox figures cannot be measured here, or "".
std::string missing() {
    if (benchDisplay().empty())
        return "no X display (KAVO_BENCH_DISPLAY)";
    if (findDosbox().empty())
        return "no dosbox on PATH";
    if (!fs::exists(KAVO_BENCH_DOS_PROBE))
        return "no DOS probe at " KAVO_BENCH_DOS_PROBE;
    return {};
}

// What both ways of starting DOSBox see: the benchmark display, no sound device, and the
// video driver the starter sets anyway.
class DosboxEnvironment {
public:
    DosboxEnvironment() {
        set("DISPLAY", benchDisplay());
        set("SDL_AUDIODRIVER", "dummy");
        set("SDL_VIDEODRIVER", "x11");
    }
    DosboxEnvironment(const DosboxEnvironment&) = delete;
    DosboxEnvironment& operator=(const DosboxEnvironment&) = delete;
    ~DosboxEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                // NOLINTNEXTLINE(concurrency-mt-unsafe): one thread
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str()); // NOLINT(concurrency-mt-unsafe): one thread
        }
    }

private:
    void set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str()); // NOLINT(concurrency-mt-unsafe): one thread
        saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1); // NOLINT(concurrency-mt-unsafe): one thread
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// A player directory holding the probe as SPCPLAY.EXE and an SPC file; without a final "/".
std::string playerDirectory(const std::string& name) {
    std::string dir = scratchDirectory() + name;
    fs::create_directories(dir);
    fs::copy_file(KAVO_BENCH_DOS_PROBE, dir + "/SPCPLAY.EXE", fs::copy_options::overwrite_existing);
    std::ofstream(dir + "/TRACK.SPC", std::ios::binary) << "SNES-SPC700 Sound File Data";
    return dir;
}

// What DOSBox is told without the front end: the settings the starter writes, the player
// directory as C and the probe run there.
std::string writeBareConfig(const std::string& playerDir) {
    std::string path = playerDir + ".conf";
    std::ofstream(path, std::ios::binary) << "[sdl]\n"
                                             "fullscreen=false\n"
                                             "output=surface\n"
                                             "autolock=false\n"
                                             "waitonerror=false\n"
                                             "[dos]\n"
                                             "keyboardlayout=none\n"
                                             "[autoexec]\n"
                                             "mount c "
                                          << playerDir
                                          << "\n"
                                             "c:\n"
                                             "SPCPLAY.EXE TRACK.SPC\n"
                                             "exit\n";
    return path;
}

// DOSBox started bare; its output goes nowhere, as the starter's goes to a file.
pid_t spawnBareDosbox(const std::string& config) {
    std::string dosbox = findDosbox();
    std::string option = "-conf";
    std::string file = config;
    char* argv[] = {dosbox.data(), option.data(), file.data(), nullptr};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (::posix_spawn(&pid, dosbox.c_str(), &actions, nullptr, argv, environ) != 0)
        pid = -1;
    ::posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// The probe's log, read again whenever its directory changes.
class ProbeLog {
public:
    explicit ProbeLog(const std::string& dir)
        : path_(dir + "/PROBE.LOG"), notify_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        ::inotify_add_watch(notify_, dir.c_str(),
                            IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
        clear();
    }
    ProbeLog(const ProbeLog&) = delete;
    ProbeLog& operator=(const ProbeLog&) = delete;
    ~ProbeLog() { ::close(notify_); }

    void clear() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::erase(log, '\r');
        return log;
    }
    // False when done(text()) has not come true within the timeout.
    bool waitFor(const std::function<bool(const std::string&)>& done, milliseconds timeout) const {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            // Drained before the read, so that no change after it goes unseen.
            char events[4096];
            while (::read(notify_, events, sizeof events) > 0) {
            }
            if (done(text()))
                return true;
            const auto left =
                std::chrono::duration_cast<milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd poller{notify_, POLLIN, 0};
            ::poll(&poller, 1, static_cast<int>(left.count()));
        }
    }

private:
    std::string path_;
    int notify_;
};

bool isReady(const std::string& log) {
    return log.find("READY\n") != std::string::npos;
}

std::vector<std::string> keyLines(const std::string& log) {
    std::vector<std::string> keys;
    for (std::size_t at = log.find("KEY:"); at != std::string::npos; at = log.find("KEY:", at + 1))
        keys.push_back(log.substr(at, log.find('\n', at) - at));
    return keys;
}

class NoMessages : public MessageSink {
public:
    void show(std::string_view text, std::string_view, MessageIcon) override {
        shown.emplace_back(text);
    }
    std::vector<std::string> shown;
};

// The starter's end of each DOSBox run is picked up here instead of by the program's event loop.
class PollWatcher : public FdWatcher {
public:
    void watch(int fd, std::function<void()> onReady) override {
        watched_[fd] = std::move(onReady);
    }
    void unwatch(int fd) override { watched_.erase(fd); }
    bool runUntil(const std::function<bool()>& done, milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::vector<pollfd> fds;
            for (const auto& entry : watched_)
                fds.push_back({entry.first, POLLIN, 0});
            ::poll(fds.data(), fds.size(), 50);
            for (const pollfd& p : fds)
                if (p.revents != 0 && watched_.contains(p.fd)) {
                    const auto ready = watched_[p.fd]; // it may unwatch itself
                    ready();
                }
        }
        return true;
    }

private:
    std::map<int, std::function<void()>> watched_;
};

// The starter keeps DOSBox's process id to itself; its command line names the staging base.
void stopStaged(const std::string& stagingBase) {
    const std::string mark = "-conf" + std::string(1, '\0') + stagingBase + "/";
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (line.find(mark) != std::string::npos)
            ::kill(std::stoi(entry.path().filename()), SIGTERM);
    }
}

void bareLaunch(benchmark::State& state) {
    if (const std::string why = missing(); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    const DosboxEnvironment environment;
    const std::string dir = playerDirectory("dosbox-launch-bare");
    const std::string config = writeBareConfig(dir);
    ProbeLog log(dir);
    for ([[maybe_unused]] auto _ : state) {
        const pid_t pid = spawnBareDosbox(config);
        if (pid <= 0) {
            state.SkipWithError("dosbox could not be started");
            break;
        }
        const bool running = log.waitFor(isReady, seconds(20));
        state.PauseTiming();
        stop(pid);
        log.clear();
        state.ResumeTiming();
        if (!running) {
            state.SkipWithError("the DOS probe did not get ready under bare DOSBox");
            break;
        }
    }
}

void launchDosbox(benchmark::State& state) {
    if (const std::string why = missing(); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    const DosboxEnvironment environment;
    const std::string dir = playerDirectory("dosbox-launch-kavofe");
    const std::string stagingBase = scratchDirectory() + "staging";
    fs::create_directories(stagingBase);
    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter native;
    PollWatcher watcher;
    NoMessages messages;
    DosboxStarter starter(native, watcher, messages, stagingBase);
    Launcher launcher(files, shortPaths, starter, messages);
    PlayerSettings settings;
    settings.adopt(dir + "/", dir + "/SPCPLAY.EXE");
    const LaunchRequest request{dir + "/TRACK.SPC", settings.playerPath(), "", false};
    ProbeLog log(dir);
    for ([[maybe_unused]] auto _ : state) {
        if (launcher.launch(settings, request) != LaunchOutcome::Started) {
            state.SkipWithError("the launch did not start DOSBox");
            break;
        }
        const bool running = log.waitFor(isReady, seconds(20));
        state.PauseTiming();
        stopStaged(stagingBase);
        // The starter sees DOSBox end and removes its staging directory.
        const bool ended =
            watcher.runUntil([&starter] { return starter.running() == 0; }, seconds(20));
        log.clear();
        state.ResumeTiming();
        if (!running || !ended || !messages.shown.empty()) {
            state.SkipWithError(!messages.shown.empty() ? messages.shown.front().c_str()
                                : running               ? "DOSBox did not end after SIGTERM"
                                          : "the DOS probe did not get ready after the launch");
            break;
        }
    }
}

// The top-level window of process pid, or 0.
Window windowOf(Display* x, Window window, pid_t pid, Atom netWmPid) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, window, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        const long owner = format == 32 && count == 1 ? *reinterpret_cast<long*>(data) : 0;
        XFree(data);
        if (owner == pid)
            return window;
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int childCount = 0;
    if (XQueryTree(x, window, &root, &parent, &children, &childCount) == 0)
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < childCount && found == 0; ++i)
        found = windowOf(x, children[i], pid, netWmPid);
    if (children != nullptr)
        XFree(children);
    return found;
}

// One bare DOSBox with the probe waiting for keys, shared by both ways of pressing a key so
// that both type into the same window; it ends with the benchmarks.
class KeyTarget {
public:
    static KeyTarget& get() {
        static KeyTarget target;
        return target;
    }
    KeyTarget(const KeyTarget&) = delete;
    KeyTarget& operator=(const KeyTarget&) = delete;
    ~KeyTarget() {
        if (pid_ > 0)
            stop(pid_);
    }

    // Why no key can be sent, or "".
    const std::string& failure() const { return failure_; }
    Window window() const { return window_; }
    pid_t pid() const { return pid_; }
    std::size_t keysRead() const { return keyLines(log_->text()).size(); }
    // The key line after the first `before`, or "" when none came within a second.
    std::string keyAfter(std::size_t before) const {
        std::string line;
        log_->waitFor(
            [&](const std::string& text) {
                const auto keys = keyLines(text);
                if (keys.size() <= before)
                    return false;
                line = keys[before];
                return true;
            },
            seconds(1));
        return line;
    }

private:
    KeyTarget() : failure_(missing()) {
        if (!failure_.empty())
            return;
        const DosboxEnvironment environment;
        const std::string dir = playerDirectory("dosbox-keys");
        log_ = std::make_unique<ProbeLog>(dir);
        pid_ = spawnBareDosbox(writeBareConfig(dir));
        if (pid_ <= 0 || !log_->waitFor(isReady, seconds(20))) {
            failure_ = "the DOS probe did not get ready under DOSBox";
            return;
        }
        // Keys sent in the first moments after the program starts may be lost or doubled.
        std::this_thread::sleep_for(seconds(1));
        Display* x = XOpenDisplay(benchDisplay().c_str());
        if (x == nullptr) {
            failure_ = "no X display";
            return;
        }
        window_ = windowOf(x, DefaultRootWindow(x), pid_, XInternAtom(x, "_NET_WM_PID", False));
        XCloseDisplay(x);
        if (window_ == 0)
            failure_ = "no DOSBox window";
    }

    std::string failure_;
    std::unique_ptr<ProbeLog> log_;
    pid_t pid_ = -1;
    Window window_ = 0;
};

void report(benchmark::State& state, std::vector<double> latencies) {
    std::sort(latencies.begin(), latencies.end());
    const std::size_t n = latencies.size();
    state.counters["median_ms"] = (latencies[(n - 1) / 2] + latencies[n / 2]) / 2;
    state.counters["worst_ms"] = latencies.back();
}

// Sends one key by press(), then the time until the probe read it in ms, or an error.
std::optional<double> timeKey(benchmark::State& state, const std::function<bool()>& press) {
    const KeyTarget& target = KeyTarget::get();
    // A user's pace: DOSBox has taken the last key's release and the focus is settled. The pause
    // varies over a frame of DOSBox's (about 14 ms), so that keys do not all meet its drawing at
    // the same point.
    static std::minstd_rand pace;
    std::this_thread::sleep_for(std::chrono::microseconds(20000 + pace() % 15000));
    const std::size_t before = target.keysRead();
    const std::int64_t start = monotonicNanoseconds();
    if (!press()) {
        state.SkipWithError("the key could not be sent");
        return std::nullopt;
    }
    const std::string line = target.keyAfter(before);
    const std::int64_t arrived = monotonicNanoseconds();
    if (line != kFiveRead) {
        state.SkipWithError(line.empty() ? "a key did not reach the DOS program"
                                         : "the DOS program read another key than 5");
        return std::nullopt;
    }
    return static_cast<double>(arrived - start) / 1e6;
}

// The shared DOSBox, or nullptr with the benchmark skipped and told why.
const KeyTarget* readyTarget(benchmark::State& state) {
    const KeyTarget& target = KeyTarget::get();
    if (target.failure().empty())
        return &target;
    state.SkipWithError(target.failure().c_str());
    return nullptr;
}

// kClicks keys sent by press(), reported as their median and worst; nothing after an error.
void timeSeries(benchmark::State& state, const std::function<bool()>& press) {
    std::vector<double> latencies;
    for (int i = 0; i < kClicks; ++i) {
        const auto latency = timeKey(state, press);
        if (!latency)
            return;
        latencies.push_back(*latency);
    }
    report(state, latencies);
}

void bareKey(benchmark::State& state) {
    const KeyTarget* ready = readyTarget(state);
    if (ready == nullptr)
        return;
    const KeyTarget& target = *ready;
    Display* x = XOpenDisplay(benchDisplay().c_str());
    if (x == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    auto press = [x] {
        XTestFakeKeyEvent(x, kFiveKeycode, True, CurrentTime);
        XTestFakeKeyEvent(x, kFiveKeycode, False, CurrentTime);
        XSync(x, False);
        return true;
    };
    for ([[maybe_unused]] auto _ : state) {
        XRaiseWindow(x, target.window());
        XSetInputFocus(x, target.window(), RevertToParent, CurrentTime);
        XSync(x, False);
        timeSeries(state, press);
    }
    XCloseDisplay(x);
}

// A window of our own stands in for the front end, which gets the focus back after each click.
class FrontEndWindow {
public:
    explicit FrontEndWindow(const std::string& display) : x_(XOpenDisplay(display.c_str())) {
        if (x_ == nullptr)
            return;
        window_ = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 0, 0, 200, 100, 0, 0, 0);
        XStoreName(x_, window_, "KAVOfe");
        XSelectInput(x_, window_, StructureNotifyMask);
        XMapWindow(x_, window_);
        for (XEvent event{}; event.type != MapNotify;)
            XNextEvent(x_, &event);
    }
    FrontEndWindow(const FrontEndWindow&) = delete;
    FrontEndWindow& operator=(const FrontEndWindow&) = delete;
    ~FrontEndWindow() {
        if (x_ != nullptr)
            XCloseDisplay(x_);
    }
    Window window() const { return window_; }

private:
    Display* x_;
    Window window_ = 0;
};

// The same key as a bare program would send it while another window has the focus, as the front
// end has between clicks: raise and focus DOSBox's window, press, and give the focus back. DOSBox
// takes a while over the focus and the exposed window, which no way of sending a key avoids.
void bareActivatedKey(benchmark::State& state) {
    const KeyTarget* ready = readyTarget(state);
    if (ready == nullptr)
        return;
    const KeyTarget& target = *ready;
    const FrontEndWindow frontEnd(benchDisplay());
    Display* x = frontEnd.window() != 0 ? XOpenDisplay(benchDisplay().c_str()) : nullptr;
    if (x == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    auto activate = [x](Window window) {
        XRaiseWindow(x, window);
        XSetInputFocus(x, window, RevertToParent, CurrentTime);
    };
    auto press = [&] {
        activate(target.window());
        XTestFakeKeyEvent(x, kFiveKeycode, True, CurrentTime);
        XTestFakeKeyEvent(x, kFiveKeycode, False, CurrentTime);
        XSync(x, False);
        activate(frontEnd.window());
        XFlush(x);
        return true;
    };
    activate(frontEnd.window());
    XSync(x, False);
    for ([[maybe_unused]] auto _ : state) {
        timeSeries(state, press);
    }
    XCloseDisplay(x);
}

void clickKey(benchmark::State& state) {
    const KeyTarget* ready = readyTarget(state);
    if (ready == nullptr)
        return;
    const KeyTarget& target = *ready;
    const FrontEndWindow frontEnd(benchDisplay());
    auto remote = x11::Remote::open(benchDisplay().c_str());
    if (frontEnd.window() == 0 || !remote) {
        state.SkipWithError("no X display with XTest");
        return;
    }
    remote->setApplicationWindow(frontEnd.window());
    // As the front end sees it: the DOSBox the starter started runs.
    struct Running : ProcessStarter {
        std::error_code start(const CommandLine& /*command*/) override { return {}; }
        std::optional<std::int64_t> newestDosMachine() const override { return pid; }
        pid_t pid = 0;
    } running;
    running.pid = target.pid();
    PlayerWindows windows(remote->windows(), running);
    auto press = [&] {
        return pressInPlayer("5", windows, remote->layout(), remote->injector()) ==
               PanelOutcome::Sent;
    };
    for ([[maybe_unused]] auto _ : state) {
        timeSeries(state, press);
    }
}

} // namespace

void registerDosbox() {
    // Fixed counts: every DOSBox start costs about a second, and is ended outside the timing.
    const int launches = brief() ? 1 : 5;
    benchmark::RegisterBenchmark("dosbox/bare_launch", bareLaunch)
        ->Iterations(launches)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("dosbox/kavofe_launch", launchDosbox)
        ->Iterations(launches)
        ->Unit(benchmark::kMillisecond);
    addComparison({"DOSBox: launch to DOS player running", "dosbox/kavofe_launch",
                   "dosbox/bare_launch", "", "ms", "at most 1.05"});

    benchmark::RegisterBenchmark("dosbox/bare_xtest_key", bareKey)->Iterations(1);
    benchmark::RegisterBenchmark("dosbox/bare_activated_key", bareActivatedKey)->Iterations(1);
    benchmark::RegisterBenchmark("dosbox/kavofe_click", clickKey)->Iterations(1);
    addComparison({"DOSBox: click on \"&5\" to key read in DOS, median of 20",
                   "dosbox/kavofe_click", "dosbox/bare_activated_key", "median_ms", "ms",
                   "at most 1.2"});
    addComparison({"DOSBox: click on \"&5\" to key read in DOS, worst of 20", "dosbox/kavofe_click",
                   "dosbox/bare_activated_key", "worst_ms", "ms", ""});
    addComparison({"DOSBox: click on \"&5\" against a key into the focused window, median",
                   "dosbox/kavofe_click", "dosbox/bare_xtest_key", "median_ms", "ms", ""});
    addComparison({"DOSBox: bare activation and key against a key into the focused window, median",
                   "dosbox/bare_activated_key", "dosbox/bare_xtest_key", "median_ms", "ms", ""});
}

} // namespace kavo::bench
