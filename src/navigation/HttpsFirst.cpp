#include "navigation/HttpsFirst.h"

#include <gio/gio.h>

namespace vesk {

namespace {
constexpr std::string_view kHttpsPrefix = "https://";
constexpr std::string_view kHttpPrefix = "http://";
} // namespace

std::optional<std::string> httpFallbackURL(std::string_view httpsURL) {
    if (!httpsURL.starts_with(kHttpsPrefix))
        return std::nullopt;
    std::string url(kHttpPrefix);
    url += httpsURL.substr(kHttpsPrefix.size());
    return url;
}

bool failureAllowsHttpFallback(GQuark domain, int code) {
    // Whatever went wrong in the handshake, a server that speaks only plain
    // http answers that way, and so does one whose certificate fails.
    if (domain == G_TLS_ERROR)
        return true;
    if (domain != G_IO_ERROR)
        return false;
    switch (code) {
    case G_IO_ERROR_CONNECTION_REFUSED:
    case G_IO_ERROR_CONNECTION_CLOSED:
    case G_IO_ERROR_TIMED_OUT:
        return true;
    default:
        return false;
    }
}

} // namespace vesk
