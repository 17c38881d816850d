#include "navigation/UriReference.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vesk {
namespace {

enum class Grammar { Matches, Breaks };

struct GrammarCase {
    const char* name;
    std::string text;
    Grammar expected;
};

void PrintTo(const GrammarCase& c, std::ostream* os) {
    *os << c.name;
}

class UriReferenceGrammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(UriReferenceGrammar, AcceptsExactlyTheRfc3986Rule) {
    const GrammarCase& c = GetParam();
    EXPECT_EQ(isUriReference(c.text), c.expected == Grammar::Matches) << c.text;
}

constexpr Grammar kOk = Grammar::Matches;
constexpr Grammar kBad = Grammar::Breaks;

INSTANTIATE_TEST_SUITE_P(
    Accepted, UriReferenceGrammar,
    ::testing::Values(GrammarCase{"Empty", "", kOk}, GrammarCase{"PlainHost", "http://h", kOk},
                      GrammarCase{"EmptyPort", "http://h:/", kOk},
                      GrammarCase{"HugePort", "http://h:99999999999999999999", kOk},
                      GrammarCase{"EmptyHost", "http://:80", kOk},
                      GrammarCase{"FileTripleSlash", "file:///etc/hosts", kOk},
                      GrammarCase{"Userinfo", "http://u:p@h/", kOk},
                      GrammarCase{"PercentInHost", "http://%41b/", kOk},
                      GrammarCase{"Ipv4", "http://1.2.3.4/", kOk},
                      GrammarCase{"Ipv6Loopback", "http://[::1]", kOk},
                      GrammarCase{"Ipv6WithPort", "http://[::1]:80/", kOk},
                      GrammarCase{"Ipv6Full", "http://[1:2:3:4:5:6:7:8]", kOk},
                      GrammarCase{"Ipv6Unspecified", "http://[::]", kOk},
                      GrammarCase{"Ipv6TrailingGap", "http://[1::]", kOk},
                      GrammarCase{"Ipv6SevenAroundGap", "http://[1:2:3::5:6:7:8]", kOk},
                      GrammarCase{"Ipv6EmbeddedIpv4", "http://[::ffff:192.0.2.1]", kOk},
                      GrammarCase{"Ipv6FullWithIpv4", "http://[1:2:3:4:5:6:1.2.3.4]", kOk},
                      GrammarCase{"IpvFuture", "http://[v7.a:b]", kOk},
                      GrammarCase{"IpvFutureUpperV", "http://[VFF.x]", kOk},
                      GrammarCase{"QueryAndFragmentMarks", "http://h/a?b/c?d#e/f?g:@", kOk},
                      GrammarCase{"EmptyFragment", "http://h/#", kOk},
                      GrammarCase{"SchemeOnly", "h:", kOk},
                      GrammarCase{"SchemeMarks", "a+b-c.d:x", kOk},
                      GrammarCase{"RootlessPath", "mailto:a@b.c", kOk},
                      GrammarCase{"AbsolutePath", "/abs/path", kOk},
                      GrammarCase{"RelativeWithColonLater", "a/b:c", kOk},
                      GrammarCase{"ColonAfterDotSegment", "./a:b/c:", kOk},
                      GrammarCase{"NetworkPath", "//host/p", kOk},
                      GrammarCase{"OnlyQuery", "?q", kOk}, GrammarCase{"OnlyFragment", "#f", kOk}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Rejected, UriReferenceGrammar,
    ::testing::Values(
        GrammarCase{"Caret", "http://a^b.c", kBad}, GrammarCase{"Space", "http://a b", kBad},
        GrammarCase{"Pipe", "https://x.y/|", kBad}, GrammarCase{"Tab", "http://h/\t", kBad},
        GrammarCase{"LineBreak", "http://h\n", kBad},
        GrammarCase{"Backslash", "http://h/a\\b", kBad}, GrammarCase{"Braces", "http://h/{}", kBad},
        GrammarCase{"Backtick", "http://h/`", kBad}, GrammarCase{"Quote", "http://h/\"", kBad},
        GrammarCase{"NonAscii", "http://h/\u00E9", kBad},
        GrammarCase{"NulByte", std::string("http://h/\0", 10), kBad},
        GrammarCase{"SecondHash", "http://h/#a#b", kBad},
        GrammarCase{"BadTriplet", "http://h/%zz", kBad},
        GrammarCase{"ShortTriplet", "http://h/%4", kBad}, GrammarCase{"BarePercent", "a%", kBad},
        GrammarCase{"LetterInPort", "http://h:8o/", kBad},
        GrammarCase{"WordPort", "https://about:blank", kBad},
        GrammarCase{"TwoAts", "http://u@v@h", kBad},
        GrammarCase{"BracketInRegName", "http://h]/", kBad},
        GrammarCase{"UnclosedLiteral", "http://[::1", kBad},
        GrammarCase{"JunkAfterLiteral", "http://[::1]x", kBad},
        GrammarCase{"BadHexInIpv6", "http://[::g]", kBad},
        GrammarCase{"Ipv6NinePieces", "http://[1:2:3:4:5:6:7:8:9]", kBad},
        GrammarCase{"Ipv6SevenWithoutGap", "http://[1:2:3:4:5:6:7]", kBad},
        GrammarCase{"Ipv6EightAroundGap", "http://[1:2:3:4::5:6:7:8]", kBad},
        GrammarCase{"Ipv6TwoGaps", "http://[1::2::3]", kBad},
        GrammarCase{"Ipv6TripleColon", "http://[:::]", kBad},
        GrammarCase{"Ipv6LeadingColon", "http://[:1::]", kBad},
        GrammarCase{"Ipv6LongPiece", "http://[12345::]", kBad},
        GrammarCase{"Ipv6OctetTooBig", "http://[::1.2.3.256]", kBad},
        GrammarCase{"Ipv6OctetLeadingZero", "http://[::01.2.3.4]", kBad},
        GrammarCase{"Ipv6Ipv4NotLast", "http://[::1.2.3.4:5]", kBad},
        GrammarCase{"Ipv6ZoneId", "http://[fe80::1%25eth0]", kBad},
        GrammarCase{"IpvFutureNoVersion", "http://[v.x]", kBad},
        GrammarCase{"IpvFutureBadVersion", "http://[vg.x]", kBad},
        GrammarCase{"IpvFutureEmptyTail", "http://[v1.]", kBad},
        GrammarCase{"BareRegNameInBrackets", "http://[h]", kBad},
        GrammarCase{"SchemeStartsWithDigit", "1a://x", kBad},
        GrammarCase{"SchemeWithUnderscore", "a_b:x", kBad}, GrammarCase{"ColonFirst", ":a", kBad}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(UriReferenceParts, SplitsEveryComponent) {
    const auto parts = parseUriReference("http://u:p@[::1]:8080/a/b?x=1#top");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->scheme, "http");
    EXPECT_EQ(parts->userinfo, "u:p");
    EXPECT_EQ(parts->host, "[::1]");
    EXPECT_EQ(parts->port, "8080");
    EXPECT_EQ(parts->path, "/a/b");
    EXPECT_EQ(parts->query, "x=1");
    EXPECT_EQ(parts->fragment, "top");
}

TEST(UriReferenceParts, TellsAbsentFromEmpty) {
    const auto emptyPort = parseUriReference("http://h:/?#");
    ASSERT_TRUE(emptyPort);
    EXPECT_EQ(emptyPort->port, "");
    EXPECT_EQ(emptyPort->query, "");
    EXPECT_EQ(emptyPort->fragment, "");

    const auto noPort = parseUriReference("http://h/");
    ASSERT_TRUE(noPort);
    EXPECT_FALSE(noPort->port);
    EXPECT_FALSE(noPort->userinfo);
    EXPECT_FALSE(noPort->query);
    EXPECT_FALSE(noPort->fragment);
}

TEST(UriReferenceParts, SchemeAndAuthorityOnlyWhenWritten) {
    const auto relative = parseUriReference("x.y/?u=http://z");
    ASSERT_TRUE(relative);
    EXPECT_FALSE(relative->hasScheme());
    EXPECT_FALSE(relative->host);
    EXPECT_EQ(relative->path, "x.y/");
    EXPECT_EQ(relative->query, "u=http://z");

    const auto mail = parseUriReference("mailto:a@b.c");
    ASSERT_TRUE(mail);
    EXPECT_TRUE(mail->hasScheme());
    EXPECT_FALSE(mail->host);
    EXPECT_EQ(mail->path, "a@b.c");
}

} // namespace
} // namespace vesk
