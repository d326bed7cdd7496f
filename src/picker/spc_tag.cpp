#include "picker/spc_tag.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#ifdef _WIN32
#include "picker/picker_paths.h"

#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kavo {

namespace {

constexpr std::string_view kSignature = "SNES-SPC700 Sound File Data";
constexpr std::size_t kTagFlagOffset = 0x23;
constexpr char kHasTag = 26;

struct Field {
    std::size_t offset, size;
};
constexpr Field kSong{0x2E, 32};
constexpr Field kGame{0x4E, 32};
constexpr Field kDumper{0x6E, 16};
constexpr Field kComments{0x7E, 32};
constexpr Field kTextDate{0x9E, 11};
constexpr Field kSeconds{0xA9, 3};
constexpr Field kTextFade{0xAC, 5};
constexpr Field kTextArtist{0xB1, 32};
constexpr Field kBinaryArtist{0xB0, 32};
// A header cut before the text form's artist ends is a broken file, not a short tag.
constexpr std::size_t kTagEnd = kTextArtist.offset + kTextArtist.size;

// Longer is not a song length but a misread field.
constexpr int kMaxSeconds = 99 * 60 + 59;

std::string_view bytes(std::string_view header, Field field) {
    return header.substr(field.offset, field.size);
}

std::string_view untilNul(std::string_view raw) {
    return raw.substr(0, raw.find('\0'));
}

bool isControl(std::uint32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Code points of valid UTF-8, or nothing. A multibyte character cut by the end of a full field
// is dropped, since a tagger had to cut it there.
std::optional<std::vector<std::uint32_t>> decodeUtf8(std::string_view text, bool fieldFull) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        std::uint32_t c = lead;
        std::uint32_t min = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, c = lead & 0x07U, min = 0x10000;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, c = lead & 0x0FU, min = 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, c = lead & 0x1FU, min = 0x80;
        } else if (lead >= 0x80) {
            return std::nullopt;
        }
        if (i + length > text.size()) {
            if (!fieldFull)
                return std::nullopt;
            for (std::size_t k = i + 1; k < text.size(); ++k)
                if ((static_cast<unsigned char>(text[k]) & 0xC0U) != 0x80)
                    return std::nullopt;
            break;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0U) != 0x80)
                return std::nullopt;
            c = (c << 6U) | (next & 0x3FU);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return std::nullopt;
        out.push_back(c);
        i += length;
    }
    return out;
}

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0U | (c >> 6U));
        out += static_cast<char>(0x80U | (c & 0x3FU));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0U | (c >> 12U));
        out += static_cast<char>(0x80U | ((c >> 6U) & 0x3FU));
        out += static_cast<char>(0x80U | (c & 0x3FU));
    } else {
        out += static_cast<char>(0xF0U | (c >> 18U));
        out += static_cast<char>(0x80U | ((c >> 12U) & 0x3FU));
        out += static_cast<char>(0x80U | ((c >> 6U) & 0x3FU));
        out += static_cast<char>(0x80U | (c & 0x3FU));
    }
}

// Taggers wrote ASCII, UTF-8 or Latin-1 (and Shift-JIS, which cannot be told from garbage
// without guessing). A field is shown when it is valid UTF-8, else when it is Latin-1, and in
// either case only when it holds no control character: garbage then shows as nothing.
std::string text(std::string_view header, Field field) {
    const std::string_view raw = untilNul(bytes(header, field));
    std::vector<std::uint32_t> codes;
    if (auto utf8 = decodeUtf8(raw, raw.size() == field.size)) {
        codes = std::move(*utf8);
    } else {
        for (char byte : raw)
            codes.push_back(static_cast<unsigned char>(byte));
    }
    std::string out;
    for (std::uint32_t c : codes) {
        if (isControl(c))
            return {};
        appendUtf8(out, c);
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number or date written as text: digits, date separators and blanks, then only NULs.
bool writtenAsText(std::string_view raw) {
    const std::string_view written = untilNul(raw);
    if (raw.find_first_not_of('\0', written.size()) != std::string_view::npos)
        return false;
    for (char c : written)
        if (!isDigit(c) && c != ' ' && c != '/' && c != '-' && c != '.')
            return false;
    return true;
}

// Text form writes the date and both lengths as NUL-terminated texts; binary form holds
// little-endian integers there and starts the artist at the text fade's last byte. Only when all
// three fields read as such texts is it the text form. Left ambiguous: a binary tag with no date,
// no fade, no artist and a play time whose low byte is a digit or blank.
bool isTextForm(std::string_view header) {
    return writtenAsText(bytes(header, kTextDate)) && writtenAsText(bytes(header, kSeconds)) &&
           writtenAsText(bytes(header, kTextFade));
}

std::optional<int> knownSeconds(std::int64_t value) {
    if (value <= 0 || value > kMaxSeconds)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> textSeconds(std::string_view header) {
    std::string_view written = untilNul(bytes(header, kSeconds));
    written.remove_prefix(std::min(written.find_first_not_of(' '), written.size()));
    written = written.substr(0, written.find_last_not_of(' ') + 1);
    std::int64_t value = 0;
    for (char c : written) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return knownSeconds(value);
}

std::optional<int> binarySeconds(std::string_view header) {
    std::int64_t value = 0;
    const std::string_view raw = bytes(header, kSeconds);
    for (std::size_t i = raw.size(); i-- > 0;)
        value = value * 256 + static_cast<unsigned char>(raw[i]);
    return knownSeconds(value);
}

std::string twoDigits(int n) {
    return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

} // namespace

std::optional<SpcTag> readSpcTag(std::string_view header) {
    header = header.substr(0, std::min(header.size(), kSpcHeaderSize));
    if (header.size() < kTagEnd || !header.starts_with(kSignature) ||
        header[kTagFlagOffset] != kHasTag)
        return std::nullopt;
    const bool textForm = isTextForm(header);
    SpcTag tag{.song = text(header, kSong),
               .game = text(header, kGame),
               .artist = text(header, textForm ? kTextArtist : kBinaryArtist),
               .dumper = text(header, kDumper),
               .comments = text(header, kComments),
               .seconds = textForm ? textSeconds(header) : binarySeconds(header)};
    if (tag == SpcTag{})
        return std::nullopt;
    return tag;
}

std::optional<SpcTag> readSpcTagFile(const std::string& path) {
    std::string header(kSpcHeaderSize, '\0');
    std::size_t got = 0;
#ifdef _WIN32
    std::ifstream in(fsPath(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
    got = static_cast<std::size_t>(in.gcount());
#else
    // Non-blocking so that opening a FIFO returns at once; fstat then turns it away.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        while (got < header.size()) {
            const ssize_t n = ::read(fd, header.data() + got, header.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
#endif
    header.resize(got);
    return readSpcTag(header);
}

std::string spcTagTooltip(const SpcTag& tag) {
    std::string out;
    const auto line = [&out](std::string_view label, const std::string& value) {
        if (value.empty())
            return;
        if (!out.empty())
            out += '\n';
        out.append(label).append(value);
    };
    line("Title: ", tag.song);
    line("Game: ", tag.game);
    line("Artist: ", tag.artist);
    if (tag.seconds)
        line("Length: ", std::to_string(*tag.seconds / 60) + ':' + twoDigits(*tag.seconds % 60));
    return out;
}

} // namespace kavo
