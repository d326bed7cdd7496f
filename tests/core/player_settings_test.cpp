#include "fakes/fakes.h"
#include "settings/player_settings.h"

#include <gtest/gtest.h>

namespace kavo {

static PlayerSettings loaded(fake::Store& store, std::string_view key = {},
                             std::string_view text = {}) {
    if (!key.empty())
        store.put(key, text);
    PlayerSettings settings;
    settings.loadreg(store);
    return settings;
}

// Menu marks as text: the checked rate items, then the stereo and 8-bit marks.
static std::string marks(const PlayerSettings& settings) {
    std::string out;
    for (const RateItem& item : kRateItems)
        if (settings.rateChecked(item.code))
            out += std::string(item.name) + " ";
    return out + (settings.stereoChecked() ? "1" : "0") + (settings.force8bitChecked() ? "1" : "0");
}

TEST(PlayerSettings, EmptyStoreGivesDefaultsAndSavesAllInOrder) {
    fake::Store store;
    PlayerSettings settings = loaded(store);
    EXPECT_EQ(store.reads, (std::vector<std::string>{"SPCDir", "Sampling Rate", "Stereo",
                                                     "Force 8-bit Sound", "Volume"}));
    EXPECT_EQ(settings.pathBoxText(), "(No directory specified)");
    EXPECT_EQ(marks(settings), "mnu44100 10");
    EXPECT_EQ(settings.levelCaption(), "Current Level:  75");
    settings.savereg(store);
    EXPECT_EQ(store.writes, (std::vector<std::string>{
                                "KAVO FE|Settings|SPCDir|", "KAVO FE|Settings|Sampling Rate|3",
                                "KAVO FE|Settings|Stereo|1", "KAVO FE|Settings|Force 8-bit Sound|0",
                                "KAVO FE|Settings|Volume|75"}));

    // An adopted player is what savereg stores (a stored one shown and adopted: tests/present).
    settings.adopt("/new/", "/new/SPCPLAY.EXE");
    settings.savereg(store);
    EXPECT_EQ(store.value("SPCDir"), "/new/SPCPLAY.EXE");
}

// The marks a stored text gives; savereg keeps the text as stored until its menu is used: a
// rate is chosen, or a toggle turns the text into the opposite of what its mark showed.
TEST(PlayerSettings, StoredTextsMarksAndMenus) {
    const std::string r = "Sampling Rate", s = "Stereo", f = "Force 8-bit Sound";
    const struct {
        std::string key, stored, marks, afterMenu;
    } cases[] = {
        {r, "0", "mnu8000 10", "2"},    {r, "1", "mnu11025 10", "2"}, {r, "2", "mnu22050 10", "2"},
        {r, "4", "mnu32000 10", "2"},   {r, "5", "mnu16000 10", "2"}, {r, "7", "10", "2"},
        {r, " 1", "10", "2"},           {r, "03", "10", "2"},         {r, "3 ", "10", "2"},
        {s, "1", "mnu44100 10", "0"},   {s, "0", "mnu44100 00", "1"}, {s, " 1", "mnu44100 00", "1"},
        {s, "yes", "mnu44100 00", "1"}, {f, "1", "mnu44100 11", "0"}, {f, "2", "mnu44100 10", "1"}};
    for (const auto& c : cases) {
        fake::Store store;
        PlayerSettings settings = loaded(store, c.key, c.stored);
        EXPECT_EQ(marks(settings), c.marks) << c.key << " '" << c.stored << "'";
        settings.savereg(store);
        EXPECT_EQ(store.value(c.key), c.stored);
        if (c.key == r)
            settings.setrate("2");
        else
            c.key == s ? settings.togglestereo() : settings.toggle8bit();
        settings.savereg(store);
        EXPECT_EQ(store.value(c.key), c.afterMenu) << c.key << " '" << c.stored << "'";
    }
}

// Read leniently, shown as stored: rounded half to even and held in the 16-bit range.
TEST(PlayerSettings, StoredVolumeTexts) {
    const std::pair<std::string, std::int16_t> cases[] = {
        {"80", 80},    {"80.5x", 80},      {"81.5", 82},     {"80.51", 81},
        {"80.49", 80}, {"9999999", 32767}, {"-20", -20},     {" 7 5", 75},
        {"abc", 0},    {"1e3", 1},         {"+5", 5},        {"-9999999", -32768},
        {"2.61", 3},   {"-2.5", -2},       {"-3.5", -4},     {".5", 0},
        {"7.", 7},     {"- 1 0", -10},     {"32768", 32767}, {"7,9", 7}};
    for (const auto& [stored, volume] : cases) {
        fake::Store store;
        const PlayerSettings settings = loaded(store, "Volume", stored);
        EXPECT_EQ(settings.volume(), volume) << stored;
        EXPECT_EQ(settings.levelCaption(), "Current Level:  " + stored);
    }
}

// Steps of 5 stop at 0 and 100 only when they land just past them.
TEST(PlayerSettings, VolumeSteps) {
    // Stored, steps (up when positive), saved.
    const std::tuple<std::string, int, std::string> cases[] = {
        {"95", 1, "100"},         {"100", 1, "100"},     {"5", -1, "0"},    {"0", -1, "0"},
        {"98", 1, "103"},         {"3", -1, "-2"},       {"80.5", 1, "85"}, {"32765", 1, "32767"},
        {"-32766", -1, "-32768"}, {"32767", 3, "32767"}, {"75", 6, "100"},  {"75", -20, "0"}};
    for (const auto& [stored, steps, saved] : cases) {
        fake::Store store;
        PlayerSettings settings = loaded(store, "Volume", stored);
        for (int i = 0; i < std::abs(steps); ++i)
            steps > 0 ? settings.volup() : settings.voldown();
        EXPECT_EQ(settings.levelCaption(), "Current Level:  " + saved) << stored;
        settings.savereg(store);
        EXPECT_EQ(store.value("Volume"), saved) << stored;
    }
}

} // namespace kavo
