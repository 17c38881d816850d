#pragma once

#include <optional>
#include <string_view>

namespace vesk {

// The components of a text that matches RFC 3986's URI-reference rule, as views into that
// text. An absent component differs from a present but empty one: "http://h:/" has an empty
// port, "http://h/" has none.
struct UriReference {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> userinfo;
    // Present exactly when the reference has an authority ("//" after the scheme, if any).
    std::optional<std::string_view> host;
    std::optional<std::string_view> port;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;

    // Whether the reference names its scheme (RFC 3986's URI rule) rather than being relative.
    bool hasScheme() const { return scheme.has_value(); }
};

// Splits `text` by RFC 3986's URI-reference grammar, taken strictly: nothing when any byte or
// component breaks it (non-ASCII, white space, "^", "|", a second "#", a bad "%" triplet, a
// malformed IP literal). Ports are any run of digits, as the grammar allows.
std::optional<UriReference> parseUriReference(std::string_view text);

// Whether `text` is an RFC 3986 URI reference.
bool isUriReference(std::string_view text);

} // namespace vesk
