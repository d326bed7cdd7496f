#include "ui/placeholder_picker.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace kavo::ui {

PlaceholderPicker::PlaceholderPicker(PickerHost& host, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Tool), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Not available yet."), this));
}

void PlaceholderPicker::closeEvent(QCloseEvent* event) {
    host_.enableMain();
    event->accept();
}

} // namespace kavo::ui
