#pragma once

#include "present/dir_picker_presenter.h"
#include "settings/settings_store.h"
#include "ui/qt/pickers/picker_window.h"

namespace kavo::ui {

// The Qt view of "Set SPCPLAY.EXE Dir" (Form3).
class PlayerDirPicker : public PickerWindow {
    Q_OBJECT

public:
    PlayerDirPicker(PickerHost& host, SettingsStore& store, QWidget* parent = nullptr);

private:
    DirPickerPresenter presenter_;
};

} // namespace kavo::ui
