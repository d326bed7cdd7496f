// Whatever a user calls a file, the names and the line DOSBox is given stay plain: a DOS name
// that is no device, and a command with nothing its parser would act on.
#include "fuzz_check.h"
#include "launch/dos_machine.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string longName(reinterpret_cast<const char*>(data), size);
    std::erase(longName, '/'); // a host file name never holds one
    const std::string name = kavo::dos::fileName(longName);
    KAVO_FUZZ_CHECK(kavo::dos::isDosName(name) && kavo::dos::fileName(name) == name);
    // 8.3, so that DOS reads it whole, and no device DOSBox 0.74-3 opens in its place (tried).
    const std::string_view base = std::string_view(name).substr(0, name.find('.'));
    KAVO_FUZZ_CHECK(!base.empty() && base.size() <= 8 && name.size() - base.size() <= 4);
    for (std::string_view device :
         {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "LPT1", "EMMXXXX0", "MSCD001"})
        KAVO_FUZZ_CHECK(base != device);
    kavo::dos::Stage stage;
    const std::string spc = stage.add("/music/" + longName);
    KAVO_FUZZ_CHECK(spc == "D:\\" + name);
    const std::string command = "C:\\SPCPLAY.EXE " + spc + " -w " + stage.add(longName);
    KAVO_FUZZ_CHECK(kavo::dos::isPlainCommand(command));
    const std::string config = kavo::dos::config("/run/k", stage, command);
    KAVO_FUZZ_CHECK(config.find_first_of("%\"") == std::string::npos);
    return 0;
}
