#pragma once

#include "common/message_sink.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace kavo::ui {

// The core's messages as modal message boxes with one OK button.
class QtMessageSink : public MessageSink {
public:
    // The owner of messages raised while none of the program's windows is active.
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(std::string_view text, std::string_view title, MessageIcon icon) override;

    // The core breaks lines with a lone "\r", which a Qt label would not break at.
    static QString displayText(std::string_view text);

private:
    QWidget* owner() const;

    QPointer<QWidget> parent_;
};

} // namespace kavo::ui
