#include "navigation/ConnectionSecurity.h"
#include "navigation/TlsErrorText.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;
using Sentences = std::vector<std::string>;

struct ProblemCase {
    const char* name;
    unsigned problems;
    Sentences sentences;
};

class TlsProblemText : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(TlsProblemText, NamesTheHostAndEachProblemInOrder) {
    EXPECT_EQ(tlsProblemSentences("a.test", GetParam().problems), GetParam().sentences);
}

const ProblemCase kProblems[] = {
    {"SelfSigned",
     kTlsUnknownIssuer,
     {"The certificate of a.test was not issued by an authority this computer trusts; it may "
      "have been made by the site itself."}},
    {"WrongHostBeforeExpiredWhateverTheBitOrder",
     kTlsExpired | kTlsWrongHost,
     {"The certificate belongs to another site, not to a.test.",
      "The certificate of a.test has expired."}},
    {"NotYetValidRevokedWeak",
     kTlsNotYetValid | kTlsRevoked | kTlsInsecureAlgorithm,
     {"The certificate of a.test is not valid yet.",
      "The certificate of a.test has been withdrawn by the authority that issued it.",
      "The certificate of a.test is signed with a method that is no longer safe."}},
    {"Generic", kTlsGenericError, {"The certificate of a.test could not be checked."}},
    {"NoKnownBit", 0, {"Something is wrong with the certificate of a.test."}},
    {"UnknownBitOnly", 1u << 12, {"Something is wrong with the certificate of a.test."}},
};

INSTANTIATE_TEST_SUITE_P(Flags, TlsProblemText, ::testing::ValuesIn(kProblems),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(TlsErrorPage, EscapesTheHostAndOffersBothActions) {
    const std::string html = tlsErrorPageHtml("<img src=x onerror=alert(1)>&'\"", kTlsExpired);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;&amp;&#39;&quot;"), std::string::npos);
    EXPECT_NE(html.find("has expired."), std::string::npos);
    EXPECT_NE(html.find("data-vesk-tls-action='back'"), std::string::npos);
    // Accepting the risk hides behind the Details expander.
    const auto details = html.find("<details><summary>Details</summary>");
    const auto accept = html.find("data-vesk-tls-action='accept'");
    ASSERT_NE(details, std::string::npos);
    ASSERT_NE(accept, std::string::npos);
    EXPECT_LT(details, accept);
    EXPECT_LT(accept, html.find("</details>"));
}

struct SecurityCase {
    const char* name;
    const char* address;
    std::optional<unsigned> problems;
    ConnectionSecurity committed;
    ConnectionSecurity withInsecureParts;
};

class CommittedConnectionSecurity : public ::testing::TestWithParam<SecurityCase> {};

TEST_P(CommittedConnectionSecurity, GivesTheSign) {
    const SecurityCase& row = GetParam();
    const ConnectionSecurity sign = securityOfCommittedPage(row.address, row.problems);
    EXPECT_EQ(sign, row.committed);
    EXPECT_EQ(withInsecureContent(sign), row.withInsecureParts);
}

const SecurityCase kSecurity[] = {
    {"ValidCertificate", "https://a.test/", 0u, ConnectionSecurity::Secure,
     ConnectionSecurity::InsecureContent},
    {"UpperCaseScheme", "HTTPS://a.test/", 0u, ConnectionSecurity::Secure,
     ConnectionSecurity::InsecureContent},
    {"AcceptedCertificate", "https://a.test/", unsigned{kTlsUnknownIssuer},
     ConnectionSecurity::CertificateAccepted, ConnectionSecurity::InsecureContent},
    {"HttpsWithoutTlsInfo", "https://a.test/", std::nullopt, ConnectionSecurity::NotSecure,
     ConnectionSecurity::NotSecure},
    {"PlainHttp", "http://a.test/", std::nullopt, ConnectionSecurity::NotSecure,
     ConnectionSecurity::NotSecure},
    {"AboutBlank", "about:blank", std::nullopt, ConnectionSecurity::None, ConnectionSecurity::None},
    {"File", "file:///tmp/a.html", std::nullopt, ConnectionSecurity::None,
     ConnectionSecurity::None},
    {"NoAddress", "", std::nullopt, ConnectionSecurity::None, ConnectionSecurity::None},
};

INSTANTIATE_TEST_SUITE_P(Pages, CommittedConnectionSecurity, ::testing::ValuesIn(kSecurity),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
