#include "history/HistoryFilter.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <ostream>

namespace vesk {
namespace {

struct FilterCase {
    const char* name;
    std::string filter;
    HistoryRow row;
    bool expected;
};

class Filtering : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filtering, MatchesAsExpected) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(HistoryFilter(c.filter).matches(c.row), c.expected);
}

const HistoryRow kNews{"Morning news", "https://news.example/today"};
const HistoryRow kDocs{"Docs", "a.b/c"};

INSTANTIATE_TEST_SUITE_P(
    Rules, Filtering,
    ::testing::Values(
        FilterCase{"EmptyShowsAll", "", kNews, true},
        FilterCase{"TrimmedToNothingShowsAll", "\t\r\n \u00a0\u3000", kNews, true},
        FilterCase{"TrimmedAndLowerCased", " NEWS ", kNews, true},
        FilterCase{"InnerSpaceMatters", "morningnews", kNews, false},
        FilterCase{"AddressCounts", "EXAMPLE/TODAY", kNews, true},
        FilterCase{"AcrossTheJoin", "s a", kDocs, true},
        FilterCase{"JoinIsOneSpace", "s  a", kDocs, false},
        FilterCase{"UntitledIsSearchable", "untitled", HistoryRow{"Untitled", "x.y"}, true},
        FilterCase{"EmptyTitleIsNotUntitled", "untitled", HistoryRow{"", "x.y"}, false},
        FilterCase{"EmptyTitleStillHasItsAddress", " X.Y", HistoryRow{"", "x.y"}, true},
        FilterCase{"DottedCapitalI", "İSTANBUL", HistoryRow{"istanbul guide", ""}, true},
        FilterCase{"ComposedFilterDecomposedTitle", "café", HistoryRow{"Cafe\u0301 Rouge", ""},
                   true},
        FilterCase{"DecomposedFilterComposedTitle", "CAFE\u0301", HistoryRow{"Café Rouge", ""},
                   true},
        FilterCase{"BaseLetterDoesNotMatchDecomposed", "cafe", HistoryRow{"Cafe\u0301", ""}, false},
        FilterCase{"LaterPlainMatchStillFound", "cafe", HistoryRow{"Café or cafe", ""}, true},
        FilterCase{"DamagedTitleBytes", "abc",
                   HistoryRow{"\xff\xfe"
                              "abc",
                              ""},
                   true},
        FilterCase{"NulInsideTitle", "b", HistoryRow{std::string("a\0b", 3), ""}, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(HistoryFilterRows, FillTheTitleKeepOrderAndPassOverNonDictionaries) {
    std::vector<HistoryEntry> entries(4);
    entries[0].title = "Newest news";
    entries[0].url = "https://1.example/";
    entries[1].isDictionary = false;
    entries[2].url = "https://2.example/news";
    entries[3].title = "";
    entries[3].url = "https://3.example/news";

    EXPECT_EQ(HistoryFilter(" ").rows(entries),
              (std::vector<HistoryRow>{{"Newest news", "https://1.example/"},
                                       {"Untitled", "https://2.example/news"},
                                       {"", "https://3.example/news"}}));
    EXPECT_EQ(HistoryFilter("untitled").rows(entries).size(), 1u);
}

// The plain way to fold: lower-case every character, then normalise the whole text.
std::string foldedTheSlowWay(const std::string& text) {
    std::string lower;
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) {
        char encoded[6];
        lower.append(encoded, g_unichar_to_utf8(g_unichar_tolower(g_utf8_get_char(p)), encoded));
    }
    gchar* normalised = g_utf8_normalize(lower.c_str(), -1, G_NORMALIZE_NFC);
    std::string result = normalised;
    g_free(normalised);
    return result;
}

TEST(FoldedForSearch, NormalisesOnlyWhereNeededButAsTheWholeTextWould) {
    for (const std::string sample :
         {"CAFÉ au lait", "\u0301leading mark", "ÄB\u030A", "e\u0323\u0302 stacked", "ΣΑΣ and σας",
          "한국어 가", "x\u0301y\u0302z\u0303", "ﬁle ＡＢＣ"})
        EXPECT_EQ(foldedForSearch(sample), foldedTheSlowWay(sample)) << sample;
    EXPECT_EQ(foldedForSearch(std::string(1000, 'X') + "E\u0301"), std::string(1000, 'x') + "é");
    EXPECT_EQ(foldedForSearch("\xff"), "\uFFFD");
}

TEST(ShownText, CutsLongTextAtCharactersAndBoundsHugeText) {
    EXPECT_EQ(shownText("exactly10!", 10, Ellipsis::Middle), "exactly10!");
    EXPECT_EQ(shownText("abcdefghijkl", 5, Ellipsis::End), "abcd…");
    EXPECT_EQ(shownText("abcdefghijkl", 6, Ellipsis::Middle), "abc…kl");
    EXPECT_EQ(shownText("שלוםשלוםשלום", 5, Ellipsis::Middle), "של…ום");
    EXPECT_EQ(shownText("a\xff"
                        "b",
                        10, Ellipsis::End),
              "a\uFFFDb");
    const std::string shown = shownText(std::string(4 << 20, 'x'), 2000, Ellipsis::Middle);
    EXPECT_EQ(g_utf8_strlen(shown.c_str(), -1), 2000);
}

TEST(HistoryURL, OpensOnlyAnAbsoluteAddressAndUnchanged) {
    for (const char* opens :
         {"http://127.0.0.1:8080/a?b=c#d", "HTTPS://Example.COM/P", "about:blank"})
        EXPECT_EQ(historyURL(opens), opens);
    for (const char* refused : {"", "a.b/c", "https://example.com/a b", "https://e.com/\xff"})
        EXPECT_EQ(historyURL(refused), std::nullopt) << refused;
}

} // namespace
} // namespace vesk
