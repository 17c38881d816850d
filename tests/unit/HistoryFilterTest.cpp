#include "history/HistoryFilter.h"

#include <glib.h>
#include <gtest/gtest.h>

namespace {
using namespace vesk;

struct FilterCase {
    const char* name;
    const char* filter;
    HistoryRow row;
    bool expected;
};

class Filtering : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filtering, MatchesTitleAndAddress) {
    EXPECT_EQ(HistoryFilter(GetParam().filter).matches(GetParam().row), GetParam().expected);
}

const HistoryRow kNews{"Morning news", "https://news.example/today"};

INSTANTIATE_TEST_SUITE_P(
    Rules, Filtering,
    ::testing::Values(
        FilterCase{"TrimmedToNothingShowsAll", "\t\r\n \u00a0\u3000", kNews, true},
        FilterCase{"TrimmedAndLowerCased", " NEWS ", kNews, true},
        FilterCase{"AddressCounts", "EXAMPLE/TODAY", kNews, true},
        FilterCase{"AcrossTheJoin", "s a", {"Docs", "a.b/c"}, true},
        FilterCase{"JoinIsOneSpace", "s  a", {"Docs", "a.b/c"}, false},
        // The simple lower-case mapping, not the Turkish one, whatever the locale.
        FilterCase{"DottedCapitalI", "İSTANBUL", {"istanbul guide", ""}, true},
        FilterCase{"ComposedFilterDecomposedTitle", "café", {"Cafe\u0301 Rouge", ""}, true},
        FilterCase{"DecomposedFilterComposedTitle", "CAFE\u0301", {"Café Rouge", ""}, true},
        FilterCase{"BaseLetterDoesNotMatchDecomposed", "cafe", {"Cafe\u0301", ""}, false},
        FilterCase{"LaterPlainMatchStillFound", "cafe", {"Café or cafe", ""}, true},
        FilterCase{"DamagedTitleBytes", "abc", {"\377\376abc", ""}, true},
        FilterCase{"NulInsideTitle", "b", {std::string("a\0b", 3), ""}, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(HistoryFilterRows, FillTheTitleKeepOrderAndPassOverNonDictionaries) {
    const std::vector<HistoryEntry> entries{{true, "https://1.example/", "Newest news", {}},
                                            {false, {}, {}, {}},
                                            {true, "https://2.example/news", {}, {}},
                                            {true, "https://3.example/news", "", {}}};
    EXPECT_EQ(HistoryFilter(" ").rows(entries),
              (std::vector<HistoryRow>{{"Newest news", "https://1.example/"},
                                       {"Untitled", "https://2.example/news"},
                                       {"", "https://3.example/news"}}));
    EXPECT_EQ(HistoryFilter("untitled").rows(entries).size(), 1u);
}

TEST(HistoryFilterRows, ListOnlyTheNewestOfALongFile) {
    std::vector<HistoryEntry> entries(250, {true, "https://old.example/", "Old", {}});
    entries.front().url = "https://newest.example/";
    const auto rows = historyRowsOf(entries);
    ASSERT_EQ(rows.size(), VeskStore::historyLimit);
    EXPECT_EQ(rows.front().address, "https://newest.example/");
}

TEST(FoldedForSearch, LowerCasesEachCharacterAndComposesTheWholeText) {
    EXPECT_EQ(foldedForSearch("CAFE\u0301 A\u030A ΣΑΣ ﬁ ＡＢ"), "café å σασ ﬁ ａｂ");
    EXPECT_EQ(foldedForSearch("\u0301x e\u0323\u0302 b\u030A 한국어"), "\u0301x ệ b\u030A 한국어");
    EXPECT_EQ(foldedForSearch(std::string(1000, 'X') + "E\u0301"), std::string(1000, 'x') + "é");
    EXPECT_EQ(foldedForSearch("\xff"), "\uFFFD");
}

TEST(ShownText, CutsLongTextAtCharactersAndBoundsHugeText) {
    EXPECT_EQ(shownText("exactly10!", 10, Ellipsis::Middle), "exactly10!");
    EXPECT_EQ(shownText("abcdefghijkl", 5, Ellipsis::End), "abcd…");
    EXPECT_EQ(shownText("abcdefghijkl", 6, Ellipsis::Middle), "abc…kl");
    EXPECT_EQ(shownText("שלוםשלוםשלום", 5, Ellipsis::Middle), "של…ום");
    EXPECT_EQ(shownText("a\377b", 10, Ellipsis::End), "a\uFFFDb");
    const std::string shown = shownText(std::string(4 << 20, 'x'), 2000, Ellipsis::Middle);
    EXPECT_EQ(g_utf8_strlen(shown.c_str(), -1), 2000);
}

TEST(HistoryURL, OpensOnlyAnAbsoluteAddressAndUnchanged) {
    EXPECT_EQ(historyURL("HTTPS://Example.COM/P?b=c#d"), "HTTPS://Example.COM/P?b=c#d");
    EXPECT_EQ(historyURL("about:blank"), "about:blank");
    for (const char* refused : {"", "a.b/c", "https://example.com/a b"})
        EXPECT_EQ(historyURL(refused), std::nullopt) << refused;
}

} // namespace
