#pragma once

#include "present/picker_presenter.h"
#include "settings/settings_store.h"

namespace kavo {

// "Set SPCPLAY.EXE Dir": "&Set" hands the directory to setdir, keeps the place and closes.
class DirPickerPresenter : public PickerPresenter {
public:
    DirPickerPresenter(PickerView& view, PickerHost& host, DirectorySource& source,
                       SettingsStore& store)
        : PickerPresenter(view, host, source), store_(store) {}

    void open() { restore(storedDirPlace(store_)); }
    void set();

private:
    SettingsStore& store_;
};

} // namespace kavo
