#include "picker/check_filter.h"

namespace kavo {

void CheckFilter::open() {
    set(Spc, 1);
    set(Zs, 0);
    set(All, 0);
    updatechecks();
}

void CheckFilter::set(Box box, int value) {
    if (values_[box] == value)
        return;
    values_[box] = value;
    if (box == All) {
        if (value == 1)
            allFilesRule();
    } else {
        updatechecks();
    }
}

void CheckFilter::updatechecks() {
    const int spc = values_[Spc];
    const int zs = values_[Zs];
    if (spc == 1 && zs == 1) {
        set(All, 0);
        pattern_ = kBothPattern;
    } else if (spc == 0 && zs == 1) {
        set(All, 0);
        pattern_ = kZsPattern;
    } else if (spc == 1 && zs == 0) {
        set(All, 0);
        pattern_ = kSpcPattern;
    } else if (spc == 0 && zs == 0) {
        set(All, 1);
    }
}

void CheckFilter::allFilesRule() {
    set(Spc, 0);
    set(Zs, 0);
    pattern_ = kAllFilesPattern;
}

} // namespace kavo
