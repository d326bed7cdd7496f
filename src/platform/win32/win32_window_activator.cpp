#include "platform/win32/win32_window_activator.h"

#include "platform/win32/wide_text.h"
#include "remote/window_title.h"

#include <windows.h>

namespace kavo {

namespace {

struct Search {
    std::wstring_view title;
    DWORD process = 0; // 0: any process
    HWND exact = nullptr;
    HWND prefix = nullptr;
    HWND dosMachine = nullptr;
};

bool sameText(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

BOOL CALLBACK visit(HWND window, LPARAM data) {
    // EnumWindows hands our pointer back as an integer.
    auto& search = *reinterpret_cast<Search*>(data); // NOLINT(performance-no-int-to-ptr)
    if (!IsWindowVisible(window))
        return TRUE;
    if (search.process != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search.process)
            return TRUE;
    }
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(
        GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    if (sameText(title, search.title)) {
        search.exact = window;
        return FALSE;
    }
    if (search.prefix == nullptr && title.size() > search.title.size() &&
        sameText(std::wstring_view(title).substr(0, search.title.size()), search.title))
        search.prefix = window;
    else if (search.dosMachine == nullptr &&
             matchTitle(win32::toUtf8(title), win32::toUtf8(search.title)) ==
                 TitleMatch::DosMachine)
        search.dosMachine = window;
    return TRUE;
}

Search findWindow(std::wstring_view title, DWORD process) {
    Search search{title, process};
    if (!title.empty())
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search;
}

bool isShownWindowOf(HWND window, DWORD process) {
    DWORD owner = 0;
    return IsWindow(window) && IsWindowVisible(window) &&
           GetWindowThreadProcessId(window, &owner) != 0 && owner == process &&
           GetWindow(window, GW_OWNER) == nullptr;
}

struct ProcessSearch {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK visitOf(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<ProcessSearch*>(data); // NOLINT(performance-no-int-to-ptr)
    if (!isShownWindowOf(window, search.process))
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND best(const Search& search) {
    if (search.exact != nullptr)
        return search.exact;
    return search.prefix != nullptr ? search.prefix : search.dosMachine;
}

// True once the window is the active one of its thread and that thread holds the focus.
bool hasFocus(HWND window, DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) &&
           info.hwndActive == window && info.hwndFocus != nullptr;
}

// Serves what other threads send us meanwhile (a thread taking the activation may wait for our
// answer), but dispatches nothing posted, so that no handler of ours runs in between.
void pause() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

bool bringToFront(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    BringWindowToTop(window);
    if (!SetForegroundWindow(window)) {
        // Refused, as Windows does once our own window lost the foreground: sharing the
        // foreground thread's input makes the hand-over ours to make. Only then, because
        // detaching again leaves no foreground window at all on some systems.
        const DWORD self = GetCurrentThreadId();
        const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
        if (foreground != 0 && foreground != self && AttachThreadInput(self, foreground, TRUE)) {
            SetForegroundWindow(window);
            AttachThreadInput(self, foreground, FALSE);
        }
    }

    // Another program's window takes the focus when its thread reads the activation; keys sent
    // before that could go astray, so wait for it, briefly.
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    for (int tries = 0; tries < 100; ++tries) {
        if (hasFocus(window, thread))
            return true;
        pause();
    }
    return hasFocus(window, thread);
}

} // namespace

Win32WindowActivator::Win32WindowActivator(std::string_view applicationTitle) {
    setApplicationTitle(applicationTitle);
}

void Win32WindowActivator::setApplicationTitle(std::string_view title) {
    applicationTitle_ = win32::toWidePath(title).value_or(std::wstring());
}

bool Win32WindowActivator::activate(std::string_view title) {
    const auto wide = win32::toWidePath(title);
    if (!wide)
        return false;
    const Search search = findWindow(*wide, 0);
    HWND window = best(search);
    if (window == nullptr || !bringToFront(window))
        return false;
    activatedDosMachine_ = window == search.dosMachine;
    return true;
}

bool Win32WindowActivator::activateDosMachine(std::int64_t pid) {
    activatedDosMachine_ = false;
    const auto process = static_cast<DWORD>(pid);
    auto window = static_cast<HWND>(machine_);
    if (!isShownWindowOf(window, process)) {
        ProcessSearch search{process};
        EnumWindows(visitOf, reinterpret_cast<LPARAM>(&search));
        window = search.found;
        machine_ = window;
    }
    if (window == nullptr || !bringToFront(window))
        return false;
    activatedDosMachine_ = true;
    return true;
}

bool Win32WindowActivator::activateApplication() {
    HWND window = best(findWindow(applicationTitle_, GetCurrentProcessId()));
    return window != nullptr && bringToFront(window);
}

} // namespace kavo
