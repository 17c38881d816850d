#include "TabGuiTest.h"

#include <libsoup/soup.h>

#include "TestServer.h"

namespace vesk::test {
namespace {

class TabLifecycleTest : public TabGuiTest {
protected:
    // Three tabs A, B, C showing pages of their own from the local server.
    void launchWithThreePages() {
        server.addPage("/a", htmlPage("A"));
        server.addPage("/b", htmlPage("B"));
        server.addPage("/c", htmlPage("C"));
        launch();
        app->tabs[0]->web->loadURL(server.url("/a"));
        pressNewTab();
        app->tabs[1]->web->loadURL(server.url("/b"));
        pressNewTab();
        app->tabs[2]->web->loadURL(server.url("/c"));
        ASSERT_TRUE(waitUntil([&] {
            for (const auto& t : app->tabs)
                if (t->web->isLoading())
                    return false;
            return true;
        })) << "the local pages did not load";
        settle();
        ASSERT_EQ(app->tabs.size(), 3u);
    }

    // The tab's page address, which names the tab in these tests.
    std::string pageOf(std::size_t i) { return app->tabs.at(i)->web->url().value_or(""); }

    std::vector<Gtk::Widget*> topStrip() { return childrenOf(*app->topTabBarStack); }

    TestServer server;
};

TEST_F(TabLifecycleTest, OpeningSelectsTheNewTabAtTheEndInNoFolder) {
    launch();
    pressNewFolder(); // the first tab joins the new folder
    ASSERT_FALSE(app->tabs[0]->parentFolderId.empty());
    pressNewTab();
    pressNewTab();
    clickTab(0);
    pressNewTab();
    ASSERT_EQ(app->tabs.size(), 4u);
    expectSelected(3);
    Tab& fresh = *app->tabs[3];
    EXPECT_TRUE(fresh.parentFolderId.empty());
    EXPECT_EQ(fresh.btn->get_label(), Glib::ustring("Loading"));
    // Nothing was loaded: an empty address opens a blank tab.
    EXPECT_FALSE(fresh.web->url().has_value());
    EXPECT_EQ(app->addr->get_text(), Glib::ustring(""));
    EXPECT_EQ(topStrip(), allPills());
    // The web view fills the web area.
    settle();
    EXPECT_EQ(fresh.web->widget().get_width(), app->webContainer->get_width());
    EXPECT_EQ(fresh.web->widget().get_height(), app->webContainer->get_height());
}

TEST_F(TabLifecycleTest, AddressThatGivesNoUrlOpensABlankSelectedTab) {
    launch();
    app->addTabObject(std::nullopt);
    app->addTabObject("   ");
    ASSERT_EQ(app->tabs.size(), 3u);
    expectSelected(2);
    for (const auto& t : app->tabs) {
        EXPECT_FALSE(t->web->url().has_value());
        EXPECT_EQ(t->btn->get_label(), Glib::ustring("Loading"));
    }
}

struct CloseCase {
    const char* name;
    std::size_t selectedBefore;
    std::size_t closed;
    // Page of the tab that ends up selected, and where it stands.
    const char* expectedPage;
    std::size_t expectedIndex;
};

class TabCloseRule : public TabLifecycleTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(TabCloseRule, CloseButtonMovesTheSelectionByTheRemovalRule) {
    const CloseCase& c = GetParam();
    launchWithThreePages();
    clickTab(c.selectedBefore);
    expectSelected(c.selectedBefore);
    const std::string closedPage = pageOf(c.closed);

    clickClose(c.closed);
    ASSERT_EQ(app->tabs.size(), 2u);
    expectSelected(c.expectedIndex);
    EXPECT_EQ(pageOf(c.expectedIndex), server.url(c.expectedPage));
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_NE(pageOf(i), closedPage);
    EXPECT_EQ(topStrip(), allPills());
    expectOnlyStripInUseFilled();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TabCloseRule,
    ::testing::Values(CloseCase{"SelectedLastSelectsNewLast", 2, 2, "/b", 1},
                      CloseCase{"SelectedMiddleSelectsFollower", 1, 1, "/c", 1},
                      CloseCase{"SelectedFirstSelectsFollower", 0, 0, "/b", 0},
                      CloseCase{"EarlierUnselectedShiftsSelection", 1, 0, "/b", 0},
                      CloseCase{"LaterUnselectedKeepsSelection", 1, 2, "/b", 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TabLifecycleTest, EverySelectionShowsOneActivePillAndItsAddress) {
    launchWithThreePages();
    for (std::size_t i : {0u, 2u, 1u, 1u, 0u}) {
        clickTab(i);
        expectSelected(i);
    }
    // Selecting does not rebuild: pills keep their place.
    EXPECT_EQ(topStrip(), allPills());
}

TEST_F(TabLifecycleTest, OnlyTabsCloseButtonDoesNothing) {
    launch();
    Tab* only = app->tabs[0].get();
    clickClose(0);
    settle();
    ASSERT_EQ(app->tabs.size(), 1u);
    EXPECT_EQ(app->tabs[0].get(), only);
    expectSelected(0);
    EXPECT_EQ(topStrip(), allPills());
}

TEST_F(TabLifecycleTest, ClickFromAButtonOfNoTabChangesNothing) {
    launchWithThreePages();
    clickTab(1);
    Gtk::Button stranger("stranger");
    app->tabSwitch(&stranger);
    app->closeTab(&stranger);
    app->tabSwitch(nullptr);
    app->closeTab(nullptr);
    app->selectTab(-1);
    app->selectTab(3);
    app->selectTab(NSNotFound);
    ASSERT_EQ(app->tabs.size(), 3u);
    expectSelected(1);
}

TEST_F(TabLifecycleTest, SelectingTheSelectedTabFadesItsPageInAgain) {
    launchWithThreePages();
    Gtk::Widget& page = app->tabs[2]->web->widget();
    EXPECT_DOUBLE_EQ(page.get_opacity(), 1.0);
    clickTab(2);
    EXPECT_LT(page.get_opacity(), 0.1);
    expectSelected(2);
    settle();
    EXPECT_DOUBLE_EQ(page.get_opacity(), 1.0);
    expectSelected(2);
    EXPECT_EQ(topStrip(), allPills());
}

TEST_F(TabLifecycleTest, ClosedTabsWebViewIsStoppedAndReleasedMidLoad) {
    // A page that never answers keeps its tab loading until it is closed.
    std::vector<SoupServerMessage*> held;
    server.addHandler("/slow", [&](SoupServerMessage* msg) {
        soup_server_message_pause(msg);
        held.push_back(msg);
    });
    launch();
    pressNewTab();
    WebView& web = *app->tabs[1]->web;
    bool finalised = false;
    g_object_weak_ref(
        G_OBJECT(web.raw()), [](gpointer flag, GObject*) { *static_cast<bool*>(flag) = true; },
        &finalised);
    web.loadURL(server.url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return !held.empty(); })) << "the slow page was never requested";
    ASSERT_TRUE(web.isLoading());

    clickClose(1);
    EXPECT_EQ(app->tabs.size(), 1u);
    EXPECT_TRUE(waitUntil([&] { return finalised; }, std::chrono::seconds(3)))
        << "the closed tab's web view is still alive";
    expectSelected(0);
    for (SoupServerMessage* msg : held)
        soup_server_message_unpause(msg);
}

TEST_F(TabLifecycleTest, FiftyOpenCloseCyclesLeaveNoWebViewAlive) {
    launch();
    int created = 0;
    int finalised = 0;
    for (int cycle = 0; cycle < 50; ++cycle) {
        pressNewTab();
        ASSERT_EQ(app->tabs.size(), 2u);
        g_object_weak_ref(
            G_OBJECT(app->tabs[1]->web->raw()),
            [](gpointer count, GObject*) { ++*static_cast<int*>(count); }, &finalised);
        ++created;
        pump(std::chrono::milliseconds(5));
        clickClose(1);
        ASSERT_EQ(app->tabs.size(), 1u);
    }
    // Fades hold their view until they end; after that nothing may remain.
    settle();
    EXPECT_TRUE(waitUntil([&] { return finalised == created; }, std::chrono::seconds(3)))
        << finalised << " of " << created << " closed web views were finalised";
    expectSelected(0);
    EXPECT_EQ(topStrip(), allPills());
}

TEST_F(TabLifecycleTest, FadeInRunsFromTransparentToOpaque) {
    launch();
    auto* view = Gtk::make_managed<Gtk::Box>();
    view->set_size_request(50, 50);
    app->glass->addSubview(*view);
    view->set_opacity(1.0);
    app->animateFadeInView(*view);
    EXPECT_DOUBLE_EQ(view->get_opacity(), 0.0);
    settle();
    EXPECT_DOUBLE_EQ(view->get_opacity(), 1.0);
    EXPECT_EQ(view->get_parent(), app->glass);
}

TEST_F(TabLifecycleTest, FadeOutRemovesTheViewBeforeItsCompletion) {
    launch();
    auto* view = Gtk::make_managed<Gtk::Box>();
    view->set_size_request(50, 50);
    app->glass->addSubview(*view);
    pump(std::chrono::milliseconds(50));
    bool finalised = false;
    g_object_weak_ref(
        G_OBJECT(view->gobj()), [](gpointer flag, GObject*) { *static_cast<bool*>(flag) = true; },
        &finalised);

    bool completed = false;
    bool hadParentAtCompletion = true;
    // The caller keeps no reference of its own: the fade holds the view.
    app->animateFadeOutAndRemoveView(*view, [&] {
        completed = true;
        hadParentAtCompletion = view->get_parent() != nullptr;
    });
    pump(std::chrono::milliseconds(60));
    EXPECT_FALSE(completed);
    EXPECT_EQ(view->get_parent(), app->glass) << "the view left before its fade ended";
    ASSERT_TRUE(waitUntil([&] { return completed; }, std::chrono::seconds(2)));
    EXPECT_FALSE(hadParentAtCompletion);
    EXPECT_TRUE(waitUntil([&] { return finalised; }, std::chrono::seconds(1)));
}

TEST_F(TabLifecycleTest, FadeOutWithoutCompletionJustRemoves) {
    launch();
    auto* view = Gtk::make_managed<Gtk::Box>();
    app->glass->addSubview(*view);
    bool finalised = false;
    g_object_weak_ref(
        G_OBJECT(view->gobj()), [](gpointer flag, GObject*) { *static_cast<bool*>(flag) = true; },
        &finalised);
    app->animateFadeOutAndRemoveView(*view, nullptr);
    EXPECT_TRUE(waitUntil([&] { return finalised; }, std::chrono::seconds(2)));
    EXPECT_EQ(childrenOf(*app->glass).size(), 15u);
}

} // namespace
} // namespace vesk::test
