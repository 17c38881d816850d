#include "navigation/UrlNormalization.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vesk {
namespace {

std::string searched(std::string_view encodedQuery) {
    return std::string(kSearchAddressPrefix) + std::string(encodedQuery);
}

struct NormalizationCase {
    const char* name;
    std::optional<std::string> input;
    std::optional<std::string> expected;
};

// Rows print by name: their raw bytes are often invisible.
void PrintTo(const NormalizationCase& c, std::ostream* os) {
    *os << c.name;
}

class Normalization : public ::testing::TestWithParam<NormalizationCase> {};

TEST_P(Normalization, GivesTheExpectedUrl) {
    const NormalizationCase& c = GetParam();
    const std::optional<std::string> url =
        c.input ? normalizedURLFromInput(std::string_view(*c.input)) : normalizedURLFromInput({});
    EXPECT_EQ(url, c.expected);
}

const std::optional<std::string> kNothing;

INSTANTIATE_TEST_SUITE_P(
    DescribedExamples, Normalization,
    ::testing::Values(NormalizationCase{"Absent", std::nullopt, kNothing},
                      NormalizationCase{"Empty", "", kNothing},
                      NormalizationCase{"OnlySpacesTabsAndBreaks", "  \t\r\n \v\f", kNothing},
                      NormalizationCase{"Word", "hello", searched("hello")},
                      NormalizationCase{"Phrase", "hello world", searched("hello%20world")},
                      NormalizationCase{"HostTrimmedNoSlashAdded", "  x.y\n", "https://x.y"},
                      NormalizationCase{"SpaceBeatsAddress", "x.y/a b", searched("x.y/a%20b")},
                      NormalizationCase{"HttpStaysHttp", "http://x.y", "http://x.y"},
                      NormalizationCase{"AnySchemeAsTyped", "ftp://h/f", "ftp://h/f"},
                      NormalizationCase{"HostWithPort", "localhost:8080", "https://localhost:8080"},
                      NormalizationCase{"BareNameSearched", "localhost", searched("localhost")},
                      NormalizationCase{"AnyDotTriesHost", "3.14", "https://3.14"},
                      NormalizationCase{"NonNumericPortSearched", "about:blank",
                                        searched("about:blank")},
                      NormalizationCase{"PlusAndEqualsKept", "1+1 = 2", searched("1+1%20=%202")},
                      NormalizationCase{"AmpersandKept", "a&b c", searched("a&b%20c")},
                      NormalizationCase{"PercentEscaped", "50% off", searched("50%25%20off")},
                      NormalizationCase{"InnerTabSearched", "a\tb", searched("a%09b")}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    WhiteSpace, Normalization,
    ::testing::Values(
        NormalizationCase{"OnlyUnicodeSeparators", "\u00A0\u2028\u3000\u0085\u2029\u1680",
                          kNothing},
        NormalizationCase{"NoBreakAndIdeographicSpaceAtEnds", "\u00A0x.y\u3000", "https://x.y"},
        NormalizationCase{"InnerNoBreakSpaceKept", "a\u00A0b", searched("a%C2%A0b")},
        NormalizationCase{"InnerNoBreakSpaceSpoilsHost", "x.y\u00A0z", searched("x.y%C2%A0z")},
        NormalizationCase{"InnerLineBreakSpoilsHost", "a\nb.c", searched("a%0Ab.c")},
        NormalizationCase{"ZeroWidthSpaceIsNotTrimmed", "\u200Bhello", searched("%E2%80%8Bhello")}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Encoding, Normalization,
    ::testing::Values(
        NormalizationCase{"AllowedMarksStay", "a -._~!$&'()*+,;=:@/?",
                          searched("a%20-._~!$&'()*+,;=:@/?")},
        NormalizationCase{"OtherAsciiEscapedUpperCase", "a \"<>[]\\^`{|}#%",
                          searched("a%20%22%3C%3E%5B%5D%5C%5E%60%7B%7C%7D%23%25")},
        NormalizationCase{"NonAsciiBytesEscaped", "caf\u00E9", searched("caf%C3%A9")},
        NormalizationCase{"AstralBytesEscaped", "\U0001F600", searched("%F0%9F%98%80")},
        NormalizationCase{"NulByteEscaped", std::string("a\0b", 3), searched("a%00b")}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Addresses, Normalization,
    ::testing::Values(
        NormalizationCase{"CaretInHostSearched", "https://a^b.c", searched("https://a%5Eb.c")},
        NormalizationCase{"SecondHashSearched", "https://x.y/#a#b",
                          searched("https://x.y/%23a%23b")},
        NormalizationCase{"BadPercentTripletSearched", "http://x.y/a%zz",
                          searched("http://x.y/a%25zz")},
        NormalizationCase{"Ipv6Literal", "http://[::1]/", "http://[::1]/"},
        NormalizationCase{"Ipv6HostGetsHttps", "[::1]:8080", "https://[::1]:8080"},
        NormalizationCase{"BareIpv6Searched", "::1", searched("::1")},
        NormalizationCase{"BadIpv6Searched", "http://[::g]/", searched("http://%5B::g%5D/")},
        NormalizationCase{"PortBeyond65535Kept", "http://h:70000/", "http://h:70000/"},
        NormalizationCase{"HostPortBeyond65535", "x.y:99999", "https://x.y:99999"},
        NormalizationCase{"NoSchemeColonTextGetsHttps", "user@x.y", "https://user@x.y"},
        NormalizationCase{"ScriptWithoutSlashesSearched", "javascript:alert(1)",
                          searched("javascript:alert(1)")},
        NormalizationCase{"RelativeReferenceGetsHttps", "x.y/?u=http://z",
                          "https://x.y/?u=http://z"}),
    [](const auto& row) { return std::string(row.param.name); });

// Text that is not UTF-8 cannot be encoded and no URI holds its bytes: it gives nothing.
INSTANTIATE_TEST_SUITE_P(
    InvalidUtf8, Normalization,
    ::testing::Values(NormalizationCase{"StrayByte", "\xFF", kNothing},
                      NormalizationCase{"WithScheme", "http://x.y/\xFF", kNothing},
                      NormalizationCase{"CutOffSequence", "caf\xC3", kNothing},
                      NormalizationCase{"BeyondUnicode", "\xF4\x90\x80\x80", kNothing}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Encoding, GivesNothingOnlyForTextThatIsNotUtf8) {
    EXPECT_EQ(percentEncodedForQuery(""), std::optional<std::string>(""));
    EXPECT_EQ(percentEncodedForQuery("\xED\xBF\xBF"), std::nullopt);
    EXPECT_EQ(percentEncodedForQuery("\xF4\x8F\xBF\xBF"), "%F4%8F%BF%BF");
}

} // namespace
} // namespace vesk
