#include "navigation/UriReference.h"

#include <uriparser/Uri.h>

#include <algorithm>
#include <cstddef>

// liburiparser checks the grammar itself. GLib's URI parser is not used: it escapes
// characters the grammar forbids and caps ports at 65535.

namespace vesk {
namespace {

std::size_t lengthOf(const UriTextRangeA& range) {
    return static_cast<std::size_t>(range.afterLast - range.first);
}

} // namespace

std::optional<UriReference> parseUriReference(std::string_view text) {
    // The parser wants a real pointer even for empty text, and is given the length so that a
    // NUL byte inside the text counts as a byte the grammar forbids.
    static constexpr char kEmpty[] = "";
    const char* first = text.empty() ? kEmpty : text.data();
    UriUriA uri;
    if (uriParseSingleUriExA(&uri, first, first + text.size(), nullptr) != URI_SUCCESS)
        return std::nullopt;

    // Empty components may point into the library's own storage, and an IP literal's host
    // text leaves out its brackets, so every view is cut from `text` by length, left to
    // right, at the place the grammar puts it.
    UriReference parts;
    std::size_t pos = 0;
    if (uri.scheme.first) {
        parts.scheme = text.substr(0, lengthOf(uri.scheme));
        pos = parts.scheme->size() + 1;
    }
    if (uri.hostText.first) {
        pos += 2; // "//"
        if (uri.userInfo.first) {
            parts.userinfo = text.substr(pos, lengthOf(uri.userInfo));
            pos += parts.userinfo->size() + 1;
        }
        const bool ipLiteral = uri.hostData.ip6 || uri.hostData.ipFuture.first;
        parts.host = text.substr(pos, lengthOf(uri.hostText) + (ipLiteral ? 2 : 0));
        pos += parts.host->size();
        if (uri.portText.first) {
            parts.port = text.substr(pos + 1, lengthOf(uri.portText));
            pos += parts.port->size() + 1;
        }
    }
    // A path holds neither "?" nor "#", so the first of them after it starts the query or
    // the fragment.
    const std::size_t pathEnd = std::min(text.find_first_of("?#", pos), text.size());
    parts.path = text.substr(pos, pathEnd - pos);
    pos = pathEnd + 1;
    if (uri.query.first) {
        parts.query = text.substr(pos, lengthOf(uri.query));
        pos += parts.query->size() + 1;
    }
    if (uri.fragment.first)
        parts.fragment = text.substr(pos, lengthOf(uri.fragment));
    uriFreeUriMembersA(&uri);
    return parts;
}

bool isUriReference(std::string_view text) {
    return parseUriReference(text).has_value();
}

} // namespace vesk
