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

TEST(Zoom, OutStopsAtTheFloorAndInStartsFromIt) {
    EXPECT_DOUBLE_EQ(zoomedOut(0.25), 0.2);
    EXPECT_DOUBLE_EQ(zoomedIn(0.2), 0.3);
}

} // namespace
