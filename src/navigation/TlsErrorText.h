#pragma once

#include <string>
#include <vector>

namespace vesk {

// Problems found with a site's certificate. The bits are GLib's
// GTlsCertificateFlags, so the engine's flags convert by value.
enum TlsProblem : unsigned {
    kTlsUnknownIssuer = 1u << 0,
    kTlsWrongHost = 1u << 1,
    kTlsNotYetValid = 1u << 2,
    kTlsExpired = 1u << 3,
    kTlsRevoked = 1u << 4,
    kTlsInsecureAlgorithm = 1u << 5,
    kTlsGenericError = 1u << 6,
};

// What the error page's buttons ask for; the page posts these names.
inline constexpr const char* kTlsActionBack = "back";
inline constexpr const char* kTlsActionAccept = "accept";
// The attribute naming a button's action on the error page.
inline constexpr const char* kTlsActionAttribute = "data-vesk-tls-action";

// One plain sentence for each problem in `problems` about `host`, in a fixed
// order; a single sentence that something is wrong when no known bit is set.
std::vector<std::string> tlsProblemSentences(const std::string& host, unsigned problems);

// The certificate error page for `host`: what went wrong, a "Go Back" button
// and, inside a "Details" expander, "Accept the Risk and Continue". Every
// text that comes from the site is HTML-escaped.
std::string tlsErrorPageHtml(const std::string& host, unsigned problems);

} // namespace vesk
