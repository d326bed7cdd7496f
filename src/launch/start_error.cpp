#include "launch/process_starter.h"

namespace kavo {

namespace {

class StartErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "kavo.start"; }
    std::string message(int code) const override {
        switch (static_cast<StartError>(code)) {
        case StartError::EmulatorMissing:
#ifdef _WIN32
            return "The player is a DOS program, and 64-bit Windows plays it only in DOSBox, which "
                   "was not found.\rGet DOSBox from https://www.dosbox.com, install it, and launch "
                   "again.";
#else
            return "The player is a DOS program, which this system runs in DOSBox, and DOSBox is "
                   "not installed.\rInstall it (Debian and Ubuntu: sudo apt install dosbox) and "
                   "launch again.";
#endif
        case StartError::NotDosName:
            return "The player's file name is not a DOS file name, so DOSBox cannot start it.\r"
                   "Rename it to SPCPLAY.EXE.";
        case StartError::RecordingBusy:
            return "The player still records into the WAV file in DOSBox.\rStop the player first, "
                   "then launch again.";
        case StartError::Staging:
            return "The files for DOSBox could not be prepared in the temporary directory.\r"
                   "Check that it exists and has free space.";
        }
        return "Unknown start failure.";
    }
};

} // namespace

const std::error_category& startErrorCategory() {
    static const StartErrorCategory category;
    return category;
}

} // namespace kavo
