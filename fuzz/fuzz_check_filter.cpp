// Random click sequences on the SPC file picker's three filter boxes: after every click the
// boxes and the file pattern are one of the five states the picker may show.
#include "fuzz_check.h"
#include "picker/check_filter.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

struct State {
    int spc, zs, all;
    std::string_view pattern;
};

constexpr State kStates[] = {
    {1, 0, 0, kavo::kSpcPattern},      {0, 1, 0, kavo::kZsPattern},
    {1, 1, 0, kavo::kBothPattern},     {0, 0, 1, kavo::kAllFilesPattern},
    {0, 0, 0, kavo::kAllFilesPattern},
};

const State* stateOf(const kavo::CheckFilter& filter) {
    using Box = kavo::CheckFilter::Box;
    for (const State& state : kStates)
        if (filter.value(Box::Spc) == state.spc && filter.value(Box::Zs) == state.zs &&
            filter.value(Box::All) == state.all && filter.pattern() == state.pattern)
            return &state;
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Box = kavo::CheckFilter::Box;
    kavo::CheckFilter filter;
    filter.open();
    KAVO_FUZZ_CHECK(stateOf(filter) == &kStates[0]);
    for (std::size_t i = 0; i < size; ++i) {
        const State before = *stateOf(filter);
        const auto box = static_cast<Box>(data[i] % 3);
        filter.click(box);
        const State* after = stateOf(filter);
        KAVO_FUZZ_CHECK(after != nullptr);
        // Ticking "(*.*)" always clears both type boxes; a ticked type box stays ticked.
        if (box == Box::All && before.all == 0)
            KAVO_FUZZ_CHECK(after == &kStates[3]);
        if (box == Box::All && before.all == 1)
            KAVO_FUZZ_CHECK(after == &kStates[4]);
        if (box == Box::Spc && before.spc == 0)
            KAVO_FUZZ_CHECK(after->spc == 1 && after->zs == before.zs);
        if (box == Box::Zs && before.zs == 0)
            KAVO_FUZZ_CHECK(after->zs == 1 && after->spc == before.spc);
    }
    return 0;
}
