#include "TabGuiTest.h"

#include "TestServer.h"

namespace vesk::test {
namespace {

class TabLifecycleTest : public TabGuiTest {
protected:
    // Three tabs showing pages /0, /1 and /2 of the local server.
    void launchWithThreePages() {
        for (int i = 0; i < 3; ++i)
            server.addPage("/" + std::to_string(i), htmlPage("page"));
        launch();
        for (int i = 0; i < 3; ++i) {
            if (i > 0)
                pressNewTab();
            app->tabs[i]->web->loadURL(server.url("/" + std::to_string(i)));
        }
        ASSERT_TRUE(waitUntil([&] {
            for (const auto& t : app->tabs)
                if (t->web->isLoading())
                    return false;
            return true;
        })) << "the local pages did not load";
        settle();
    }

    std::string pageOf(std::size_t i) { return app->tabs.at(i)->web->url().value_or(""); }

    TestServer server;
};

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
    clickClose(c.closed);
    ASSERT_EQ(app->tabs.size(), 2u);
    expectSelected(c.expectedIndex);
    EXPECT_EQ(pageOf(c.expectedIndex), server.url(c.expectedPage));
    EXPECT_EQ(topStrip(), allPills());
    expectOnlyStripInUseFilled();
}

INSTANTIATE_TEST_SUITE_P(
    TabClose, TabCloseRule,
    ::testing::Values(CloseCase{"SelectedLastSelectsNewLast", 2, 2, "/1", 1},
                      CloseCase{"SelectedMiddleSelectsFollower", 1, 1, "/2", 1},
                      CloseCase{"EarlierUnselectedShiftsSelection", 1, 0, "/1", 0},
                      CloseCase{"LaterUnselectedKeepsSelection", 1, 2, "/1", 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TabLifecycleTest, EverySelectionShowsOneActivePillAndItsAddress) {
    launchWithThreePages();
    for (std::size_t i : {0u, 2u, 1u, 1u, 0u}) {
        clickTab(i);
        expectSelected(i);
    }
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

TEST_F(TabLifecycleTest, FiftyOpenCloseCyclesLeaveNoWebViewAlive) {
    launch();
    int finalised = 0;
    for (int cycle = 0; cycle < 50; ++cycle) {
        pressNewTab();
        ASSERT_EQ(app->tabs.size(), 2u);
        g_object_weak_ref(
            G_OBJECT(app->tabs[1]->web->raw()),
            [](gpointer count, GObject*) { ++*static_cast<int*>(count); }, &finalised);
        pump(std::chrono::milliseconds(5));
        clickClose(1);
        ASSERT_EQ(app->tabs.size(), 1u);
    }
    // Fades hold their view until they end; after that nothing may remain.
    settle();
    EXPECT_TRUE(waitUntil([&] { return finalised == 50; }, std::chrono::seconds(3)))
        << finalised << " of 50 closed web views were finalised";
    expectSelected(0);
}

} // namespace
} // namespace vesk::test
