#include "picker/spc_tag.h"
#include "temp_dir.h"

#include <chrono>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kavo {

void PrintTo(const SpcTag& t, std::ostream* os) {
    *os << '{' << t.song << '|' << t.game << '|' << t.artist << '|' << t.dumper << '|' << t.comments
        << '|' << t.seconds.value_or(-1) << '}';
}

namespace {

using namespace std::string_view_literals;

// A 256-byte header with the signature and the tag flag; the rest NUL until put.
struct Header {
    std::string bytes = std::string(256, '\0');
    Header() { bytes.replace(0, 37, "SNES-SPC700 Sound File Data v0.30\x1a\x1a\x1a\x1e"); }
    Header put(std::size_t offset, std::string_view s) const {
        Header h = *this;
        h.bytes.replace(offset, s.size(), s);
        return h;
    }
    Header cut(std::size_t size) const {
        Header h = *this;
        h.bytes.resize(size);
        return h;
    }
};

const Header kNamed =
    Header().put(0x2E, "Opening").put(0x4E, "Some Game").put(0x6E, "me").put(0x7E, "nice");
const Header kText =
    kNamed.put(0x9E, "01/02/2003").put(0xA9, "125").put(0xAC, "10000").put(0xB1, "Composer");
const Header kBinary = kNamed.put(0x9E, "\x02\x01\xd3\x07"sv)
                           .put(0xA9, "\x7d\0\0"sv)
                           .put(0xAC, "\x10\x27\0\0"sv)
                           .put(0xB0, "Composer");
const SpcTag kFull{"Opening", "Some Game", "Composer", "me", "nice", 125};
const char* const kFullTip = "Title: Opening\nGame: Some Game\nArtist: Composer\nLength: 2:05";

Header c1Garbage() {
    Header h;
    for (std::size_t i = 0x2E; i < h.bytes.size(); ++i)
        h.bytes[i] = static_cast<char>(0x80 + i % 32);
    return h;
}

struct Case {
    const char* name;
    Header header;
    std::optional<SpcTag> tag;
    std::string tooltip;
};

class SpcTagRead : public ::testing::TestWithParam<Case> {};

TEST_P(SpcTagRead, GivesTheTagAndTooltipOrNothing) {
    const auto tag = readSpcTag(GetParam().header.bytes);
    EXPECT_EQ(tag, GetParam().tag);
    EXPECT_EQ(tag ? spcTagTooltip(*tag) : "", GetParam().tooltip);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SpcTagRead,
    ::testing::Values(
        Case{"TextForm", kText, kFull, kFullTip}, Case{"BinaryForm", kBinary, kFull, kFullTip},
        Case{"TextBlankPadded",
             Header().put(0x2E, "  Song  ").put(0xA9, " 90").put(0xAC, "    ").put(0xB1, "A"),
             SpcTag{.song = "Song", .artist = "A", .seconds = 90},
             "Title: Song\nArtist: A\nLength: 1:30"},
        // Digit-like play time, no date or fade: only the artist at 0xB0 shows the binary form.
        Case{"BinaryLooksLikeText", Header().put(0xA9, "5").put(0xB0, "2 Tone"),
             SpcTag{.artist = "2 Tone", .seconds = 53}, "Artist: 2 Tone\nLength: 0:53"},
        Case{"LongestLength", Header().put(0x2E, "S").put(0xA9, "\x6f\x17"sv),
             SpcTag{.song = "S", .seconds = 5999}, "Title: S\nLength: 99:59"},
        Case{"LengthBeyondBound", Header().put(0x2E, "S").put(0xA9, "\x70\x17"sv),
             SpcTag{.song = "S"}, "Title: S"},
        Case{"Encodings",
             Header()
                 .put(0x2E, "Caf\xc3\xa9")
                 .put(0x4E, "Caf\xe9")
                 .put(0xB1, std::string(30, 'x') + "\xe3\x81"),
             SpcTag{.song = "Caf\xc3\xa9", .game = "Caf\xc3\xa9", .artist = std::string(30, 'x')},
             "Title: Caf\xc3\xa9\nGame: Caf\xc3\xa9\nArtist: " + std::string(30, 'x')},
        Case{"ControlsDropTheirField",
             kBinary.put(0x2E, "Ti\x07tle")
                 .put(0x4E, "\x83\x5e\x83\x43")
                 .put(0x6E, "\x01\x02")
                 .put(0xA9, "\xff\xff\xff")
                 .put(0xB0, "\xff\xfe\x90"),
             SpcTag{.comments = "nice"}, ""},
        Case{"C1Garbage", c1Garbage(), std::nullopt, ""},
        Case{"EveryFieldEmpty", Header(), std::nullopt, ""},
        Case{"NoSignature", kText.put(3, "s"), std::nullopt, ""},
        Case{"TagFlagNotSet", kText.put(0x23, "\x1b"), std::nullopt, ""},
        Case{"Empty", kText.cut(0), std::nullopt, ""},
        Case{"CutAt100", kText.cut(100), std::nullopt, ""},
        Case{"CutBeforeArtistEnd", kText.cut(0xD0), std::nullopt, ""},
        Case{"CutAtArtistEnd", kText.cut(0xD1), kFull, kFullTip},
        Case{"Cut255", kText.cut(255), kFull, kFullTip}),
    [](const auto& info) { return std::string(info.param.name); });

// Run apart, so that a reader stuck on a FIFO fails the test instead of hanging it.
std::optional<SpcTag> readPromptly(const std::string& path) {
    auto result = std::async(std::launch::async, readSpcTagFile, path);
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << path << " blocked";
#ifndef _WIN32
        ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
#endif
    }
    return result.get();
}

TEST(SpcTagFile, ReadsTheHeaderOfARegularFileOnly) {
    test::TempDir dir;
    const auto song = dir.path() / "song.spc";
    std::ofstream(song, std::ios::binary) << kBinary.bytes << std::string(4096, '\xff');
    std::vector<std::pair<std::string, std::optional<SpcTag>>> cases{
        {song.string(), kFull},
        {dir.dir("folder.spc").string(), std::nullopt},
        {(dir.path() / "gone.spc").string(), std::nullopt}};
#ifndef _WIN32
    const auto fifo = (dir.path() / "fifo.spc").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    cases.emplace_back(fifo, std::nullopt);
#endif
    for (const auto& [path, tag] : cases)
        EXPECT_EQ(readPromptly(path), tag) << path;
}

} // namespace
} // namespace kavo
