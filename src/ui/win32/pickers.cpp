#include "ui/win32/pickers.h"

#include <optional>

namespace kavo::win32ui {

namespace {

struct CheckItem {
    const char* caption;
    int left;
    int width;
};

constexpr std::array<CheckItem, 3> kChecks{{
    {"(*.SPC)", 2490, 855},
    {"(*.ZS*)", 3480, 855},
    {"(*.*)", 4440, 615},
}};

} // namespace

SpcPickerWindow::SpcPickerWindow(HWND owner, PickerHost& host, SettingsStore& store,
                                 MessageSink& messages)
    : PickerWindow(owner, "Load SPC File", 5130, 2145),
      presenter_(*this, host, source(), store, messages) {
    addLists(2415, 1440);
    addControl(handle(), L"LISTBOX", "",
               WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, {2460, 0, 2655, 1455},
               kFile1, WS_EX_CLIENTEDGE);
    for (std::size_t i = 0; i < kChecks.size(); ++i)
        addControl(handle(), L"BUTTON", kChecks[i].caption, WS_TABSTOP | BS_CHECKBOX,
                   {kChecks[i].left, 1560, kChecks[i].width, 255}, kCheck1 + static_cast<int>(i));
    addControl(handle(), L"BUTTON", "&Load", WS_TABSTOP | BS_DEFPUSHBUTTON, {1440, 1840, 975, 255},
               IDOK);
    addControl(handle(), L"BUTTON", "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, {2760, 1840, 975, 255},
               IDCANCEL);
    presenter_.open();
}

void SpcPickerWindow::showFiles(const std::vector<std::string>& names) {
    HWND files = control(kFile1);
    SendMessageW(files, WM_SETREDRAW, FALSE, 0);
    SendMessageW(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    SendMessageW(files, WM_SETREDRAW, TRUE, 0);
}

void SpcPickerWindow::showChecks(const std::array<bool, 3>& ticked) {
    for (std::size_t i = 0; i < ticked.size(); ++i)
        SendMessageW(control(kCheck1 + static_cast<int>(i)), BM_SETCHECK,
                     ticked[i] ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SpcPickerWindow::confirm() {
    const LRESULT row = SendMessageW(control(kFile1), LB_GETCURSEL, 0, 0);
    presenter_.load(row >= 0 ? std::optional(static_cast<std::size_t>(row)) : std::nullopt);
}

void SpcPickerWindow::command(int id) {
    if (id >= kCheck1 && id < kCheck1 + static_cast<int>(kChecks.size()))
        presenter_.clickCheck(static_cast<CheckFilter::Box>(id - kCheck1));
}

DirPickerWindow::DirPickerWindow(HWND owner, PickerHost& host, SettingsStore& store)
    : PickerWindow(owner, "Set SPCPLAY.EXE Dir", 2670, 2415),
      presenter_(*this, host, source(), store) {
    addLists(2655, 1665);
    addControl(handle(), L"BUTTON", "&Set", WS_TABSTOP | BS_DEFPUSHBUTTON, {360, 2040, 855, 255},
               IDOK);
    addControl(handle(), L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, {1440, 2040, 855, 255},
               IDCANCEL);
    presenter_.open();
}

} // namespace kavo::win32ui
