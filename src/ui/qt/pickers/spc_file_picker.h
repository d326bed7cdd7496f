#pragma once

#include "common/message_sink.h"
#include "present/spc_picker_presenter.h"
#include "settings/settings_store.h"
#include "ui/qt/pickers/picker_window.h"

#include <array>
#include <string>
#include <vector>

class QCheckBox;

namespace kavo::ui {

// The Qt view of "Load SPC File" (Form2).
class SpcFilePicker : public PickerWindow, public SpcPickerView {
    Q_OBJECT

public:
    SpcFilePicker(PickerHost& host, SettingsStore& store, MessageSink& messages,
                  QWidget* parent = nullptr);

    void showLists() override { PickerWindow::showLists(); }
    void beep() override { PickerWindow::beep(); }
    void discard() override { PickerWindow::discard(); }
    void showFiles(const std::vector<std::string>& names) override;
    void showChecks(const std::array<bool, 3>& ticked) override;

protected:
    // A file's tag shows as a tooltip when hovered, or when selected with the keyboard.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void showTag(int row, const QPoint& at);

    QListWidget* file1_;
    std::array<QCheckBox*, 3> checks_{};
    SpcPickerPresenter presenter_;
};

} // namespace kavo::ui
