#pragma once

#include "ui/picker_host.h"

#include <QWidget>

namespace kavo::ui {

// Stands in for a picker that is not built yet: an empty window that hands the main window
// back when it is closed.
class PlaceholderPicker : public QWidget {
    Q_OBJECT

public:
    PlaceholderPicker(PickerHost& host, const QString& title, QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PickerHost& host_;
};

} // namespace kavo::ui
