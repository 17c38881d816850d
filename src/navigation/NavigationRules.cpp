#include "navigation/NavigationRules.h"

#include <glib.h>

#include <algorithm>

namespace vesk {
namespace {

// The engine keeps the zoom level exactly as set, with no limit of its own,
// so these steps are the whole rule.
constexpr double kZoomStep = 0.1;
constexpr double kZoomFloor = 0.2;

} // namespace

std::optional<std::string> hostOf(const std::optional<std::string>& address) {
    if (!address)
        return std::nullopt;
    // Without the non-DNS flag GLib would turn an international name to its ASCII form.
    GUri* uri = g_uri_parse(address->c_str(), G_URI_FLAGS_NON_DNS, nullptr);
    if (!uri)
        return std::nullopt;
    std::optional<std::string> host;
    if (const char* name = g_uri_get_host(uri); name && *name)
        host = name;
    g_uri_unref(uri);
    return host;
}

double zoomedIn(double factor) {
    return factor + kZoomStep;
}

double zoomedOut(double factor) {
    return std::max(factor - kZoomStep, kZoomFloor);
}

} // namespace vesk
