#include "present/dir_picker_presenter.h"

namespace kavo {

void DirPickerPresenter::set() {
    confirmSet(place(), host(), store_);
    giveBack();
    view().discard();
}

} // namespace kavo
