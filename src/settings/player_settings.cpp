#include "settings/player_settings.h"

#include "launch/player.h"
#include "settings/volume_text.h"

#include <algorithm>
#include <limits>

namespace kavo {

namespace {

std::string readSetting(SettingsStore& store, std::string_view key) {
    return store.get(kSettingsApp, kSettingsSection, key);
}

void orDefault(std::string& text, std::string_view fallback) {
    if (text.empty())
        text = fallback;
}

// A toggle turns whatever is held into the opposite of what the check mark shows.
void toggle(std::string& flag) {
    flag = flag == "1" ? "0" : "1";
}

} // namespace

void PlayerSettings::loadreg(SettingsStore& store) {
    playerPath_ = readSetting(store, key::kSpcDir);
    rateCode_ = readSetting(store, key::kSamplingRate);
    stereo_ = readSetting(store, key::kStereo);
    force8bit_ = readSetting(store, key::kForce8bit);
    const std::string storedVolume = readSetting(store, key::kVolume);

    orDefault(rateCode_, "3");
    orDefault(stereo_, "1");
    orDefault(force8bit_, "0");
    if (storedVolume.empty()) {
        volume_ = 75;
        levelCaption_ = std::string(kLevelCaptionPrefix) + "75";
    } else {
        volume_ = parseStoredVolume(storedVolume);
        levelCaption_ = std::string(kLevelCaptionPrefix) + storedVolume;
    }
    playerDirectory_.clear();
}

void PlayerSettings::savereg(SettingsStore& store) const {
    store.save(kSettingsApp, kSettingsSection, key::kSpcDir, playerPath_);
    store.save(kSettingsApp, kSettingsSection, key::kSamplingRate, rateCode_);
    store.save(kSettingsApp, kSettingsSection, key::kStereo, stereo_);
    store.save(kSettingsApp, kSettingsSection, key::kForce8bit, force8bit_);
    store.save(kSettingsApp, kSettingsSection, key::kVolume, volumeText(volume_));
}

void PlayerSettings::setrate(std::string_view code) {
    rateCode_ = code;
}

void PlayerSettings::togglestereo() {
    toggle(stereo_);
}

void PlayerSettings::toggle8bit() {
    toggle(force8bit_);
}

void PlayerSettings::volup() {
    stepVolume(5, 105, 100);
}

void PlayerSettings::voldown() {
    stepVolume(-5, -5, 0);
}

void PlayerSettings::stepVolume(int delta, int bound, int replacement) {
    int next = volume_ + delta;
    if (next == bound)
        next = replacement;
    volume_ = static_cast<std::int16_t>(std::clamp<int>(
        next, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
    levelCaption_ = std::string(kLevelCaptionPrefix) + volumeText(volume_);
}

void PlayerSettings::adopt(std::string directoryText, std::string executablePath) {
    playerDirectory_ = std::move(directoryText);
    playerPath_ = std::move(executablePath);
}

std::string PlayerSettings::pathBoxText() const {
    return playerPath_.empty() ? std::string(kNoDirectoryText) : playerPath_;
}

} // namespace kavo
