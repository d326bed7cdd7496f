#pragma once

#include "common/message_sink.h"
#include "launch/dos_machine.h"
#include "launch/process_starter.h"
#include "platform/win32/handle_watcher.h"
#include "platform/win32/win32_dosbox_locate.h"

#include <map>
#include <string>
#include <utility>

namespace kavo {

// Starts a DOS player inside DOSBox where Windows cannot run it (or once it refused to); any
// other program goes to the native starter. DOSBox sees only a private staging directory under
// base: drive C a junction to the player directory (or, where the volume takes none, hard links to
// its files), the SPC file as a hard link (a copy across volumes), the WAV file as a hard link
// (across volumes an empty staged file whose bytes are appended to the user's file once DOSBox
// ends), a marker drive, and the generated configuration. The process handle is waited for in the
// message loop (watcher). The staging directory goes when DOSBox ends; one left behind is swept by
// the next starter once neither its owner (which holds its lock file unshared) nor its DOSBox runs,
// and a recording still in it is delivered first. A recording that cannot be delivered is reported
// and kept where it is.
class Win32DosboxStarter : public ProcessStarter {
public:
    Win32DosboxStarter(ProcessStarter& native, HandleWatcher& watcher, MessageSink& messages,
                       std::string stagingBase, bool windowsRunsDos = windowsRunsDosPrograms());
    ~Win32DosboxStarter() override;
    Win32DosboxStarter(const Win32DosboxStarter&) = delete;
    Win32DosboxStarter& operator=(const Win32DosboxStarter&) = delete;

    ShortPathApi* shortPathsFor(const std::string& program) override;
    std::error_code start(const CommandLine& command) override;
    std::optional<std::int64_t> newestDosMachine() const override;

    // Staging directories of DOSBox runs not yet seen to end.
    std::size_t running() const { return runs_.size(); }

private:
    struct Run {
        using FileId = std::pair<DWORD, std::uint64_t>; // volume, index; {0, 0}: none
        HANDLE lock;
        std::wstring stageDir;
        DWORD pid;
        unsigned long serial; // the order of starts
        FileId recording;     // the WAV file it records into
    };

    std::error_code startDosbox(const CommandLine& command);
    void finished(HANDLE process);

    ProcessStarter& native_;
    HandleWatcher& watcher_;
    MessageSink& messages_;
    std::string base_;
    bool windowsRunsDos_;
    std::string dosProgram_; // the program of this launch when DOSBox is to run it
    dos::StageNames names_;
    std::map<HANDLE, Run> runs_; // by DOSBox's process handle
    unsigned long starts_ = 0;
};

} // namespace kavo
