#include "platform/win32/win32_error.h"

#include "platform/win32/wide_text.h"

#include <string>
#include <windows.h>

namespace kavo::win32 {

namespace {

class ErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "win32"; }

    // Without the final full stop and line break, so that it reads inside a sentence.
    std::string message(int code) const override {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::wstring wide(text != nullptr ? text : L"", length);
        LocalFree(text);
        while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' ||
                                 wide.back() == L' ' || wide.back() == L'.'))
            wide.pop_back();
        if (wide.empty())
            return "Windows error " + std::to_string(code);
        return toUtf8(wide);
    }

    // The ways Windows refuses a program it cannot run, a DOS program on 64-bit Windows among
    // them, read as one condition that the launcher can explain.
    std::error_condition default_error_condition(int code) const noexcept override {
        switch (code) {
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_BAD_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case ERROR_INVALID_EXE_SIGNATURE:
        case ERROR_EXE_MARKED_INVALID:
        case ERROR_CHILD_NOT_COMPLETE:
            return std::errc::executable_format_error;
        default:
            return {code, *this};
        }
    }
};

} // namespace

const std::error_category& errorCategory() {
    static const ErrorCategory category;
    return category;
}

std::error_code lastError() {
    return {static_cast<int>(GetLastError()), errorCategory()};
}

} // namespace kavo::win32
