#include "picker/wildcard.h"

#include <cctype>

namespace kavo {

namespace {

bool sameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

// Iterative matcher that backtracks only to the last "*", so it stays linear in practice.
bool matchesMask(std::string_view name, std::string_view mask) {
    if (mask == "*.*")
        return true;
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || sameLetter(mask[m], name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
    while (true) {
        const std::size_t end = pattern.find(';');
        const std::string_view mask = pattern.substr(0, end);
        if (!mask.empty() && matchesMask(name, mask))
            return true;
        if (end == std::string_view::npos)
            return false;
        pattern.remove_prefix(end + 1);
    }
}

} // namespace kavo
