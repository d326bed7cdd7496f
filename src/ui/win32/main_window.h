#pragma once

#include "present/main_presenter.h"
#include "remote/keyboard.h"
#include "remote/window_activator.h"
#include "ui/win32/picker_window.h"

#include <memory>
#include <windows.h>

namespace kavo::win32ui {

inline constexpr int kText1 = 401;       // Text2 and Text3 follow
inline constexpr int kPanelFirst = 300;  // the control panel buttons, in table order
inline constexpr int kCommandBase = 200; // plus a MainCommand: the menu item's identifier

// The player's window, the keyboard and the front end's own window, for the panel buttons;
// without them the buttons do nothing.
struct Remote {
    WindowActivator* windows = nullptr;
    KeyboardLayout* layout = nullptr;
    KeyInjector* injector = nullptr;
};

// The Win32 view of the main window: it builds the controls and forwards every message to the
// presenter.
class MainWindow : public MainView {
public:
    // Runs loadreg; the window is ready to be shown.
    MainWindow(const MainServices& services, const Remote& remote);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    HWND handle() const { return window_; }
    HWND picker() const { return picker_ && picker_->alive() ? picker_->handle() : nullptr; }
    MainPresenter& presenter() { return presenter_; }
    // Accelerators, then dialog keys, for this window and its picker; true when msg was used.
    bool translate(MSG& msg);

    void showDisplay(const MainDisplay& display) override;
    void setText(TextBox box, const std::string& text) override;
    std::string text(TextBox box) const override;
    void openPicker(PickerKind kind, PickerHost& host) override;
    void closePicker() override;
    void setInputEnabled(bool enabled) override { EnableWindow(window_, enabled ? TRUE : FALSE); }
    void end() override;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls();
    void pressPanel(std::size_t button);

    SettingsStore& store_;
    MessageSink& messages_;
    Remote remote_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    MainPresenter presenter_;
    std::unique_ptr<PickerWindow> picker_;
    FocusMemory focus_;
};

} // namespace kavo::win32ui
