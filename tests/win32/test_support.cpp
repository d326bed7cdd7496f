#include "test_support.h"

#include "platform/win32/wide_text.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace kavo::test {

namespace {

std::filesystem::path freshRoot() {
    static int made = 0;
    // Eight characters, so that the directory's own name is already in 8.3 form.
    wchar_t name[16];
    swprintf(name, 16, L"K%05lX%02X", GetCurrentProcessId() & 0xFFFFF, (made++) & 0xFF);
    auto root = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    return root;
}

} // namespace

TempDir::TempDir() : root_(freshRoot()) {}

TempDir::~TempDir() {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::path(std::string_view name) const {
    std::string root = win32::toUtf8(root_.wstring()) + "\\";
    return root + std::string(name);
}

std::filesystem::path fsPath(const std::string& utf8) {
    auto wide = win32::toWidePath(utf8);
    if (!wide)
        throw std::invalid_argument("not a UTF-8 path");
    return std::filesystem::path(*wide);
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void makeDirectory(const std::string& path) {
    std::filesystem::create_directories(fsPath(path));
}

bool exists(const std::string& path) {
    return GetFileAttributesW(fsPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void setAttributes(const std::string& path, DWORD attributes) {
    if (!SetFileAttributesW(fsPath(path).c_str(), attributes))
        throw std::runtime_error("cannot set the attributes of " + path);
}

std::string platformShortPath(const std::string& path) {
    std::wstring shortPath(32768, L'\0');
    shortPath.resize(GetShortPathNameW(fsPath(path).c_str(), shortPath.data(),
                                       static_cast<DWORD>(shortPath.size())));
    return win32::toUtf8(shortPath);
}

std::string builtProgram(std::string_view name) {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return win32::toUtf8(std::filesystem::path(self).parent_path().wstring()) + "\\" +
           std::string(name);
}

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (!done()) {
        if (GetTickCount64() > deadline)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

} // namespace kavo::test
