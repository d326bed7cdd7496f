#include "ui/qt/control_panel_frame.h"

#include "remote/control_panel.h"
#include "ui/qt/twips.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <limits>
#include <stdexcept>

namespace kavo::ui {

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ControlPanelFrame::ControlPanelFrame(WindowActivator* windows, KeyboardLayout* layout,
                                     KeyInjector* injector, QWidget* parent)
    : QGroupBox(qtText(kPanelCaption), parent), windows_(windows), layout_(layout),
      injector_(injector), digits_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("Frame1"));
    digits_->setObjectName(QStringLiteral("Command2"));
    for (const PanelButton& entry : kPanelButtons) {
        auto* button = new QPushButton(qtText(entry.caption), this);
        button->setObjectName(qtText(entry.name));
        button->setGeometry(twipRect(entry.left, entry.top, entry.width, entry.height));
        button->setAutoDefault(false);
        button->installEventFilter(this);
        if (entry.index >= 0) {
            digits_->addButton(button, entry.index);
        } else {
            const std::string_view text = entry.text;
            connect(button, &QPushButton::clicked, this, [this, text] { press(text); });
        }
    }
    connect(digits_, &QButtonGroup::idClicked, this, &ControlPanelFrame::digitClicked);
}

void ControlPanelFrame::digitClicked(int index) {
    if (index < std::numeric_limits<std::int16_t>::min() ||
        index > std::numeric_limits<std::int16_t>::max())
        return;
    try {
        press(digitButtonText(static_cast<std::int16_t>(index)));
    } catch (const std::overflow_error&) {
        // A failed click ends quietly, like every other panel failure.
    }
}

bool ControlPanelFrame::eventFilter(QObject* watched, QEvent* event) {
    const bool pressed = event->type() == QEvent::KeyPress;
    if (pressed || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (button && modifiers == Qt::NoModifier &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            // A held key repeats as press and release pairs: each release clicks once.
            if (pressed)
                enterPressedOn_ = button;
            else if (enterPressedOn_ == button)
                button->click();
            if (!pressed && !key->isAutoRepeat())
                enterPressedOn_ = nullptr;
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void ControlPanelFrame::press(std::string_view text) {
    if (windows_ && layout_ && injector_)
        pressInPlayer(text, *windows_, *layout_, *injector_);
}

} // namespace kavo::ui
