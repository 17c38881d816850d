#include "TabGuiTest.h"

namespace vesk::test {
namespace {

class TabFoldersTest : public TabGuiTest {
protected:
    Gtk::Widget* pill(std::size_t i) { return &tab(i).pill(); }
    Gtk::Button& header(std::size_t i) { return app->folders().at(i)->header(); }
    void toggleLayout() {
        pressLayout();
        settle();
    }
    // What a user sees of a strip view: shown and drawn.
    static bool shown(Gtk::Widget* w) { return w->get_visible() && w->get_mapped(); }
    using Views = std::vector<Gtk::Widget*>;
};

TEST_F(TabFoldersTest, NewFolderIsNumberedAndAdoptsTheSelectedTabInNoFolder) {
    launch();
    pressNewFolder();
    ASSERT_EQ(app->folders().size(), 1u);
    EXPECT_EQ(header(0).get_label(), "\U0001F4C1 Workspace 1");
    EXPECT_EQ(tab(0).parentFolderId, app->folders()[0]->folderId);
    // The selected tab is already in a folder: the next folder starts empty.
    pressNewFolder();
    EXPECT_EQ(header(1).get_label(), "\U0001F4C1 Workspace 2");
    EXPECT_EQ(tab(0).parentFolderId, app->folders()[0]->folderId);
    // A new tab lands in no folder, and the next folder adopts it.
    pressNewTab();
    EXPECT_TRUE(tab(1).parentFolderId.empty());
    pressNewFolder();
    EXPECT_EQ(tab(1).parentFolderId, app->folders()[2]->folderId);
}

TEST_F(TabFoldersTest, CollapsedFolderHidesItsPillsInTheSidebarOnly) {
    launch();
    pressNewTab();
    pressNewFolder(); // the selected tab 1 joins
    toggleLayout();
    click(header(0));
    settle();
    // Still arranged, just hidden; the selected tab's page stays on screen.
    EXPECT_EQ(sidebar(), (Views{&header(0), pill(1), pill(0)}));
    EXPECT_FALSE(shown(pill(1)));
    EXPECT_TRUE(shown(pill(0)));
    expectSelected(1);
    EXPECT_TRUE(tab(1).web().widget().get_mapped());

    toggleLayout();
    EXPECT_TRUE(shown(pill(1)));
    expectSelected(1);

    toggleLayout();
    EXPECT_FALSE(shown(pill(1)));
    click(header(0));
    settle();
    EXPECT_TRUE(shown(pill(1)));
}

// Presses 50 ms apart, well inside one 0.3-second animation: each turns it
// around, and the last one decides, however far the others got.
class TabLayoutQuickPresses : public TabFoldersTest, public ::testing::WithParamInterface<int> {};

TEST_P(TabLayoutQuickPresses, EndInTheLastPressedModeWithItsGeometry) {
    launch();
    pressNewTab();
    pressNewFolder();
    settle();
    for (int i = 0; i < GetParam(); ++i) {
        pressLayout();
        pump(std::chrono::milliseconds(50));
    }
    settle();
    const bool sidebarMode = GetParam() % 2 == 1;
    ASSERT_EQ(app->isSidebarMode(), sidebarMode);
    EXPECT_EQ(frameOf(app->window().sidebarContainer()).get_width(), sidebarMode ? 200 : 0);
    const auto web = frameOf(app->window().webContainer());
    EXPECT_EQ(web.get_x(), sidebarMode ? 215 : 15);
    EXPECT_EQ(web.get_x() + web.get_width(), glass().get_width() - 15);
    EXPECT_DOUBLE_EQ(app->window().tabStrip().topScroller().get_opacity(), sidebarMode ? 0 : 1);
    if (sidebarMode) {
        EXPECT_EQ(sidebar(), (Views{&header(0), pill(1), pill(0)}));
    }
    expectSelected(1);
}

INSTANTIATE_TEST_SUITE_P(TabLayout, TabLayoutQuickPresses, ::testing::Values(2, 3));

} // namespace
} // namespace vesk::test
