#include <gtest/gtest.h>

#include "permissions/PermissionDecisions.h"

namespace vesk {
namespace {

struct OriginCase {
    const char* name;
    const char* url;
    std::optional<std::string> origin;
};

class PermissionOriginTest : public ::testing::TestWithParam<OriginCase> {};

TEST_P(PermissionOriginTest, KeysAnAddressBySchemeHostAndPort) {
    EXPECT_EQ(permissionOriginOfURL(GetParam().url), GetParam().origin);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PermissionOriginTest,
    ::testing::Values(
        OriginCase{"PathAndQueryIgnored", "http://127.0.0.1:8080/a?b#c", "http://127.0.0.1:8080"},
        OriginCase{"DefaultHttpPortWritten", "http://example.com/", "http://example.com:80"},
        OriginCase{"ExplicitDefaultPortSame", "https://example.com:443/x",
                   "https://example.com:443"},
        OriginCase{"CaseFolded", "HTTPS://Example.COM/", "https://example.com:443"},
        OriginCase{"UserInfoIgnored", "https://me:pw@example.com/", "https://example.com:443"},
        OriginCase{"BlankHasNone", "about:blank", std::nullopt},
        OriginCase{"LocalFileHasNone", "file:///tmp/page.html", std::nullopt},
        OriginCase{"GarbageHasNone", "not an address", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(PermissionDecisionsTest, SecurityOriginPartsGiveTheSameKeyAsTheAddress) {
    EXPECT_EQ(permissionOrigin("http", "127.0.0.1", 0), permissionOriginOfURL("http://127.0.0.1/"));
    EXPECT_EQ(permissionOrigin("http", "127.0.0.1", 80),
              permissionOriginOfURL("http://127.0.0.1/"));
    EXPECT_EQ(permissionOrigin("https", "a.b", 8443), permissionOriginOfURL("https://a.b:8443/"));
}

TEST(PermissionDecisionsTest, AnswersHoldPerOriginAndKind) {
    PermissionDecisions decisions;
    const std::string site = "http://127.0.0.1:8080";
    EXPECT_EQ(decisions.lookup(site, PermissionKind::Location), std::nullopt);
    decisions.remember(site, PermissionKind::Location, PermissionAnswer::Allow);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::Location), PermissionAnswer::Allow);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::Notifications), std::nullopt);
    EXPECT_EQ(decisions.lookup("http://127.0.0.1:8081", PermissionKind::Location), std::nullopt)
        << "another port is another origin";
    decisions.remember(site, PermissionKind::Location, PermissionAnswer::Deny);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::Location), PermissionAnswer::Deny);
}

TEST(PermissionDecisionsTest, CameraAndMicrophoneTogetherFollowEachOfThem) {
    PermissionDecisions decisions;
    const std::string site = "https://meet.example:443";
    decisions.remember(site, PermissionKind::Camera, PermissionAnswer::Allow);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::CameraAndMicrophone), std::nullopt)
        << "the microphone is still undecided";
    decisions.remember(site, PermissionKind::Microphone, PermissionAnswer::Deny);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::CameraAndMicrophone), PermissionAnswer::Deny);

    decisions.remember(site, PermissionKind::CameraAndMicrophone, PermissionAnswer::Allow);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::Camera), PermissionAnswer::Allow);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::Microphone), PermissionAnswer::Allow);
    EXPECT_EQ(decisions.lookup(site, PermissionKind::CameraAndMicrophone), PermissionAnswer::Allow);
}

} // namespace
} // namespace vesk
