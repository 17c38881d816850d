#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/VeskStore.h"

namespace vesk {

// What one row of the history panel shows and carries: the entry's title and its
// address, as stored (the address is also what the row opens).
struct HistoryRow {
    std::string title;
    std::string address;

    bool operator==(const HistoryRow&) const = default;
};

// Where a shortened label text loses its middle part.
enum class Ellipsis { End, Middle };

// The history panel's search text, prepared once per rebuild and matched against
// every entry. Matching ignores case (Unicode's lower-case mapping, the same in every
// locale) and treats canonically equivalent character sequences as equal.
class HistoryFilter {
public:
    // Trims white space and line breaks from both ends of the search text and
    // lower-cases what is left; inner spaces stay.
    explicit HistoryFilter(std::string_view searchText);

    // Whether nothing is left after trimming, so every row passes.
    bool isEmpty() const { return needle_.empty(); }

    // Whether the row's title and address, joined by one space, contain the filter.
    bool matches(const HistoryRow& row) const;

    // The same for a row's search text made once by `searchTextOf`, so that a list
    // can be filtered at every keystroke without folding its rows again.
    bool matchesSearchText(std::string_view rowSearchText) const;

    // The rows of the entries that pass, in the entries' order (newest first), among
    // the rows of historyRowsOf. Elements that are not dictionaries stand for no page
    // and are passed over.
    std::vector<HistoryRow> rows(const std::vector<HistoryEntry>& entries) const;

private:
    std::string needle_;
};

// The rows of the entries that can be listed, in order: every dictionary element, up to
// the first VeskStore::historyLimit of them (the newest).
std::vector<HistoryRow> historyRowsOf(const std::vector<HistoryEntry>& entries);

// What the filter searches in a row: its title, one space and its address, folded.
std::string searchTextOf(const HistoryRow& row);

// The row of one entry: its title when that is a string, else "Untitled" (an empty
// title stays empty); its address when that is a string, else "".
HistoryRow historyRowFor(const HistoryEntry& entry);

// Text made ready for a caseless search: lower-cased by the simple Unicode mapping,
// brought to the composed normal form (NFC); bytes that are not UTF-8 become U+FFFD.
std::string foldedForSearch(std::string_view text);

// Whether `haystack` contains `needle`, both folded, where a match may not end inside
// a character: "e" is not found in "é", even when that is spelt "e" + U+0301.
bool containsFolded(std::string_view haystack, std::string_view needle);

// Text for a one-line label: valid UTF-8, at most `maxChars` characters, shortened
// with "…" at the end or in the middle. A label never has to lay out megabytes.
std::string shownText(std::string_view text, std::size_t maxChars, Ellipsis where);

// The URL a row opens: its address unchanged when that is an absolute RFC 3986 URI,
// otherwise nothing (an empty or damaged address opens nothing).
std::optional<std::string> historyURL(std::string_view address);

} // namespace vesk
