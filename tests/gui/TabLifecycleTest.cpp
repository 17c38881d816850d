#include <algorithm>

#include "TabGuiTest.h"
#include "TestServer.h"

namespace vesk::test {
namespace {

class TabLifecycleTest : public TabGuiTest {
protected:
    // Three tabs showing pages /0, /1 and /2 of the local server.
    void launchWithThreePages() {
        launch();
        for (std::size_t i = 0; i < 3; ++i) {
            server.addPage("/" + std::to_string(i), htmlPage("page"));
            if (i > 0)
                pressNewTab();
            tab(i).web().loadURL(server.url("/" + std::to_string(i)));
        }
        ASSERT_TRUE(waitUntil([&] {
            return std::none_of(app->tabs().begin(), app->tabs().end(),
                                [](const auto& t) { return t->web().isLoading(); });
        })) << "the local pages did not load";
        settle();
    }

    TestServer server;
};

struct CloseCase {
    const char* name;
    std::size_t selected, closed;
    // The page of the tab selected afterwards, and where it stands.
    const char* page;
    std::size_t index;
};

class TabCloseRule : public TabLifecycleTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(TabCloseRule, SelectingThenClosingShowsTheRightTab) {
    const CloseCase& c = GetParam();
    launchWithThreePages();
    clickTab(c.selected);
    expectSelected(c.selected);
    clickClose(c.closed);
    ASSERT_EQ(app->tabs().size(), 2u);
    expectSelected(c.index);
    EXPECT_EQ(tab(c.index).web().url(), server.url(c.page));
}

INSTANTIATE_TEST_SUITE_P(
    TabClose, TabCloseRule,
    ::testing::Values(CloseCase{"SelectedLastSelectsNewLast", 2, 2, "/1", 1},
                      CloseCase{"SelectedMiddleSelectsFollower", 1, 1, "/2", 1},
                      CloseCase{"EarlierUnselectedShiftsSelection", 1, 0, "/1", 0},
                      CloseCase{"LaterUnselectedKeepsSelection", 1, 2, "/1", 1}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(TabLifecycleTest, OnlyTabsCloseButtonDoesNothing) {
    launch();
    Tab* only = &tab(0);
    clickClose(0);
    settle();
    ASSERT_EQ(app->tabs().size(), 1u);
    EXPECT_EQ(&tab(0), only);
    expectSelected(0);
}

TEST_F(TabLifecycleTest, FiftyOpenCloseCyclesLeaveNoWebViewAlive) {
    launch();
    int finalised = 0;
    for (int cycle = 0; cycle < 50; ++cycle) {
        pressNewTab();
        ASSERT_EQ(app->tabs().size(), 2u);
        g_object_weak_ref(
            G_OBJECT(tab(1).web().raw()),
            [](gpointer count, GObject*) { ++*static_cast<int*>(count); }, &finalised);
        pump(std::chrono::milliseconds(5));
        clickClose(1);
        ASSERT_EQ(app->tabs().size(), 1u);
    }
    // Fades hold their view until they end; after that nothing may remain.
    settle();
    EXPECT_TRUE(waitUntil([&] { return finalised == 50; }, std::chrono::seconds(3)))
        << finalised << " of 50 closed web views were finalised";
    expectSelected(0);
}

} // namespace
} // namespace vesk::test
