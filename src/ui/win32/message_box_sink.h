#pragma once

#include "common/message_sink.h"

namespace kavo::win32ui {

// The system's message boxes, owned by the active window of this program: the window that
// raised them.
class MessageBoxSink : public MessageSink {
public:
    void show(std::string_view text, std::string_view title, MessageIcon icon) override;
};

} // namespace kavo::win32ui
