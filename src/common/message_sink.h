#pragma once

#include <string_view>

namespace kavo {

enum class MessageIcon { Error, Information };

// Modal message box with one OK button. The core reports through this so that it never
// depends on a GUI and tests never block. Line breaks in texts are single "\r" characters.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(std::string_view text, std::string_view title, MessageIcon icon) = 0;
};

inline constexpr std::string_view kErrorTitle = "Error";

} // namespace kavo
