#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavo {

// The tag block of an SPC file's header. Texts are UTF-8 without control characters; a field
// that could not be read sensibly is empty.
struct SpcTag {
    std::string song{}, game{}, artist{}, dumper{}, comments{};
    std::optional<int> seconds{}; // play time before the fade, when known

    bool operator==(const SpcTag&) const = default;
};

// The most of a file the reader looks at.
inline constexpr std::size_t kSpcHeaderSize = 256;

// The tag held in the first bytes of an SPC file, or nothing when there is no usable tag.
std::optional<SpcTag> readSpcTag(std::string_view header);

// Reads at most the header; never blocks on a FIFO or device, nothing for anything but a
// regular file.
std::optional<SpcTag> readSpcTagFile(const std::string& path);

// "Title: …", "Game: …", "Artist: …", "Length: m:ss", only the known ones, one per line.
std::string spcTagTooltip(const SpcTag& tag);

} // namespace kavo
