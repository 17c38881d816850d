#include "navigation/UrlNormalization.h"

#include "navigation/UriReference.h"

#include <glib.h>

#include <cstddef>
#include <utility>

namespace vesk {
namespace {

// One decoded character: its code point and its length in bytes, or a length of 0 when the
// bytes there are not UTF-8 (bad, overlong or cut-off sequences, surrogates).
struct DecodedChar {
    gunichar codePoint = 0;
    std::size_t length = 0;
};

DecodedChar decodeAt(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    // GLib refuses a NUL byte, yet it is a character like any other to the user's text.
    if (lead == 0)
        return {0, 1};
    const gunichar c =
        g_utf8_get_char_validated(text.data() + pos, static_cast<gssize>(text.size() - pos));
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2))
        return {};
    return {c, static_cast<std::size_t>(g_utf8_skip[lead])};
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const DecodedChar decoded = decodeAt(text, pos);
        if (decoded.length == 0)
            return false;
        pos += decoded.length;
    }
    return true;
}

bool isWhitespaceOrNewline(gunichar c) {
    if (c == '\t' || (c >= 0x0A && c <= 0x0D) || c == 0x85)
        return true;
    switch (g_unichar_type(c)) {
    case G_UNICODE_SPACE_SEPARATOR:
    case G_UNICODE_LINE_SEPARATOR:
    case G_UNICODE_PARAGRAPH_SEPARATOR:
        return true;
    default:
        return false;
    }
}

bool isQueryAllowed(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("-._~!$&'()*+,;=:@/?").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

// A text yields an address to load only when it is a URI reference that names its scheme:
// a relative reference such as "x.y/?u=http://z" has nothing a web view could load, and
// belongs to the host rule instead. The grammar admits ASCII only, so text that is not UTF-8
// never passes.
bool isLoadableAddress(std::string_view text) {
    const std::optional<UriReference> reference = parseUriReference(text);
    return reference && reference->hasScheme();
}

} // namespace

std::optional<std::string> searchURLFor(std::string_view terms, std::string_view searchURL) {
    const std::optional<std::string> encoded = percentEncodedForQuery(terms);
    if (!encoded || encoded->empty())
        return std::nullopt;
    // The encoded text goes in as it is, so its percent signs stay escapes and never
    // act as directives; a template without "%s" takes the terms at its end.
    std::string url(searchURL);
    const std::size_t place = url.find("%s");
    if (place == std::string::npos)
        url += *encoded;
    else
        url.replace(place, 2, *encoded);
    return url;
}

std::string_view trimmedWhitespaceAndNewlines(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const DecodedChar decoded = decodeAt(text, begin);
        if (decoded.length == 0 || !isWhitespaceOrNewline(decoded.codePoint))
            break;
        begin += decoded.length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        // Step back over continuation bytes to the lead byte of the last character.
        std::size_t start = end - 1;
        while (start > begin && end - start < 4 &&
               (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
        const DecodedChar decoded = decodeAt(text.substr(0, end), start);
        if (decoded.length != end - start || !isWhitespaceOrNewline(decoded.codePoint))
            break;
        end = start;
    }
    return text.substr(begin, end - begin);
}

std::optional<std::string> percentEncodedForQuery(std::string_view text) {
    // The encoding works on UTF-8 bytes; text that is not UTF-8 has no encoding at all.
    // g_uri_escape_bytes is not used: it copies a NUL byte through unescaped.
    if (!isValidUtf8(text))
        return std::nullopt;
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (isQueryAllowed(c)) {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += kHexDigits[c >> 4];
            encoded += kHexDigits[c & 0x0F];
        }
    }
    return encoded;
}

std::optional<TypedAddress> typedAddressFromInput(std::optional<std::string_view> input,
                                                  std::string_view searchURL) {
    const std::string_view text = trimmedWhitespaceAndNewlines(input.value_or(std::string_view()));
    if (text.empty())
        return std::nullopt;

    // Only the plain space counts: a tab or other inner white space leaves the text to the
    // address rules. A text that cannot be encoded goes on to them as well.
    if (text.find(' ') != std::string_view::npos) {
        if (std::optional<std::string> url = searchURLFor(text, searchURL))
            return TypedAddress{*url};
    }

    if (text.find("://") != std::string_view::npos && isLoadableAddress(text))
        return TypedAddress{std::string(text)};

    if (text.find_first_of(".:") != std::string_view::npos) {
        std::string withScheme = "https://";
        withScheme += text;
        if (isLoadableAddress(withScheme))
            return TypedAddress{withScheme, SchemeOrigin::Guessed};
    }

    if (std::optional<std::string> url = searchURLFor(text, searchURL))
        return TypedAddress{*url};
    return std::nullopt;
}

std::optional<std::string> normalizedURLFromInput(std::optional<std::string_view> input,
                                                  std::string_view searchURL) {
    if (std::optional<TypedAddress> typed = typedAddressFromInput(input, searchURL))
        return std::move(typed->url);
    return std::nullopt;
}

} // namespace vesk
