// loadreg with arbitrary texts in all five entries, random menu operations, then savereg.
// Texts the menus never touched are written back unchanged, the volume stays what the rules
// make of it, and what savereg writes loads back into the same record.
#include "fakes/fakes.h"
#include "fuzz_check.h"
#include "launch/player.h"
#include "settings/player_settings.h"
#include "settings/volume_text.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>

namespace {

using kavo::PlayerSettings;
namespace key = kavo::key;

constexpr std::string_view kKeys[] = {key::kSpcDir, key::kSamplingRate, key::kStereo,
                                      key::kForce8bit, key::kVolume};

void checkDisplay(const PlayerSettings& settings) {
    int checkedRates = 0;
    for (const auto& item : kavo::kRateItems)
        if (settings.rateChecked(item.code)) {
            ++checkedRates;
            KAVO_FUZZ_CHECK(settings.rateCode() == item.code);
        }
    KAVO_FUZZ_CHECK(checkedRates <= 1);
    KAVO_FUZZ_CHECK(settings.stereoChecked() == (settings.stereo() == "1"));
    KAVO_FUZZ_CHECK(settings.force8bitChecked() == (settings.force8bit() == "1"));
    KAVO_FUZZ_CHECK(settings.levelCaption().starts_with(kavo::kLevelCaptionPrefix));
    KAVO_FUZZ_CHECK(settings.pathBoxText() == (settings.playerPath().empty()
                                                   ? std::string(kavo::kNoDirectoryText)
                                                   : settings.playerPath()));
}

void checkSaved(const PlayerSettings& settings, const kavo::fake::Store& store,
                std::size_t firstWrite) {
    KAVO_FUZZ_CHECK(store.writes.size() == firstWrite + 5);
    for (std::size_t i = 0; i < 5; ++i)
        KAVO_FUZZ_CHECK(store.writes[firstWrite + i].key == kKeys[i]);
    KAVO_FUZZ_CHECK(store.value(key::kSpcDir) == settings.playerPath());
    KAVO_FUZZ_CHECK(store.value(key::kSamplingRate) == settings.rateCode());
    KAVO_FUZZ_CHECK(store.value(key::kStereo) == settings.stereo());
    KAVO_FUZZ_CHECK(store.value(key::kForce8bit) == settings.force8bit());
    KAVO_FUZZ_CHECK(store.value(key::kVolume) == kavo::volumeText(settings.volume()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    kavo::fake::Store store;
    std::string stored[5];
    for (int i = 0; i < 5; ++i) {
        stored[i] = input.ConsumeRandomLengthString(64);
        store.put(kKeys[i], stored[i]);
    }

    PlayerSettings settings;
    settings.loadreg(store);
    KAVO_FUZZ_CHECK(settings.playerPath() == stored[0]);
    KAVO_FUZZ_CHECK(settings.rateCode() == (stored[1].empty() ? "3" : stored[1]));
    KAVO_FUZZ_CHECK(settings.stereo() == (stored[2].empty() ? "1" : stored[2]));
    KAVO_FUZZ_CHECK(settings.force8bit() == (stored[3].empty() ? "0" : stored[3]));
    KAVO_FUZZ_CHECK(settings.volume() ==
                    (stored[4].empty() ? 75 : kavo::parseStoredVolume(stored[4])));
    KAVO_FUZZ_CHECK(settings.levelCaption() == std::string(kavo::kLevelCaptionPrefix) +
                                                   (stored[4].empty() ? "75" : stored[4]));
    KAVO_FUZZ_CHECK(settings.playerDirectory().empty());
    checkDisplay(settings);

    bool rateTouched = false, stereoTouched = false, force8bitTouched = false;
    bool pathTouched = false;
    while (input.remaining_bytes() > 0) {
        const std::int16_t before = settings.volume();
        switch (input.ConsumeIntegralInRange(0, 6)) {
        case 0: {
            const auto& item = kavo::kRateItems[input.ConsumeIntegralInRange<std::size_t>(0, 5)];
            settings.setrate(item.code);
            KAVO_FUZZ_CHECK(settings.rateCode() == item.code);
            rateTouched = true;
            break;
        }
        case 1: {
            const bool wasChecked = settings.stereoChecked();
            settings.togglestereo();
            KAVO_FUZZ_CHECK(settings.stereo() == (wasChecked ? "0" : "1"));
            stereoTouched = true;
            break;
        }
        case 2: {
            const bool wasChecked = settings.force8bitChecked();
            settings.toggle8bit();
            KAVO_FUZZ_CHECK(settings.force8bit() == (wasChecked ? "0" : "1"));
            force8bitTouched = true;
            break;
        }
        case 3:
            settings.volup();
            KAVO_FUZZ_CHECK(settings.volume() ==
                            (before == 100 ? 100 : std::min<int>(before + 5, INT16_MAX)));
            KAVO_FUZZ_CHECK(settings.levelCaption() == std::string(kavo::kLevelCaptionPrefix) +
                                                           kavo::volumeText(settings.volume()));
            break;
        case 4:
            settings.voldown();
            KAVO_FUZZ_CHECK(settings.volume() ==
                            (before == 0 ? 0 : std::max<int>(before - 5, INT16_MIN)));
            KAVO_FUZZ_CHECK(settings.levelCaption() == std::string(kavo::kLevelCaptionPrefix) +
                                                           kavo::volumeText(settings.volume()));
            break;
        case 5: {
            const std::size_t first = store.writes.size();
            settings.savereg(store);
            checkSaved(settings, store, first);
            break;
        }
        case 6: {
            std::string directory = input.ConsumeRandomLengthString(32) + "/";
            settings.adopt(directory, directory + std::string(kavo::kPlayerExeName));
            KAVO_FUZZ_CHECK(settings.playerDirectory() == directory);
            pathTouched = true;
            break;
        }
        }
        checkDisplay(settings);
    }

    const std::size_t first = store.writes.size();
    settings.savereg(store);
    checkSaved(settings, store, first);
    if (!pathTouched)
        KAVO_FUZZ_CHECK(store.value(key::kSpcDir) == stored[0]);
    if (!rateTouched && !stored[1].empty())
        KAVO_FUZZ_CHECK(store.value(key::kSamplingRate) == stored[1]);
    if (!stereoTouched && !stored[2].empty())
        KAVO_FUZZ_CHECK(store.value(key::kStereo) == stored[2]);
    if (!force8bitTouched && !stored[3].empty())
        KAVO_FUZZ_CHECK(store.value(key::kForce8bit) == stored[3]);

    // The next run starts where this one ended.
    PlayerSettings next;
    next.loadreg(store);
    KAVO_FUZZ_CHECK(next.playerPath() == settings.playerPath());
    KAVO_FUZZ_CHECK(next.rateCode() == settings.rateCode());
    KAVO_FUZZ_CHECK(next.stereo() == settings.stereo());
    KAVO_FUZZ_CHECK(next.force8bit() == settings.force8bit());
    KAVO_FUZZ_CHECK(next.volume() == settings.volume());
    return 0;
}
