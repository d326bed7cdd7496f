#include "fakes/fakes.h"
#include "present/main_presenter.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

// Records what the presenter asks of the window, in order.
class RecordingView : public MainView {
public:
    void showDisplay(const MainDisplay& display) override { shown = display; }
    void setText(TextBox box, const std::string& text) override {
        boxes[static_cast<std::size_t>(box)] = text;
    }
    std::string text(TextBox box) const override { return boxes[static_cast<std::size_t>(box)]; }
    void openPicker(PickerKind kind, PickerHost& /*host*/) override {
        log.push_back(kind == PickerKind::SpcFile ? "open spc" : "open dir");
    }
    void closePicker() override { log.emplace_back("close picker"); }
    void setInputEnabled(bool enabled) override { log.push_back(enabled ? "enable" : "disable"); }
    void end() override { log.emplace_back("end"); }

    MainDisplay shown;
    std::array<std::string, 3> boxes;
    std::vector<std::string> log;
};

class MainPresenterTest : public ::testing::Test {
protected:
    MainPresenter& load() {
        presenter.load();
        return presenter;
    }
    std::size_t saves() const { return store.writes.size() / 5; }

    fake::Store store;
    fake::Files files;
    fake::ShortPaths shortPaths;
    fake::Starter starter;
    fake::Messages messages;
    RecordingView view;
    MainPresenter presenter{view, {store, files, shortPaths, starter, messages}};
};

// Display flags as text: six rates, stereo, 8-bit, log, WAV box enabled.
std::string marks(const MainDisplay& d) {
    std::string out;
    for (const bool rate : d.rates)
        out += rate ? '1' : '0';
    out += ' ';
    for (const bool flag : {d.stereo, d.force8bit, d.logToWav, d.wavBoxEnabled})
        out += flag ? '1' : '0';
    return out;
}

TEST_F(MainPresenterTest, EachCommandUpdatesTheDisplay) {
    store.put(key::kSamplingRate, "7");
    store.put(key::kStereo, "yes");
    store.put(key::kVolume, "98");
    load();
    EXPECT_EQ(marks(view.shown), "000000 0001") << "an unknown code checks no rate";
    EXPECT_EQ(view.boxes[1], "(No directory specified)");
    struct Step {
        MainCommand command;
        const char *marks, *level;
    };
    for (const Step& s : {
             Step{MainCommand::Rate22050, "000100 0001", "Current Level:  98"},
             Step{MainCommand::Rate22050, "000100 0001", "Current Level:  98"},
             Step{MainCommand::Rate8000, "100000 0001", "Current Level:  98"},
             Step{MainCommand::Stereo, "100000 1001", "Current Level:  98"},
             Step{MainCommand::Stereo, "100000 0001", "Current Level:  98"},
             Step{MainCommand::Force8bit, "100000 0101", "Current Level:  98"},
             Step{MainCommand::LogToWav, "100000 0111", "Current Level:  98"},
             Step{MainCommand::LogToWav, "100000 0100", "Current Level:  98"},
             Step{MainCommand::VolumeUp, "100000 0100", "Current Level:  103"},
             Step{MainCommand::VolumeDown, "100000 0100", "Current Level:  98"},
         }) {
        presenter.run(s.command);
        EXPECT_EQ(marks(view.shown), s.marks) << static_cast<int>(s.command);
        EXPECT_EQ(view.shown.levelCaption, s.level) << static_cast<int>(s.command);
    }
    EXPECT_TRUE(store.writes.empty());
    presenter.release();
    EXPECT_EQ(store.value(key::kSamplingRate), "0");
    EXPECT_EQ(store.value(key::kStereo), "0");
    EXPECT_EQ(store.value(key::kForce8bit), "1");
    EXPECT_EQ(store.value(key::kVolume), "98");
}

TEST_F(MainPresenterTest, SavesTwiceOnCloseAndOnceOnExit) {
    struct Case {
        std::vector<std::string> steps;
        std::size_t saves;
        std::vector<std::string> log;
    };
    for (const Case& c : {
             Case{{"unload", "release"}, 2, {}},
             Case{{"unload", "unload", "release", "release"}, 2, {}},
             Case{{"exit", "unload", "release"}, 1, {"end"}},
             Case{{"dir", "exit", "release"}, 1, {"open dir", "disable", "close picker", "end"}},
             Case{{"spc", "unload", "release"}, 2, {"open spc", "disable", "close picker"}},
         }) {
        fake::Store saved;
        RecordingView window;
        MainPresenter main(window, {saved, files, shortPaths, starter, messages});
        main.load();
        for (const std::string& step : c.steps) {
            if (step == "unload")
                main.unload();
            else if (step == "release")
                main.release();
            else if (step == "exit")
                main.run(MainCommand::Exit);
            else
                main.run(step == "dir" ? MainCommand::PlayerDir : MainCommand::LoadSpc);
        }
        EXPECT_EQ(saved.writes.size(), 5 * c.saves) << c.steps.front();
        EXPECT_EQ(window.log, c.log) << c.steps.front();
    }
}

TEST_F(MainPresenterTest, APickerDisablesTheWindowUntilItGivesItBack) {
    load();
    presenter.run(MainCommand::LoadSpc);
    EXPECT_TRUE(presenter.pickerOpen());
    presenter.loadspc("/music/a b.spc");
    presenter.enableMain();
    EXPECT_FALSE(presenter.pickerOpen());
    EXPECT_EQ(view.log, (std::vector<std::string>{"open spc", "disable", "enable"}));
    EXPECT_EQ(view.boxes[0], "/music/a b.spc");
    presenter.unload();
    EXPECT_EQ(view.log.back(), "enable") << "no picker left to close";
}

TEST_F(MainPresenterTest, SetdirShowsOnlyAnAdoptedPlayer) {
    store.put(key::kSpcDir, "/old/SPCPLAY.EXE");
    load();
    files.files["/small/SPCPLAY.EXE"] = "MZ";
    files.files["/opt/spc/SPCPLAY.EXE"] = std::string(913758, '\0');
    view.boxes[1] = "/typed/SPCPLAY.EXE";
    presenter.setdir("/none/");
    presenter.setdir("/small/");
    EXPECT_EQ(view.boxes[1], "/typed/SPCPLAY.EXE");
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_EQ(messages.shown[0].text, "SPCPLAY.EXE not found!");
    presenter.setdir("/opt/spc/");
    EXPECT_EQ(view.boxes[1], "/opt/spc/SPCPLAY.EXE");
    EXPECT_EQ(presenter.settings().playerDirectory(), "/opt/spc/");
    EXPECT_EQ(messages.shown.size(), 2U);
}

TEST_F(MainPresenterTest, LaunchTakesTheBoxesAndTheLogSwitch) {
    files.files["/music/Track One.spc"] = "SNES";
    load();
    presenter.run(MainCommand::Launch);
    view.boxes = {"/music/Track One.spc", "/typed/SPCPLAY.EXE", "/out/a b.wav"};
    presenter.run(MainCommand::Launch);
    presenter.run(MainCommand::LogToWav);
    presenter.run(MainCommand::Launch);
    presenter.run(MainCommand::About);
    ASSERT_EQ(starter.started.size(), 2U);
    EXPECT_EQ(starter.started[0].text, "/typed/SPCPLAY.EXE /MUSIC/TRACKONE.SPC");
    EXPECT_EQ(starter.started[1].text, "/typed/SPCPLAY.EXE /MUSIC/TRACKONE.SPC -w /OUT/AB.WAV");
    const std::vector<fake::Messages::Shown> expected{
        {"You must specify an SPC file!", "Error", MessageIcon::Error},
        {"KAVO FrontEnd 1.03j\rProgrammed by Vorlane\rhttp://kavofe.example.org/", "About",
         MessageIcon::Information}};
    EXPECT_EQ(messages.shown, expected);
}

} // namespace
} // namespace kavo
