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
    int webLeading() { return frameOf(*app->webContainer).get_x(); }
    double stripOpacity() { return app->topTabBarScroller->get_opacity(); }
    std::vector<Gtk::Widget*> sidebar() { return childrenOf(*app->sidebarTabBarStack); }
    std::vector<Gtk::Widget*> topStrip() { return childrenOf(*app->topTabBarStack); }

    void expectTopBarMode() {
        SCOPED_TRACE("top bar mode");
        EXPECT_FALSE(app->isSidebarMode);
        EXPECT_EQ(sidebarWidth(), 0);
        EXPECT_EQ(webLeading(), 15);
        EXPECT_DOUBLE_EQ(stripOpacity(), 1.0);
        EXPECT_EQ(topStrip(), allPills());
        EXPECT_TRUE(sidebar().empty());
        EXPECT_TRUE(app->topTabBarScroller->get_visible());
    }
    void expectSidebarMode() {
        SCOPED_TRACE("sidebar mode");
        EXPECT_TRUE(app->isSidebarMode);
        EXPECT_EQ(sidebarWidth(), 200);
        EXPECT_EQ(webLeading(), 215);
        EXPECT_DOUBLE_EQ(stripOpacity(), 0.0);
        EXPECT_EQ(sidebar(),
                  (std::vector<Gtk::Widget*>{app->folders[0]->folderHeaderBtn.get(),
                                             app->tabs[1]->pill.get(), app->tabs[0]->pill.get()}));
        EXPECT_TRUE(topStrip().empty());
        // The strip stays in the toolbar row, only transparent.
        EXPECT_TRUE(app->topTabBarScroller->get_visible());
    }
};

TEST_F(TabLayoutModeTest, ModeFlipsAtOnceAndThePillsMoveWhenTheAnimationEnds) {
    launchWithTabsAndFolder();
    expectTopBarMode();
    const auto icon = app->controlButtons[10]->get_icon_name();

    pressLayout();
    EXPECT_TRUE(app->isSidebarMode);
    // During the animation the pills stay in the strip they were in.
    ASSERT_TRUE(waitUntil([&] { return sidebarWidth() > 20; }))
        << "the sidebar column never started to widen";
    EXPECT_LT(sidebarWidth(), 200);
    EXPECT_GT(webLeading(), 15);
    EXPECT_LT(stripOpacity(), 1.0);
    EXPECT_EQ(topStrip(), allPills());
    EXPECT_TRUE(sidebar().empty());

    settle();
    expectSidebarMode();
    // The web area begins right where the column ends.
    EXPECT_EQ(frameOf(*app->sidebarContainer).get_x() + sidebarWidth(), webLeading());

    pressLayout();
    EXPECT_FALSE(app->isSidebarMode);
    ASSERT_TRUE(waitUntil([&] { return sidebarWidth() < 180; }));
    EXPECT_EQ(topStrip().size(), 0u);
    EXPECT_EQ(sidebar().size(), 3u);
    settle();
    expectTopBarMode();
    EXPECT_EQ(app->controlButtons[10]->get_icon_name(), icon);
}

TEST_F(TabLayoutModeTest, SecondPressMidAnimationTurnsBackFromWhereThingsAre) {
    launchWithTabsAndFolder();
    pressLayout();
    ASSERT_TRUE(waitUntil([&] { return sidebarWidth() > 40; }));
    const int reached = sidebarWidth();
    ASSERT_LT(reached, 200) << "the first animation ended before the second press";

    pressLayout();
    EXPECT_FALSE(app->isSidebarMode);
    // The column shrinks from where it stood: it never jumps, never grows again.
    int previous = reached;
    bool jumped = false;
    waitUntil(
        [&] {
            afterNextFrame();
            const int now = sidebarWidth();
            if (now > previous + 1 || now < previous - 120)
                jumped = true;
            previous = now;
            return now == 0;
        },
        std::chrono::seconds(3));
    EXPECT_FALSE(jumped);
    settle();
    // The last completion wins: everything is as after start-up.
    expectTopBarMode();
}

TEST_F(TabLayoutModeTest, ThreeQuickPressesEndInTheSidebar) {
    launchWithTabsAndFolder();
    for (int i = 0; i < 3; ++i) {
        pressLayout();
        pump(std::chrono::milliseconds(60));
    }
    settle();
    expectSidebarMode();
    expectOnlyStripInUseFilled();
}

TEST_F(TabLayoutModeTest, EvenNumberOfPressesRestoresTheStartUpLayout) {
    launchWithTabsAndFolder();
    for (int i = 0; i < 4; ++i) {
        pressLayout();
        settle();
    }
    expectTopBarMode();
    // The tab strip is back where the toolbar table puts it.
    const auto zoomIn = frameOf(*app->controlButtons[3]);
    EXPECT_EQ(frameOf(*app->topTabBarScroller).get_x(), zoomIn.get_x() + zoomIn.get_width() + 20);
}

TEST_F(TabLayoutModeTest, SelectionAndPageSurviveTheSwitch) {
    launchWithTabsAndFolder();
    clickTab(0);
    pressLayout();
    settle();
    expectSelected(0);
    pressLayout();
    settle();
    expectSelected(0);
}

} // namespace
} // namespace vesk::test
