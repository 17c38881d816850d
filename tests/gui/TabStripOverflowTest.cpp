#include "TabGuiTest.h"

namespace vesk::test {
namespace {

class TabStripOverflowTest : public TabGuiTest {
protected:
    // Whether the pill is wholly inside the scroller's visible part.
    bool inView(std::size_t tab) {
        graphene_rect_t bounds;
        if (!gtk_widget_compute_bounds(GTK_WIDGET(app->tabs.at(tab)->pill->gobj()),
                                       GTK_WIDGET(app->topTabBarScroller->gobj()), &bounds))
            return false;
        const double left = graphene_rect_get_x(&bounds);
        const double right = left + graphene_rect_get_width(&bounds);
        return left >= -0.5 && right <= app->topTabBarScroller->get_width() + 0.5;
    }

    // The widget a click at the centre of `target` lands on is `target` or inside it.
    bool clickReaches(Gtk::Widget& target) {
        double x = 0, y = 0;
        target.translate_coordinates(*app->window, target.get_width() / 2.0,
                                     target.get_height() / 2.0, x, y);
        Gtk::Widget* hit = app->window->pick(x, y);
        return hit && (hit == &target || hit->is_ancestor(target));
    }
};

TEST_F(TabStripOverflowTest, ThirtyTabsAtMinimumWidthKeepButtonsClickableAndSelectionInView) {
    launch();
    while (app->tabs.size() < 30)
        pressNewTab();
    settle();
    resizeWindow(980, 640);
    ASSERT_EQ(app->glass->get_width(), 980) << "the tabs keep the window wide";
    const auto strip = frameOf(*app->topTabBarScroller);
    EXPECT_EQ(frameOf(*app->controlButtons[5]).get_x(), strip.get_x() + strip.get_width() + 15);
    for (std::size_t i = 5; i <= 10; ++i)
        EXPECT_TRUE(clickReaches(*app->controlButtons[i])) << "toolbar button " << i;
    EXPECT_TRUE(inView(29));
    EXPECT_FALSE(inView(0));
    for (std::size_t i : {0u, 14u, 3u}) {
        clickTab(i);
        settle();
        EXPECT_TRUE(inView(i)) << "tab " << i;
    }
    // Closing the selected tab brings its follower into view.
    clickClose(3);
    settle();
    EXPECT_TRUE(inView(3));
}

} // namespace
} // namespace vesk::test
