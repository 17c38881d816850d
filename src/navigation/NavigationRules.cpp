#include "navigation/NavigationRules.h"

#include <glib.h>

#include <algorithm>
#include <string_view>

namespace vesk {

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

namespace {
constexpr std::string_view kSourceScheme = "view-source:";
} // namespace

bool isHostOfSite(const std::string& host, const std::string& site) {
    if (site.empty() || host.size() < site.size() || !host.ends_with(site))
        return false;
    // An address has no names below it.
    if (g_hostname_is_ip_address(host.c_str()))
        return host == site;
    return host.size() == site.size() || host[host.size() - site.size() - 1] == '.';
}

std::string sourceAddressFor(const std::string& address) {
    return std::string(kSourceScheme) + address;
}

bool isSourceAddress(const std::string& address) {
    return address.starts_with(kSourceScheme);
}

double zoomedIn(double factor) {
    return factor + kZoomStep;
}

double zoomedOut(double factor) {
    return std::max(factor - kZoomStep, kZoomFloor);
}

} // namespace vesk
