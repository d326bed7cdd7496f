#include "fakes/fakes.h"
#include "present/dir_picker_presenter.h"
#include "present/main_presenter.h"
#include "present/spc_picker_presenter.h"

#include <gtest/gtest.h>

namespace kavo {

// Both windows and the main window's side of a picker, logging in order what they are asked.
struct Recorder : MainView, SpcPickerView, PickerHost {
    void showDisplay(const MainDisplay& shown) override { display = shown; }
    void setText(TextBox box, const std::string& text) override { boxes.at(int(box)) = text; }
    std::string text(TextBox box) const override { return boxes.at(int(box)); }
    void openPicker(PickerKind kind, PickerHost& /*host*/) override {
        log += kind == PickerKind::SpcFile ? "open spc|" : "open dir|";
    }
    void closePicker() override { log += "close picker|"; }
    void setInputEnabled(bool enabled) override { log += enabled ? "enable|" : "disable|"; }
    void end() override { log += "end|"; }
    void showLists() override {}
    void beep() override { log += "beep|"; }
    void discard() override { // as a window's close handler does
        log += "close|";
        picker->closed();
    }
    void showFiles(const std::vector<std::string>& names) override {
        files.clear();
        for (const std::string& name : names)
            files += name + " ";
    }
    void showChecks(const std::array<bool, 3>& ticked) override {
        checks = {ticked[0] ? '1' : '0', ticked[1] ? '1' : '0', ticked[2] ? '1' : '0'};
    }
    void loadspc(const std::string& path) override { log += "loadspc " + path + "|"; }
    void setdir(const std::string& text) override { log += "setdir " + text + "|"; }
    void enableMain() override { log += "enableMain|"; }

    MainDisplay display;
    std::array<std::string, 3> boxes;
    std::string log, files, checks;
    PickerPresenter* picker = nullptr;
};

static fake::Directories tree() {
    fake::Directories source;
    source.driveList = {{"/", "/"}, {"/media/usb", "/media/usb"}};
    source.current = "/home";
    source.tree["/"] = {{"home", "media"}, {"x.spc"}};
    source.tree["/home"] = {{"music"}, {"b.spc", "A.SPC", "tune.zs2", "notes.txt"}};
    source.tree["/home/music"] = {{}, {"deep.spc"}};
    source.tree["/media/usb"] = {{}, {}};
    return source;
}

struct PresentTest : ::testing::Test {
    fake::Store store;
    fake::Files files;
    fake::ShortPaths shortPaths;
    fake::Starter starter;
    fake::Messages messages;
    fake::Directories source = tree();
    Recorder view;
    MainPresenter main{view, {store, files, shortPaths, starter, messages}};
    SpcPickerPresenter spc{view, view, source, store, messages};
    DirPickerPresenter dirs{view, view, source, store};
};

// The six rate marks, stereo, 8-bit, log, WAV box enabled, and the volume shown.
static std::string marks(const MainDisplay& d) {
    std::string out;
    for (const bool on : d.rates)
        out += on ? '1' : '0';
    out += ' ';
    for (const bool on : {d.stereo, d.force8bit, d.logToWav, d.wavBoxEnabled})
        out += on ? '1' : '0';
    return out + " " + d.levelCaption.substr(d.levelCaption.rfind(' ') + 1);
}

TEST_F(PresentTest, EachCommandUpdatesTheDisplayAndNothingIsSavedUntilTheEnd) {
    store.put(key::kSamplingRate, "7"), store.put(key::kStereo, "yes"),
        store.put(key::kVolume, "98");
    main.load();
    EXPECT_EQ(marks(view.display), "000000 0001 98") << "an unknown code checks no rate";
    EXPECT_EQ(view.boxes[1], "(No directory specified)");
    using enum MainCommand;
    const std::pair<MainCommand, std::string> steps[] = {
        {Rate22050, "000100 0001 98"}, {Rate22050, "000100 0001 98"}, {Rate8000, "100000 0001 98"},
        {Stereo, "100000 1001 98"},    {Stereo, "100000 0001 98"},    {Force8bit, "100000 0101 98"},
        {LogToWav, "100000 0111 98"},  {LogToWav, "100000 0100 98"},  {VolumeUp, "100000 0100 103"},
        {VolumeDown, "100000 0100 98"}};
    for (const auto& [command, shown] : steps) {
        main.run(command);
        EXPECT_EQ(marks(view.display), shown) << static_cast<int>(command);
    }
    EXPECT_TRUE(store.writes.empty());
    main.release();
    EXPECT_EQ(store.value(key::kSamplingRate) + store.value(key::kStereo) +
                  store.value(key::kForce8bit) + "|" + store.value(key::kVolume),
              "001|98");
}

// Unloading and the program's end each save once; Exit saves once and ends at once. An open
// picker disables the window until it gives it back, and is closed with the window.
TEST_F(PresentTest, SavesTwiceOnCloseAndOnceOnExit) {
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"ur", 2, ""},
        {"uurr", 2, ""},
        {"xur", 1, "end|"},
        {"dxr", 1, "open dir|disable|close picker|end|"},
        {"sur", 2, "open spc|disable|close picker|"},
        {"sbur", 2, "open spc|disable|enable|"}};
    for (const auto& [steps, saves, log] : cases) {
        fake::Store saved;
        Recorder window;
        MainPresenter presenter(window, {saved, files, shortPaths, starter, messages});
        presenter.load();
        for (const char step : steps) {
            using enum MainCommand;
            step == 'u'   ? presenter.unload()
            : step == 'r' ? presenter.release()
            : step == 'b' ? presenter.enableMain()
                          : presenter.run(step == 'x'   ? Exit
                                          : step == 'd' ? PlayerDir
                                                        : LoadSpc);
        }
        EXPECT_EQ(saved.writes.size(), 5 * saves) << steps;
        EXPECT_EQ(window.log, log) << steps;
    }
}

TEST_F(PresentTest, BoxesShowWhatPickersGiveAndLaunchTakesThem) {
    store.put(key::kSpcDir, "/old/SPCPLAY.EXE");
    main.load();
    files.files["/opt/spc/SPCPLAY.EXE"] = std::string(913758, '\0');
    files.files["/music/Track One.spc"] = "SNES";
    files.files["/a/SPCPLAY.EXE"] = std::string(913757, '\0');
    files.files["/b/SPCPLAY.EXE"] = std::string(913759, '\0');
    for (const char* other : {"/none/", "/a/", "/b/"})
        main.setdir(other);
    EXPECT_EQ(view.boxes[1], "/old/SPCPLAY.EXE") << "only an adopted player shows";
    main.setdir("/opt/spc/");
    EXPECT_EQ(view.boxes[1], "/opt/spc/SPCPLAY.EXE");
    main.run(MainCommand::Launch);
    main.loadspc("/music/Track One.spc");
    view.boxes[2] = "/out/a b.wav";
    main.run(MainCommand::Launch), main.run(MainCommand::LogToWav), main.run(MainCommand::Launch);
    ASSERT_EQ(starter.started.size(), 2U);
    EXPECT_EQ(starter.started[0].text, "/opt/spc/SPCPLAY.EXE /MUSIC/TRACKONE.SPC");
    EXPECT_EQ(starter.started[1].text, "/opt/spc/SPCPLAY.EXE /MUSIC/TRACKONE.SPC -w /OUT/AB.WAV");
    std::string shown;
    for (const auto& message : messages.shown)
        shown += message.text + "|";
    const std::string wrong = "This version of SPCPlay is not .650.\rThis will cause some "
                              "incompatibilities.|";
    EXPECT_EQ(shown, "SPCPLAY.EXE not found!|" + wrong + wrong + "You must specify an SPC file!|");
}

// A stored player that setdir would take is adopted at load, silently; the configuration file
// then goes beside it, else into the working directory.
TEST_F(PresentTest, AStoredPlayerOfTheRightLengthIsAdoptedAtLoad) {
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"/opt/spc/SPCPLAY.EXE", 913758, "/opt/spc/SPCPLAY.CFG"},
        {"/opt/spc/spcplay.exe", 913758, "/opt/spc/SPCPLAY.CFG"},
        {"/opt/spc/SPCPLAY.EXE", 913757, "SPCPLAY.CFG"},
        {"/opt/spc/PLAYER.EXE", 913758, "SPCPLAY.CFG"},
        {"/opt/spc/SPCPLAY.EXE", 0, "SPCPLAY.CFG"}, // missing
        {"", 0, "SPCPLAY.CFG"}};
    for (const auto& [stored, size, cfg] : cases) {
        store.put(key::kSpcDir, stored);
        files.files.clear();
        if (size != 0)
            files.files[stored] = std::string(size, '\0');
        main.load(); // as at a start
        main.run(MainCommand::Launch);
        EXPECT_EQ(main.settings().playerDirectory(), cfg.substr(0, cfg.size() - 11)) << stored;
        EXPECT_TRUE(files.files.contains(cfg)) << stored << size;
    }
    EXPECT_EQ(messages.shown.size(), std::size(cases)) << "the empty SPC box's only";
}

// Confirmed, a picker keeps the place it is at, which it opens at next (the directory picker's
// reopening: the real-window runs). Load with no file chosen only says so.
TEST_F(PresentTest, EveryWayOfClosingGivesTheMainWindowBackOnceAndTheListsFollowClicks) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"cancel", "close|enableMain|", "|||"},
        {"close box", "enableMain|", "|||"},
        {"load none", "enableMain|", "|||"},
        {"load", "loadspc /home/b.spc|enableMain|close|", "/|/home||"},
        {"load root", "loadspc /x.spc|enableMain|close|", "/|/||"},
        {"set", "setdir /home/|enableMain|close|", "||/|/home"},
        {"set root", "setdir /|enableMain|close|", "||/|/"}};
    for (const auto& [way, log, places] : cases) {
        fake::Store kept;
        Recorder window;
        SpcPickerPresenter files{window, window, source, kept, messages};
        DirPickerPresenter dirs{window, window, source, kept};
        window.picker = way.starts_with("set") ? static_cast<PickerPresenter*>(&dirs) : &files;
        files.open(), dirs.open();
        if (way.ends_with("root"))
            files.chooseDrive(0), dirs.chooseDrive(0);
        if (way == "cancel")
            files.cancel();
        else if (way == "close box")
            files.closed();
        else if (way.starts_with("load"))
            files.load(way == "load none" ? std::nullopt
                                          : std::optional<std::size_t>(way == "load"));
        else
            dirs.set();
        window.picker->closed();
        EXPECT_EQ(window.log, log) << way;
        EXPECT_EQ(kept.value("SPCDir1") + "|" + kept.value("SPCDir2") + "|" +
                      kept.value("SPCDir3") + "|" + kept.value("SPCDir4"),
                  places);
    }
    EXPECT_EQ(messages.shown, (std::vector<fake::Messages::Shown>{
                                  {"Choose an SPC file.", "Error", MessageIcon::Error}}));

    // A box click refilters at once; an unreadable directory only beeps.
    spc.open(), spc.clickCheck(CheckFilter::Zs);
    EXPECT_EQ(view.checks + ": " + view.files + spc.fileTooltip(3), "110: A.SPC b.spc tune.zs2 ");
    spc.clickCheck(CheckFilter::Spc), spc.clickCheck(CheckFilter::Zs); // none left: all files
    EXPECT_EQ(view.checks + ": " + view.files, "001: A.SPC b.spc notes.txt tune.zs2 ");
    source.unreadable.insert("/home/music");
    spc.enterRow(3), spc.enterRow(2); // past the last row: nothing; music, below / and home
    EXPECT_EQ(view.log + spc.lists().path(), "beep|/home");
    source.unreadable.clear();
    spc.enterRow(2);
    EXPECT_EQ(view.files, "deep.spc ");
    store.put("SPCDir1", "/"), store.put("SPCDir2", "/");
    spc.open();
    EXPECT_EQ(view.files, "x.spc ");
}

} // namespace kavo
