#pragma once

#include "settings/settings_store.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavo {

struct RateItem {
    std::string_view name;
    std::string_view caption;
    std::string_view code;
};

// In menu order, by rising rate; the codes are the player's own numbering.
inline constexpr std::array<RateItem, 6> kRateItems{{
    {"mnu8000", "8000Hz", "0"},
    {"mnu11025", "11025Hz", "1"},
    {"mnu16000", "16000Hz", "5"},
    {"mnu22050", "22050Hz", "2"},
    {"mnu32000", "32000Hz", "4"},
    {"mnu44100", "44100Hz", "3"},
}};

inline constexpr std::string_view kLevelCaptionPrefix = "Current Level:  ";

// The player's sound options and location. Options are held as the texts stored, so that an
// unexpected text survives into the configuration file and back into the store unchanged.
class PlayerSettings {
public:
    void loadreg(SettingsStore& store);
    // Writes all five entries every time, in a fixed order.
    void savereg(SettingsStore& store) const;

    void setrate(std::string_view code);
    void togglestereo();
    void toggle8bit();
    void volup();
    void voldown();

    // The adopting step of setdir: directoryText ends in a separator, executablePath is the
    // player found in it.
    void adopt(std::string directoryText, std::string executablePath);

    const std::string& playerPath() const { return playerPath_; }
    const std::string& rateCode() const { return rateCode_; }
    const std::string& stereo() const { return stereo_; }
    const std::string& force8bit() const { return force8bit_; }
    std::int16_t volume() const { return volume_; }
    // Empty until a directory is adopted; loadreg leaves it empty.
    const std::string& playerDirectory() const { return playerDirectory_; }

    bool rateChecked(std::string_view code) const { return rateCode_ == code; }
    bool stereoChecked() const { return stereo_ == "1"; }
    bool force8bitChecked() const { return force8bit_ == "1"; }
    const std::string& levelCaption() const { return levelCaption_; }
    // What the player path box shows after loadreg or an adoption.
    std::string pathBoxText() const;

private:
    void stepVolume(int delta, int bound, int replacement);

    std::string playerPath_;
    std::string rateCode_ = "3";
    std::string stereo_ = "1";
    std::string force8bit_ = "0";
    std::int16_t volume_ = 75;
    std::string playerDirectory_;
    std::string levelCaption_ = "Current Level:";
};

} // namespace kavo
