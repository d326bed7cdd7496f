#pragma once

#include <string>

namespace kavo {

// What a picker may ask of the main window that opened it.
class PickerHost {
public:
    virtual ~PickerHost() = default;
    virtual void loadspc(const std::string& path) = 0;
    virtual void setdir(const std::string& directoryText) = 0;
    // Lets the main window accept input again; every way of closing a picker calls it.
    virtual void enableMain() = 0;
};

} // namespace kavo
