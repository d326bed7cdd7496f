#include "picker/picker_paths.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

TEST(PickerPaths, ListPathDropsTrailingSeparatorsButKeepsTheRoot) {
    EXPECT_EQ(listPath("/"), "/");
    EXPECT_EQ(listPath("/music/"), "/music");
    EXPECT_EQ(listPath("/music//spc/"), "/music/spc");
    EXPECT_EQ(listPath("/music/./spc/../zst"), "/music/zst");
    EXPECT_EQ(listPath("/.."), "/");
}

TEST(PickerPaths, ListPathRefusesWhatIsNotAbsolute) {
    EXPECT_EQ(listPath(""), "");
    EXPECT_EQ(listPath("music"), "");
    EXPECT_EQ(listPath("./music"), "");
}

TEST(PickerPaths, RootIsUsedUnchangedOtherDirectoriesGetOneSeparator) {
    EXPECT_EQ(directoryText("/"), "/");
    EXPECT_EQ(directoryText("/opt/player"), "/opt/player/");
    EXPECT_EQ(fullPath("/", "song.spc"), "/song.spc");
    EXPECT_EQ(fullPath("/home/me/music", "song.spc"), "/home/me/music/song.spc");
}

TEST(PickerPaths, WithinComparesWholeComponents) {
    EXPECT_TRUE(pathWithin("/media/usb", "/media/usb"));
    EXPECT_TRUE(pathWithin("/media/usb/spc", "/media/usb"));
    EXPECT_FALSE(pathWithin("/media/usb2", "/media/usb"));
    EXPECT_FALSE(pathWithin("/media", "/media/usb"));
    EXPECT_TRUE(pathWithin("/anything", "/"));
}

TEST(PickerPaths, SortIgnoresCaseAndStaysStable) {
    std::vector<std::string> names{"beta.spc", "Alpha.spc", "alpha.spc", "GAMMA.spc", "_x", "B"};
    sortIgnoringCase(names);
    EXPECT_EQ(names, (std::vector<std::string>{"_x", "Alpha.spc", "alpha.spc", "B", "beta.spc",
                                               "GAMMA.spc"}));
}

} // namespace
} // namespace kavo
