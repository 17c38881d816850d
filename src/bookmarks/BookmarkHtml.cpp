#include "bookmarks/BookmarkHtml.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <glib.h>

#include "base/HtmlText.h"

namespace vesk::bookmarkHtml {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A link's tag holds its address and a few attributes; past this it is no tag we read.
constexpr std::size_t tagMaxBytes = urlMaxBytes * 4;

// The position of `needle` in `text` between `from` and `to`, ignoring ASCII case; npos
// when none.
std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from,
                             std::size_t to = std::string_view::npos) {
    to = std::min(to, text.size());
    if (needle.empty() || to < needle.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= to; ++i) {
        if (g_ascii_tolower(text[i]) == g_ascii_tolower(needle[0]) &&
            equalsIgnoringCase(text.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

void appendCodePoint(std::string& out, unsigned long code) {
    // NUL, surrogates and values past Unicode stand for nothing printable.
    if (code == 0 || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
        code = 0xfffd;
    char bytes[6];
    const int length = g_unichar_to_utf8(static_cast<gunichar>(code), bytes);
    out.append(bytes, static_cast<std::size_t>(length));
}

// `text` with the character references HTML files hold decoded.
std::string decodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos || end - i > 10) {
            out += '&';
            continue;
        }
        const std::string_view name = text.substr(i + 1, end - i - 1);
        static constexpr std::pair<std::string_view, char> named[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        bool isDecoded = false;
        for (const auto& [entity, c] : named) {
            if (name == entity) {
                out += c;
                isDecoded = true;
            }
        }
        if (!isDecoded && name.size() >= 2 && name[0] == '#') {
            const bool isHex = name[1] == 'x' || name[1] == 'X';
            const std::string digits(name.substr(isHex ? 2 : 1));
            char* stop = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &stop, isHex ? 16 : 10);
            if (!digits.empty() && stop && *stop == '\0' && digits.find('-') == std::string::npos) {
                appendCodePoint(out, code);
                isDecoded = true;
            }
        }
        if (!isDecoded) {
            out += '&';
            continue;
        }
        i = end;
    }
    return out;
}

// Valid UTF-8 with every control character a space, runs of white space as one, trimmed.
std::string plainText(std::string_view text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out;
    bool isSpace = true;
    for (const char* c = valid; *c; c = g_utf8_next_char(c)) {
        const gunichar character = g_utf8_get_char(c);
        if (character == ' ' || g_unichar_iscntrl(character)) {
            if (!isSpace)
                out += ' ';
            isSpace = true;
            continue;
        }
        out.append(c, static_cast<std::size_t>(g_utf8_next_char(c) - c));
        isSpace = false;
    }
    g_free(valid);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The text with its tags dropped.
std::string withoutTags(std::string_view text) {
    std::string out;
    bool isInTag = false;
    for (const char c : text) {
        if (c == '<')
            isInTag = true;
        else if (c == '>')
            isInTag = false;
        else if (!isInTag)
            out += c;
    }
    return out;
}

// At most `limit` characters of valid UTF-8 `text`.
std::string cutToChars(const std::string& text, std::size_t limit) {
    const char* start = text.c_str();
    const char* end = start;
    for (std::size_t n = 0; n < limit && *end; ++n)
        end = g_utf8_next_char(end);
    return std::string(start, end);
}

// The value of attribute `name` in a tag's text, decoded; empty when absent.
std::string attribute(std::string_view tag, std::string_view name) {
    std::size_t at = 0;
    while ((at = findIgnoringCase(tag, name, at)) != std::string_view::npos) {
        const bool isStart = at > 0 && (g_ascii_isspace(tag[at - 1]) != 0);
        std::size_t i = at + name.size();
        at = i;
        if (!isStart)
            continue;
        while (i < tag.size() && g_ascii_isspace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && g_ascii_isspace(tag[i]))
            ++i;
        if (i >= tag.size())
            return {};
        std::size_t end = 0;
        if (tag[i] == '"' || tag[i] == '\'') {
            end = tag.find(tag[i], i + 1);
            ++i;
        } else {
            end = i;
            while (end < tag.size() && !g_ascii_isspace(tag[end]))
                ++end;
        }
        if (end == std::string_view::npos)
            end = tag.size();
        return decodeEntities(tag.substr(i, end - i));
    }
    return {};
}

bool isBookmarkable(std::string_view url) {
    if (url.empty() || url.size() > urlMaxBytes)
        return false;
    if (std::ranges::any_of(url, [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7f || c == ' ';
        }))
        return false;
    for (const std::string_view scheme : {"http://", "https://", "ftp://", "file://"})
        if (url.size() > scheme.size() && equalsIgnoringCase(url.substr(0, scheme.size()), scheme))
            return true;
    return false;
}

} // namespace

std::vector<Bookmark> parse(std::string_view html) {
    std::vector<Bookmark> found;
    std::size_t at = 0;
    while (found.size() < maxBookmarks) {
        at = findIgnoringCase(html, "<a", at);
        if (at == std::string_view::npos)
            break;
        // "<a" must begin the tag's name: not "<abbr" or "<address".
        if (at + 2 >= html.size() || !g_ascii_isspace(html[at + 2])) {
            at += 2;
            continue;
        }
        const std::size_t tagEnd = html.substr(at, tagMaxBytes).find('>');
        if (tagEnd == std::string_view::npos) {
            at += 2;
            continue;
        }
        const std::string_view tag = html.substr(at, tagEnd);
        const std::size_t textStart = at + tagEnd + 1;
        // The link's text ends at its closing tag, or at the next link when it has none;
        // each part of the input is read a bounded number of times.
        const std::size_t nextLink = findIgnoringCase(html, "<a", textStart);
        std::size_t close = findIgnoringCase(html, "</a", textStart, nextLink);
        if (close == std::string_view::npos)
            close = nextLink == std::string_view::npos ? html.size() : nextLink;
        at = close;
        const std::string url = plainText(attribute(tag, "href"));
        if (!isBookmarkable(url))
            continue;
        const std::string title =
            plainText(decodeEntities(withoutTags(html.substr(textStart, close - textStart))));
        const std::string added = attribute(tag, "add_date");
        char* stop = nullptr;
        double seconds = std::strtod(added.c_str(), &stop);
        // Whole seconds, as the files write them.
        if (added.empty() || !stop || *stop != '\0' || !(seconds >= 0 && seconds < 1e11))
            seconds = 0;
        seconds = std::floor(seconds);
        std::string shownTitle = cutToChars(title, titleMaxChars);
        // A cut may end on the space between two words.
        while (!shownTitle.empty() && shownTitle.back() == ' ')
            shownTitle.pop_back();
        found.push_back({url, shownTitle.empty() ? url : std::move(shownTitle), seconds});
    }
    return found;
}

std::string write(const std::vector<Bookmark>& bookmarks) {
    std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                      "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    for (const Bookmark& bookmark : bookmarks) {
        out += "    <DT><A HREF=\"" + escapeHtml(bookmark.url) + "\"";
        if (bookmark.added > 0)
            out += " ADD_DATE=\"" + std::to_string(static_cast<long long>(bookmark.added)) + "\"";
        out += ">" + escapeHtml(bookmark.title) + "</A>\n";
    }
    out += "</DL><p>\n";
    return out;
}

} // namespace vesk::bookmarkHtml
