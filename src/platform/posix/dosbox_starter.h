#pragma once

#include "common/message_sink.h"
#include "launch/dos_machine.h"
#include "launch/process_starter.h"
#include "platform/posix/fd_watcher.h"

#include <map>
#include <string>
#include <sys/types.h>
#include <utility>

namespace kavo {

// Starts a DOS player inside DOSBox, found on PATH; any other program goes to the native
// starter. DOSBox sees only a private staging directory (mode 0700) that holds a link to the
// player directory (drive C), links named by this program to the SPC and WAV files (D, E),
// a marker drive, and the generated configuration; nothing a user or a file name controls
// reaches its command parser. The staging directory goes when DOSBox ends; one left behind by
// a crash is swept when the next starter is made. Start failures that show only once DOSBox
// runs are reported through messages as soon as it ends.
class DosboxStarter : public ProcessStarter {
public:
    DosboxStarter(ProcessStarter& native, FdWatcher& watcher, MessageSink& messages,
                  std::string stagingBase);
    ~DosboxStarter() override;
    DosboxStarter(const DosboxStarter&) = delete;
    DosboxStarter& operator=(const DosboxStarter&) = delete;

    ShortPathApi* shortPathsFor(const std::string& program) override;
    std::error_code start(const CommandLine& command) override;
    std::optional<std::int64_t> newestDosMachine() const override;

    // Staging directories of DOSBox runs not yet seen to end.
    std::size_t running() const { return runs_.size(); }

private:
    using FileId = std::pair<dev_t, ino_t>; // {0, 0}: none
    struct Run {
        pid_t pid;
        std::string stageDir;
        unsigned long serial; // the order of starts
        FileId recording;     // the WAV file it records into
    };

    std::error_code startDosbox(const CommandLine& command);
    void finished(int exitFd);

    ProcessStarter& native_;
    FdWatcher& watcher_;
    MessageSink& messages_;
    std::string base_;
    std::string dosProgram_; // the program of this launch when it is a DOS one
    dos::StageNames names_;
    std::map<int, Run> runs_; // by the descriptor that reaches its end when DOSBox does
    unsigned long starts_ = 0;
};

} // namespace kavo
