#include "navigation/UriReference.h"

#include <cstddef>

// GLib's own URI parser escapes characters the grammar forbids and caps ports at 65535, so
// the grammar is checked here, rule by rule, on the raw bytes.

namespace vesk {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isUnreserved(char c) {
    return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool isSubDelim(char c) {
    switch (c) {
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
        return true;
    default:
        return false;
    }
}

bool isRegNameChar(char c) {
    return isUnreserved(c) || isSubDelim(c);
}

bool isUserinfoChar(char c) {
    return isRegNameChar(c) || c == ':';
}

bool isPchar(char c) {
    return isUserinfoChar(c) || c == '@';
}

bool isPathChar(char c) {
    return isPchar(c) || c == '/';
}

bool isQueryChar(char c) {
    return isPchar(c) || c == '/' || c == '?';
}

// Whether every byte of `text` is allowed by `allowed` or starts a "%" HEXDIG HEXDIG triplet.
template <typename Allowed> bool isMadeOf(std::string_view text, Allowed allowed) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))
                return false;
            i += 2;
        } else if (!allowed(c)) {
            return false;
        }
    }
    return true;
}

bool isDigits(std::string_view text) {
    for (const char c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

bool isScheme(std::string_view text) {
    if (text.empty() || !isAlpha(text.front()))
        return false;
    for (const char c : text) {
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// dec-octet: 0-255 written without leading zeros.
bool isDecOctet(std::string_view text) {
    if (text.empty() || text.size() > 3 || !isDigits(text))
        return false;
    if (text.size() > 1 && text.front() == '0')
        return false;
    int value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return value <= 255;
}

bool isIpv4Address(std::string_view text) {
    for (int octet = 0; octet < 4; ++octet) {
        const std::size_t dot = text.find('.');
        if ((octet < 3) == (dot == npos))
            return false;
        if (!isDecOctet(text.substr(0, dot)))
            return false;
        text = dot == npos ? std::string_view() : text.substr(dot + 1);
    }
    return true;
}

bool isH16(std::string_view text) {
    if (text.empty() || text.size() > 4)
        return false;
    for (const char c : text) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

// Counts the 16-bit pieces of a run of h16 separated by single colons, of which the last may
// be an IPv4 address (two pieces) when `ipv4AtEnd` allows it; -1 when the run is malformed.
int countIpv6Pieces(std::string_view run, bool ipv4AtEnd) {
    if (run.empty())
        return 0;
    int pieces = 0;
    while (true) {
        const std::size_t colon = run.find(':');
        const std::string_view piece = run.substr(0, colon);
        if (colon == npos) {
            if (ipv4AtEnd && piece.find('.') != npos)
                return isIpv4Address(piece) ? pieces + 2 : -1;
            return isH16(piece) ? pieces + 1 : -1;
        }
        if (!isH16(piece))
            return -1;
        ++pieces;
        run = run.substr(colon + 1);
    }
}

// IPv6address: eight pieces, or at most seven around a single "::"; an IPv4 address may
// only stand for the last two.
bool isIpv6Address(std::string_view text) {
    const std::size_t gap = text.find("::");
    if (gap == npos)
        return countIpv6Pieces(text, true) == 8;
    const std::string_view before = text.substr(0, gap);
    const std::string_view after = text.substr(gap + 2);
    const int head = countIpv6Pieces(before, false);
    const int tail = countIpv6Pieces(after, true);
    return head >= 0 && tail >= 0 && head + tail <= 7;
}

// IPvFuture: "v" 1*HEXDIG "." 1*( unreserved / sub-delims / ":" ), "v" in either case.
bool isIpvFuture(std::string_view text) {
    if (text.size() < 4 || (text.front() != 'v' && text.front() != 'V'))
        return false;
    const std::size_t dot = text.find('.', 1);
    if (dot == npos || dot == 1 || dot + 1 == text.size())
        return false;
    for (const char c : text.substr(1, dot - 1)) {
        if (!isHexDigit(c))
            return false;
    }
    for (const char c : text.substr(dot + 1)) {
        if (!isUserinfoChar(c))
            return false;
    }
    return true;
}

bool parseAuthority(std::string_view authority, UriReference& parts) {
    const std::size_t at = authority.find('@');
    if (at != npos) {
        parts.userinfo = authority.substr(0, at);
        if (!isMadeOf(*parts.userinfo, isUserinfoChar))
            return false;
        authority = authority.substr(at + 1);
    }
    std::string_view afterHost;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == npos)
            return false;
        const std::string_view literal = authority.substr(1, close - 1);
        if (!isIpv6Address(literal) && !isIpvFuture(literal))
            return false;
        parts.host = authority.substr(0, close + 1);
        afterHost = authority.substr(close + 1);
    } else {
        const std::size_t colon = authority.find(':');
        parts.host = authority.substr(0, colon);
        if (!isMadeOf(*parts.host, isRegNameChar))
            return false;
        afterHost = colon == npos ? std::string_view() : authority.substr(colon);
    }
    if (afterHost.empty())
        return true;
    if (afterHost.front() != ':')
        return false;
    parts.port = afterHost.substr(1);
    return isDigits(*parts.port);
}

} // namespace

std::optional<UriReference> parseUriReference(std::string_view text) {
    UriReference parts;
    std::string_view rest = text;

    // A colon before any "/", "?" or "#" can only end a scheme: a relative reference may not
    // hold a colon in its first path segment.
    const std::size_t schemeEnd = rest.find_first_of(":/?#");
    if (schemeEnd != npos && schemeEnd > 0 && rest[schemeEnd] == ':') {
        parts.scheme = rest.substr(0, schemeEnd);
        if (!isScheme(*parts.scheme))
            return std::nullopt;
        rest = rest.substr(schemeEnd + 1);
    }

    if (rest.substr(0, 2) == "//") {
        rest = rest.substr(2);
        const std::size_t authorityEnd = rest.find_first_of("/?#");
        if (!parseAuthority(rest.substr(0, authorityEnd), parts))
            return std::nullopt;
        rest = authorityEnd == npos ? std::string_view() : rest.substr(authorityEnd);
    }

    const std::size_t pathEnd = rest.find_first_of("?#");
    parts.path = rest.substr(0, pathEnd);
    if (!isMadeOf(parts.path, isPathChar))
        return std::nullopt;
    if (!parts.scheme && !parts.host &&
        parts.path.substr(0, parts.path.find('/')).find(':') != npos)
        return std::nullopt;
    rest = pathEnd == npos ? std::string_view() : rest.substr(pathEnd);

    if (!rest.empty() && rest.front() == '?') {
        const std::size_t queryEnd = rest.find('#');
        parts.query = rest.substr(1, queryEnd == npos ? npos : queryEnd - 1);
        if (!isMadeOf(*parts.query, isQueryChar))
            return std::nullopt;
        rest = queryEnd == npos ? std::string_view() : rest.substr(queryEnd);
    }

    if (!rest.empty()) {
        // Only "#" can be left here; the fragment itself may not hold another.
        parts.fragment = rest.substr(1);
        if (!isMadeOf(*parts.fragment, isQueryChar))
            return std::nullopt;
    }
    return parts;
}

bool isUriReference(std::string_view text) {
    return parseUriReference(text).has_value();
}

} // namespace vesk
