#pragma once

#include "launch/short_path.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// How a DOS player is run where the system cannot run DOS programs itself: inside an emulated
// DOS machine (DOSBox) that sees only a private staging directory this program fills.
namespace kavo::dos {

// Offset of the header a Windows program's MZ stub points to, read from the file's first 64
// bytes; nullopt when they are no MZ header.
std::optional<std::uint32_t> newHeaderOffset(std::string_view first64);

// An MZ program that is not a Windows ("PE") one. atNewHeader: the bytes at newHeaderOffset,
// empty when the file ends before it.
bool isDosProgram(std::string_view first64, std::string_view atNewHeader);

// The 8.3 name this program gives a file inside the DOS machine: upper-case ASCII letters,
// digits, "_" and "-" of the long name's base (at most 8) and extension (at most 3); "FILE"
// for a base with none of them; a device name that DOSBox would open instead of the file gets a
// "_" in its last place or after it.
std::string fileName(std::string_view longName);

// True when name can be used inside DOS as it is spelled (letter case aside).
bool isDosName(std::string_view name);

// A line only this program's names make up: nothing a DOS command interpreter would take as
// a redirection, a variable or a second command.
bool isPlainCommand(std::string_view line);

// Base directory for staging directories: $XDG_RUNTIME_DIR, else $TMPDIR, else /tmp; only an
// absolute path whose characters need no quoting in DOSBox's mount command qualifies.
std::string stagingBase(const char* runtimeDir, const char* tmpDir);

// True for a Windows directory "X:\..." that DOSBox's mount command takes as it is: no blank,
// no non-ASCII, nothing its command parser reads (a short path usually is one).
bool isPlainWindowsDir(std::string_view dir);

inline constexpr std::string_view kStagePrefix = "kavofe-dosbox-";
inline constexpr std::string_view kConfigName = "dosbox.conf";
inline constexpr std::string_view kOutputName = "dosbox.log";
inline constexpr std::string_view kLockName = "lock";
// Written by the autoexec just before the player starts, on its own drive.
inline constexpr char kMarkerDrive = 'Y';
inline constexpr std::string_view kMarkerName = "STARTED.TXT";
// What DOSBox's mount command answered, on the marker drive.
inline constexpr std::string_view kSaidName = "SAID.TXT";
inline constexpr std::string_view kErrorLinePrefix = "Exit to error: ";

// One launch's files inside the DOS machine: drive C is the player directory, each further
// file gets a drive of its own (D, E, ...), so names never collide.
class Stage {
public:
    struct File {
        char drive;
        std::string dosName;
        std::string hostPath;
    };

    // The DOS path of hostPath on the next free drive, e.g. "D:\TRACKONE.SPC".
    std::string add(const std::string& hostPath);
    const std::vector<File>& files() const { return files_; }

private:
    std::vector<File> files_;
};

// Short paths as the DOS program sees its files: each a drive of its own in stage. absolute
// makes the launcher's path absolute on the host ("" when it cannot).
class StageNames : public ShortPathApi {
public:
    explicit StageNames(std::function<std::string(const std::string&)> absolute = {})
        : absolute_(std::move(absolute)) {}
    void getShortPathName(const std::string& longPath, std::span<char> buffer) override;
    Stage stage;

private:
    std::function<std::string(const std::string&)> absolute_;
};

// The DOSBox configuration: windowed, at full speed, the staged directories mounted (each
// "<stage><separator><drive>"), C: current, the command run (its first word the program), then
// exit; the marker only when every drive and the program are there. stageDir must already be
// plain (see stagingBase and isPlainWindowsDir).
std::string config(std::string_view stageDir, const Stage& stage, std::string_view command,
                   char separator = '/');

// The reason DOSBox gives on its output for a failed start, or "".
std::string errorReason(std::string_view output);

// What the user is told once DOSBox has ended: DOSBox's reason, or that the player never
// started (no marker) with what the mounts said against it; "" after an ordinary run.
std::string endReport(std::string_view output, bool started, std::string_view said = {});

// The staged file the player records into (the word after "-w"), or null.
const Stage::File* recording(const Stage& stage, const std::vector<std::string>& arguments);

} // namespace kavo::dos
