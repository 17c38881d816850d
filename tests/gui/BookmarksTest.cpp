#include "BrowsingFixture.h"
#include "app/AddressField.h"
#include "bookmarks/BookmarksController.h"
#include "store/BookmarkFile.h"
#include "suggestions/SuggestionsController.h"

// Bookmarking pages from the address field, over real loads and a restart.

namespace vesk::test {
namespace {

class BookmarksGuiTest : public BrowsingFixture {
protected:
    BookmarksController& bookmarks() { return app->bookmarks(); }
    BookmarkStar star() { return app->window().addressField().star(); }
    std::string stored() {
        return readAll(home->dataDir() / "Vesk" / std::string(bookmarkFile::fileName));
    }
    static std::string readAll(const std::filesystem::path& file) {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(BookmarksGuiTest, CtrlDBookmarksThePageTheStarShowsItAfterARestartAndHtmlRoundTrips) {
    launch();
    EXPECT_EQ(star(), BookmarkStar::None) << "nothing to bookmark on an empty page";
    openPage("Alpha");
    EXPECT_EQ(star(), BookmarkStar::NotBookmarked);
    pressKeys("ctrl+d");
    ASSERT_TRUE(waitUntil([&] { return bookmarks().popover().isOpen(); }));
    EXPECT_EQ(star(), BookmarkStar::Bookmarked);
    EXPECT_EQ(bookmarks().popover().nameField().get_text().raw(), "Alpha");
    bookmarks().popover().nameField().set_text("Alpha & <friends>");
    pressKeys("Return");
    ASSERT_TRUE(waitUntil([&] { return !bookmarks().popover().isOpen(); }));
    EXPECT_NE(stored().find("Alpha &amp; &lt;friends&gt;"), std::string::npos) << stored();
    openPage("Bravo");
    EXPECT_EQ(star(), BookmarkStar::NotBookmarked);

    app.reset();
    launch();
    openPage("Alpha");
    EXPECT_EQ(star(), BookmarkStar::Bookmarked);
    // A bookmark comes before the history in the suggestions.
    addressEntry().grab_focus();
    addressEntry().set_text("127.0.0.1");
    auto& list = app->suggestions().list();
    ASSERT_TRUE(waitUntil([&] { return list.isOpen() && list.rows().size() >= 2; }));
    EXPECT_EQ(list.rows().front().kind, Suggestion::Kind::Bookmark);
    EXPECT_EQ(list.rows().front().title, "Alpha & <friends>");

    const auto exported = home->path() / "exported.html";
    ASSERT_TRUE(bookmarks().exportTo(exported));
    bookmarks().bookmarks().remove(server->url("/Alpha"));
    EXPECT_EQ(star(), BookmarkStar::NotBookmarked);
    EXPECT_EQ(bookmarks().importFrom(exported), 1u);
    EXPECT_EQ(star(), BookmarkStar::Bookmarked);
    EXPECT_EQ(bookmarks().bookmarks().all().at(0).title, "Alpha & <friends>");

    pressKeys("ctrl+shift+o");
    ASSERT_TRUE(waitUntil([&] { return bookmarks().panel().isOpen(); }));
    EXPECT_EQ(bookmarks().panel().shownTitles(), Strings{"Alpha & <friends>"});
    bookmarks().panel().searchField()->set_text("nothing like it");
    EXPECT_TRUE(waitUntil([&] { return bookmarks().panel().shownTitles().empty(); }));
}

} // namespace
} // namespace vesk::test
