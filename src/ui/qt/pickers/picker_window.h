#pragma once

#include "present/picker_actions.h"
#include "picker/picker_lists.h"
#include "picker/std_directory_source.h"
#include "present/picker_host.h"

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;

namespace kavo::ui {

// What both pickers share: a fixed tool window with a drive list (Drive1) and a directory list
// (Dir1) over PickerLists, that gives the main window back exactly once however it closes and
// is deleted when closed. It is a window of its own even when given a parent, since a child
// would be disabled along with the main window.
class PickerWindow : public QWidget {
    Q_OBJECT

public:
    PickerWindow(const PickerWindow&) = delete;
    PickerWindow& operator=(const PickerWindow&) = delete;
    ~PickerWindow() override;

    // Dir1's path and Drive1's drive text, as they would be stored.
    const std::string& directoryPath() const { return lists_.path(); }
    std::string driveText() const { return lists_.driveText(); }

protected:
    // Sizes in twips; the lists are at the left, the drive list above the directory list.
    PickerWindow(PickerHost& host, const QString& title, QSize clientTwips, int listsWidthTwips,
                 int dirHeightTwips, QWidget* parent);

    void restorePlace(const PickerPlace& place);
    PickerPlace currentPlace() const;
    // The largest pixel size of the window's narrow sans serif at which every one of widgets
    // shows its whole caption.
    void fitFont(const QList<QWidget*>& widgets);
    // Enter where no control takes it; Escape closes as the cancel button does.
    void setButtons(QPushButton* defaultButton, QPushButton* cancelButton);

    QComboBox* driveList() const { return drive1_; }
    QListWidget* directoryList() const { return dir1_; }
    PickerHost& host() const { return host_; }
    std::vector<std::string> currentFiles(std::string_view pattern) const {
        return lists_.files(pattern);
    }

    virtual void directoryChanged() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseDrive(int index);
    void enterRow(int row);
    void fillLists();
    void showLists();

    PickerHost& host_;
    StdDirectorySource source_;
    PickerLists lists_;
    QComboBox* drive1_;
    QListWidget* dir1_;
    QPushButton* default_ = nullptr;
    bool mainEnabled_ = false;
};

} // namespace kavo::ui
