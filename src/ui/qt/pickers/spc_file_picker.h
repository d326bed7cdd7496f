#pragma once

#include "common/message_sink.h"
#include "picker/check_filter.h"
#include "settings/settings_store.h"
#include "ui/qt/pickers/picker_window.h"

#include <array>
#include <string>
#include <vector>

class QCheckBox;

namespace kavo::ui {

// "Load SPC File" (Form2): chooses the SPC file, filtered by type, and hands its full path to
// the main window's loadspc.
class SpcFilePicker : public PickerWindow {
    Q_OBJECT

public:
    SpcFilePicker(PickerHost& host, SettingsStore& store, MessageSink& messages,
                  QWidget* parent = nullptr);

    void updatechecks();

protected:
    void directoryChanged() override;

private:
    void clickCheck(CheckFilter::Box box);
    void showChecks();
    void load();

    SettingsStore& store_;
    MessageSink& messages_;
    CheckFilter filter_;
    QListWidget* file1_;
    std::array<QCheckBox*, 3> checks_{};
    std::string shownPattern_;
    // The names File1 shows, byte for byte, by row.
    std::vector<std::string> shownFiles_;
};

} // namespace kavo::ui
