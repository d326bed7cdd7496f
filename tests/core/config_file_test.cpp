#include "fakes/fakes.h"
#include "launch/config_file.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

const std::string kDefaultFile = "; SPCPlay Configuration file\r\n"
                                 "\r\n"
                                 "; Sound Sampling Rate\r\n"
                                 ";   0 = 8000Hz, 1 = 11025Hz, 2 = 22050Hz, 3 = 44100Hz\r\n"
                                 ";   4 = 32000Hz,5 = 16000Hz\r\n"
                                 "\r\n"
                                 "Soundrate = 3\r\n"
                                 "\r\n"
                                 "; Stereo (0 = off, 1 = on)\r\n"
                                 "\r\n"
                                 "Stereo = 1\r\n"
                                 "\r\n"
                                 "; Force 8-bit sound on  (1 = Yes, 0 = No)\r\n"
                                 "\r\n"
                                 "Force8bit = 0\r\n"
                                 "\r\n"
                                 "; Sound Volume Level (0 .. 100)\r\n"
                                 "; Note : Setting this too high can cause sound overflow which "
                                 "degrades quality\r\n"
                                 "Volume = 75\r\n";

TEST(ConfigFile, DefaultsByteForByte) {
    EXPECT_EQ(configFileText("3", "1", "0", 75), kDefaultFile);
    EXPECT_EQ(kDefaultFile.size(), 390u);
}

TEST(ConfigFile, ValueLinesAndSizes) {
    const struct {
        std::string rate, stereo, force8bit;
        std::int16_t volume;
        std::string volumeLine;
        std::size_t size;
    } cases[] = {
        {"5", "0", "1", 100, "Volume = 100\r\n", 391},
        {"3", "1", "0", 0, "Volume = 0\r\n", 389},
        {"3", "1", "0", -20, "Volume = -20\r\n", 391},
        {"7", " 1", "", 75, "Volume = 75\r\n", 390}, // held texts go in unchanged
    };
    for (const auto& c : cases) {
        const std::string text = configFileText(c.rate, c.stereo, c.force8bit, c.volume);
        EXPECT_EQ(text.size(), c.size);
        EXPECT_NE(text.find("\r\nSoundrate = " + c.rate + "\r\n"), std::string::npos);
        EXPECT_NE(text.find("\r\nStereo = " + c.stereo + "\r\n"), std::string::npos);
        EXPECT_NE(text.find("\r\nForce8bit = " + c.force8bit + "\r\n"), std::string::npos);
        EXPECT_TRUE(text.ends_with("quality\r\n" + c.volumeLine));
    }
}

TEST(ConfigFile, WrittenIntoPlayerDirectoryOrBareName) {
    fake::Store store;
    PlayerSettings settings;
    settings.loadreg(store);
    fake::Files files;

    ASSERT_TRUE(writecfg(files, settings));
    EXPECT_EQ(files.files.at("SPCPLAY.CFG"), kDefaultFile);

    for (const std::string dir : {"/", "/music/spc/"}) {
        settings.adopt(dir, dir + "SPCPLAY.EXE");
        ASSERT_TRUE(writecfg(files, settings));
        EXPECT_EQ(files.files.at(dir + "SPCPLAY.CFG"), kDefaultFile);
    }
    files.unwritable.insert("/music/spc/SPCPLAY.CFG");
    EXPECT_FALSE(writecfg(files, settings));
}

} // namespace
} // namespace kavo
