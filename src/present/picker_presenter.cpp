#include "present/picker_presenter.h"

namespace kavo {

void PickerPresenter::chooseDrive(std::size_t index) {
    if (!lists_.selectDrive(index))
        view_.beep();
    changed();
}

void PickerPresenter::enterRow(std::size_t row) {
    const auto& rows = lists_.directoryRows();
    if (row >= rows.size())
        return;
    if (!lists_.setPath(rows[row].path)) {
        view_.beep();
        // Drops what has vanished meanwhile; an unreadable current directory stays as shown.
        lists_.setPath(lists_.path());
    }
    changed();
}

void PickerPresenter::restore(const PickerPlace& stored) {
    lists_.restore(stored.driveText, stored.path);
    changed();
}

void PickerPresenter::giveBack() {
    if (givenBack_)
        return;
    givenBack_ = true;
    host_.enableMain();
}

void PickerPresenter::changed() {
    view_.showLists();
    listsChanged();
}

} // namespace kavo
