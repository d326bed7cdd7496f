// The SPC tag reader on any bytes: what it returns is clean, bounded text and a sane play time,
// and the bytes after the header change nothing.
#include "fuzz_check.h"
#include "picker/spc_tag.h"

#include <cstdint>

// No C0 or C1 control character (in UTF-8, C2 80 to C2 9F) and no blank at either end; the
// reader's UTF-8 itself is pinned by the unit tests' boundary table.
static bool cleanText(const std::string& text, std::size_t fieldSize) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F ||
            (c == 0xC2 && i + 1 < text.size() && (text[i + 1] & 0xE0) == 0x80))
            return false;
    }
    return text.size() <= 2 * fieldSize && !text.starts_with(' ') && !text.ends_with(' ');
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
