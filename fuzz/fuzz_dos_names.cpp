// Whatever a user calls a file, the names and the line DOSBox is given stay plain: a DOS name
// that is no device, and a command with nothing its parser would act on.
#include "fuzz_check.h"
#include "launch/dos_machine.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

// What DOSBox 0.74-3 opens as a device (tried), and DOS's further ports.
bool isDosBoxDevice(std::string_view base) {
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "EMMXXXX0", "MSCD001"})
        if (base == device)
            return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string longName(reinterpret_cast<const char*>(data), size);
    std::erase(longName, '/'); // a host file name never holds one
    const std::string name = kavo::dos::fileName(longName);
    KAVO_FUZZ_CHECK(kavo::dos::isDosName(name) && kavo::dos::fileName(name) == name);
    // 8.3, so that DOS reads it whole, and never a device DOSBox would open in its place.
    const auto dot = std::min(name.find('.'), name.size());
    KAVO_FUZZ_CHECK(dot >= 1 && dot <= 8 && name.size() - dot <= 4);
    KAVO_FUZZ_CHECK(!isDosBoxDevice(name.substr(0, dot)));

    kavo::dos::Stage stage;
    const std::string spc = stage.add("/music/" + longName);
    KAVO_FUZZ_CHECK(spc == "D:\\" + name);
    const std::string command = "C:\\SPCPLAY.EXE " + spc + " -w " + stage.add(longName);
    KAVO_FUZZ_CHECK(kavo::dos::isPlainCommand(command));
    const std::string config = kavo::dos::config("/run/k", stage, command);
    KAVO_FUZZ_CHECK(config.find_first_of("%\"") == std::string::npos);
    return 0;
}
