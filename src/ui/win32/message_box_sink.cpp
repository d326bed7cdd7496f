#include "ui/win32/message_box_sink.h"

#include "ui/win32/controls.h"

namespace kavo::win32ui {

void MessageBoxSink::show(std::string_view text, std::string_view title, MessageIcon icon) {
    // A lone carriage return does not break a line in a message box.
    std::wstring shown;
    const std::wstring original = wide(text);
    for (std::size_t i = 0; i < original.size(); ++i) {
        shown += original[i];
        if (original[i] == L'\r' && (i + 1 == original.size() || original[i + 1] != L'\n'))
            shown += L'\n';
    }
    MessageBoxW(GetActiveWindow(), shown.c_str(), wide(title).c_str(),
                MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace kavo::win32ui
