#include "BrowsingFixture.h"

#include <webkit/webkit.h>

#include "platform/WebView.h"

// End to end: the address field, real loads from a server on 127.0.0.1, the
// tab titles and the history file they leave behind.

namespace vesk::test {
namespace {

class BrowsingTest : public BrowsingFixture {};

struct TitleCase {
    const char* name;
    const char* html;
    const char* tabTitle;
    const char* storedTitle;
};

class FinishedPageTitleTest : public BrowsingFixture,
                              public ::testing::WithParamInterface<TitleCase> {};

TEST_P(FinishedPageTitleTest, TitleReachesTabFieldAndHistory) {
    const TitleCase& c = GetParam();
    server->addPage("/page", c.html);
    launch();
    const double before = secondsSince1970();
    loadAndWait("/page", c.tabTitle);
    const double after = secondsSince1970();
    settle();

    EXPECT_EQ(addressText(), server->url("/page"));
    const auto entries = history();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url("/page"));
    EXPECT_EQ(entries[0].title, c.storedTitle);
    ASSERT_TRUE(entries[0].date.has_value());
    EXPECT_GE(*entries[0].date, before - 1.0);
    EXPECT_LE(*entries[0].date, after + 1.0);
}

// A title a script sets comes only after the engine's FINISHED event, and is
// still the one recorded.
INSTANTIATE_TEST_SUITE_P(
    Pages, FinishedPageTitleTest,
    ::testing::Values(
        TitleCase{"Titled", "<html><head><title>Alpha</title></head></html>", "Alpha", "Alpha"},
        TitleCase{"NoTitleElement", "<html><body>no title</body></html>", "Untitled", ""},
        TitleCase{"WhiteSpaceTitle", "<html><head><title> \n </title></head></html>", "Untitled",
                  ""},
        TitleCase{"TitleSetByScript",
                  "<html><head><title>Before</title></head><body>"
                  "<script>document.title = 'Scripted'</script></body></html>",
                  "Scripted", "Scripted"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(BrowsingTest, LeavingTheFieldLoadsWhatWasTypedButNotTwice) {
    server->addPage("/once", htmlPage("Once"));
    server->addPage("/typed", htmlPage("Typed"));
    launch();
    Tab& t = tab(0);
    auto leaveField = [&] {
        ASSERT_TRUE(gtk_widget_grab_focus(GTK_WIDGET(t.web->raw())));
        ASSERT_NE(app->window->get_focus()->get_parent(), app->addr);
    };

    loadAndWait("/once", "Once");
    leaveField();
    settle();
    EXPECT_EQ(server->hits("/once"), 1) << "Return and then the focus leaving load once";

    app->addr->grab_focus();
    app->addr->set_text(server->url("/typed"));
    leaveField();
    ASSERT_TRUE(waitForLabel(t, "Typed"));
    EXPECT_EQ(server->hits("/typed"), 1);
}

TEST_F(BrowsingTest, PageFinishingInBackgroundTabRenamesOnlyThatTab) {
    server->addPage("/bravo", htmlPage("Bravo"));
    HeldPage held(*server, "/held", htmlPage("Held"));
    launch();
    typeAndReturn(server->url("/held"));
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }));
    app->addNewTab();
    loadAndWait("/bravo", "Bravo");

    held.release();
    ASSERT_TRUE(waitForLabel(tab(0), "Held"));
    settle();
    EXPECT_EQ(label(tab(1)), "Bravo");
    EXPECT_EQ(addressText(), server->url("/bravo"));
    const auto entries = history();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, server->url("/held"));
    EXPECT_EQ(entries[0].title, "Held");
}

// None of these adds a history entry.
TEST_F(BrowsingTest, ReplacedLoadReloadRefusalAndBreakOff) {
    server->addPage("/alpha", htmlPage("Alpha"));
    HeldPage held(*server, "/slow", htmlPage("Slow"));
    addBrokenOffPage(*server, "/broken");
    const std::string refused = refusedAddress();
    launch();
    Tab& t = tab(0);
    std::vector<std::string> titles;
    t.btn->property_label().signal_changed().connect([&] { titles.push_back(label(t)); });

    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }));
    loadAndWait("/alpha", "Alpha");
    settle();
    EXPECT_EQ(titles, std::vector<std::string>{"Alpha"}) << "a cancelled load is no error";

    app->refreshPage();
    ASSERT_TRUE(waitUntil([&] { return server->hits("/alpha") == 2 && !t.web->isLoading(); }));
    settle();

    typeAndReturn(refused);
    // The engine's error page for the address follows the failure.
    ASSERT_TRUE(waitUntil([&] { return t.web->url() == refused && !t.web->isLoading(); }));
    settle();
    EXPECT_EQ(label(t), "Alpha") << "a refused connection changes no title";
    EXPECT_EQ(addressText(), refused);

    typeAndReturn(server->url("/broken"));
    ASSERT_TRUE(waitForLabel(t, "Error"));
    settle();
    EXPECT_EQ(addressText(), server->url("/broken"));
    // What arrived of the page stays; no error page replaces it.
    EXPECT_EQ(t.web->title(), "Partial");
    const auto entries = history();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url("/alpha"));
}

TEST_F(BrowsingTest, EndedWebProcessShowsErrorAndReloadLoadsThePageAgain) {
    server->addPage("/alpha", htmlPage("Alpha"));
    server->addPage("/bravo", htmlPage("Bravo"));
    launch();
    Tab& first = tab(0);
    loadAndWait("/alpha", "Alpha");
    app->addNewTab();
    Tab& second = tab(1);
    loadAndWait("/bravo", "Bravo");

    // The ended tab is in the background: the field keeps the current page.
    first.web->terminateWebProcess();
    ASSERT_TRUE(waitForLabel(first, "Error"));
    EXPECT_EQ(addressText(), server->url("/bravo"));
    // Nothing reloads by itself, and the other tab keeps its page.
    pump(std::chrono::milliseconds(800));
    EXPECT_EQ(server->hits("/alpha"), 1);
    EXPECT_EQ(label(first), "Error");
    EXPECT_EQ(label(second), "Bravo");
    EXPECT_FALSE(second.web->isShowingProcessEndedPage());

    app->selectTab(0);
    EXPECT_EQ(addressText(), server->url("/alpha"));
    app->refreshPage();
    ASSERT_TRUE(waitForLabel(first, "Alpha")) << "reload should load the page again";
    EXPECT_FALSE(first.web->isShowingProcessEndedPage());
}

} // namespace
} // namespace vesk::test
