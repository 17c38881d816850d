#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <glib.h>

namespace vesk {

// The plain http address tried when the https attempt at an address whose
// scheme was guessed failed: the same address with http in front. Nothing for
// an address that does not start with "https://".
std::optional<std::string> httpFallbackURL(std::string_view httpsURL);

// Whether an https attempt that failed with this error may be tried again over
// http: the connection was refused, closed or timed out, or the TLS handshake
// failed. A cancelled load, an unknown host or any other error may not.
bool failureAllowsHttpFallback(GQuark domain, int code);

} // namespace vesk
