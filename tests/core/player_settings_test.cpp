#include "fakes/fakes.h"
#include "settings/player_settings.h"
#include "settings/volume_text.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

PlayerSettings loaded(fake::Store& store) {
    PlayerSettings settings;
    settings.loadreg(store);
    return settings;
}

std::vector<std::string> checkedRates(const PlayerSettings& settings) {
    std::vector<std::string> names;
    for (const RateItem& item : kRateItems)
        if (settings.rateChecked(item.code))
            names.emplace_back(item.name);
    return names;
}

TEST(PlayerSettings, EmptyStoreGivesDefaultsAndSavesThemInOrder) {
    fake::Store store;
    const PlayerSettings settings = loaded(store);

    EXPECT_EQ(store.reads, (std::vector<std::string>{"SPCDir", "Sampling Rate", "Stereo",
                                                     "Force 8-bit Sound", "Volume"}));
    EXPECT_EQ(settings.pathBoxText(), "(No directory specified)");
    EXPECT_EQ(checkedRates(settings), std::vector<std::string>{"mnu44100"});
    EXPECT_TRUE(settings.stereoChecked());
    EXPECT_FALSE(settings.force8bitChecked());
    EXPECT_EQ(settings.volume(), 75);
    EXPECT_EQ(settings.levelCaption(), "Current Level:  75");
    EXPECT_EQ(settings.playerDirectory(), "");

    settings.savereg(store);
    using W = fake::Store::Write;
    const std::string app = "KAVO FE", sec = "Settings";
    EXPECT_EQ(store.writes, (std::vector<W>{{app, sec, "SPCDir", ""},
                                            {app, sec, "Sampling Rate", "3"},
                                            {app, sec, "Stereo", "1"},
                                            {app, sec, "Force 8-bit Sound", "0"},
                                            {app, sec, "Volume", "75"}}));
}

TEST(PlayerSettings, StoredPlayerPathShowsButDirectoryStaysEmpty) {
    fake::Store store;
    store.put("SPCDir", "/opt/player/SPCPLAY.EXE");
    const PlayerSettings settings = loaded(store);
    EXPECT_EQ(settings.pathBoxText(), "/opt/player/SPCPLAY.EXE");
    EXPECT_EQ(settings.playerDirectory(), "");
}

TEST(PlayerSettings, StoredRateCodes) {
    const struct {
        std::string stored;
        std::vector<std::string> checked;
    } cases[] = {
        {"0", {"mnu8000"}},  {"1", {"mnu11025"}}, {"2", {"mnu22050"}}, {"3", {"mnu44100"}},
        {"4", {"mnu32000"}}, {"5", {"mnu16000"}}, {"7", {}},           {" 1", {}},
        {"03", {}},          {"3 ", {}},
    };
    for (const auto& c : cases) {
        fake::Store store;
        store.put("Sampling Rate", c.stored);
        PlayerSettings settings = loaded(store);
        EXPECT_EQ(checkedRates(settings), c.checked) << "stored '" << c.stored << "'";
        settings.savereg(store);
        EXPECT_EQ(store.value("Sampling Rate"), c.stored);

        settings.setrate("2");
        EXPECT_EQ(checkedRates(settings), std::vector<std::string>{"mnu22050"});
        EXPECT_EQ(settings.rateCode(), "2");
    }
}

TEST(PlayerSettings, StoredFlagsAndToggles) {
    // stored text, checked after load, text after one toggle, text after a second toggle
    const struct {
        std::string stored;
        bool checked;
        std::string once, twice;
    } cases[] = {
        {"1", true, "0", "1"},    {"0", false, "1", "0"}, {" 1", false, "1", "0"},
        {"yes", false, "1", "0"}, {"", true, "0", "1"}, // empty reads as the default "1"
    };
    for (const auto& c : cases) {
        fake::Store store;
        store.put("Stereo", c.stored);
        store.put("Force 8-bit Sound", c.stored.empty() ? "1" : c.stored);
        PlayerSettings settings = loaded(store);
        EXPECT_EQ(settings.stereoChecked(), c.checked) << "'" << c.stored << "'";
        EXPECT_EQ(settings.force8bitChecked(), c.checked) << "'" << c.stored << "'";

        settings.savereg(store);
        EXPECT_EQ(store.value("Stereo"), c.stored.empty() ? "1" : c.stored);

        settings.togglestereo();
        settings.toggle8bit();
        EXPECT_EQ(settings.stereo(), c.once);
        EXPECT_EQ(settings.force8bit(), c.once);
        EXPECT_EQ(settings.stereoChecked(), c.once == "1");
        settings.togglestereo();
        settings.toggle8bit();
        EXPECT_EQ(settings.stereo(), c.twice);
        EXPECT_EQ(settings.force8bit(), c.twice);
    }
}

TEST(PlayerSettings, StoredVolumeTexts) {
    const struct {
        std::string stored;
        std::int16_t volume;
    } cases[] = {
        {"80", 80},    {"80.5", 80},        {"81.5", 82},          {"80.51", 81},
        {"80.49", 80}, {"-20", -20},        {" 7 5", 75},          {"abc", 0},
        {"1e3", 1},    {"99999999", 32767}, {"-99999999", -32768}, {"+5", 5},
        {"12abc", 12}, {"-2.5", -2},        {"-3.5", -4},          {".5", 0},
        {"7.", 7},     {"32767", 32767},    {"32768", 32767},      {"- 1 0", -10},
    };
    for (const auto& c : cases) {
        fake::Store store;
        store.put("Volume", c.stored);
        PlayerSettings settings = loaded(store);
        EXPECT_EQ(settings.volume(), c.volume) << "stored '" << c.stored << "'";
        EXPECT_EQ(settings.levelCaption(), "Current Level:  " + c.stored);
    }
}

TEST(PlayerSettings, VolumeSteps) {
    const struct {
        std::string stored;
        int ups, downs; // applied in that order
        std::int16_t volume;
        std::string saved;
    } cases[] = {
        {"95", 1, 0, 100, "100"},
        {"100", 1, 0, 100, "100"},
        {"5", 0, 1, 0, "0"},
        {"0", 0, 1, 0, "0"},
        {"98", 1, 0, 103, "103"},
        {"3", 0, 1, -2, "-2"},
        {"80.5", 1, 0, 85, "85"},
        {"32765", 1, 0, 32767, "32767"},
        {"-32766", 0, 1, -32768, "-32768"},
        {"32767", 3, 0, 32767, "32767"},
        {"75", 6, 0, 100, "100"},
        {"75", 0, 20, 0, "0"},
    };
    for (const auto& c : cases) {
        fake::Store store;
        store.put("Volume", c.stored);
        PlayerSettings settings = loaded(store);
        for (int i = 0; i < c.ups; ++i)
            settings.volup();
        for (int i = 0; i < c.downs; ++i)
            settings.voldown();
        EXPECT_EQ(settings.volume(), c.volume) << "from " << c.stored;
        EXPECT_EQ(settings.levelCaption(), "Current Level:  " + c.saved);
        settings.savereg(store);
        EXPECT_EQ(store.value("Volume"), c.saved);
    }
}

TEST(PlayerSettings, AdoptionSetsPathAndDirectory) {
    fake::Store store;
    PlayerSettings settings = loaded(store);
    settings.adopt("/opt/spc/", "/opt/spc/SPCPLAY.EXE");
    EXPECT_EQ(settings.playerDirectory(), "/opt/spc/");
    EXPECT_EQ(settings.pathBoxText(), "/opt/spc/SPCPLAY.EXE");
    settings.savereg(store);
    EXPECT_EQ(store.value("SPCDir"), "/opt/spc/SPCPLAY.EXE");
}

} // namespace
} // namespace kavo
