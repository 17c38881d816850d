#pragma once

#include <optional>
#include <string>

namespace vesk {

// The host of a page address: no scheme, port, path or query, an IP literal
// without its brackets, percent-escapes decoded. International names are kept
// as the web view reports them, neither converted to nor from their ASCII form.
// Nothing for an address without a host or one GLib cannot parse.
std::optional<std::string> hostOf(const std::optional<std::string>& address);

// Whether `host` belongs to `site`, a domain the engine keeps website data under:
// the domain itself or a name below it, compared as spelled; an IP address only
// belongs to itself.
bool isHostOfSite(const std::string& host, const std::string& site);

// The address a page's source is shown under: "view-source:" and the page's address.
std::string sourceAddressFor(const std::string& address);
// Whether `address` is that of a page's source, which history does not record.
bool isSourceAddress(const std::string& address);

// The engine keeps the zoom level exactly as set, with no limit of its own,
// so these steps are the whole rule.
inline constexpr double kZoomStep = 0.1;
inline constexpr double kZoomFloor = 0.2;

// The zoom factor one zoom-in step gives: factor + 0.1, with no upper limit.
double zoomedIn(double factor);

// The zoom factor one zoom-out step gives: factor - 0.1, never below 0.2.
double zoomedOut(double factor);

} // namespace vesk
