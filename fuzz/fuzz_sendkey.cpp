// sendkey with arbitrary text against a keyboard layout whose answers come from the input too.
// Whatever the layout says, the events follow the fixed pattern, and a failure emits nothing.
#include "fuzz_check.h"
#include "remote/sendkey.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <stdexcept>
#include <vector>

namespace {

class FuzzedLayout : public kavo::KeyboardLayout {
public:
    explicit FuzzedLayout(FuzzedDataProvider& input)
        : vk_(input.ConsumeIntegral<std::int16_t>()), oem_(input.ConsumeIntegral<std::uint8_t>()),
          scan_(input.ConsumeIntegral<std::uint32_t>()),
          shiftScan_(input.ConsumeIntegral<std::uint32_t>()) {}

    std::int16_t vkKeyScan(std::uint8_t ansiChar) override {
        asked = ansiChar;
        return vk_;
    }
    std::uint8_t charToOem(std::uint8_t) override { return oem_; }
    std::uint32_t oemKeyScan(std::uint16_t oemChar) override {
        KAVO_FUZZ_CHECK(oemChar == oem_);
        return scan_;
    }
    std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) override {
        KAVO_FUZZ_CHECK(code == kavo::kVkShift && mapType == 0);
        return shiftScan_;
    }

    int asked = -1;
    const std::int16_t vk_;
    const std::uint8_t oem_;
    const std::uint32_t scan_;
    const std::uint32_t shiftScan_;
};

class Recorder : public kavo::KeyInjector {
public:
    void inject(const kavo::KeyEvent& event) override { events.push_back(event); }
    std::vector<kavo::KeyEvent> events;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzedLayout layout(input);
    const std::string text = input.ConsumeRemainingBytesAsString();
    Recorder injector;
    try {
        kavo::sendkey(text, layout, injector);
    } catch (const std::invalid_argument&) {
        KAVO_FUZZ_CHECK(injector.events.empty());
        KAVO_FUZZ_CHECK(!text.empty() || layout.asked == -1);
        return 0;
    } catch (const std::overflow_error&) {
        KAVO_FUZZ_CHECK(injector.events.empty());
        KAVO_FUZZ_CHECK(static_cast<unsigned char>(text[0]) >= 0xC4);
        return 0;
    }
    KAVO_FUZZ_CHECK(!text.empty());
    const auto lead = static_cast<unsigned char>(text[0]);
    // The first character is looked up by its code, which must fit a byte.
    if (lead < 0x80) {
        KAVO_FUZZ_CHECK(layout.asked == lead);
    } else {
        KAVO_FUZZ_CHECK(lead == 0xC2 || lead == 0xC3);
        KAVO_FUZZ_CHECK(layout.asked ==
                        (((lead & 0x1F) << 6) | (static_cast<unsigned char>(text[1]) & 0x3F)));
    }

    const auto lookup = static_cast<std::uint16_t>(layout.vk_);
    const kavo::KeyEvent press{static_cast<std::uint8_t>(lookup & 0xFF),
                               static_cast<std::uint8_t>(layout.scan_ & 0xFF), 0, 0};
    kavo::KeyEvent release = press;
    release.flags = kavo::kKeyEventKeyUp;
    std::vector<kavo::KeyEvent> expected;
    if (lookup & 0x100) {
        const kavo::KeyEvent shiftDown{kavo::kVkShift,
                                       static_cast<std::uint8_t>(layout.shiftScan_ & 0xFF), 0, 0};
        kavo::KeyEvent shiftUp = shiftDown;
        shiftUp.flags = kavo::kKeyEventKeyUp;
        expected = {shiftDown, press, shiftUp, release};
    } else {
        expected = {press, release};
    }
    KAVO_FUZZ_CHECK(injector.events == expected);
    return 0;
}
