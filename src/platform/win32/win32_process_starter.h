#pragma once

#include "launch/process_starter.h"

namespace kavo {

// CreateProcessW with the program as the application name and the command-line text exactly
// as given. Naming the program keeps Windows from trying the blank-separated beginnings of an
// unquoted path (C:\Program.exe for C:\Program Files\...) before the intended executable.
// The program runs in its own directory.
class Win32ProcessStarter : public ProcessStarter {
public:
    std::error_code start(const CommandLine& command) override;
};

} // namespace kavo
