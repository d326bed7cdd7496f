#pragma once

#include "launch/process_starter.h"

namespace kavo {

// Starts the program from its argument vector in the program's own directory, detached so that
// it never becomes a zombie of ours; reports why the program could not be executed.
class PosixProcessStarter : public ProcessStarter {
public:
    std::error_code start(const CommandLine& command) override;
};

} // namespace kavo
