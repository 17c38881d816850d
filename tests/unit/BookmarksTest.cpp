#include <gtest/gtest.h>

#include <chrono>

#include "TempFolder.h"
#include "bookmarks/BookmarkHtml.h"
#include "bookmarks/Bookmarks.h"
#include "store/BookmarkFile.h"

namespace {
using namespace vesk;

namespace fs = std::filesystem;

struct HtmlCase {
    const char* name;
    std::string html;
    std::vector<Bookmark> expected;
};

class HtmlReading : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlReading, ReadsOnlyTheLinks) {
    EXPECT_EQ(bookmarkHtml::parse(GetParam().html), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, HtmlReading,
    ::testing::Values(
        HtmlCase{
            "ExportedFile",
            "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><H3>Folder</H3><DL><p>"
            "<DT><A HREF=\"https://a.example/\" ADD_DATE=\"1700000000\">A &amp; B</A>"
            "</DL><p><DT><a href='http://b.example/x?y=1&amp;z=2'>B</a></DL>",
            {{"https://a.example/", "A & B", 1700000000}, {"http://b.example/x?y=1&z=2", "B", 0}}},
        HtmlCase{"ScriptInTitleIsText",
                 "<A HREF=\"https://s.example/\"><script>alert(1)</script>Safe &lt;b&gt;</A>",
                 {{"https://s.example/", "alert(1)Safe <b>", 0}}},
        HtmlCase{"ScriptAddressesAndOddSchemesDropped",
                 "<A HREF=\"javascript:alert(1)\">x</A><A HREF=\"data:text/html,x\">y</A>"
                 "<A HREF=\"https://ok.example/\">ok</A><A HREF=\"https://sp ace.example/\">z</A>",
                 {{"https://ok.example/", "ok", 0}}},
        HtmlCase{"UntitledTakesTheAddress",
                 "<a href=\"https://u.example/\">  \n </a>",
                 {{"https://u.example/", "https://u.example/", 0}}},
        HtmlCase{"UnclosedLinksEndAtTheNext",
                 "<a href=\"https://1.example/\">one<a href=\"https://2.example/\">two",
                 {{"https://1.example/", "one", 0}, {"https://2.example/", "two", 0}}},
        HtmlCase{"NotLinkTagsAndBrokenTags",
                 "<abbr href=\"https://no.example/\">n</abbr><address>x</address><a href=",
                 {}},
        HtmlCase{"ControlCharactersAndBadReferences",
                 "<a href=\"https://c.example/\">a\x01\tb&#0;&#xD800;&#1114112;&bogus;&#65;</a>",
                 {{"https://c.example/", "a b\uFFFD\uFFFD\uFFFD&bogus;A", 0}}},
        HtmlCase{"InvalidUtf8Repaired",
                 "<a href=\"https://x.example/\">\xff\xfeok</a>",
                 {{"https://x.example/", "\uFFFD\uFFFDok", 0}}},
        HtmlCase{"BadDatesIgnored",
                 "<a href=\"https://d.example/\" add_date=\"-5\">d</a>"
                 "<a href=\"https://e.example/\" add_date=\"1e300\">e</a>",
                 {{"https://d.example/", "d", 0}, {"https://e.example/", "e", 0}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(HtmlReadingLimits, HugeAndDeepFilesStayBounded) {
    // Ten megabytes of nesting, then one link.
    std::string deep;
    for (int i = 0; i < 1'000'000; ++i)
        deep += "<DL><p>";
    deep += "<DT><A HREF=\"https://deep.example/\">deep</A>";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(bookmarkHtml::parse(deep).size(), 1u);
    // Ten megabytes of opened tags that never close.
    EXPECT_TRUE(bookmarkHtml::parse(std::string(10'000'000 / 3, 'x').insert(0, "<a ") +
                                    std::string(3'000'000, '<'))
                    .empty());
    std::string many;
    for (int i = 0; i < 150'000; ++i)
        many += "<A HREF=\"https://m.example/" + std::to_string(i) + "\">" + std::string(20, 't');
    EXPECT_EQ(bookmarkHtml::parse(many).size(), bookmarkHtml::maxBookmarks);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20))
        << "the reader must be linear in its input";
    const std::string longTitle =
        "<a href=\"https://l.example/\">" + std::string(5000, 'L') + "</a>";
    EXPECT_EQ(bookmarkHtml::parse(longTitle).at(0).title.size(), bookmarkHtml::titleMaxChars);
}

TEST(HtmlWriting, RoundTripsTitlesAndAddressesWithMarkupInThem) {
    const std::vector<Bookmark> bookmarks = {
        {"https://a.example/?q=1&r=<2>", "Tom & Jerry's \"<b>best</b>\"", 1700000000},
        {"https://b.example/", "Ünïcödé ✓", 0}};
    EXPECT_EQ(bookmarkHtml::parse(bookmarkHtml::write(bookmarks)), bookmarks);
}

class BookmarksTest : public vesk::TempFolder {
protected:
    fs::path data() const { return temp / "data"; }
    fs::path file() const { return data() / bookmarkFile::fileName; }
};

TEST_F(BookmarksTest, KeptInXbelOwnerOnlyAndReadBack) {
    {
        Bookmarks bookmarks(data());
        bookmarks.add("https://a.example/", "A", 1700000000);
        bookmarks.add("https://b.example/", "", 1700000001);
        bookmarks.add("https://a.example/", "Again", 0);
        bookmarks.rename("https://b.example/", "Bee");
        EXPECT_TRUE(bookmarks.isSaved());
    }
    EXPECT_NE(readFile(file()).find("<xbel"), std::string::npos);
    EXPECT_EQ(fs::status(file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    Bookmarks again(data());
    EXPECT_EQ(again.all(), (std::vector<Bookmark>{{"https://a.example/", "A", 1700000000},
                                                  {"https://b.example/", "Bee", 1700000001}}));
    EXPECT_EQ(again.matching("BEE example").size(), 1u);
    again.remove("https://a.example/");
    EXPECT_FALSE(Bookmarks(data()).contains("https://a.example/"));
    EXPECT_EQ(again.importAll({{"https://b.example/", "dup", 0}, {"https://c.example/", "C", 0}}),
              1u);
}

TEST_F(BookmarksTest, DamagedFileIsSetAsideAndAnUnreadableOneLeftAlone) {
    writeFile(file(), "<xbel><bookmark href=");
    Bookmarks bookmarks(data());
    EXPECT_TRUE(bookmarks.all().empty());
    EXPECT_EQ(readFile(file().string() + ".corrupt"), "<xbel><bookmark href=");
    bookmarks.add("https://a.example/", "A", 0);
    EXPECT_EQ(Bookmarks(data()).all().size(), 1u);
}

} // namespace
