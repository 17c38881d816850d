#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/VisitDatabase.h"

namespace vesk {

// One row under the address field.
struct Suggestion {
    enum class Kind { Search, Bookmark, History };
    Kind kind = Kind::History;
    // What the row shows: the page's title, or "Search for …" with the typed text.
    std::string title;
    // The page's address; for the search row, the search address the text gives.
    std::string url;
    // What moving onto the row puts into the address field: the address, or for the
    // search row the typed text itself, so that Return searches for it.
    std::string fieldText;

    bool operator==(const Suggestion&) const = default;
};

// A bookmarked page, as the suggestions see it.
struct BookmarkedPage {
    std::string url;
    std::string title;
};

// The list shows at most this many rows.
inline constexpr std::size_t maxSuggestions = 8;

// The rows for `typed`: first "Search for …" when the text is not an address, then the
// bookmarks whose address or title holds every typed word, then the visited pages that
// do (as VisitDatabase::search gives them), highest frecency first, each address once,
// at most maxSuggestions rows in all. No rows for text that is only white space.
std::vector<Suggestion> rankSuggestions(std::string_view typed,
                                        const std::vector<BookmarkedPage>& bookmarks,
                                        std::vector<VisitedPage> visited);

// Whether the page's address or title holds every one of `words` (as searchWords gives
// them).
bool matchesEveryWord(const std::vector<std::string>& words, std::string_view url,
                      std::string_view title);

} // namespace vesk
