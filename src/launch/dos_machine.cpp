#include "launch/dos_machine.h"

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
    else if (isDevice(name))
        name = name.substr(0, 7) + '_'; // still eight at most: DOS would cut a ninth off again
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
#ifdef _WIN32
    const auto slash = hostPath.find_last_of("/\\");
#else
    const auto slash = hostPath.find_last_of('/');
#endif
    const char drive = static_cast<char>('D' + files_.size());
    std::string name = fileName(slash == std::string::npos ? hostPath : hostPath.substr(slash + 1));
    files_.push_back({drive, name, hostPath});
    return std::string{drive} + ":\\" + name;
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
                       "[autoexec]\n";
    auto mount = [&](char drive) {
        text += "mount " + std::string{static_cast<char>(drive - 'A' + 'a')} + " " + stageText +
                separator + drive + "\n";
    };
    mount('C');
    for (const Stage::File& file : stage.files())
        mount(file.drive);
    mount(kMarkerDrive);
    text += "echo started > " + std::string{kMarkerDrive} + ":\\" + std::string(kMarkerName) + "\n";
    text += "c:\ncd \\\n" + std::string(command) + "\nexit\n";
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

std::string endReport(std::string_view output, bool started) {
    if (const std::string reason = errorReason(output); !reason.empty())
        return "DOSBox could not run the player: " + reason + ".";
    return started ? std::string() : "DOSBox ended before it started the player.";
}

} // namespace kavo::dos
