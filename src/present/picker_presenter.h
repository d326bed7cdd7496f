#pragma once

#include "picker/directory_source.h"
#include "picker/picker_lists.h"
#include "present/picker_actions.h"
#include "present/picker_host.h"

#include <cstddef>

namespace kavo {

class PickerView {
public:
    virtual ~PickerView() = default;
    // Draws the drive and directory lists from the presenter's lists().
    virtual void showLists() = 0;
    // A drive or directory could not be read; the lists stay where they were.
    virtual void beep() = 0;
    // Discards the window; its close handler then calls closed().
    virtual void discard() = 0;
};

// What both pickers decide: the coupled drive and directory lists, and that the main window
// is given back exactly once, however the picker closes.
class PickerPresenter {
public:
    PickerPresenter(const PickerPresenter&) = delete;
    PickerPresenter& operator=(const PickerPresenter&) = delete;
    virtual ~PickerPresenter() = default;

    const PickerLists& lists() const { return lists_; }
    PickerPlace place() const { return {lists_.driveText(), lists_.path()}; }

    void chooseDrive(std::size_t index);
    void enterRow(std::size_t row);
    // Enter in the directory list enters another row; on the current row it is the default
    // button's.
    bool enterKeyEnters(std::size_t row) const { return row != lists_.currentRow(); }
    // The cancel button, Escape and the close box.
    void cancel() { view_.discard(); }
    // Every way of closing ends here.
    void closed() { giveBack(); }

protected:
    PickerPresenter(PickerView& view, PickerHost& host, DirectorySource& source)
        : view_(view), host_(host), lists_(source) {}

    void restore(const PickerPlace& stored);
    void giveBack();
    virtual void listsChanged() {}
    PickerHost& host() { return host_; }
    PickerView& view() { return view_; }

private:
    void changed();

    PickerView& view_;
    PickerHost& host_;
    PickerLists lists_;
    bool givenBack_ = false;
};

} // namespace kavo
