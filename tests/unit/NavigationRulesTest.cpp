#include "navigation/NavigationRules.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;

struct HostCase {
    const char* name;
    std::optional<std::string> address, host;
};

class HostOf : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostOf, GivesTheHostAsSpelled) {
    EXPECT_EQ(hostOf(GetParam().address), GetParam().host);
}

const HostCase kHosts[] = {
    {"PortPathAndQueryDropped", "https://example.org:8443/a/b?q=1", "example.org"},
    {"UserinfoDropped", "https://user:pw@example.org/", "example.org"},
    {"Ipv6LiteralWithoutBrackets", "http://[::1]:8080/", "::1"},
    {"AsciiIdnKept", "http://xn--bcher-kva.example/", "xn--bcher-kva.example"},
    {"UnicodeHostKept", "http://b\u00FCcher.example/", "b\u00FCcher.example"},
    {"FileWithoutHost", "file:///etc/hosts", std::nullopt},
    {"AboutBlank", "about:blank", std::nullopt},
    {"Absent", std::nullopt, std::nullopt},
    {"Garbage", "not a url", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Addresses, HostOf, ::testing::ValuesIn(kHosts),
                         [](const auto& row) { return std::string(row.param.name); });

struct SiteCase {
    const char* name;
    const char* host;
    const char* site;
    bool belongs;
};

class HostOfSite : public ::testing::TestWithParam<SiteCase> {};

TEST_P(HostOfSite, OnlyTheDomainAndNamesBelowIt) {
    EXPECT_EQ(isHostOfSite(GetParam().host, GetParam().site), GetParam().belongs);
}

const SiteCase kSites[] = {
    {"Same", "example.org", "example.org", true},
    {"Below", "www.example.org", "example.org", true},
    {"DeepBelow", "a.b.example.org", "example.org", true},
    {"OnlyASuffixOfTheName", "badexample.org", "example.org", false},
    {"Above", "example.org", "www.example.org", false},
    {"Address", "127.0.0.1", "127.0.0.1", true},
    {"AnotherAddressEndingAlike", "10.0.0.1", "0.0.1", false},
    {"NoSite", "example.org", "", false},
};

INSTANTIATE_TEST_SUITE_P(Sites, HostOfSite, ::testing::ValuesIn(kSites),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SourceAddress, IsTheViewOfAPageAndNotThePage) {
    const std::string source = sourceAddressFor("http://127.0.0.1:80/a");
    EXPECT_TRUE(isSourceAddress(source));
    EXPECT_FALSE(isSourceAddress("http://127.0.0.1:80/view-source:a"));
    EXPECT_EQ(hostOf(source), std::nullopt) << "no host's zoom or data goes with it";
}

TEST(Zoom, OutStopsAtTheFloorAndInStartsFromIt) {
    EXPECT_DOUBLE_EQ(zoomedOut(0.25), 0.2);
    EXPECT_DOUBLE_EQ(zoomedIn(0.2), 0.3);
}

} // namespace
