#include "picker/check_filter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kavo {
namespace {

using Box = CheckFilter::Box;

struct State {
    int spc, zs, all;
    std::string pattern;
};

State stateOf(const CheckFilter& filter) {
    return {filter.value(Box::Spc), filter.value(Box::Zs), filter.value(Box::All),
            filter.pattern()};
}

const State kSpcOnly{1, 0, 0, "*.SPC"};
const State kZsOnly{0, 1, 0, "*.ZS*"};
const State kBoth{1, 1, 0, "*.SPC;*.ZS*"};
const State kAllTicked{0, 0, 1, "*.*"};
const State kNoneTicked{0, 0, 0, "*.*"};

struct Transition {
    const char* name;
    std::vector<Box> reach; // clicks after opening that reach the starting state
    State from;
    Box click;
    State to;
};

class CheckFilterTransitions : public ::testing::TestWithParam<Transition> {};

TEST_P(CheckFilterTransitions, OneClickLeadsToTheListedState) {
    const Transition& t = GetParam();
    CheckFilter filter;
    filter.open();
    for (Box box : t.reach)
        filter.click(box);
    const State from = stateOf(filter);
    ASSERT_EQ(std::tie(from.spc, from.zs, from.all, from.pattern),
              std::tie(t.from.spc, t.from.zs, t.from.all, t.from.pattern));
    filter.click(t.click);
    const State to = stateOf(filter);
    EXPECT_EQ(std::tie(to.spc, to.zs, to.all, to.pattern),
              std::tie(t.to.spc, t.to.zs, t.to.all, t.to.pattern));
}

// Every state a click can leave, times every box.
INSTANTIATE_TEST_SUITE_P(
    AllStates, CheckFilterTransitions,
    ::testing::Values(
        Transition{"SpcOnly_ClearSpc", {}, kSpcOnly, Box::Spc, kAllTicked},
        Transition{"SpcOnly_TickZs", {}, kSpcOnly, Box::Zs, kBoth},
        Transition{"SpcOnly_TickAll", {}, kSpcOnly, Box::All, kAllTicked},
        Transition{"Both_ClearSpc", {Box::Zs}, kBoth, Box::Spc, kZsOnly},
        Transition{"Both_ClearZs", {Box::Zs}, kBoth, Box::Zs, kSpcOnly},
        Transition{"Both_TickAll", {Box::Zs}, kBoth, Box::All, kAllTicked},
        Transition{"ZsOnly_TickSpc", {Box::Zs, Box::Spc}, kZsOnly, Box::Spc, kBoth},
        Transition{"ZsOnly_ClearZs", {Box::Zs, Box::Spc}, kZsOnly, Box::Zs, kAllTicked},
        Transition{"ZsOnly_TickAll", {Box::Zs, Box::Spc}, kZsOnly, Box::All, kAllTicked},
        Transition{"AllTicked_TickSpc", {Box::Spc}, kAllTicked, Box::Spc, kSpcOnly},
        Transition{"AllTicked_TickZs", {Box::Spc}, kAllTicked, Box::Zs, kZsOnly},
        Transition{"AllTicked_ClearAll", {Box::Spc}, kAllTicked, Box::All, kNoneTicked},
        Transition{"NoneTicked_TickSpc", {Box::Spc, Box::All}, kNoneTicked, Box::Spc, kSpcOnly},
        Transition{"NoneTicked_TickZs", {Box::Spc, Box::All}, kNoneTicked, Box::Zs, kZsOnly},
        Transition{"NoneTicked_TickAll", {Box::Spc, Box::All}, kNoneTicked, Box::All, kAllTicked}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckFilter, OpensWithSpcTickedWhateverCameBefore) {
    CheckFilter fresh;
    fresh.open();
    EXPECT_EQ(stateOf(fresh).pattern, "*.SPC");
    EXPECT_EQ(fresh.value(Box::Spc), 1);

    CheckFilter used;
    used.open();
    used.click(Box::Zs);
    used.click(Box::All);
    used.click(Box::All);
    used.open();
    const State s = stateOf(used);
    EXPECT_EQ(std::tie(s.spc, s.zs, s.all, s.pattern),
              std::tie(kSpcOnly.spc, kSpcOnly.zs, kSpcOnly.all, kSpcOnly.pattern));
}

TEST(CheckFilter, SettingTheHeldValueTriggersNothing) {
    CheckFilter filter;
    filter.open();
    filter.click(Box::Spc);
    filter.click(Box::All); // all three clear
    filter.set(Box::Spc, 0);
    filter.set(Box::Zs, 0);
    filter.set(Box::All, 0);
    EXPECT_EQ(filter.value(Box::All), 0) << "an unchanged type box must not run updatechecks";
    EXPECT_EQ(filter.pattern(), "*.*");
}

TEST(CheckFilter, UpdatechecksWithBothTypeBoxesClearTicksAllFiles) {
    CheckFilter filter;
    filter.open();
    filter.click(Box::Spc);
    filter.click(Box::All);
    filter.updatechecks();
    EXPECT_EQ(filter.value(Box::All), 1);
    EXPECT_EQ(filter.pattern(), "*.*");
}

} // namespace
} // namespace kavo
