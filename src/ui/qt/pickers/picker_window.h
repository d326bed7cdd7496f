#pragma once

#include "picker/std_directory_source.h"
#include "present/picker_presenter.h"

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;

namespace kavo::ui {

// What both pickers' views share: a fixed tool window with a drive list (Drive1) and a
// directory list (Dir1), deleted when closed. It is a window of its own even when given a
// parent, since a child would be disabled along with the main window.
class PickerWindow : public QWidget, public PickerView {
    Q_OBJECT

public:
    PickerWindow(const PickerWindow&) = delete;
    PickerWindow& operator=(const PickerWindow&) = delete;
    ~PickerWindow() override;

    // Dir1's path and Drive1's drive text, as they would be stored.
    const std::string& directoryPath() const { return presenter_->lists().path(); }
    std::string driveText() const { return presenter_->lists().driveText(); }

    void showLists() override;
    void beep() override;
    void discard() override { close(); }

protected:
    // Sizes in twips; the lists are at the left, the drive list above the directory list.
    PickerWindow(const QString& title, QSize clientTwips, int listsWidthTwips, int dirHeightTwips,
                 QWidget* parent);

    // The subclass's presenter, before it opens.
    void attach(PickerPresenter& presenter);
    DirectorySource& source() { return source_; }
    // The largest pixel size of the window's narrow sans serif at which every one of widgets
    // shows its whole caption.
    void fitFont(const QList<QWidget*>& widgets);
    // Enter where no control takes it; Escape closes as the cancel button does.
    void setButtons(QPushButton* defaultButton, QPushButton* cancelButton);

    QComboBox* driveList() const { return drive1_; }
    QListWidget* directoryList() const { return dir1_; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StdDirectorySource source_;
    PickerPresenter* presenter_ = nullptr;
    QComboBox* drive1_;
    QListWidget* dir1_;
    QPushButton* default_ = nullptr;
};

} // namespace kavo::ui
