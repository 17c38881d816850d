#include "navigation/UrlNormalization.h"
#include "navigation/HttpsFirst.h"

#include <gio/gio.h>

#include <gtest/gtest.h>

namespace {
using namespace vesk;

std::string search(std::string_view encodedQuery) {
    return std::string(kSearchAddressPrefix) + std::string(encodedQuery);
}

struct Typed {
    const char* name;
    std::optional<std::string_view> input;
    std::optional<std::string> expected;
};

class Normalization : public ::testing::TestWithParam<Typed> {};

TEST_P(Normalization, GivesTheExpectedUrl) {
    EXPECT_EQ(normalizedURLFromInput(GetParam().input), GetParam().expected);
}

constexpr std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Inputs, Normalization,
    ::testing::Values(
        Typed{"Absent", kNone, kNone}, Typed{"Empty", "", kNone},
        Typed{"OnlySpacesTabsAndBreaks", "  \t\r\n \v\f", kNone},
        Typed{"Word", "hello", search("hello")},
        Typed{"Phrase", "hello world", search("hello%20world")},
        Typed{"HostTrimmedNoSlashAdded", "  x.y\n", "https://x.y"},
        Typed{"SpaceBeatsAddress", "x.y/a b", search("x.y/a%20b")},
        Typed{"HttpStaysHttp", "http://x.y", "http://x.y"},
        Typed{"AnySchemeAsTyped", "ftp://h/f", "ftp://h/f"},
        Typed{"HostWithPort", "localhost:8080", "https://localhost:8080"},
        Typed{"BareNameSearched", "localhost", search("localhost")},
        Typed{"AnyDotTriesHost", "3.14", "https://3.14"},
        Typed{"NonNumericPortSearched", "about:blank", search("about:blank")},
        Typed{"PercentEscaped", "50% off", search("50%25%20off")},
        Typed{"InnerTabSearched", "a\tb", search("a%09b")},
        Typed{"OnlyUnicodeSeparators", "\u00A0\u2028\u3000\u0085\u2029\u1680", kNone},
        Typed{"NoBreakAndIdeographicSpaceAtEnds", "\u00A0x.y\u3000", "https://x.y"},
        Typed{"InnerNoBreakSpaceSpoilsHost", "x.y\u00A0z", search("x.y%C2%A0z")},
        Typed{"ZeroWidthSpaceIsNotTrimmed", "\u200Bhello", search("%E2%80%8Bhello")},
        Typed{"AllowedMarksStay", "a -._~!$&'()*+,;=:@/?", search("a%20-._~!$&'()*+,;=:@/?")},
        Typed{"AsciiEscaped", "\"<>[]\\^`{|}#%", search("%22%3C%3E%5B%5D%5C%5E%60%7B%7C%7D%23%25")},
        Typed{"NonAsciiBytesEscaped", "caf\u00E9", search("caf%C3%A9")},
        Typed{"NulByteEscaped", std::string_view("a\0b", 3), search("a%00b")},
        Typed{"HighestCodePointEscaped", "\xF4\x8F\xBF\xBF", search("%F4%8F%BF%BF")},
        Typed{"CaretInHostSearched", "https://a^b.c", search("https://a%5Eb.c")},
        Typed{"Ipv6Literal", "http://[::1]/", "http://[::1]/"},
        Typed{"Ipv6HostGetsHttps", "[::1]:8080", "https://[::1]:8080"},
        Typed{"BareIpv6Searched", "::1", search("::1")},
        Typed{"BadIpv6Searched", "http://[::g]/", search("http://%5B::g%5D/")},
        Typed{"PortBeyond65535Kept", "http://h:70000/", "http://h:70000/"},
        Typed{"HostPortBeyond65535", "x.y:99999", "https://x.y:99999"},
        Typed{"NoSchemeColonTextGetsHttps", "user@x.y", "https://user@x.y"},
        Typed{"ScriptWithoutSlashes", "javascript:alert(1)", search("javascript:alert(1)")},
        Typed{"RelativeReferenceGetsHttps", "x.y/?u=http://z", "https://x.y/?u=http://z"},
        // Text that is not UTF-8 cannot be encoded and no URI holds its bytes.
        Typed{"StrayByte", "\xFF", kNone}, Typed{"StrayByteAfterScheme", "http://x.y/\xFF", kNone},
        Typed{"Surrogate", "\xED\xBF\xBF", kNone}),
    [](const auto& row) { return std::string(row.param.name); });

// Only a host to which the rules put https in front may fall back to http.
struct Origin {
    const char* name;
    std::string_view input;
    std::optional<SchemeOrigin> expected;
};

class TypedOrigin : public ::testing::TestWithParam<Origin> {};

TEST_P(TypedOrigin, TellsWhetherHttpsWasGuessed) {
    const std::optional<TypedAddress> typed = typedAddressFromInput(GetParam().input);
    ASSERT_EQ(typed.has_value(), GetParam().expected.has_value());
    if (typed) {
        EXPECT_EQ(typed->scheme, *GetParam().expected);
        EXPECT_EQ(typed->url, normalizedURLFromInput(GetParam().input));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TypedOrigin,
    ::testing::Values(Origin{"HostWithPort", "127.0.0.1:8000/x.html", SchemeOrigin::Guessed},
                      Origin{"NamedHostWithPort", " localhost:8000", SchemeOrigin::Guessed},
                      Origin{"TypedHttps", "https://127.0.0.1:8000/", SchemeOrigin::Given},
                      Origin{"TypedHttp", "http://x.y", SchemeOrigin::Given},
                      Origin{"Search", "hello", SchemeOrigin::Given},
                      Origin{"SearchWithDot", "x.y/a b", SchemeOrigin::Given},
                      Origin{"Nothing", "  ", std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

struct Failure {
    const char* name;
    GQuark domain;
    int code;
    bool fallsBack;
};

class FallbackErrors : public ::testing::TestWithParam<Failure> {};

TEST_P(FallbackErrors, FollowsOnlyConnectionAndHandshakeFailures) {
    EXPECT_EQ(failureAllowsHttpFallback(GetParam().domain, GetParam().code), GetParam().fallsBack);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FallbackErrors,
    ::testing::Values(Failure{"Refused", G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED, true},
                      Failure{"ClosedInHandshake", G_IO_ERROR, G_IO_ERROR_CONNECTION_CLOSED, true},
                      Failure{"TimedOut", G_IO_ERROR, G_IO_ERROR_TIMED_OUT, true},
                      Failure{"NotTls", G_TLS_ERROR, G_TLS_ERROR_NOT_TLS, true},
                      Failure{"HandshakeFailed", G_TLS_ERROR, G_TLS_ERROR_HANDSHAKE, true},
                      Failure{"Cancelled", G_IO_ERROR, G_IO_ERROR_CANCELLED, false},
                      Failure{"UnknownHost", G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND, false},
                      Failure{"NoNetwork", G_IO_ERROR, G_IO_ERROR_NETWORK_UNREACHABLE, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(HttpFallbackAddress, SwapsHttpsForHttpOnly) {
    EXPECT_EQ(httpFallbackURL("https://127.0.0.1:8000/x.html?q=https://a"),
              "http://127.0.0.1:8000/x.html?q=https://a");
    EXPECT_EQ(httpFallbackURL("http://x.y"), std::nullopt);
    EXPECT_EQ(httpFallbackURL("ftp://x.y"), std::nullopt);
}

} // namespace
