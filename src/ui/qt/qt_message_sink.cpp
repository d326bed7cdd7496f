#include "ui/qt/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace kavo::ui {

QString QtMessageSink::displayText(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// The window that raised the message is the active one of ours: a picker, or the main window.
// A message that arrives while another program is active belongs to the main window.
QWidget* QtMessageSink::owner() const {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? active : parent_.data();
}

void QtMessageSink::show(std::string_view text, std::string_view title, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                    displayText(text), QMessageBox::Ok, owner());
    // Paths in messages must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace kavo::ui
