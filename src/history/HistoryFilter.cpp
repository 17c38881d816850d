#include "history/HistoryFilter.h"

#include <algorithm>

#include <glib.h>

#include "navigation/UriReference.h"
#include "navigation/UrlNormalization.h"

namespace vesk {

namespace {

constexpr std::string_view kUntitled = "Untitled";
constexpr std::string_view kEllipsis = "…";

// Plain ASCII without NUL bytes needs neither validation nor normalisation, and
// lower-casing it is a table lookup: the common address and title take this path.
bool isPlainAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c == 0 || c >= 0x80)
            return false;
    return true;
}

std::string validUtf8(std::string_view text) {
    if (g_utf8_validate_len(text.data(), text.size(), nullptr))
        return std::string(text);
    gchar* made = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result = made ? made : "";
    g_free(made);
    return result;
}

bool startsWithMark(std::string_view text) {
    if (text.empty() || static_cast<unsigned char>(text.front()) < 0x80)
        return false;
    const gunichar c = g_utf8_get_char_validated(text.data(), static_cast<gssize>(text.size()));
    return c < 0x110000 && g_unichar_ismark(c);
}

} // namespace

HistoryFilter::HistoryFilter(std::string_view searchText)
    : needle_(foldedForSearch(trimmedWhitespaceAndNewlines(searchText))) {}

bool HistoryFilter::matches(const HistoryRow& row) const {
    return isEmpty() || matchesSearchText(searchTextOf(row));
}

bool HistoryFilter::matchesSearchText(std::string_view rowSearchText) const {
    return containsFolded(rowSearchText, needle_);
}

std::vector<HistoryRow> HistoryFilter::rows(const std::vector<HistoryEntry>& entries) const {
    std::vector<HistoryRow> result;
    for (HistoryRow& row : historyRowsOf(entries))
        if (matches(row))
            result.push_back(std::move(row));
    return result;
}

std::vector<HistoryRow> historyRowsOf(const std::vector<HistoryEntry>& entries) {
    // However many entries another program left in the file, the list stays as short
    // as the history this program keeps.
    std::vector<HistoryRow> rows;
    rows.reserve(std::min(entries.size(), VeskStore::historyLimit));
    for (const HistoryEntry& entry : entries) {
        if (rows.size() == VeskStore::historyLimit)
            break;
        if (entry.isDictionary)
            rows.push_back(historyRowFor(entry));
    }
    return rows;
}

std::string searchTextOf(const HistoryRow& row) {
    // Folding works character by character, and nothing composes with a space, so
    // the parts can be folded apart and joined afterwards.
    std::string text = foldedForSearch(row.title);
    text += ' ';
    text += foldedForSearch(row.address);
    return text;
}

HistoryRow historyRowFor(const HistoryEntry& entry) {
    return HistoryRow{entry.title.value_or(std::string(kUntitled)), entry.url.value_or("")};
}

std::string foldedForSearch(std::string_view text) {
    if (isPlainAscii(text)) {
        std::string lower(text);
        for (char& c : lower)
            c = g_ascii_tolower(c);
        return lower;
    }
    const std::string valid = validUtf8(text);
    std::string folded;
    folded.reserve(valid.size());
    // Normalisation never reaches across a plain ASCII character: none decomposes,
    // none composes with what precedes it. So only the stretches around other
    // characters need it, each from the ASCII character before it (which may take
    // a following accent), and megabytes of mostly ASCII text fold quickly.
    std::string stretch;
    auto flush = [&] {
        if (stretch.empty())
            return;
        gchar* normalised =
            g_utf8_normalize(stretch.data(), static_cast<gssize>(stretch.size()), G_NORMALIZE_NFC);
        folded += normalised ? normalised : stretch;
        g_free(normalised);
        stretch.clear();
    };
    const char* end = valid.data() + valid.size();
    for (const char* p = valid.data(); p < end;) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x80) {
            const bool nextIsOther = p + 1 < end && static_cast<unsigned char>(p[1]) >= 0x80;
            flush();
            if (nextIsOther)
                stretch += g_ascii_tolower(*p);
            else
                folded += g_ascii_tolower(*p);
            ++p;
            continue;
        }
        char encoded[6];
        const int length = g_unichar_to_utf8(g_unichar_tolower(g_utf8_get_char(p)), encoded);
        stretch.append(encoded, static_cast<std::size_t>(length));
        p = g_utf8_next_char(p);
    }
    flush();
    return folded;
}

bool containsFolded(std::string_view haystack, std::string_view needle) {
    if (needle.empty())
        return true;
    // A UTF-8 needle can only match at a character's first byte; a match that ends
    // before a combining mark would split that character, so the search goes on.
    for (std::size_t pos = haystack.find(needle); pos != std::string_view::npos;
         pos = haystack.find(needle, pos + 1)) {
        if (!startsWithMark(haystack.substr(pos + needle.size())))
            return true;
    }
    return false;
}

std::string shownText(std::string_view text, std::size_t maxChars, Ellipsis where) {
    std::string valid = validUtf8(text);
    const char* begin = valid.data();
    const char* end = begin + valid.size();
    const char* p = begin;
    for (std::size_t n = 0; p < end && n < maxChars; ++n)
        p = g_utf8_next_char(p);
    if (p >= end)
        return valid;
    if (maxChars == 0)
        return {};

    // The ellipsis counts as one of the characters kept.
    const std::size_t kept = maxChars - 1;
    const std::size_t headCount = where == Ellipsis::End ? kept : kept - kept / 2;
    const std::size_t tailCount = kept - headCount;
    const char* headEnd = begin;
    for (std::size_t n = 0; n < headCount; ++n)
        headEnd = g_utf8_next_char(headEnd);
    const char* tailBegin = end;
    for (std::size_t n = 0; n < tailCount; ++n)
        tailBegin = g_utf8_prev_char(tailBegin);

    std::string result(begin, headEnd);
    result.append(kEllipsis);
    result.append(tailBegin, end);
    return result;
}

std::optional<std::string> historyURL(std::string_view address) {
    const auto reference = parseUriReference(address);
    if (!reference || !reference->hasScheme())
        return std::nullopt;
    return std::string(address);
}

} // namespace vesk
