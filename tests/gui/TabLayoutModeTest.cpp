#include "TabGuiTest.h"

namespace vesk::test {
namespace {

class TabLayoutModeTest : public TabGuiTest {
protected:
    // Two tabs, the second in a folder, so both strips have something to show.
    void launchWithTabsAndFolder() {
        launch();
        pressNewTab();
        pressNewFolder();
        settle();
    }

    int sidebarWidth() { return frameOf(*app->sidebarContainer).get_width(); }

    void expectMode(bool sidebarMode) {
        SCOPED_TRACE(sidebarMode ? "sidebar mode" : "top bar mode");
        EXPECT_EQ(app->isSidebarMode, sidebarMode);
        EXPECT_EQ(sidebarWidth(), sidebarMode ? 200 : 0);
        EXPECT_EQ(frameOf(*app->webContainer).get_x(), sidebarMode ? 215 : 15);
        EXPECT_DOUBLE_EQ(app->topTabBarScroller->get_opacity(), sidebarMode ? 0.0 : 1.0);
        if (sidebarMode)
            EXPECT_EQ(sidebar(), (std::vector<Gtk::Widget*>{app->folders[0]->folderHeaderBtn.get(),
                                                            app->tabs[1]->pill.get(),
                                                            app->tabs[0]->pill.get()}));
        else
            EXPECT_EQ(topStrip(), allPills());
        expectOnlyStripInUseFilled();
    }
};

TEST_F(TabLayoutModeTest, PillsMoveWhenTheAnimationEnds) {
    launchWithTabsAndFolder();
    pressLayout();
    EXPECT_TRUE(app->isSidebarMode);
    ASSERT_TRUE(waitUntil([&] { return sidebarWidth() > 20; }))
        << "the sidebar column never started to widen";
    // During the animation the pills stay in the strip they were in.
    EXPECT_LT(sidebarWidth(), 200);
    EXPECT_EQ(topStrip(), allPills());
    settle();
    expectMode(true);
    pressLayout();
    settle();
    expectMode(false);
}

// Each press within one animation turns it around; the last press decides.
class TabLayoutQuickPresses : public TabLayoutModeTest,
                              public ::testing::WithParamInterface<int> {};

TEST_P(TabLayoutQuickPresses, EndInTheLastPressedMode) {
    launchWithTabsAndFolder();
    for (int i = 0; i < GetParam(); ++i) {
        pressLayout();
        ASSERT_TRUE(waitUntil([&] { return sidebarWidth() > 0 && sidebarWidth() < 200; }))
            << "no animation was running";
    }
    settle();
    expectMode(GetParam() % 2 == 1);
}

INSTANTIATE_TEST_SUITE_P(TabLayout, TabLayoutQuickPresses, ::testing::Values(2, 3));

} // namespace
} // namespace vesk::test
