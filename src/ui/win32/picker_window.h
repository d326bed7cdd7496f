#pragma once

#include "picker/std_directory_source.h"
#include "present/picker_presenter.h"
#include "ui/win32/controls.h"

#include <windows.h>

namespace kavo::win32ui {

inline constexpr int kDrive1 = 10;
inline constexpr int kDir1 = 11;
inline constexpr UINT kPickerGone = WM_APP + 1;

// What both Win32 pickers share: a fixed tool window owned by the main window, with a drive
// list and a directory list; Enter is the default button (IDOK), Escape the cancel button
// (IDCANCEL). When the window is gone it posts kPickerGone to its owner.
class PickerWindow {
public:
    PickerWindow(const PickerWindow&) = delete;
    PickerWindow& operator=(const PickerWindow&) = delete;
    virtual ~PickerWindow();

    HWND handle() const { return window_; }
    bool alive() const { return window_ != nullptr; }
    // Shows the window with the focus on the drive list, which it keeps like a dialog.
    void show();

protected:
    PickerWindow(HWND owner, std::string_view title, int clientWidth, int clientHeight);

    void addLists(int width, int dirHeight);
    void drawLists(const PickerLists& lists);
    // Gives the main window back first, so that Windows activates it and no stranger.
    void destroy();
    DirectorySource& source() { return source_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }

    virtual PickerPresenter& presenter() = 0;
    virtual void confirm() = 0;
    virtual void command(int /*id*/) {}

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int notification);

    StdDirectorySource source_;
    HWND owner_;
    HWND window_ = nullptr;
    FocusMemory focus_;
};

} // namespace kavo::win32ui
