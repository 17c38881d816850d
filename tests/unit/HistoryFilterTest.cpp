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

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

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
        FilterCase{"OnlySpacesShowsAll", "    ", kNews, true},
        FilterCase{"OnlyBreaksAndTabsShowAll", "\t\r\n \u00a0\u3000", kNews, true},
        FilterCase{"TrimmedAndLowerCased", " NEWS ", kNews, true},
        FilterCase{"OtherScriptSpacesTrimmed", "\u3000Morning\u2029", kNews, true},
        FilterCase{"InnerSpaceKept", "morning news", kNews, true},
        FilterCase{"InnerSpaceMatters", "morningnews", kNews, false},
        FilterCase{"AddressCounts", "EXAMPLE/TODAY", kNews, true},
        FilterCase{"NothingInCommon", "sports", kNews, false},
        FilterCase{"AcrossTheJoin", "s a", kDocs, true},
        FilterCase{"JoinIsOneSpace", "s  a", kDocs, false},
        FilterCase{"UntitledIsSearchable", "untitled", HistoryRow{"Untitled", "x.y"}, true},
        FilterCase{"EmptyTitleIsNotUntitled", "untitled", HistoryRow{"", "x.y"}, false},
        FilterCase{"EmptyTitleStillHasItsAddress", " X.Y", HistoryRow{"", "x.y"}, true},
        FilterCase{"EmptyAddress", "docs", HistoryRow{"Docs", ""}, true},
        FilterCase{"LatinAccentsLowerCase", "ÄPFEL", HistoryRow{"äpfel und birnen", ""}, true},
        FilterCase{"Greek", "ΑΘΗΝΑ", HistoryRow{"Καλώς ήρθατε στην αθηνα", ""}, true},
        FilterCase{"Cyrillic", "МОСКВА", HistoryRow{"Новости: москва", ""}, true},
        FilterCase{"DottedCapitalI", "İSTANBUL", HistoryRow{"istanbul guide", ""}, true},
        FilterCase{"ComposedFilterDecomposedTitle", "café", HistoryRow{"Cafe\u0301 Rouge", ""},
                   true},
        FilterCase{"DecomposedFilterComposedTitle", "CAFE\u0301", HistoryRow{"Café Rouge", ""},
                   true},
        FilterCase{"BaseLetterDoesNotMatchAccented", "cafe", HistoryRow{"Café", ""}, false},
        FilterCase{"BaseLetterDoesNotMatchDecomposed", "cafe", HistoryRow{"Cafe\u0301", ""}, false},
        FilterCase{"LaterPlainMatchStillFound", "cafe", HistoryRow{"Café or cafe", ""}, true},
        FilterCase{"PrefixOfAccentedWord", "caf", HistoryRow{"Café", ""}, true},
        FilterCase{"Hebrew", "שלום", HistoryRow{"ברוכים הבאים, שלום", "https://he.example"}, true},
        FilterCase{"Arabic", "مرحبا", HistoryRow{"مرحبا بالعالم", ""}, true},
        FilterCase{"Japanese", "東京", HistoryRow{"東京タワー", ""}, true},
        FilterCase{"Emoji", "🦊", HistoryRow{"The 🦊 page", ""}, true},
        FilterCase{"DamagedTitleBytes", "abc",
                   HistoryRow{"\xff\xfe"
                              "abc",
                              ""},
                   true},
        FilterCase{"NulInsideTitle", "b", HistoryRow{std::string("a\0b", 3), ""}, true}));

TEST(HistoryRowFor, TakesStringsAndFillsTheRest) {
    HistoryEntry full;
    full.url = "https://a.example/";
    full.title = "A";
    EXPECT_EQ(historyRowFor(full), (HistoryRow{"A", "https://a.example/"}));

    // A title or address of another type reaches us as absent.
    HistoryEntry bare;
    EXPECT_EQ(historyRowFor(bare), (HistoryRow{"Untitled", ""}));

    HistoryEntry emptyTitle;
    emptyTitle.title = "";
    emptyTitle.url = "x";
    EXPECT_EQ(historyRowFor(emptyTitle), (HistoryRow{"", "x"}));
}

TEST(HistoryFilterRows, KeepsOrderAndPassesOverNonDictionaries) {
    std::vector<HistoryEntry> entries(4);
    entries[0].title = "Newest news";
    entries[0].url = "https://1.example/";
    entries[1].isDictionary = false;
    entries[2].url = "https://2.example/news";
    entries[3].title = "Oldest news";
    entries[3].url = "https://3.example/";

    const auto all = HistoryFilter("").rows(entries);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].title, "Newest news");
    EXPECT_EQ(all[1], (HistoryRow{"Untitled", "https://2.example/news"}));
    EXPECT_EQ(all[2].title, "Oldest news");

    const auto some = HistoryFilter("EST").rows(entries);
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].address, "https://1.example/");
    EXPECT_EQ(some[1].address, "https://3.example/");

    EXPECT_TRUE(HistoryFilter("nothing like it").rows(entries).empty());
    EXPECT_TRUE(HistoryFilter("news").rows({}).empty());
}

TEST(HistoryFilterIsEmpty, OnlyWhenTrimmedToNothing) {
    EXPECT_TRUE(HistoryFilter("").isEmpty());
    EXPECT_TRUE(HistoryFilter(" \n\t").isEmpty());
    EXPECT_FALSE(HistoryFilter(" . ").isEmpty());
}

TEST(FoldedForSearch, LowerCasesTheSameInEveryScript) {
    EXPECT_EQ(foldedForSearch("HeLLo"), "hello");
    EXPECT_EQ(foldedForSearch("ÀÉÎ"), "àéî");
    // Decomposed input comes out composed.
    EXPECT_EQ(foldedForSearch("E\u0301"), "é");
    EXPECT_EQ(foldedForSearch("\xff"), "\uFFFD");
    EXPECT_EQ(foldedForSearch(""), "");
}

// The plain way to fold: lower-case every character, then normalise the whole text.
std::string foldedTheSlowWay(const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string lower;
    for (const char* p = valid; *p; p = g_utf8_next_char(p)) {
        char encoded[6];
        lower.append(encoded, g_unichar_to_utf8(g_unichar_tolower(g_utf8_get_char(p)), encoded));
    }
    g_free(valid);
    gchar* normalised = g_utf8_normalize(lower.c_str(), -1, G_NORMALIZE_NFC);
    std::string result = normalised;
    g_free(normalised);
    return result;
}

TEST(FoldedForSearch, NormalisesOnlyWhereNeededButAsTheWholeTextWould) {
    const std::vector<std::string> samples = {"Café",
                                              "CAFÉ au lait",
                                              "́leading mark",
                                              "ÄB̊",
                                              "ệ stacked",
                                              "ÅNGSTRÖM Ǻ",
                                              "ΣΑΣ and σας",
                                              "Ǆemal",
                                              "İstanbul",
                                              "한국어 가",
                                              "x́ŷz̃",
                                              std::string(1000, 'x') + "É",
                                              "ﬁle ＡＢＣ",
                                              "mixed ASCII – dash",
                                              "ȩ́́"};
    for (const std::string& sample : samples)
        EXPECT_EQ(foldedForSearch(sample), foldedTheSlowWay(sample)) << sample;
}

TEST(SearchTextOf, IsTheFoldedJoin) {
    const HistoryRow row{"Café ROUGE", "HTTPS://A.B/É"};
    EXPECT_EQ(searchTextOf(row), foldedForSearch(row.title + " " + row.address));
    EXPECT_TRUE(HistoryFilter("rouge https").matchesSearchText(searchTextOf(row)));
    EXPECT_TRUE(HistoryFilter("").matchesSearchText(""));
}

TEST(ShownText, ShortTextStaysWhole) {
    EXPECT_EQ(shownText("Docs", 10, Ellipsis::End), "Docs");
    EXPECT_EQ(shownText("exactly10!", 10, Ellipsis::Middle), "exactly10!");
    EXPECT_EQ(shownText("", 10, Ellipsis::End), "");
}

TEST(ShownText, LongTextIsCutAtCharacters) {
    EXPECT_EQ(shownText("abcdefghijkl", 5, Ellipsis::End), "abcd…");
    EXPECT_EQ(shownText("abcdefghijkl", 5, Ellipsis::Middle), "ab…kl");
    EXPECT_EQ(shownText("abcdefghijkl", 6, Ellipsis::Middle), "abc…kl");
    // Multi-byte characters are never split.
    EXPECT_EQ(shownText("ééééééé", 4, Ellipsis::End), "ééé…");
    EXPECT_EQ(shownText("שלוםשלוםשלום", 5, Ellipsis::Middle), "של…ום");
    EXPECT_EQ(shownText("abc", 0, Ellipsis::End), "");
}

TEST(ShownText, DamagedBytesBecomeReplacementCharacters) {
    const std::string shown = shownText("a\xff\xfe"
                                        "b",
                                        10, Ellipsis::End);
    EXPECT_TRUE(g_utf8_validate(shown.c_str(), -1, nullptr));
    EXPECT_EQ(shown.front(), 'a');
    EXPECT_EQ(shown.back(), 'b');
}

TEST(ShownText, MegabyteTitleIsBounded) {
    const std::string huge(4 * 1024 * 1024, 'x');
    const std::string shown = shownText(huge, 2000, Ellipsis::Middle);
    EXPECT_EQ(g_utf8_strlen(shown.c_str(), -1), 2000);
}

struct UrlCase {
    const char* name;
    std::string address;
    bool opens;
};

void PrintTo(const UrlCase& c, std::ostream* os) {
    *os << c.name;
}

class OpeningAddress : public ::testing::TestWithParam<UrlCase> {};

TEST_P(OpeningAddress, IsUsedUnchangedOrNotAtAll) {
    const UrlCase& c = GetParam();
    const auto url = historyURL(c.address);
    if (c.opens)
        EXPECT_EQ(url, c.address);
    else
        EXPECT_EQ(url, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, OpeningAddress,
    ::testing::Values(UrlCase{"Http", "http://127.0.0.1:8080/a?b=c#d", true},
                      UrlCase{"UpperCaseKept", "HTTPS://Example.COM/Path", true},
                      UrlCase{"AboutBlank", "about:blank", true}, UrlCase{"Empty", "", false},
                      UrlCase{"RelativeIsNotAnAddress", "a.b/c", false},
                      UrlCase{"Space", "https://example.com/a b", false},
                      UrlCase{"NotUtf8", "https://example.com/\xff", false},
                      UrlCase{"PlainWords", "not a url", false}));

} // namespace
} // namespace vesk
