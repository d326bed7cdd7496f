#pragma once

#include <string>
#include <string_view>

namespace kavo {

inline constexpr std::string_view kSettingsApp = "KAVO FE";
inline constexpr std::string_view kSettingsSection = "Settings";

namespace key {
inline constexpr std::string_view kSpcDir = "SPCDir";
inline constexpr std::string_view kSamplingRate = "Sampling Rate";
inline constexpr std::string_view kStereo = "Stereo";
inline constexpr std::string_view kForce8bit = "Force 8-bit Sound";
inline constexpr std::string_view kVolume = "Volume";
inline constexpr std::string_view kSpcPickerDrive = "SPCDir1";
inline constexpr std::string_view kSpcPickerDir = "SPCDir2";
inline constexpr std::string_view kDirPickerDrive = "SPCDir3";
inline constexpr std::string_view kDirPickerDir = "SPCDir4";
} // namespace key

// Per-user store of named texts. Values are kept byte for byte; nothing is trimmed.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // An absent entry reads as "".
    virtual std::string get(std::string_view app, std::string_view section,
                            std::string_view key) = 0;
    // Creates or replaces the entry. False when the store could not keep it; entries already
    // stored are never lost by a failed write.
    virtual bool save(std::string_view app, std::string_view section, std::string_view key,
                      std::string_view value) = 0;
};

} // namespace kavo
