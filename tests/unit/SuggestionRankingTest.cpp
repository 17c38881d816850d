#include "suggestions/SuggestionRanking.h"

#include <gtest/gtest.h>

#include "navigation/UrlNormalization.h"
#include "suggestions/PageIndex.h"

namespace {
using namespace vesk;

using Kind = Suggestion::Kind;

VisitedPage page(std::string url, std::string title, double frecency, double last = 0) {
    VisitedPage p;
    p.url = std::move(url);
    p.title = std::move(title);
    p.frecency = frecency;
    p.lastVisit = last;
    return p;
}

struct RankCase {
    const char* name;
    const char* typed;
    std::vector<BookmarkedPage> bookmarks;
    std::vector<VisitedPage> visited;
    // The rows' kinds and addresses, in order.
    std::vector<std::pair<Kind, std::string>> expected;
};

class Ranking : public ::testing::TestWithParam<RankCase> {};

TEST_P(Ranking, OrdersRows) {
    const RankCase& c = GetParam();
    std::vector<std::pair<Kind, std::string>> rows;
    for (const Suggestion& row : rankSuggestions(c.typed, c.bookmarks, c.visited))
        rows.emplace_back(row.kind, row.kind == Kind::Search ? row.fieldText : row.url);
    EXPECT_EQ(rows, c.expected);
}

const VisitedPage kNews = page("https://news.example/", "Morning News", 10);
const VisitedPage kNewsOld = page("https://old-news.example/", "Old news", 5);

std::vector<VisitedPage> manyPages(int count) {
    std::vector<VisitedPage> pages;
    for (int i = 0; i < count; ++i)
        pages.push_back(page("https://p" + std::to_string(i) + ".example/", "page", 100 - i));
    return pages;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Ranking,
    ::testing::Values(
        RankCase{"BlankTextGivesNoRows", " \t ", {}, {kNews}, {}},
        RankCase{"PhraseSearchesFirst",
                 "morning news",
                 {},
                 {kNewsOld, kNews},
                 {{Kind::Search, "morning news"}, {Kind::History, "https://news.example/"}}},
        RankCase{"AddressGetsNoSearchRow",
                 "news.example",
                 {},
                 {kNews},
                 {{Kind::History, "https://news.example/"}}},
        RankCase{"HigherFrecencyFirst",
                 "news.example",
                 {},
                 {kNewsOld, kNews},
                 {{Kind::History, "https://news.example/"},
                  {Kind::History, "https://old-news.example/"}}},
        RankCase{
            "TieGoesToTheNewerVisit",
            "tie.example",
            {},
            {page("https://a.tie.example/", "", 1, 10), page("https://b.tie.example/", "", 1, 20)},
            {{Kind::History, "https://b.tie.example/"}, {Kind::History, "https://a.tie.example/"}}},
        RankCase{"BookmarksAboveHistoryAndShownOnce",
                 "news.example",
                 {{"https://old-news.example/", "Old"}, {"https://elsewhere.example/", "Other"}},
                 {kNews, kNewsOld},
                 {{Kind::Bookmark, "https://old-news.example/"},
                  {Kind::History, "https://news.example/"}}},
        RankCase{
            "EveryWordMustMatch",
            "news.example morning",
            {{"https://news.example/b", "Evening"}},
            {kNews, kNewsOld},
            {{Kind::Search, "news.example morning"}, {Kind::History, "https://news.example/"}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RankingLimit, KeepsTheEightBest) {
    const auto rows = rankSuggestions("https://p", {}, manyPages(12));
    ASSERT_EQ(rows.size(), maxSuggestions);
    EXPECT_EQ(rows.front().url, "https://p0.example/");
    EXPECT_EQ(rows.back().url, "https://p7.example/");
}

TEST(RankingRows, SearchRowSaysWhatItSearchesAndUntitledPagesShowTheirAddress) {
    const auto rows =
        rankSuggestions("  cheap flights ", {}, {page("https://cheap.flights/x", "", 1)});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].title, "Search for cheap flights");
    EXPECT_TRUE(rows[0].url.starts_with(kSearchAddressPrefix));
    EXPECT_EQ(rows[1].title, "https://cheap.flights/x");
    EXPECT_EQ(rows[1].fieldText, "https://cheap.flights/x");
}

TEST(PageIndexSearch, StopsAtTheLimitInFrecencyOrder) {
    const PageIndex index({{1, "https://a.example/\nnews"},
                           {2, "https://b.example/\nweather"},
                           {3, "https://c.example/\nnews today"}});
    EXPECT_EQ(index.search(searchWords("news"), 8), (std::vector<long long>{1, 3}));
    EXPECT_EQ(index.search(searchWords("news"), 1), (std::vector<long long>{1}));
    EXPECT_EQ(index.search(searchWords("TODAY news"), 8), (std::vector<long long>{3}));
    EXPECT_EQ(index.search({}, 8).size(), 3u);
}

} // namespace
