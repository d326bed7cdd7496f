#pragma once

#include "common/message_sink.h"
#include "present/dir_picker_presenter.h"
#include "present/spc_picker_presenter.h"
#include "settings/settings_store.h"
#include "ui/win32/picker_window.h"

namespace kavo::win32ui {

inline constexpr int kFile1 = 12;
inline constexpr int kCheck1 = 13; // Check2 and Check3 follow

// "Load SPC File" (Form2).
class SpcPickerWindow : public PickerWindow, public SpcPickerView {
public:
    SpcPickerWindow(HWND owner, PickerHost& host, SettingsStore& store, MessageSink& messages);

    void showLists() override { drawLists(presenter_.lists()); }
    void beep() override { MessageBeep(MB_OK); }
    void discard() override { destroy(); }
    void showFiles(const std::vector<std::string>& names) override;
    void showChecks(const std::array<bool, 3>& ticked) override;

private:
    PickerPresenter& presenter() override { return presenter_; }
    void confirm() override;
    void command(int id) override;

    SpcPickerPresenter presenter_;
};

// "Set SPCPLAY.EXE Dir" (Form3).
class DirPickerWindow : public PickerWindow, public PickerView {
public:
    DirPickerWindow(HWND owner, PickerHost& host, SettingsStore& store);

    void showLists() override { drawLists(presenter_.lists()); }
    void beep() override { MessageBeep(MB_OK); }
    void discard() override { destroy(); }

private:
    PickerPresenter& presenter() override { return presenter_; }
    void confirm() override { presenter_.set(); }

    DirPickerPresenter presenter_;
};

} // namespace kavo::win32ui
