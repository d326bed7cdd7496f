#include "launch/dos_machine.h"

#include "common/path_style.h"

#include <algorithm>
#include <array>

namespace kavo::dos {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isNameChar(char c) {
    c = upper(c);
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

std::string kept(std::string_view text, std::size_t limit) {
    std::string out;
    for (char c : text)
        if (isNameChar(c) && out.size() < limit)
            out += upper(c);
    return out;
}

// DOSBox finds these on every drive, whatever the extension; it has COM1, COM2 and LPT1 only,
// but DOS has more ports and a later configuration may open them.
bool isDevice(std::string_view base) {
    static constexpr std::array<std::string_view, 6> fixed{"CON", "PRN",      "AUX",
                                                           "NUL", "EMMXXXX0", "MSCD001"};
    if (std::ranges::find(fixed, base) != fixed.end())
        return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

bool isPlainPathChar(char c) {
    return isNameChar(c) || c == '/' || c == '.' || c == '+';
}

} // namespace

std::optional<std::uint32_t> newHeaderOffset(std::string_view first64) {
    if (first64.size() < 64 || !(first64.starts_with("MZ") || first64.starts_with("ZM")))
        return std::nullopt;
    std::uint32_t offset = 0;
    for (int i = 3; i >= 0; --i)
        offset = (offset << 8) | static_cast<unsigned char>(first64[0x3C + i]);
    return offset;
}

bool isDosProgram(std::string_view first64, std::string_view atNewHeader) {
    const bool mz = first64.size() >= 2 && (first64.starts_with("MZ") || first64.starts_with("ZM"));
    return mz && !atNewHeader.starts_with(std::string_view("PE\0\0", 4));
}

std::string fileName(std::string_view longName) {
    const auto dot = longName.find_last_of('.');
    const std::string_view base =
        dot == std::string_view::npos ? longName : longName.substr(0, dot);
    const std::string_view ext =
        dot == std::string_view::npos ? std::string_view() : longName.substr(dot + 1);
    std::string name = kept(base, 8);
    if (name.empty())
        name = "FILE";
    else if (isDevice(name)) {
        name.resize(std::min<std::size_t>(name.size(), 7)); // DOS would cut a ninth off again
        name += '_';
    }
    if (std::string extension = kept(ext, 3); !extension.empty())
        name += "." + extension;
    return name;
}

bool isDosName(std::string_view name) {
    if (name.empty() || name.size() > 12)
        return false;
    std::string upperName(name);
    std::ranges::transform(upperName, upperName.begin(), upper);
    return fileName(name) == upperName;
}

bool isPlainCommand(std::string_view line) {
    return std::ranges::all_of(line, [](char c) {
        return isNameChar(c) || c == ' ' || c == '.' || c == ':' || c == '\\';
    });
}

std::string stagingBase(const char* runtimeDir, const char* tmpDir) {
    for (const char* candidate : {runtimeDir, tmpDir}) {
        const std::string_view dir = candidate ? candidate : "";
        if (dir.starts_with('/') && std::ranges::all_of(dir, isPlainPathChar))
            return std::string(dir);
    }
    return "/tmp";
}

bool isPlainWindowsDir(std::string_view dir) {
    const bool drive = dir.size() >= 3 && upper(dir[0]) >= 'A' && upper(dir[0]) <= 'Z' &&
                       dir[1] == ':' && dir[2] == '\\';
    return drive && std::ranges::all_of(dir.substr(3), [](char c) {
               return isNameChar(c) || c == '\\' || c == '.' || c == '~';
           });
}

std::string Stage::add(const std::string& hostPath) {
    const auto slash =
        std::find_if(hostPath.rbegin(), hostPath.rend(), [](char c) { return isPathSeparator(c); });
    const char drive = static_cast<char>('D' + files_.size());
    std::string name = fileName(std::string(slash.base(), hostPath.end()));
    files_.push_back({drive, name, hostPath});
    return std::string{drive} + ":\\" + name;
}

void StageNames::getShortPathName(const std::string& longPath, std::span<char> buffer) {
    const std::string absolute = absolute_ ? absolute_(longPath) : longPath;
    if (absolute.empty())
        return;
    const std::string dosPath = stage.add(absolute);
    if (dosPath.size() + 1 > buffer.size())
        return;
    std::ranges::copy(dosPath, buffer.begin());
    buffer[dosPath.size()] = '\0';
}

std::string config(std::string_view stageDir, const Stage& stage, std::string_view command,
                   char separator) {
    const std::string stageText(stageDir);
    std::string text = "[sdl]\n"
                       "fullscreen=false\n"
                       "output=surface\n"
                       "autolock=false\n"
                       "waitonerror=false\n"
                       "[dos]\n"
                       "keyboardlayout=none\n"
                       // The player emulates its sound chip in real time: the defaults give a
                       // real-mode program a 386's speed, these about a host core's.
                       "[cpu]\n"
                       "core=dynamic\n"
                       "cycles=max\n"
                       "[autoexec]\n";
    // What a mount says goes to the marker drive (mounted first), for the report. The marker is
    // written only once every drive and the program are there: it means the player ran.
    const std::string said = " >>" + std::string{kMarkerDrive} + ":\\" + std::string(kSaidName);
    auto mount = [&](char drive, std::string_view after) {
        text += "mount " + std::string{static_cast<char>(drive - 'A' + 'a')} + " " + stageText +
                separator + drive + std::string(after) + "\n";
    };
    mount(kMarkerDrive, "");
    mount('C', said);
    for (const Stage::File& file : stage.files())
        mount(file.drive, said);
    auto check = [&](std::string_view path) {
        text += "if not exist " + std::string(path) + " goto end\n";
    };
    check("C:\\NUL");
    for (const Stage::File& file : stage.files())
        check(std::string{file.drive} + ":\\NUL");
    check(command.substr(0, command.find(' ')));
    text += "c:\ncd \\\necho started > " + std::string{kMarkerDrive} + ":\\" +
            std::string(kMarkerName) + "\n" + std::string(command) + "\n:end\nexit\n";
    return text;
}

std::string errorReason(std::string_view output) {
    const auto at = output.find(kErrorLinePrefix);
    if (at == std::string_view::npos)
        return {};
    std::string_view reason = output.substr(at + kErrorLinePrefix.size());
    reason = reason.substr(0, reason.find_first_of("\r\n"));
    while (!reason.empty() && reason.back() == ' ')
        reason.remove_suffix(1);
    return reason.empty() ? std::string("unknown error") : std::string(reason);
}

std::string endReport(std::string_view output, bool started, std::string_view said) {
    if (const std::string reason = errorReason(output); !reason.empty())
        return "DOSBox could not run the player: " + reason + ".";
    if (started)
        return {};
    // A mount's success is "Drive C is mounted as ..."; anything else it said is why it failed.
    std::string words;
    for (std::string_view rest = said; !rest.empty();) {
        const auto end = std::min(rest.find_first_of("\r\n"), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!line.empty() && !line.starts_with("Drive "))
            words += " " + std::string(line);
    }
    return "DOSBox ended before it started the player." +
           (words.empty() ? std::string() : " DOSBox said:" + words);
}

const Stage::File* recording(const Stage& stage, const std::vector<std::string>& arguments) {
    const auto flag = std::ranges::find(arguments, "-w");
    if (flag == arguments.end() || flag + 1 == arguments.end())
        return nullptr;
    const auto file = std::ranges::find_if(stage.files(), [&](const Stage::File& staged) {
        return std::string{staged.drive} + ":\\" + staged.dosName == *(flag + 1);
    });
    return file == stage.files().end() ? nullptr : &*file;
}

} // namespace kavo::dos
