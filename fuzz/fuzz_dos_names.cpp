// Whatever a user calls a file, the names and the line DOSBox is given stay plain: a DOS name
// that is no device, and a command with nothing its parser would act on.
#include "fuzz_check.h"
#include "launch/dos_machine.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string longName(reinterpret_cast<const char*>(data), size);
    std::erase(longName, '/'); // a host file name never holds one
    const std::string name = kavo::dos::fileName(longName);
    KAVO_FUZZ_CHECK(kavo::dos::isDosName(name) && kavo::dos::fileName(name) == name);

    kavo::dos::Stage stage;
    const std::string spc = stage.add("/music/" + longName);
    KAVO_FUZZ_CHECK(spc == "D:\\" + name);
    const std::string command = "C:\\SPCPLAY.EXE " + spc + " -w " + stage.add(longName);
    KAVO_FUZZ_CHECK(kavo::dos::isPlainCommand(command));
    const std::string config = kavo::dos::config("/run/k", stage, command);
    KAVO_FUZZ_CHECK(config.find_first_of("%\"") == std::string::npos);
    return 0;
}
