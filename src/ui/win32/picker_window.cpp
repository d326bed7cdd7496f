#include "ui/win32/picker_window.h"

#include <string>

namespace kavo::win32ui {

namespace {

constexpr wchar_t kClassName[] = L"KavoPicker";
constexpr int kIndentBlanks = 2;

void registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

} // namespace

PickerWindow::PickerWindow(HWND owner, std::string_view title, int clientWidth, int clientHeight)
    : owner_(owner) {
    registerClass();
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, kClassName,
                              wide(title).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100,
                              100, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PickerWindow::proc));
    placeCentred(window_, clientWidth, clientHeight);
}

PickerWindow::~PickerWindow() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void PickerWindow::show() {
    focus_ = FocusMemory(control(kDrive1));
    ShowWindow(window_, SW_SHOW);
}

void PickerWindow::addLists(int width, int dirHeight) {
    addControl(window_, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
               {0, 0, width, 315 * 8}, kDrive1);
    addControl(window_, L"LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               {0, 360, width, dirHeight}, kDir1, WS_EX_CLIENTEDGE);
}

void PickerWindow::drawLists(const PickerLists& lists) {
    HWND drives = control(kDrive1);
    SendMessageW(drives, CB_RESETCONTENT, 0, 0);
    for (const Drive& drive : lists.drives())
        SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(drive.text).c_str()));
    const std::size_t drive = lists.driveIndex();
    SendMessageW(
        drives, CB_SETCURSEL,
        drive < lists.drives().size() ? static_cast<WPARAM>(drive) : static_cast<WPARAM>(-1), 0);

    HWND dirs = control(kDir1);
    SendMessageW(dirs, WM_SETREDRAW, FALSE, 0);
    SendMessageW(dirs, LB_RESETCONTENT, 0, 0);
    for (const DirectoryRow& row : lists.directoryRows()) {
        const std::wstring label(static_cast<std::size_t>(row.level * kIndentBlanks), L' ');
        SendMessageW(dirs, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>((label + wide(row.label)).c_str()));
    }
    SendMessageW(dirs, LB_SETCURSEL, lists.currentRow(), 0);
    SendMessageW(dirs, WM_SETREDRAW, TRUE, 0);
}

void PickerWindow::destroy() {
    presenter().closed();
    if (window_ != nullptr)
        DestroyWindow(window_);
}

LRESULT CALLBACK PickerWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PickerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT PickerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (focus_.handle(window_, message, wParam))
        return 0;
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        presenter().cancel();
        return 0;
    case WM_DESTROY:
        presenter().closed();
        break;
    case WM_NCDESTROY:
        window_ = nullptr;
        PostMessageW(owner_, kPickerGone, 0, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void PickerWindow::onCommand(int id, int notification) {
    const auto selected = [this](int list, UINT message) {
        return SendMessageW(control(list), message, 0, 0);
    };
    if (id == kDrive1 && notification == CBN_SELCHANGE) {
        if (const LRESULT index = selected(kDrive1, CB_GETCURSEL); index >= 0)
            presenter().chooseDrive(static_cast<std::size_t>(index));
    } else if (id == kDir1 && notification == LBN_DBLCLK) {
        if (const LRESULT row = selected(kDir1, LB_GETCURSEL); row >= 0)
            presenter().enterRow(static_cast<std::size_t>(row));
    } else if (id == IDCANCEL) {
        presenter().cancel();
    } else if (id == IDOK) {
        // Enter in the directory list on another directory goes there.
        const LRESULT row = selected(kDir1, LB_GETCURSEL);
        if (GetFocus() == control(kDir1) && row >= 0 &&
            presenter().enterKeyEnters(static_cast<std::size_t>(row)))
            presenter().enterRow(static_cast<std::size_t>(row));
        else
            confirm();
    } else {
        command(id);
    }
}

} // namespace kavo::win32ui
