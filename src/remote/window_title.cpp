#include "remote/window_title.h"

#include <algorithm>

namespace kavo {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

TitleMatch matchTitle(std::string_view windowTitle, std::string_view wanted) {
    if (windowTitle == wanted)
        return TitleMatch::Exact;
    if (windowTitle.starts_with(wanted))
        return TitleMatch::Prefix;
    constexpr std::string_view kProgramField = "Program:";
    const auto field = windowTitle.rfind(kProgramField);
    if (!wanted.empty() && windowTitle.starts_with("DOSBox") && field != std::string_view::npos &&
        equalIgnoringCase(trimmed(windowTitle.substr(field + kProgramField.size())), wanted))
        return TitleMatch::DosMachine;
    return TitleMatch::NoMatch;
}

} // namespace kavo
