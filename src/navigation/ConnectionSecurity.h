#pragma once

#include <optional>
#include <string>

namespace vesk {

// How safely the page on show reached the browser, as the address field's sign shows it.
enum class ConnectionSecurity {
    // No page, or one that never crossed a network (about:blank, file:, an error page).
    None,
    // Over TLS with a certificate that passed every check.
    Secure,
    // Over plain HTTP: anyone on the way can read and change it.
    NotSecure,
    // Over TLS with a certificate the user chose to accept despite its problems.
    CertificateAccepted,
    // Over TLS, but the page then loaded parts of itself without it.
    InsecureContent,
};

// The sign for a page that has just committed at `address`. `tlsProblems` is
// what the engine reports about the connection's certificate (GLib's
// GTlsCertificateFlags), or nothing when the page came without TLS.
ConnectionSecurity securityOfCommittedPage(const std::string& address,
                                           std::optional<unsigned> tlsProblems);

// The sign once the page has loaded some of its content without TLS.
ConnectionSecurity withInsecureContent(ConnectionSecurity security);

// One sentence saying what the sign means, for its popover; empty for None.
std::string securityMeaning(ConnectionSecurity security);

} // namespace vesk
