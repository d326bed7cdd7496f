#include "picker/wildcard.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

struct MatchCase {
    const char* name;
    const char* pattern;
    bool matches;
};

class Wildcard : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Wildcard, Matches) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(matchesPattern(c.name, c.pattern), c.matches)
        << '"' << c.name << "\" against \"" << c.pattern << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, Wildcard,
    ::testing::Values(MatchCase{"SONG.SPC", "*.SPC", true}, MatchCase{"song.spc", "*.SPC", true},
                      MatchCase{"Song.Spc", "*.SPC", true}, MatchCase{"song.spcx", "*.SPC", false},
                      MatchCase{"song.sp", "*.SPC", false}, MatchCase{"songspc", "*.SPC", false},
                      MatchCase{"a.b.spc", "*.SPC", true}, MatchCase{".spc", "*.SPC", true},
                      MatchCase{"tune.zs1", "*.ZS*", true}, MatchCase{"tune.ZS", "*.ZS*", true},
                      MatchCase{"tune.zst2", "*.ZS*", true}, MatchCase{"tune.z", "*.ZS*", false},
                      MatchCase{"tune.zs1", "*.SPC;*.ZS*", true},
                      MatchCase{"song.spc", "*.SPC;*.ZS*", true},
                      MatchCase{"readme.txt", "*.SPC;*.ZS*", false},
                      MatchCase{"readme.txt", "*.*", true}, MatchCase{"README", "*.*", true},
                      MatchCase{"a", "?", true}, MatchCase{"ab", "?", false},
                      MatchCase{"abc", "a?c", true}, MatchCase{"aXbXc", "a*b*c", true},
                      MatchCase{"aXbX", "a*b*c", false}, MatchCase{"x", "", false},
                      MatchCase{"x", ";;", false}, MatchCase{"song.spc", ";*.spc", true}));

TEST(Wildcard, ManyStarsStayFast) {
    const std::string name(5000, 'a');
    EXPECT_FALSE(matchesPattern(name, "*a*a*a*a*a*a*a*a*a*b"));
}

} // namespace
} // namespace kavo
