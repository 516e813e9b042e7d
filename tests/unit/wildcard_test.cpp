#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <string>

struct WildcardCase {
    const char *pattern;
    const char *name;
    bool matches;
};

void PrintTo(const WildcardCase &c, std::ostream *os)
{
    *os << c.pattern << " ~ " << c.name;
}

class Wildcard : public testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcard, MatchesLongNamesOnly)
{
    const WildcardCase &c = GetParam();
    EXPECT_EQ(wildcard_match(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wildcard,
    testing::Values(WildcardCase{"*.h", "x.h", true}, WildcardCase{"*.h", "X.H", true},
                    WildcardCase{"*.h", ".h", true},  // a leading dot is an ordinary character
                    WildcardCase{"*.h", ".hidden.h", true}, WildcardCase{"*.h", "x.hpp", false},
                    WildcardCase{"*.h", "x.h.bak", false}, WildcardCase{"*.h", "xh", false},
                    WildcardCase{"*.h", "a.b.h", true}, WildcardCase{"*.lib", "Z.LiB", true},
                    WildcardCase{"*.lib", "foo.library", false},  // its 8.3 alias would match
                    WildcardCase{"*.lib", "lib", false}, WildcardCase{"mandelf.h", "MANDELF.H", true},
                    WildcardCase{"mandelf.h", "mandelf.hh", false},
                    WildcardCase{"mandelf.h", "xmandelf.h", false}, WildcardCase{"?.h", "a.h", true},
                    WildcardCase{"?.h", ".h", false}, WildcardCase{"?.h", "ab.h", false},
                    WildcardCase{"*", "", true}, WildcardCase{"", "", true},
                    WildcardCase{"", "a", false}, WildcardCase{"a*b*c", "aXbYbZc", true},
                    WildcardCase{"a*b*c", "aXbYbZ", false}, WildcardCase{"**.h", "x.h", true},
                    WildcardCase{"*.h", "\xe9t\xe9.h", true},  // bytes above ASCII compare as they are
                    WildcardCase{"\xc9.h", "\xe9.h", false}));

TEST(Wildcard, HostilePatternEndsQuickly)
{
    // Many stars against a long near-miss: bounded work, no recursion.
    std::string pattern(200, '*');
    pattern += "b";
    std::string name(5000, 'a');
    EXPECT_FALSE(wildcard_match(pattern.c_str(), name.c_str()));
    name += 'b';
    EXPECT_TRUE(wildcard_match(pattern.c_str(), name.c_str()));
}
