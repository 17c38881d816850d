#include "suggestions/SuggestionRanking.h"

#include <algorithm>
#include <set>

#include "navigation/UrlNormalization.h"

namespace vesk {

bool matchesEveryWord(const std::vector<std::string>& words, std::string_view url,
                      std::string_view title) {
    const std::string text = pageMatchText(url, title);
    return std::ranges::all_of(
        words, [&text](const std::string& word) { return text.find(word) != std::string::npos; });
}

std::vector<Suggestion> rankSuggestions(std::string_view typed,
                                        const std::vector<BookmarkedPage>& bookmarks,
                                        std::vector<VisitedPage> visited) {
    std::vector<Suggestion> rows;
    const std::string_view text = trimmedWhitespaceAndNewlines(typed);
    const std::vector<std::string> words = searchWords(text);
    if (words.empty())
        return rows;
    if (const auto address = typedAddressFromInput(text);
        address && address->url.starts_with(kSearchAddressPrefix)) {
        rows.push_back({Suggestion::Kind::Search, "Search for " + std::string(text), address->url,
                        std::string(text)});
    }
    std::set<std::string, std::less<>> shown;
    auto add = [&](Suggestion::Kind kind, const std::string& url, const std::string& title) {
        if (rows.size() >= maxSuggestions || !shown.insert(url).second)
            return;
        rows.push_back({kind, title.empty() ? url : title, url, url});
    };
    for (const BookmarkedPage& bookmark : bookmarks)
        if (matchesEveryWord(words, bookmark.url, bookmark.title))
            add(Suggestion::Kind::Bookmark, bookmark.url, bookmark.title);
    // Ties go to the newer visit, then the address, so the order never flickers.
    std::ranges::stable_sort(visited, [](const VisitedPage& a, const VisitedPage& b) {
        if (a.frecency != b.frecency)
            return a.frecency > b.frecency;
        if (a.lastVisit != b.lastVisit)
            return a.lastVisit > b.lastVisit;
        return a.url < b.url;
    });
    for (const VisitedPage& page : visited)
        if (matchesEveryWord(words, page.url, page.title))
            add(Suggestion::Kind::History, page.url, page.title);
    return rows;
}

} // namespace vesk
