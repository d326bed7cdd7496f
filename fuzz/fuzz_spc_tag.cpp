// The SPC tag reader on any bytes: what it returns is clean, bounded text and a sane play time,
// and the bytes after the header change nothing.
#include "fuzz_check.h"
#include "picker/spc_tag.h"

#include <cstdint>

// Valid UTF-8 holding no C0 or C1 control character and no blank at either end.
static bool cleanText(const std::string& text, std::size_t fieldSize) {
    if (text.size() > 2 * fieldSize || text.starts_with(' ') || text.ends_with(' '))
        return false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (lead < 0x20 || lead == 0x7F || (lead >= 0x80 && lead < 0xC2) || lead > 0xF4 ||
            i + length > text.size())
            return false;
        std::uint32_t c = length == 1 ? lead : lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0U) != 0x80)
                return false;
            c = (c << 6U) | (next & 0x3FU);
        }
        if (c >= 0x80 && c <= 0x9F)
            return false;
        i += length;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto tag = kavo::readSpcTag(input);
    KAVO_FUZZ_CHECK(tag == kavo::readSpcTag(input.substr(0, kavo::kSpcHeaderSize)));
    if (!tag)
        return 0;
    KAVO_FUZZ_CHECK(!(*tag == kavo::SpcTag{}));
    KAVO_FUZZ_CHECK(cleanText(tag->song, 32) && cleanText(tag->game, 32) &&
                    cleanText(tag->artist, 32) && cleanText(tag->dumper, 16) &&
                    cleanText(tag->comments, 32));
    KAVO_FUZZ_CHECK(!tag->seconds || (*tag->seconds > 0 && *tag->seconds <= 99 * 60 + 59));
    const std::string tooltip = kavo::spcTagTooltip(*tag);
    KAVO_FUZZ_CHECK(!tooltip.starts_with('\n') && !tooltip.ends_with('\n'));
    return 0;
}
