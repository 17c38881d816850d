#include <gtest/gtest.h>

#include "passwords/SaveOffer.h"

namespace vesk {
namespace {

constexpr PageSecurity kHttp = PageSecurity::Insecure;
constexpr PageSecurity kHttps = PageSecurity::Secure;
const std::string kHttpOrigin = "http://h:80";
const std::string kHttpsOrigin = "https://h:443";

struct OfferCase {
    const char* name;
    std::optional<SavedPassword> saved;
    const char* user;
    const char* password;
    PageSecurity typedOver;
    std::string typedOn;
    bool offered;
};

class SaveOfferTest : public ::testing::TestWithParam<OfferCase> {};

TEST_P(SaveOfferTest, OffersOnlyWhatTheVaultLacks) {
    const OfferCase& c = GetParam();
    EXPECT_EQ(shouldOfferToSave(c.saved, c.user, c.password, c.typedOver, c.typedOn), c.offered);
}

INSTANTIATE_TEST_SUITE_P(
    Logins, SaveOfferTest,
    ::testing::Values(
        OfferCase{"NothingSaved", std::nullopt, "me", "pw", kHttp, kHttpOrigin, true},
        OfferCase{"EmptyPasswordNever", std::nullopt, "me", "", kHttps, kHttpsOrigin, false},
        OfferCase{"SamePairOverHttpsSavedOverHttps",
                  SavedPassword{"h", "me", "pw", kHttps, kHttpsOrigin}, "me", "pw", kHttps,
                  kHttpsOrigin, false},
        OfferCase{"SamePairOverHttpSavedOverHttps",
                  SavedPassword{"h", "me", "pw", kHttps, kHttpsOrigin}, "me", "pw", kHttp,
                  kHttpOrigin, false},
        OfferCase{"SamePairOverHttpSavedOverHttp",
                  SavedPassword{"h", "me", "pw", kHttp, kHttpOrigin}, "me", "pw", kHttp,
                  kHttpOrigin, false},
        OfferCase{"HttpPairTypedOverHttpsAgain", SavedPassword{"h", "me", "pw", kHttp, kHttpOrigin},
                  "me", "pw", kHttps, kHttpsOrigin, true},
        OfferCase{"SamePairOnAnotherPort", SavedPassword{"h", "me", "pw", kHttp, kHttpOrigin}, "me",
                  "pw", kHttp, "http://h:8000", true},
        OfferCase{"SamePairSavedWithoutOrigin", SavedPassword{"h", "me", "pw", kHttp, ""}, "me",
                  "pw", kHttp, kHttpOrigin, true},
        OfferCase{"NewPassword", SavedPassword{"h", "me", "old", kHttps, kHttpsOrigin}, "me", "new",
                  kHttps, kHttpsOrigin, true},
        OfferCase{"OtherUser", SavedPassword{"h", "me", "pw", kHttps, kHttpsOrigin}, "you", "pw",
                  kHttps, kHttpsOrigin, true}),
    [](const auto& info) { return info.param.name; });

struct FillCase {
    const char* name;
    std::string savedOn;
    PageSecurity savedOver;
    const char* pageURL;
    PageSecurity pageOver;
    bool offered;
};

class SavedLoginOriginTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(SavedLoginOriginTest, OffersOnlyOnTheOriginItWasTypedOn) {
    const FillCase& c = GetParam();
    const SavedPassword saved{"127.0.0.1", "me", "pw", c.savedOver, c.savedOn};
    EXPECT_EQ(mayOfferSavedLogin(saved, c.pageURL, c.pageOver), c.offered);
}

INSTANTIATE_TEST_SUITE_P(Origins, SavedLoginOriginTest,
                         ::testing::Values(FillCase{"SameOrigin", "http://127.0.0.1:8000", kHttp,
                                                    "http://127.0.0.1:8000/login", kHttp, true},
                                           FillCase{"OtherPort", "http://127.0.0.1:8000", kHttp,
                                                    "http://127.0.0.1:9000/login", kHttp, false},
                                           FillCase{"DefaultPortWrittenOut", "http://127.0.0.1:80",
                                                    kHttp, "http://127.0.0.1/login", kHttp, true},
                                           FillCase{"HttpsDefaultPort", "https://127.0.0.1:443",
                                                    kHttps, "https://127.0.0.1:443/", kHttps, true},
                                           FillCase{"OtherScheme", "http://127.0.0.1:80", kHttp,
                                                    "https://127.0.0.1:80/", kHttps, false},
                                           FillCase{"OtherHost", "http://127.0.0.1:8000", kHttp,
                                                    "http://localhost:8000/", kHttp, false},
                                           FillCase{"CertificateLetThrough",
                                                    "https://127.0.0.1:443", kHttps,
                                                    "https://127.0.0.1/", kHttp, false},
                                           FillCase{"NoOriginRecorded", "", kHttp,
                                                    "http://127.0.0.1:8000/", kHttp, false},
                                           FillCase{"PageWithoutHost", "http://127.0.0.1:80", kHttp,
                                                    "about:blank", kHttp, false}),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace vesk
