#pragma once

#include <span>
#include <string>

namespace kavo {

// The platform's long-to-short (8.3) path conversion. On success it writes the short path and a
// NUL character at the start of buffer and leaves the rest of the buffer as it was; on failure
// it writes nothing.
class ShortPathApi {
public:
    virtual ~ShortPathApi() = default;
    virtual void getShortPathName(const std::string& longPath, std::span<char> buffer) = 0;
};

} // namespace kavo
