#include "BrowsingFixture.h"

// End to end: the address field, real loads from a server on 127.0.0.1, the
// tab titles and the history file they leave behind.

namespace vesk::test {
namespace {

using BrowsingTest = BrowsingFixture;

// A title a script sets comes only after the engine's FINISHED event, and is still
// the one shown and recorded; a page without one shows "Untitled" and is recorded
// with an empty title.
TEST_F(BrowsingTest, FinishedPagesReachTabFieldAndHistoryNewestFirst) {
    server->addPage("/scripted", "<html><head><title>Before</title></head><body>"
                                 "<script>document.title = 'Scripted'</script></body></html>");
    server->addPage("/untitled", "<html><body>no title</body></html>");
    launch();
    const double before = secondsSince1970();
    loadAndWait("/scripted", "Scripted");
    loadAndWait("/untitled", "Untitled");
    const double after = secondsSince1970();
    settle();

    EXPECT_EQ(addressText(), server->url("/untitled"));
    const auto entries = history();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, server->url("/untitled"));
    EXPECT_EQ(entries[0].title, "");
    EXPECT_EQ(entries[1].url, server->url("/scripted"));
    EXPECT_EQ(entries[1].title, "Scripted");
    for (const auto& entry : entries) {
        EXPECT_GE(entry.date.value_or(0), before - 1.0);
        EXPECT_LE(entry.date.value_or(0), after + 1.0);
    }
}

TEST_F(BrowsingTest, ReturnAlwaysLoadsAndLeavingTheFieldLoadsOnce) {
    server->addPage("/once", htmlPage("Once"));
    server->addPage("/typed", htmlPage("Typed"));
    launch();
    auto leaveField = [&] {
        ASSERT_TRUE(gtk_widget_grab_focus(GTK_WIDGET(web().raw())));
        ASSERT_NE(window().get_focus()->get_parent(), &addressEntry());
    };

    loadAndWait("/once", "Once");
    pressReturn();
    EXPECT_TRUE(waitUntil([&] { return server->hits("/once") == 2; })) << "Return again loads";
    leaveField();
    settle();
    EXPECT_EQ(server->hits("/once"), 2) << "the focus leaving after Return loads nothing more";

    addressEntry().grab_focus();
    addressEntry().set_text(server->url("/typed"));
    leaveField();
    ASSERT_TRUE(waitForTitle(tab(0), "Typed"));
    EXPECT_EQ(server->hits("/typed"), 1);
}

// None of these adds a history entry.
TEST_F(BrowsingTest, ReplacedLoadReloadRefusalAndBreakOff) {
    server->addPage("/alpha", htmlPage("Alpha"));
    addUnansweredPage(*server, "/slow");
    addBrokenOffPage(*server, "/broken");
    launch();
    Tab& t = tab(0);
    std::vector<std::string> titles;
    t.titleButton().property_label().signal_changed().connect([&] { titles.push_back(t.title()); });

    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return server->hits("/slow") == 1; }));
    loadAndWait("/alpha", "Alpha");
    settle();
    EXPECT_EQ(titles, std::vector<std::string>{"Alpha"}) << "a cancelled load is no error";

    click(toolbar().reload());
    ASSERT_TRUE(waitUntil([&] { return server->hits("/alpha") == 2 && !t.web().isLoading(); }));
    settle();

    const std::string refused = loadRefused();
    EXPECT_EQ(t.title(), "Alpha") << "a refused connection changes no title";
    EXPECT_EQ(addressText(), refused);

    typeAndReturn(server->url("/broken"));
    ASSERT_TRUE(waitForTitle(t, "Error"));
    settle();
    EXPECT_EQ(addressText(), server->url("/broken"));
    // What arrived of the page stays; no error page replaces it.
    EXPECT_EQ(t.web().title(), "Partial");
    const auto entries = history();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url("/alpha"));
}

// A page finishing, or a web process ending, in a background tab changes only
// that tab; a reload brings the ended page back.
TEST_F(BrowsingTest, BackgroundTabEventsAndEndedWebProcess) {
    server->addPage("/alpha", htmlPage("Alpha"));
    server->addPage("/bravo", htmlPage("Bravo"));
    launch();
    Tab& first = tab(0);
    app->addNewTab();
    loadAndWait("/bravo", "Bravo");
    first.web().loadURL(server->url("/alpha"));
    ASSERT_TRUE(waitForTitle(first, "Alpha"));
    settle();
    const auto entries = history();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, server->url("/alpha"));
    EXPECT_EQ(entries[0].title, "Alpha");

    first.web().terminateWebProcess();
    ASSERT_TRUE(waitForTitle(first, "Error"));
    pump(std::chrono::milliseconds(800));
    EXPECT_EQ(server->hits("/alpha"), 1) << "nothing reloads by itself";
    EXPECT_EQ(tab(1).title(), "Bravo");
    EXPECT_FALSE(tab(1).web().isShowingProcessEndedPage());
    EXPECT_EQ(addressText(), server->url("/bravo"));

    click(first.titleButton());
    EXPECT_EQ(addressText(), server->url("/alpha"));
    click(toolbar().reload());
    ASSERT_TRUE(waitForTitle(first, "Alpha")) << "reload should load the page again";
    EXPECT_FALSE(first.web().isShowingProcessEndedPage());
}

} // namespace
} // namespace vesk::test
