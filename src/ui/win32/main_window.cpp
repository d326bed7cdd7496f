#include "ui/win32/main_window.h"

#include "remote/control_panel.h"
#include "ui/win32/pickers.h"
#include "ui/win32/resource.h"

#include <stdexcept>

namespace kavo::win32ui {

namespace {

constexpr wchar_t kClassName[] = L"KavoMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

UINT commandId(MainCommand command) {
    return static_cast<UINT>(kCommandBase + static_cast<int>(command));
}

void check(HMENU menu, MainCommand command, bool on) {
    CheckMenuItem(menu, commandId(command), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace

MainWindow::MainWindow(const MainServices& services, const Remote& remote)
    : store_(services.store), messages_(services.messages), remote_(remote),
      presenter_(*this, services) {
    static_assert(IDM_LOADSPC == kCommandBase && IDM_ABOUT == kCommandBase + 15);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MainWindow::proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KAVOFE));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, wide(kWindowCaption).c_str(), kStyle,
                              0, 0, 100, 100, nullptr,
                              LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU)), instance, this);
    buildControls();
    focus_ = FocusMemory(GetDlgItem(window_, kText1));
    placeCentred(window_, 5955, 1890);
    presenter_.load();
}

MainWindow::~MainWindow() {
    picker_.reset();
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void MainWindow::buildControls() {
    // Creation order is the tab order.
    addControl(window_, L"STATIC", "Filename:", SS_LEFTNOWORDWRAP, {120, 120, 735, 255}, -1);
    const DWORD edit = WS_TABSTOP | ES_AUTOHSCROLL;
    addControl(window_, L"EDIT", "", edit, {120, 360, 4095, 285}, kText1, WS_EX_CLIENTEDGE);
    addControl(window_, L"STATIC", "SPCPLAY Directory:", SS_LEFTNOWORDWRAP, {120, 720, 1455, 255},
               -1);
    addControl(window_, L"EDIT", "", edit, {120, 960, 4095, 285}, kText1 + 1, WS_EX_CLIENTEDGE);
    addControl(window_, L"EDIT", "", edit, {120, 1560, 4095, 285}, kText1 + 2, WS_EX_CLIENTEDGE);
    addControl(window_, L"STATIC", "WAV Filename:", SS_LEFTNOWORDWRAP, {120, 1320, 1215, 255}, -1);
    addControl(window_, L"BUTTON", kPanelCaption, BS_GROUPBOX, {4320, 120, 1575, 1695}, -1);
    for (std::size_t i = 0; i < kPanelButtons.size(); ++i) {
        const PanelButton& b = kPanelButtons[i];
        addControl(window_, L"BUTTON", b.caption, WS_TABSTOP | BS_PUSHBUTTON,
                   {4320 + b.left, 120 + b.top, b.width, b.height},
                   kPanelFirst + static_cast<int>(i));
    }
    fitLabels(window_);
}

bool MainWindow::translate(MSG& msg) {
    if (HWND open = picker(); open != nullptr && (msg.hwnd == open || IsChild(open, msg.hwnd)))
        return IsDialogMessageW(open, &msg) != FALSE;
    if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))
        return false;
    // Before the edit boxes see the keys: Ctrl+X ends the program rather than cutting.
    if (IsWindowEnabled(window_) && TranslateAcceleratorW(window_, accelerators_, &msg))
        return true;
    return IsDialogMessageW(window_, &msg) != FALSE;
}

void MainWindow::showDisplay(const MainDisplay& display) {
    HMENU menu = GetMenu(window_);
    for (std::size_t i = 0; i < display.rates.size(); ++i)
        check(
            menu,
            static_cast<MainCommand>(static_cast<int>(MainCommand::Rate8000) + static_cast<int>(i)),
            display.rates[i]);
    check(menu, MainCommand::Stereo, display.stereo);
    check(menu, MainCommand::Force8bit, display.force8bit);
    check(menu, MainCommand::LogToWav, display.logToWav);
    EnableWindow(GetDlgItem(window_, kText1 + 2), display.wavBoxEnabled ? TRUE : FALSE);
    const std::wstring level = wide(display.levelCaption);
    ModifyMenuW(menu, IDM_CURLEV, MF_BYCOMMAND | MF_STRING | MF_GRAYED, IDM_CURLEV, level.c_str());
}

void MainWindow::setText(TextBox box, const std::string& text) {
    win32ui::setText(GetDlgItem(window_, kText1 + static_cast<int>(box)), text);
}

std::string MainWindow::text(TextBox box) const {
    return utf8Text(GetDlgItem(window_, kText1 + static_cast<int>(box)));
}

void MainWindow::openPicker(PickerKind kind, PickerHost& host) {
    picker_.reset();
    if (kind == PickerKind::SpcFile)
        picker_ = std::make_unique<SpcPickerWindow>(window_, host, store_, messages_);
    else
        picker_ = std::make_unique<DirPickerWindow>(window_, host, store_);
    picker_->show();
}

void MainWindow::closePicker() {
    if (HWND open = picker())
        SendMessageW(open, WM_CLOSE, 0, 0);
}

void MainWindow::end() {
    DestroyWindow(window_);
}

void MainWindow::pressPanel(std::size_t button) {
    if (!remote_.windows || !remote_.layout || !remote_.injector)
        return;
    const PanelButton& b = kPanelButtons[button];
    try {
        const std::string text = b.index >= 0 ? digitButtonText(static_cast<std::int16_t>(b.index))
                                              : std::string(b.text);
        pressInPlayer(text, *remote_.windows, *remote_.layout, *remote_.injector);
    } catch (const std::overflow_error&) {
        // A failed click ends quietly, like every other panel failure.
    }
}

LRESULT CALLBACK MainWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (self->window_ == nullptr)
        self->window_ = window;
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (focus_.handle(window_, message, wParam))
        return 0;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= kCommandBase && id <= kCommandBase + static_cast<int>(MainCommand::About))
            presenter_.run(static_cast<MainCommand>(id - kCommandBase));
        else if (id >= kPanelFirst && id < kPanelFirst + static_cast<int>(kPanelButtons.size()))
            pressPanel(static_cast<std::size_t>(id - kPanelFirst));
        return 0;
    }
    case WM_CLOSE:
        // A disabled window cannot be closed: the picker gives it back first.
        if (!presenter_.pickerOpen()) {
            presenter_.unload();
            DestroyWindow(window_);
        }
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    case kPickerGone:
        if (picker_ && !picker_->alive())
            picker_.reset();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

} // namespace kavo::win32ui
