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
    // The mode flips at once, but the pills stay where they were until the
    // animation has ended.
    EXPECT_TRUE(app->isSidebarMode);
    EXPECT_EQ(topStrip(), allPills());
    EXPECT_TRUE(sidebar().empty());
    settle();
    expectMode(true);
    pressLayout();
    EXPECT_TRUE(sidebar().size() == 3u);
    settle();
    expectMode(false);
}

// Each press within one animation turns it around; the last press decides.
class TabLayoutQuickPresses : public TabLayoutModeTest,
                              public ::testing::WithParamInterface<int> {};

TEST_P(TabLayoutQuickPresses, EndInTheLastPressedMode) {
    launchWithTabsAndFolder();
    // Presses 50 ms apart, well inside one 0.3-second animation; how far each
    // got depends on the machine, but the end state must not.
    for (int i = 0; i < GetParam(); ++i) {
        pressLayout();
        pump(std::chrono::milliseconds(50));
    }
    settle();
    expectMode(GetParam() % 2 == 1);
}

INSTANTIATE_TEST_SUITE_P(TabLayout, TabLayoutQuickPresses, ::testing::Values(2, 3));

} // namespace
} // namespace vesk::test
