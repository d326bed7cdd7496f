#pragma once

#include <array>
#include <string>

namespace kavo {

inline constexpr std::string_view kSpcPattern = "*.SPC";
inline constexpr std::string_view kZsPattern = "*.ZS*";
inline constexpr std::string_view kBothPattern = "*.SPC;*.ZS*";
inline constexpr std::string_view kAllFilesPattern = "*.*";

// The three filter boxes of the SPC file picker and the file pattern they yield. Setting a box
// to a new value runs its reaction at once, as a click handler would, and reactions may set
// other boxes in turn; setting a box to the value it holds does nothing.
class CheckFilter {
public:
    enum Box { Spc = 0, Zs = 1, All = 2 };

    // The opening state: "(*.SPC)" ticked, the others clear.
    void open();
    // A user's click flips the box.
    void click(Box box) { set(box, value(box) == 1 ? 0 : 1); }
    void set(Box box, int value);
    void updatechecks();

    int value(Box box) const { return values_[box]; }
    const std::string& pattern() const { return pattern_; }

private:
    void allFilesRule();

    std::array<int, 3> values_{0, 0, 0};
    std::string pattern_{kAllFilesPattern};
};

} // namespace kavo
