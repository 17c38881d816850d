#pragma once

#include <optional>
#include <string>

namespace vesk {

// The host of a page address: no scheme, port, path or query, an IP literal
// without its brackets, percent-escapes decoded. International names are kept
// as the web view reports them, neither converted to nor from their ASCII form.
// Nothing for an address without a host or one GLib cannot parse.
std::optional<std::string> hostOf(const std::optional<std::string>& address);

// The zoom factor one zoom-in step gives: factor + 0.1, with no upper limit.
double zoomedIn(double factor);

// The zoom factor one zoom-out step gives: factor - 0.1, never below 0.2.
double zoomedOut(double factor);

} // namespace vesk
