#pragma once

#include "settings/settings_store.h"
#include "ui/qt/pickers/picker_window.h"

namespace kavo::ui {

// "Set SPCPLAY.EXE Dir" (Form3): chooses the player's directory and hands it to the main
// window's setdir.
class PlayerDirPicker : public PickerWindow {
    Q_OBJECT

public:
    PlayerDirPicker(PickerHost& host, SettingsStore& store, QWidget* parent = nullptr);

private:
    void set();

    SettingsStore& store_;
};

} // namespace kavo::ui
