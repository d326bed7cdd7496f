#include "launch/dosname.h"

#include <algorithm>
#include <string>

namespace kavo {

std::string dosname(FileSystem& files, ShortPathApi& shortPaths, const std::string& path) {
    if (files.findOrdinaryFile(path).empty())
        return {};
    std::string buffer(kShortPathBufferSize, ' ');
    shortPaths.getShortPathName(path, buffer);
    // The short path ends at the NUL the call writes. Without one the call failed and the
    // buffer holds only blanks: there is no short form to give.
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    if (end == buffer.end())
        return {};
    return std::string(buffer.begin(), end);
}

} // namespace kavo
