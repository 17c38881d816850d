#include <gtest/gtest.h>

#include "passwords/SaveOffer.h"

namespace vesk {
namespace {

constexpr PageSecurity kHttp = PageSecurity::Insecure;
constexpr PageSecurity kHttps = PageSecurity::Secure;

struct OfferCase {
    const char* name;
    std::optional<SavedPassword> saved;
    const char* user;
    const char* password;
    PageSecurity typedOver;
    bool offered;
};

class SaveOfferTest : public ::testing::TestWithParam<OfferCase> {};

TEST_P(SaveOfferTest, OffersOnlyWhatTheVaultLacks) {
    const OfferCase& c = GetParam();
    EXPECT_EQ(shouldOfferToSave(c.saved, c.user, c.password, c.typedOver), c.offered);
}

INSTANTIATE_TEST_SUITE_P(
    Logins, SaveOfferTest,
    ::testing::Values(OfferCase{"NothingSaved", std::nullopt, "me", "pw", kHttp, true},
                      OfferCase{"EmptyPasswordNever", std::nullopt, "me", "", kHttps, false},
                      OfferCase{"SamePairOverHttpsSavedOverHttps",
                                SavedPassword{"h", "me", "pw", kHttps}, "me", "pw", kHttps, false},
                      OfferCase{"SamePairOverHttpSavedOverHttps",
                                SavedPassword{"h", "me", "pw", kHttps}, "me", "pw", kHttp, false},
                      OfferCase{"SamePairOverHttpSavedOverHttp",
                                SavedPassword{"h", "me", "pw", kHttp}, "me", "pw", kHttp, false},
                      OfferCase{"HttpPairTypedOverHttpsAgain",
                                SavedPassword{"h", "me", "pw", kHttp}, "me", "pw", kHttps, true},
                      OfferCase{"NewPassword", SavedPassword{"h", "me", "old", kHttps}, "me", "new",
                                kHttps, true},
                      OfferCase{"OtherUser", SavedPassword{"h", "me", "pw", kHttps}, "you", "pw",
                                kHttps, true}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace vesk
