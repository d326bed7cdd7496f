#pragma once

#include "remote/keyboard.h"
#include "remote/window_activator.h"

#include <QGroupBox>
#include <string_view>

class QButtonGroup;

namespace kavo::ui {

// The frame of player remote-control buttons. Without a remote (no X display) the buttons
// stay enabled and do nothing.
class ControlPanelFrame : public QGroupBox {
    Q_OBJECT

public:
    ControlPanelFrame(WindowActivator* windows, KeyboardLayout* layout, KeyInjector* injector,
                      QWidget* parent);

    // Command2, the digit buttons; a member's id is its index.
    QButtonGroup* digits() const { return digits_; }

protected:
    // Enter on a focused button clicks it, as Space does; outside a dialog Qt leaves it alone.
    // Like Space, when the key is let go: the player has the keyboard during the click, and must
    // not get the release of a key the user pressed here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void press(std::string_view text);
    void digitClicked(int index);

    WindowActivator* windows_;
    KeyboardLayout* layout_;
    KeyInjector* injector_;
    QButtonGroup* digits_;
    QObject* enterPressedOn_ = nullptr;
};

} // namespace kavo::ui
