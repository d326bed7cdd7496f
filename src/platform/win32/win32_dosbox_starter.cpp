#include "platform/win32/win32_dosbox_starter.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_dosbox_delivery.h"
#include "platform/win32/win32_dosbox_files.h"
#include "platform/win32/win32_error.h"

#include <algorithm>

namespace kavo {

using namespace staging;

Win32DosboxStarter::Win32DosboxStarter(ProcessStarter& native, HandleWatcher& watcher,
                                       MessageSink& messages, std::string stagingBase,
                                       bool windowsRunsDos)
    : native_(native), watcher_(watcher), messages_(messages), base_(std::move(stagingBase)),
      windowsRunsDos_(windowsRunsDos) {
    if (!base_.empty())
        sweep(wide(base_), messages_);
}

// DOSBox outlives us if it must; the next starter delivers and sweeps what it leaves.
Win32DosboxStarter::~Win32DosboxStarter() {
    for (const auto& [process, run] : runs_) {
        watcher_.unwatch(process);
        CloseHandle(process);
        CloseHandle(run.lock);
    }
}

ShortPathApi* Win32DosboxStarter::shortPathsFor(const std::string& program) {
    names_ = dos::StageNames([](const std::string& path) {
        const std::wstring absolute = fullPath(wide(path));
        return absolute.empty() ? std::string() : win32::toUtf8(absolute);
    });
    dosProgram_ = !windowsRunsDos_ && isDosProgramFile(program) ? program : std::string();
    return dosProgram_.empty() ? nullptr : &names_;
}

std::error_code Win32DosboxStarter::start(const CommandLine& command) {
    if (dosProgram_.empty() || command.program != dosProgram_) {
        const std::error_code failure = native_.start(command);
        // A Windows that refuses a DOS program after all plays it in DOSBox from now on.
        if (failure == std::errc::executable_format_error && isDosProgramFile(command.program))
            windowsRunsDos_ = false;
        return failure;
    }
    dosProgram_.clear();
    return startDosbox(command);
}

std::optional<std::int64_t> Win32DosboxStarter::newestDosMachine() const {
    const auto newest =
        std::ranges::max_element(runs_, {}, [](const auto& entry) { return entry.second.serial; });
    return newest == runs_.end() ? std::nullopt : std::optional<std::int64_t>(newest->second.pid);
}

std::error_code Win32DosboxStarter::startDosbox(const CommandLine& command) {
    const std::wstring program = fullPath(wide(command.program));
    const auto slash = program.find_last_of(L'\\');
    const std::string name = win32::toUtf8(program.substr(slash + 1));
    // The rest of the launcher's line holds only the names given out above.
    const std::string dosCommand = "C:\\" + name + command.text.substr(command.program.size());
    if (slash == std::wstring::npos || !dos::isDosName(name) || !dos::isPlainCommand(dosCommand))
        return StartError::NotDosName;
    const std::wstring dosbox = wide(findDosbox());
    if (dosbox.empty())
        return StartError::EmulatorMissing;
    if (base_.empty())
        return StartError::Staging;
    // A second DOSBox would truncate the file the first still records into.
    const dos::Stage::File* recording = dos::recording(names_.stage, command.arguments);
    const auto recordingId = recording ? fileId(wide(recording->hostPath)) : Run::FileId{};
    if (recordingId != Run::FileId{} && std::ranges::any_of(runs_, [&](const auto& entry) {
            return entry.second.recording == recordingId;
        }))
        return StartError::RecordingBusy;

    const std::wstring stage = makeStage(wide(base_));
    if (stage.empty())
        return StartError::Staging;
    auto abandon = [&stage](std::error_code error) {
        removeTree(stage);
        return error;
    };
    Handle lock(CreateFileW((stage + L"\\" + wide(dos::kLockName)).c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::wstring playerDir = program.substr(0, slash);
    // A drive's root needs its backslash to be a directory.
    const std::wstring target = playerDir.size() == 2 ? playerDir + L"\\" : playerDir;
    if (!lock.valid() ||
        (!makeJunction(stage + L"\\C", target) && !linkFiles(playerDir, stage + L"\\C")))
        return abandon(StartError::Staging);

    for (const dos::Stage::File& file : names_.stage.files()) {
        const std::wstring drive = stage + L"\\" + wide(file.drive);
        const std::wstring staged = drive + L"\\" + wide(file.dosName);
        const std::wstring source = wide(file.hostPath);
        const bool isWav = &file == recording;
        bool ok = CreateDirectoryW(drive.c_str(), nullptr) != FALSE;
        if (ok && isWav && !CreateHardLinkW(staged.c_str(), source.c_str(), nullptr))
            ok = writeNew(staged, {}) &&
                 writeNew(stage + L"\\" + std::wstring(kDeliveryName),
                          std::string{file.drive} + "\\" + file.dosName + "\n" + file.hostPath);
        else if (ok && !isWav)
            ok = linkOrCopy(source, staged);
        if (!ok)
            return abandon(StartError::Staging);
    }
    const std::string stageText = win32::toUtf8(stage);
    if (!CreateDirectoryW((stage + L"\\" + wide(dos::kMarkerDrive)).c_str(), nullptr) ||
        !writeNew(stage + L"\\" + wide(dos::kConfigName),
                  dos::config(stageText, names_.stage, dosCommand, '\\')))
        return abandon(StartError::Staging);

    // The status console stays away; DOSBox then writes its output into the stage.
    std::wstring line =
        L"\"" + dosbox + L"\" -conf \"" + stage + L"\\" + wide(dos::kConfigName) + L"\" -noconsole";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(dosbox.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        stage.c_str(), &startup, &process))
        return abandon(win32::lastError());
    CloseHandle(process.hThread);
    writeNew(stage + L"\\" + std::wstring(kPidName),
             std::to_string(process.dwProcessId) + " " +
                 std::to_string(creationTime(process.hProcess)));

    runs_[process.hProcess] =
        Run{lock.release(), stage, process.dwProcessId, ++starts_, recordingId};
    watcher_.watch(process.hProcess, [this, handle = process.hProcess] { finished(handle); });
    return {};
}

void Win32DosboxStarter::finished(HANDLE process) {
    watcher_.unwatch(process);
    CloseHandle(process);
    const Run run = runs_.at(process);
    runs_.erase(process);
    const std::wstring& stage = run.stageDir;
    const std::string output = readAll(stage + L"\\stdout.txt");
    const std::wstring markerDrive = stage + L"\\" + wide(dos::kMarkerDrive) + L"\\";
    const std::string said = readAll(markerDrive + wide(dos::kSaidName));
    const bool started = isFile(markerDrive + wide(dos::kMarkerName));
    const std::string undelivered = deliver(stage);
    CloseHandle(run.lock);
    if (undelivered.empty())
        removeTree(stage);
    else
        writeNew(stage + L"\\told", {}); // the sweep at the next start need not tell again

    if (!undelivered.empty())
        messages_.show("The player's recording could not be added to the WAV file: " + undelivered +
                           ".\rIt is kept in \"" + win32::toUtf8(stage) +
                           "\"; the program tries again when it next starts.",
                       kErrorTitle, MessageIcon::Error);
    if (const std::string report = dos::endReport(output, started, said); !report.empty())
        messages_.show(report, kErrorTitle, MessageIcon::Error);
}

} // namespace kavo
