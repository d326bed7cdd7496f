#include "fakes/fakes.h"
#include "picker/fake_directory_source.h"
#include "present/dir_picker_presenter.h"
#include "present/spc_picker_presenter.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

class RecordingHost : public PickerHost {
public:
    explicit RecordingHost(std::vector<std::string>& log) : log_(log) {}
    void loadspc(const std::string& path) override { log_.push_back("loadspc " + path); }
    void setdir(const std::string& text) override { log_.push_back("setdir " + text); }
    void enableMain() override { log_.emplace_back("enableMain"); }

private:
    std::vector<std::string>& log_;
};

// The view's side: what it was told to show, and a close that reports back as a window does.
class RecordingView : public SpcPickerView {
public:
    explicit RecordingView(std::vector<std::string>& log) : log_(log) {}
    void showLists() override {}
    void beep() override { log_.emplace_back("beep"); }
    void discard() override {
        log_.emplace_back("close");
        if (presenter)
            presenter->closed();
    }
    void showFiles(const std::vector<std::string>& names) override { files = names; }
    void showChecks(const std::array<bool, 3>& ticked) override {
        checks.clear();
        for (const bool box : ticked)
            checks += box ? '1' : '0';
    }

    PickerPresenter* presenter = nullptr;
    std::vector<std::string> files;
    std::string checks;

private:
    std::vector<std::string>& log_;
};

test::FakeDirectorySource tree() {
    test::FakeDirectorySource source;
    source.driveList = {{"/", "/"}, {"/media/usb", "/media/usb"}};
    source.current = "/home";
    source.tree["/"] = {{"home", "media"}, {"x.spc"}};
    source.tree["/home"] = {{"music"}, {"b.spc", "A.SPC", "tune.zs2", "notes.txt"}};
    source.tree["/home/music"] = {{}, {"deep.spc"}};
    source.tree["/media/usb"] = {{}, {}};
    return source;
}

class PickerPresenterTest : public ::testing::Test {
protected:
    SpcPickerPresenter& openSpc() {
        view.presenter = &spc;
        spc.open();
        return spc;
    }

    test::FakeDirectorySource source = tree();
    fake::Store store;
    fake::Messages messages;
    std::vector<std::string> log;
    RecordingHost host{log};
    RecordingView view{log};
    SpcPickerPresenter spc{view, host, source, store, messages};
};

TEST_F(PickerPresenterTest, FilterBoxesRefilterTheFileList) {
    openSpc();
    EXPECT_EQ(view.checks, "100");
    EXPECT_EQ(view.files, (std::vector<std::string>{"A.SPC", "b.spc"}));
    const std::vector<std::string> all{"A.SPC", "b.spc", "notes.txt", "tune.zs2"};
    struct Step {
        CheckFilter::Box click;
        const char* checks;
        std::vector<std::string> files;
    };
    for (const Step& step : {
             Step{CheckFilter::Zs, "110", {"A.SPC", "b.spc", "tune.zs2"}},
             Step{CheckFilter::Spc, "010", {"tune.zs2"}},
             Step{CheckFilter::Zs, "001", all},
             Step{CheckFilter::All, "000", all},
         }) {
        spc.clickCheck(step.click);
        EXPECT_EQ(view.checks, step.checks) << "after " << step.click;
        EXPECT_EQ(view.files, step.files) << "after " << step.click;
    }
}

TEST_F(PickerPresenterTest, EveryWayOfClosingGivesTheMainWindowBackOnce) {
    struct Case {
        const char* way;
        std::vector<std::string> log;
        std::size_t writes;
    };
    for (const Case& c : {
             Case{"cancel", {"close", "enableMain"}, 0},
             Case{"close box", {"enableMain"}, 0},
             Case{"load none", {"enableMain"}, 0},
             Case{"load", {"loadspc /home/b.spc", "enableMain", "close"}, 2},
             Case{"load root", {"loadspc /x.spc", "enableMain", "close"}, 2},
             Case{"set", {"setdir /home/", "enableMain", "close"}, 2},
             Case{"set root", {"setdir /", "enableMain", "close"}, 2},
         }) {
        const std::string way = c.way;
        log.clear();
        store.writes.clear();
        RecordingView window{log};
        SpcPickerPresenter files{window, host, source, store, messages};
        DirPickerPresenter dirs{window, host, source, store};
        window.presenter = way.starts_with("set") ? static_cast<PickerPresenter*>(&dirs) : &files;
        files.open();
        dirs.open();
        if (way.ends_with("root")) {
            files.chooseDrive(0);
            dirs.chooseDrive(0);
        }
        if (way == "cancel")
            files.cancel();
        else if (way == "close box")
            files.closed();
        else if (way.starts_with("load"))
            EXPECT_EQ(files.load(way == "load none"
                                     ? std::nullopt
                                     : std::optional<std::size_t>(way == "load" ? 1 : 0)),
                      way != "load none");
        else
            dirs.set();
        window.presenter->closed();
        EXPECT_EQ(log, c.log) << way;
        EXPECT_EQ(store.writes.size(), c.writes) << way;
    }
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0],
              (fake::Messages::Shown{"Choose an SPC file.", "Error", MessageIcon::Error}));
}

TEST_F(PickerPresenterTest, EachPickerKeepsItsOwnPlace) {
    store.put("SPCDir1", "/");
    store.put("SPCDir2", "/home/music");
    store.put("SPCDir3", "/media/usb");
    store.put("SPCDir4", "/media/gone");
    openSpc();
    EXPECT_EQ(spc.lists().path(), "/home/music");
    EXPECT_EQ(view.files, std::vector<std::string>{"deep.spc"});
    spc.load(0);
    EXPECT_EQ(log.front(), "loadspc /home/music/deep.spc");
    EXPECT_EQ(store.value("SPCDir1"), "/");
    EXPECT_EQ(store.value("SPCDir2"), "/home/music");

    DirPickerPresenter dirs{view, host, source, store};
    dirs.open();
    EXPECT_EQ(dirs.lists().path(), "/media/usb") << "the stored drive's own directory";
    dirs.set();
    EXPECT_EQ(store.value("SPCDir3"), "/media/usb");
    EXPECT_EQ(store.value("SPCDir4"), "/media/usb");
    EXPECT_EQ(store.value("SPCDir2"), "/home/music");
}

TEST_F(PickerPresenterTest, AnUnreadableDirectoryBeepsAndKeepsThePlace) {
    openSpc();
    source.unreadable.insert("/home/music");
    const auto& rows = spc.lists().directoryRows();
    const auto music = static_cast<std::size_t>(
        std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r.label == "music"; }) -
        rows.begin());
    EXPECT_TRUE(spc.enterKeyEnters(music));
    EXPECT_FALSE(spc.enterKeyEnters(spc.lists().currentRow()));
    spc.enterRow(music);
    EXPECT_EQ(log, std::vector<std::string>{"beep"});
    EXPECT_EQ(spc.lists().path(), "/home");
    source.unreadable.clear();
    spc.enterRow(music);
    EXPECT_EQ(view.files, std::vector<std::string>{"deep.spc"});
}

} // namespace
} // namespace kavo
