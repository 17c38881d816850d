#include "BrowsingFixture.h"

#include "platform/WebView.h"

// End to end: the address field, the page events of real loads from a server
// on 127.0.0.1, the tab titles and the history file they leave behind.
// Assertions on history entries read the store's file directly.

namespace vesk::test {
namespace {

using Kind = PageEvent::Kind;

class BrowsingTest : public BrowsingFixture {};

// --- Finished pages: tab title, address field, history -------------------------

struct TitleCase {
    const char* name;
    const char* html;
    // The page's address as typed; it may redirect to `finalPath`.
    const char* typedPath;
    const char* finalPath;
    const char* tabTitle;
    const char* storedTitle;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << c.name;
}

class FinishedPageTitleTest : public BrowsingFixture,
                              public ::testing::WithParamInterface<TitleCase> {};

TEST_P(FinishedPageTitleTest, TitleReachesTabFieldAndHistory) {
    const TitleCase& c = GetParam();
    server->addPage("/page", c.html);
    addRedirect(*server, "/moved", "/page");
    launch();
    Tab& t = tab(0);
    auto log = observe(t);
    const double before = secondsSince1970();

    typeAndReturn(server->url(c.typedPath));
    ASSERT_TRUE(waitUntil([&] { return log->count(Kind::Finished) == 1; }))
        << "the page never finished";
    const double after = secondsSince1970();
    settle();

    EXPECT_EQ(label(t), c.tabTitle);
    EXPECT_EQ(addressText(), server->url(c.finalPath));
    EXPECT_EQ(log->count(Kind::Finished), 1) << "one load, one finished navigation";

    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url(c.finalPath));
    EXPECT_EQ(entries[0].title, c.storedTitle);
    ASSERT_TRUE(entries[0].date.has_value());
    EXPECT_GE(*entries[0].date, before - 1.0);
    EXPECT_LE(*entries[0].date, after + 1.0);
}

// The engine reports some titles only after its FINISHED event (after a
// redirect, or a title a script sets); they must still be the ones recorded.
INSTANTIATE_TEST_SUITE_P(
    Pages, FinishedPageTitleTest,
    ::testing::Values(
        TitleCase{"Titled", "<html><head><title>Alpha</title></head><body>a</body></html>", "/page",
                  "/page", "Alpha", "Alpha"},
        TitleCase{"NoTitleElement", "<html><body>no title</body></html>", "/page", "/page",
                  "Untitled", ""},
        TitleCase{"EmptyTitle", "<html><head><title></title></head><body>e</body></html>", "/page",
                  "/page", "Untitled", ""},
        TitleCase{"WhiteSpaceTitle", "<html><head><title> \n </title></head><body>w</body></html>",
                  "/page", "/page", "Untitled", ""},
        TitleCase{"TitleSetByScript",
                  "<html><head><title>Before</title></head><body>"
                  "<script>document.title = 'Scripted'</script></body></html>",
                  "/page", "/page", "Scripted", "Scripted"},
        TitleCase{"TitleAfterRedirect",
                  "<html><head><title>Moved Here</title></head><body>m</body></html>", "/moved",
                  "/page", "Moved Here", "Moved Here"}),
    [](const auto& row) { return std::string(row.param.name); });

// --- How editing ends ------------------------------------------------------------

enum class Leave { TabKey, ClickIntoPage };

struct LeaveCase {
    const char* name;
    Leave how;
};

void PrintTo(const LeaveCase& c, std::ostream* os) {
    *os << c.name;
}

class FocusLeavingTest : public BrowsingFixture, public ::testing::WithParamInterface<LeaveCase> {
protected:
    void leaveField(Tab& t) {
        if (GetParam().how == Leave::TabKey)
            ASSERT_TRUE(app->window->child_focus(Gtk::DirectionType::TAB_FORWARD));
        else
            clickIntoPage(t);
        ASSERT_FALSE(addressFieldHasFocus()) << "the focus never left the address field";
    }
};

TEST_P(FocusLeavingTest, AfterReturnLoadsNothingMore) {
    server->addPage("/once", htmlPage("Once"));
    launch();
    Tab& t = tab(0);

    typeAndReturn(server->url("/once"));
    ASSERT_TRUE(waitForLabel(t, "Once"));
    leaveField(t);
    settle();

    EXPECT_EQ(server->hits("/once"), 1) << "one end of editing loads once";
    EXPECT_EQ(recordedHistory().size(), 1u);
}

TEST_P(FocusLeavingTest, AloneLoadsWhatWasTyped) {
    server->addPage("/typed", htmlPage("Typed"));
    launch();
    Tab& t = tab(0);

    type(server->url("/typed"));
    pump(std::chrono::milliseconds(100));
    ASSERT_EQ(server->hits("/typed"), 0) << "typing alone must load nothing";
    leaveField(t);
    ASSERT_TRUE(waitForLabel(t, "Typed"));
    settle();
    EXPECT_EQ(server->hits("/typed"), 1);
    EXPECT_EQ(addressText(), server->url("/typed"));
}

INSTANTIATE_TEST_SUITE_P(Ways, FocusLeavingTest,
                         ::testing::Values(LeaveCase{"TabKey", Leave::TabKey},
                                           LeaveCase{"ClickIntoPage", Leave::ClickIntoPage}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(BrowsingTest, BlankTextLoadsNothingAndStays) {
    launch();
    Tab& t = tab(0);
    typeAndReturn("   ");
    settle();
    EXPECT_FALSE(t.web->isLoading());
    EXPECT_FALSE(t.web->url().has_value());
    EXPECT_EQ(addressText(), "   ");
    EXPECT_EQ(label(t), "Loading");
}

TEST_F(BrowsingTest, EndingEditingWithNoCurrentTabLoadsNothing) {
    server->addPage("/none", htmlPage("None"));
    launch();
    app->activeIdx = NSNotFound;
    typeAndReturn(server->url("/none"));
    settle();
    EXPECT_EQ(server->hits("/none"), 0);
    EXPECT_EQ(label(tab(0)), "Loading");
}

// --- Background and closed tabs --------------------------------------------------

TEST_F(BrowsingTest, PageFinishingInBackgroundTabRenamesOnlyThatTab) {
    server->addPage("/bravo", htmlPage("Bravo"));
    HeldPage held(*server, "/held", htmlPage("Held"));
    launch();
    Tab& first = tab(0);
    typeAndReturn(server->url("/held"));
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }));

    app->addNewTab();
    Tab& second = tab(1);
    ASSERT_EQ(app->currentTab(), &second);
    loadAndWait("/bravo", "Bravo");
    ASSERT_EQ(addressText(), server->url("/bravo"));

    held.release();
    ASSERT_TRUE(waitForLabel(first, "Held"));
    settle();
    EXPECT_EQ(label(second), "Bravo");
    EXPECT_EQ(addressText(), server->url("/bravo"));
    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, server->url("/held"));
    EXPECT_EQ(entries[0].title, "Held");
}

TEST_F(BrowsingTest, PageOfAViewNoTabOwnsIsRecordedButNamesNothing) {
    server->addPage("/alpha", htmlPage("Alpha"));
    server->addPage("/orphan", htmlPage("Orphan"));
    launch();
    loadAndWait("/alpha", "Alpha");

    // A view whose tab is gone still reports to the delegate.
    WebView orphan;
    bool finished = false;
    AppDelegate* delegate = app.get();
    orphan.setCallbacks({
        .didFinishNavigation =
            [&](WebView& v) {
                finished = true;
                delegate->didFinishNavigation(v);
            },
        .didFailNavigation = nullptr,
        .didFailProvisionalNavigation = nullptr,
        .webProcessTerminated = nullptr,
    });
    orphan.loadURL(server->url("/orphan"));
    ASSERT_TRUE(waitUntil([&] { return finished; }));

    EXPECT_EQ(label(tab(0)), "Alpha");
    EXPECT_EQ(addressText(), server->url("/alpha"));
    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, server->url("/orphan"));
    EXPECT_EQ(entries[0].title, "Orphan");
}

// --- Repeats -------------------------------------------------------------------------

TEST_F(BrowsingTest, ReloadOfNewestEntryAddsNothing) {
    server->addPage("/alpha", htmlPage("Alpha"));
    launch();
    auto log = observe(tab(0));
    loadAndWait("/alpha", "Alpha");

    app->refreshPage();
    ASSERT_TRUE(waitUntil([&] { return log->count(Kind::Finished) == 2; }))
        << "the reload never finished";
    EXPECT_EQ(server->hits("/alpha"), 2);
    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url("/alpha"));
}

// --- Failures --------------------------------------------------------------------

TEST_F(BrowsingTest, PageThatBreaksOffMarksTheTabError) {
    server->addPage("/alpha", htmlPage("Alpha"));
    addBrokenOffPage(*server, "/broken");
    launch();
    Tab& t = tab(0);
    auto log = observe(t);
    loadAndWait("/alpha", "Alpha");

    typeAndReturn(server->url("/broken"));
    ASSERT_TRUE(waitForLabel(t, "Error"));
    settle();

    ASSERT_EQ(log->count(Kind::Failed), 1);
    EXPECT_NE(log->last(Kind::Failed)->errorCode, kCancelledErrorCode);
    EXPECT_EQ(log->count(Kind::Finished), 1) << "only the first page finished";
    EXPECT_EQ(label(t), "Error");
    EXPECT_EQ(addressText(), server->url("/broken"));
    // What arrived of the page stays; no error page replaces it.
    EXPECT_EQ(t.web->title(), "Partial");
    EXPECT_FALSE(t.web->isLoading());
    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url("/alpha"));
}

TEST_F(BrowsingTest, RefusedConnectionChangesNothing) {
    server->addPage("/alpha", htmlPage("Alpha"));
    const std::string refused = refusedAddress();
    launch();
    Tab& t = tab(0);
    auto log = observe(t);
    loadAndWait("/alpha", "Alpha");

    typeAndReturn(refused);
    // The engine's error page for the address follows the failure.
    ASSERT_TRUE(waitUntil([&] { return log->count(Kind::FailedProvisional) == 1; }));
    ASSERT_TRUE(waitUntil([&] { return t.web->url() == refused && !t.web->isLoading(); }));
    settle();
    EXPECT_EQ(log->count(Kind::Finished), 1) << "the error page is not a finished navigation";
    EXPECT_EQ(label(t), "Alpha");
    EXPECT_EQ(addressText(), refused);

    // Reloading the error page tries the address again, and fails the same way.
    app->refreshPage();
    ASSERT_TRUE(waitUntil([&] { return log->count(Kind::FailedProvisional) == 2; }));
    ASSERT_TRUE(waitUntil([&] { return !t.web->isLoading(); }));
    settle();
    EXPECT_EQ(log->count(Kind::Finished), 1);
    EXPECT_EQ(label(t), "Alpha");
    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, server->url("/alpha"));
}

TEST_F(BrowsingTest, NewTabWhoseFirstLoadIsRefusedKeepsLoading) {
    launch();
    Tab& t = tab(0);
    auto log = observe(t);
    typeAndReturn(refusedAddress());
    ASSERT_TRUE(waitUntil([&] { return log->count(Kind::FailedProvisional) == 1; }));
    ASSERT_TRUE(waitUntil([&] { return !t.web->isLoading(); }));
    settle();
    EXPECT_EQ(label(t), "Loading");
    EXPECT_EQ(log->count(Kind::Finished), 0);
    EXPECT_TRUE(history().empty());
}

TEST_F(BrowsingTest, LoadReplacedByANewOneLeavesNoTraceOfItself) {
    server->addPage("/alpha", htmlPage("Alpha"));
    server->addPage("/bravo", htmlPage("Bravo"));
    HeldPage held(*server, "/slow", htmlPage("Slow"));
    launch();
    Tab& t = tab(0);
    auto log = observe(t);
    loadAndWait("/alpha", "Alpha");
    std::vector<std::string> titles;
    t.btn->property_label().signal_changed().connect([&] { titles.push_back(label(t)); });

    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }));
    loadAndWait("/bravo", "Bravo");
    settle();

    EXPECT_EQ(titles, std::vector<std::string>{"Bravo"}) << "a cancelled load is no error";
    EXPECT_EQ(log->count(Kind::Finished), 2);
    const auto entries = recordedHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, server->url("/bravo"));
    EXPECT_EQ(entries[0].title, "Bravo");
    EXPECT_EQ(entries[1].url, server->url("/alpha"));
}

TEST_F(BrowsingTest, StoppedLoadChangesNothing) {
    server->addPage("/alpha", htmlPage("Alpha"));
    HeldPage held(*server, "/slow", htmlPage("Slow"));
    launch();
    Tab& t = tab(0);
    auto log = observe(t);
    loadAndWait("/alpha", "Alpha");

    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }));
    t.web->stopLoading();
    ASSERT_TRUE(waitUntil([&] { return !t.web->isLoading(); }));
    settle();
    EXPECT_EQ(label(t), "Alpha");
    EXPECT_EQ(log->count(Kind::Finished), 1);
    EXPECT_EQ(recordedHistory().size(), 1u);
}

// --- An ended web process --------------------------------------------------------

TEST_F(BrowsingTest, EndedWebProcessShowsErrorAndReloadLoadsThePageAgain) {
    server->addPage("/alpha", htmlPage("Alpha"));
    server->addPage("/bravo", htmlPage("Bravo"));
    launch();
    Tab& first = tab(0);
    loadAndWait("/alpha", "Alpha");
    app->addNewTab();
    Tab& second = tab(1);
    loadAndWait("/bravo", "Bravo");
    app->selectTab(0);

    first.web->terminateWebProcess();
    ASSERT_TRUE(waitForLabel(first, "Error"));
    EXPECT_TRUE(first.web->isShowingProcessEndedPage());
    EXPECT_EQ(first.web->url(), server->url("/alpha")) << "the tab keeps its address";

    // Nothing reloads by itself, and the other tab keeps its page.
    pump(std::chrono::milliseconds(800));
    EXPECT_EQ(server->hits("/alpha"), 1);
    EXPECT_EQ(label(first), "Error");
    EXPECT_EQ(label(second), "Bravo");
    EXPECT_FALSE(second.web->isShowingProcessEndedPage());
    EXPECT_EQ(second.web->url(), server->url("/bravo"));
    EXPECT_EQ(second.web->title(), "Bravo");

    app->selectTab(1);
    app->selectTab(0);
    EXPECT_EQ(addressText(), server->url("/alpha"));

    app->refreshPage();
    ASSERT_TRUE(waitForLabel(first, "Alpha")) << "reload should load the page again";
    EXPECT_FALSE(first.web->isShowingProcessEndedPage());
    EXPECT_EQ(first.web->url(), server->url("/alpha"));

    // The other tab's process still serves it.
    app->selectTab(1);
    app->refreshPage();
    ASSERT_TRUE(waitUntil([&] { return server->hits("/bravo") == 2 && !second.web->isLoading(); }));
    EXPECT_EQ(label(second), "Bravo");
}

TEST_F(BrowsingTest, WebAreaKeepsItsPlaceWithPageOrNotice) {
    server->addPage("/alpha", htmlPage("Alpha"));
    launch();
    Tab& t = tab(0);
    // The web view fills the web area, which runs from 15 under the address
    // field to 15 above the bottom, whatever the view shows; the view's own
    // size must not pull the toolbar out of shape.
    auto expectInPlace = [&](const char* when) {
        SCOPED_TRACE(when);
        Gtk::Widget& back = *app->controlButtons[0];
        int minimum = 0, natural = 0, ignored = 0;
        back.measure(Gtk::Orientation::VERTICAL, -1, minimum, natural, ignored, ignored);
        const Gdk::Rectangle backFrame = frameOf(back);
        const Gdk::Rectangle field = frameOf(*app->addr);
        const Gdk::Rectangle area = frameOf(*app->webContainer);
        EXPECT_EQ(backFrame.get_height(), natural);
        EXPECT_EQ(field.get_y(), backFrame.get_y() + backFrame.get_height() + 15);
        EXPECT_EQ(area.get_y(), field.get_y() + field.get_height() + 15);
        EXPECT_EQ(area.get_y() + area.get_height(), app->glass->get_height() - 15);
        EXPECT_EQ(t.web->widget().get_width(), area.get_width());
        EXPECT_EQ(t.web->widget().get_height(), area.get_height());
    };
    expectInPlace("empty tab");
    loadAndWait("/alpha", "Alpha");
    expectInPlace("page");
    t.web->terminateWebProcess();
    ASSERT_TRUE(waitForLabel(t, "Error"));
    pump(std::chrono::milliseconds(100));
    expectInPlace("notice");
}

TEST_F(BrowsingTest, WebProcessEndingDuringALoadReloadsThatAddress) {
    server->addPage("/alpha", htmlPage("Alpha"));
    HeldPage held(*server, "/slow", htmlPage("Slow"));
    launch();
    Tab& t = tab(0);
    loadAndWait("/alpha", "Alpha");

    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }));
    t.web->terminateWebProcess();
    ASSERT_TRUE(waitForLabel(t, "Error"));
    EXPECT_TRUE(t.web->isShowingProcessEndedPage());

    held.release();
    app->refreshPage();
    ASSERT_TRUE(waitUntil([&] { return held.waiting() == 1; }))
        << "reload should ask for the address the tab was loading";
    held.release();
    ASSERT_TRUE(waitForLabel(t, "Slow"));
    EXPECT_EQ(addressText(), server->url("/slow"));
}

TEST_F(BrowsingTest, EndedWebProcessOfABackgroundTabLeavesTheFieldAlone) {
    server->addPage("/alpha", htmlPage("Alpha"));
    server->addPage("/bravo", htmlPage("Bravo"));
    launch();
    Tab& first = tab(0);
    loadAndWait("/alpha", "Alpha");
    app->addNewTab();
    loadAndWait("/bravo", "Bravo");

    first.web->terminateWebProcess();
    ASSERT_TRUE(waitForLabel(first, "Error"));
    EXPECT_EQ(addressText(), server->url("/bravo"));
    EXPECT_EQ(label(tab(1)), "Bravo");
}

} // namespace
} // namespace vesk::test
