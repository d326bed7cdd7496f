// Any texts in the five stored entries: the volume is what a plain reference reader makes of its
// text, the other texts are written back as they were stored, and what savereg writes loads back
// the same.
#include "fakes/fakes.h"
#include "fuzz_check.h"
#include "settings/player_settings.h"

#include <algorithm>
#include <cmath>
#include <fuzzer/FuzzedDataProvider.h>

// The number at the start of the text with blanks removed, rounded half to even (as the C
// library rounds by default), held within the signed 16-bit range; for numbers a double holds
// exactly.
static bool referenceVolume(std::string_view text, std::int16_t& result) {
    std::string t;
    std::ranges::copy_if(text, std::back_inserter(t), [](char c) { return c != ' '; });
    const std::size_t sign = t.starts_with('+') || t.starts_with('-') ? 1 : 0;
    std::size_t end = std::min(t.find_first_not_of("0123456789", sign), t.size());
    if (end < t.size() && t[end] == '.')
        end = std::min(t.find_first_not_of("0123456789", end + 1), t.size());
    if (end > 15)
        return false;
    const double value = std::nearbyint(std::strtod(t.substr(0, end).c_str(), nullptr));
    result = static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string_view keys[] = {kavo::key::kSpcDir, kavo::key::kSamplingRate,
                                     kavo::key::kStereo, kavo::key::kForce8bit, kavo::key::kVolume};
    kavo::fake::Store store;
    for (const std::string_view key : keys)
        store.put(key, input.ConsumeRandomLengthString(64));
    kavo::PlayerSettings settings;
    settings.loadreg(store);
    std::int16_t volume = 75;
    if (store.value(keys[4]).empty() || referenceVolume(store.value(keys[4]), volume))
        KAVO_FUZZ_CHECK(settings.volume() == volume);

    const kavo::fake::Store before = store;
    settings.savereg(store);
    for (const std::string_view key : keys)
        KAVO_FUZZ_CHECK(key == keys[4] || before.value(key).empty() ||
                        store.value(key) == before.value(key));
    kavo::PlayerSettings next;
    next.loadreg(store);
    KAVO_FUZZ_CHECK(next.playerPath() == settings.playerPath() &&
                    next.rateCode() == settings.rateCode() && next.stereo() == settings.stereo() &&
                    next.force8bit() == settings.force8bit() && next.volume() == settings.volume());
    return 0;
}
