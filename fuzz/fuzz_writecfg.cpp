// writecfg with arbitrary values: the file is the fixed 385 bytes plus the four values, its
// fixed lines stand in order, and a reader of "key = value" lines gets the values back.
#include "fakes/fakes.h"
#include "fuzz_check.h"
#include "launch/config_file.h"
#include "launch/player.h"
#include "settings/volume_text.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

namespace {

constexpr std::string_view kFixedLines[] = {
    "; SPCPlay Configuration file\r\n\r\n; Sound Sampling Rate\r\n"
    ";   0 = 8000Hz, 1 = 11025Hz, 2 = 22050Hz, 3 = 44100Hz\r\n;   4 = 32000Hz,5 = 16000Hz\r\n"
    "\r\nSoundrate = ",
    "\r\n\r\n; Stereo (0 = off, 1 = on)\r\n\r\nStereo = ",
    "\r\n\r\n; Force 8-bit sound on  (1 = Yes, 0 = No)\r\n\r\nForce8bit = ",
    "\r\n\r\n; Sound Volume Level (0 .. 100)\r\n"
    "; Note : Setting this too high can cause sound overflow which degrades quality\r\n"
    "Volume = ",
    "\r\n",
};

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    KAVO_FUZZ_CHECK(start == text.size());
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    kavo::fake::Store store;
    const std::string rate = input.ConsumeRandomLengthString(40);
    const std::string stereo = input.ConsumeRandomLengthString(40);
    const std::string force8bit = input.ConsumeRandomLengthString(40);
    const std::string storedVolume = input.ConsumeRandomLengthString(40);
    const std::string directory = input.ConsumeRemainingBytesAsString();
    store.put(kavo::key::kSamplingRate, rate);
    store.put(kavo::key::kStereo, stereo);
    store.put(kavo::key::kForce8bit, force8bit);
    store.put(kavo::key::kVolume, storedVolume);
    kavo::PlayerSettings settings;
    settings.loadreg(store);
    if (!directory.empty())
        settings.adopt(directory, directory + std::string(kavo::kPlayerExeName));

    kavo::fake::Files files;
    KAVO_FUZZ_CHECK(kavo::writecfg(files, settings));
    const std::string path = directory + std::string(kavo::kConfigFileName);
    KAVO_FUZZ_CHECK(files.files.size() == 1 && files.files.contains(path));
    const std::string& written = files.files[path];

    const std::string values[] = {settings.rateCode(), settings.stereo(), settings.force8bit(),
                                  kavo::volumeText(settings.volume())};
    std::size_t valueBytes = 0;
    for (const std::string& value : values)
        valueBytes += value.size();
    KAVO_FUZZ_CHECK(written.size() == 385 + valueBytes);

    std::size_t pos = 0;
    for (std::size_t i = 0; i < 5; ++i) {
        KAVO_FUZZ_CHECK(written.compare(pos, kFixedLines[i].size(), kFixedLines[i]) == 0);
        pos += kFixedLines[i].size();
        if (i < 4) {
            KAVO_FUZZ_CHECK(written.compare(pos, values[i].size(), values[i]) == 0);
            pos += values[i].size();
        }
    }
    KAVO_FUZZ_CHECK(pos == written.size());

    bool singleLineValues = true;
    for (const std::string& value : values)
        singleLineValues &= value.find_first_of("\r\n") == std::string::npos;
    if (singleLineValues) {
        const std::vector<std::string> lines = crlfLines(written);
        KAVO_FUZZ_CHECK(lines.size() == 19);
        KAVO_FUZZ_CHECK(lines[6] == "Soundrate = " + values[0]);
        KAVO_FUZZ_CHECK(lines[10] == "Stereo = " + values[1]);
        KAVO_FUZZ_CHECK(lines[14] == "Force8bit = " + values[2]);
        KAVO_FUZZ_CHECK(lines[18] == "Volume = " + values[3]);
    }

    // Two launches with the same settings write identical bytes.
    const std::string first = written;
    KAVO_FUZZ_CHECK(kavo::writecfg(files, settings));
    KAVO_FUZZ_CHECK(files.files[path] == first);
    return 0;
}
