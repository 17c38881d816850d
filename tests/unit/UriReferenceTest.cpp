#include "navigation/UriReference.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

struct GrammarCase {
    const char* name;
    std::string text;
    bool matches;
};

class UriReferenceGrammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(UriReferenceGrammar, AcceptsExactlyTheRfc3986Rule) {
    EXPECT_EQ(isUriReference(GetParam().text), GetParam().matches) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, UriReferenceGrammar,
    ::testing::Values(GrammarCase{"Empty", "", true}, GrammarCase{"EmptyPort", "http://h:/", true},
                      GrammarCase{"Ipv6WithPort", "http://[::1]:80/", true},
                      GrammarCase{"Ipv6SevenAroundGap", "http://[1:2:3::5:6:7:8]", true},
                      GrammarCase{"Ipv6EmbeddedIpv4", "http://[::ffff:192.0.2.1]", true},
                      GrammarCase{"QueryAndFragmentMarks", "http://h/a?b/c?d#e/f?g:@", true},
                      GrammarCase{"RootlessPath", "mailto:a@b.c", true},
                      GrammarCase{"NetworkPath", "//host/p", true}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Rejected, UriReferenceGrammar,
    ::testing::Values(GrammarCase{"Caret", "http://a^b.c", false},
                      GrammarCase{"Space", "http://a b", false},
                      GrammarCase{"NonAscii", "http://h/\u00E9", false},
                      GrammarCase{"NulByte", std::string("http://h/\0", 10), false},
                      GrammarCase{"SecondHash", "http://h/#a#b", false},
                      GrammarCase{"BadTriplet", "http://h/%zz", false},
                      GrammarCase{"WordPort", "https://about:blank", false},
                      GrammarCase{"UnclosedLiteral", "http://[::1", false},
                      GrammarCase{"Ipv6SevenWithoutGap", "http://[1:2:3:4:5:6:7]", false},
                      GrammarCase{"Ipv6EightAroundGap", "http://[1:2:3:4::5:6:7:8]", false},
                      GrammarCase{"Ipv6TwoGaps", "http://[1::2::3]", false},
                      GrammarCase{"Ipv6OctetTooBig", "http://[::1.2.3.256]", false},
                      GrammarCase{"Ipv6ZoneId", "http://[fe80::1%25eth0]", false},
                      GrammarCase{"SchemeStartsWithDigit", "1a://x", false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(UriReferenceParts, SplitsEveryComponentAndTellsAbsentFromEmpty) {
    const auto parts = parseUriReference("http://u:p@[::1]:8080/a/b?x=1#top");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->scheme, "http");
    EXPECT_EQ(parts->userinfo, "u:p");
    EXPECT_EQ(parts->host, "[::1]");
    EXPECT_EQ(parts->port, "8080");
    EXPECT_EQ(parts->path, "/a/b");
    EXPECT_EQ(parts->query, "x=1");
    EXPECT_EQ(parts->fragment, "top");

    const auto empty = parseUriReference("http://h:/?#");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->port, "");
    EXPECT_EQ(empty->fragment, "");
    const auto absent = parseUriReference("x.y/");
    ASSERT_TRUE(absent);
    EXPECT_FALSE(absent->hasScheme());
    EXPECT_FALSE(absent->host || absent->port || absent->query || absent->fragment);
}

} // namespace
} // namespace vesk
