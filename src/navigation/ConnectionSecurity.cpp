#include "navigation/ConnectionSecurity.h"

#include <glib.h>

namespace vesk {

namespace {

std::string lowerScheme(const std::string& address) {
    char* scheme = g_uri_parse_scheme(address.c_str());
    std::string result = scheme ? scheme : "";
    g_free(scheme);
    for (char& c : result)
        c = static_cast<char>(g_ascii_tolower(c));
    return result;
}

} // namespace

ConnectionSecurity securityOfCommittedPage(const std::string& address,
                                           std::optional<unsigned> tlsProblems) {
    const std::string scheme = lowerScheme(address);
    if (scheme == "http")
        return ConnectionSecurity::NotSecure;
    if (scheme != "https")
        return ConnectionSecurity::None;
    // An https page without the engine's word on its connection is treated
    // as the weakest it could be, never as safe.
    if (!tlsProblems)
        return ConnectionSecurity::NotSecure;
    // The engine commits a page with certificate problems only after the user
    // accepted them.
    return *tlsProblems == 0 ? ConnectionSecurity::Secure : ConnectionSecurity::CertificateAccepted;
}

ConnectionSecurity withInsecureContent(ConnectionSecurity security) {
    switch (security) {
    case ConnectionSecurity::Secure:
    case ConnectionSecurity::CertificateAccepted:
        return ConnectionSecurity::InsecureContent;
    default:
        return security;
    }
}

std::string securityMeaning(ConnectionSecurity security) {
    switch (security) {
    case ConnectionSecurity::None:
        return "";
    case ConnectionSecurity::Secure:
        return "The connection is encrypted and the site's certificate is valid.";
    case ConnectionSecurity::NotSecure:
        return "The connection is not encrypted: others on the network can read and change what "
               "you see and send.";
    case ConnectionSecurity::CertificateAccepted:
        return "The connection is encrypted, but you chose to trust a certificate that failed "
               "its checks.";
    case ConnectionSecurity::InsecureContent:
        return "The connection is encrypted, but parts of this page came without encryption.";
    }
    return "";
}

} // namespace vesk
