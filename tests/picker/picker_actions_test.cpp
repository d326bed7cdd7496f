#include "fakes/fakes.h"
#include "present/picker_actions.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

class RecordingHost : public PickerHost {
public:
    void loadspc(const std::string& path) override { calls.push_back("loadspc " + path); }
    void setdir(const std::string& directoryText) override {
        calls.push_back("setdir " + directoryText);
    }
    void enableMain() override { calls.push_back("enableMain"); }
    std::vector<std::string> calls;
};

using Write = fake::Store::Write;

Write entry(std::string_view key, std::string value) {
    return {std::string(kSettingsApp), std::string(kSettingsSection), std::string(key),
            std::move(value)};
}

TEST(ConfirmLoad, WithoutAFileOnlyShowsTheMessage) {
    RecordingHost host;
    fake::Store store;
    fake::Messages messages;
    EXPECT_FALSE(confirmLoad({"/", "/music"}, "", host, store, messages));
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0],
              (fake::Messages::Shown{"Choose an SPC file.", "Error", MessageIcon::Error}));
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(store.writes.empty());
}

TEST(ConfirmLoad, HandsOnTheFullPathThenKeepsDriveAndDirectory) {
    struct Case {
        std::string path, file, expected;
    };
    for (const Case& c : {Case{"/", "song.spc", "/song.spc"},
                          Case{"/home/me/Music", "a b.SPC", "/home/me/Music/a b.SPC"}}) {
        RecordingHost host;
        fake::Store store;
        fake::Messages messages;
        EXPECT_TRUE(confirmLoad({"/home/me", c.path}, c.file, host, store, messages));
        EXPECT_EQ(host.calls, std::vector<std::string>{"loadspc " + c.expected});
        EXPECT_EQ(store.writes,
                  (std::vector<Write>{entry("SPCDir1", "/home/me"), entry("SPCDir2", c.path)}));
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(ConfirmSet, CallsSetdirWithTheDirectoryTextThenKeepsThePlace) {
    struct Case {
        std::string path, expected;
    };
    for (const Case& c : {Case{"/", "/"}, Case{"/opt/spc player", "/opt/spc player/"}}) {
        RecordingHost host;
        fake::Store store;
        confirmSet({"/", c.path}, host, store);
        EXPECT_EQ(host.calls, std::vector<std::string>{"setdir " + c.expected});
        EXPECT_EQ(store.writes,
                  (std::vector<Write>{entry("SPCDir3", "/"), entry("SPCDir4", c.path)}));
    }
}

TEST(StoredPlaces, EachPickerReadsOnlyItsOwnEntries) {
    fake::Store store;
    store.put("SPCDir1", "/a");
    store.put("SPCDir2", "/a/b");
    store.put("SPCDir3", "/c");
    store.put("SPCDir4", "/c/d");
    const PickerPlace spc = storedSpcPlace(store);
    EXPECT_EQ(std::tie(spc.driveText, spc.path), std::make_tuple("/a", "/a/b"));
    EXPECT_EQ(store.reads, (std::vector<std::string>{"SPCDir1", "SPCDir2"}));
    store.reads.clear();
    const PickerPlace dir = storedDirPlace(store);
    EXPECT_EQ(std::tie(dir.driveText, dir.path), std::make_tuple("/c", "/c/d"));
    EXPECT_EQ(store.reads, (std::vector<std::string>{"SPCDir3", "SPCDir4"}));
}

} // namespace
} // namespace kavo
