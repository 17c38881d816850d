#include "TabGuiTest.h"

#include <gtkmm/adjustment.h>

namespace vesk::test {
namespace {

class TabStripOverflowTest : public TabGuiTest {
protected:
    void openTabs(std::size_t total) {
        while (app->tabs.size() < total)
            pressNewTab();
        settle();
    }

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

    void expectRightButtonsClear() {
        auto& b = app->controlButtons;
        const auto strip = frameOf(*app->topTabBarScroller);
        const auto newTab = frameOf(*b[5]);
        const auto newFolder = frameOf(*b[6]);
        const auto history = frameOf(*b[7]);
        EXPECT_EQ(newTab.get_x(), strip.get_x() + strip.get_width() + 15);
        EXPECT_EQ(newFolder.get_x(), newTab.get_x() + newTab.get_width() + 10);
        EXPECT_LE(newFolder.get_x() + newFolder.get_width() + 15, history.get_x());
        for (std::size_t i = 5; i <= 10; ++i)
            EXPECT_TRUE(clickReaches(*b[i])) << "toolbar button " << i << " is covered";
    }
};

TEST_F(TabStripOverflowTest, ThirtyTabsAtMinimumWidthLeaveTheRightButtonsClickable) {
    launch();
    openTabs(30);
    ASSERT_EQ(app->glass->get_width(), 1280) << "the tabs widened the window";
    expectRightButtonsClear();
    // The window still shrinks to its smallest width with all those tabs.
    resizeWindow(980, 640);
    ASSERT_EQ(app->glass->get_width(), 980) << "the tabs keep the window wide";
    expectRightButtonsClear();
    // The newest tab is selected and scrolled into view.
    EXPECT_TRUE(inView(29));
    EXPECT_FALSE(inView(0));
    EXPECT_TRUE(clickReaches(*app->tabs[29]->btn));
}

TEST_F(TabStripOverflowTest, SelectedTabIsScrolledIntoView) {
    launch();
    resizeWindow(980, 640);
    openTabs(30);
    for (std::size_t i : {0u, 14u, 29u, 3u}) {
        clickTab(i);
        settle();
        EXPECT_TRUE(inView(i)) << "tab " << i;
        expectSelected(i);
    }
    // Closing the selected tab brings its follower into view.
    clickClose(3);
    settle();
    EXPECT_TRUE(inView(3));
    // Closing the last of many keeps the new last one in view.
    clickTab(28);
    clickClose(28);
    settle();
    EXPECT_TRUE(inView(27));
}

TEST_F(TabStripOverflowTest, StripComesBackIntoViewAfterTheSidebar) {
    launch();
    resizeWindow(980, 640);
    openTabs(20);
    clickTab(12);
    pressLayout();
    settle();
    pressLayout();
    settle();
    EXPECT_TRUE(inView(12));
    expectRightButtonsClear();
}

TEST_F(TabStripOverflowTest, FewTabsStandFromTheStripsStartWithoutScrolling) {
    launch();
    openTabs(3);
    expectRightButtonsClear();
    // The pills stand 8 apart from the strip's leading edge; nothing scrolls.
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(inView(i));
        double x = 0, y = 0;
        app->tabs[i]->pill->translate_coordinates(*app->topTabBarScroller, 0, 0, x, y);
        EXPECT_EQ(x, i * (140 + 8));
        EXPECT_EQ(y, 2);
    }
    auto adjustment = app->topTabBarScroller->get_hadjustment();
    EXPECT_DOUBLE_EQ(adjustment->get_value(), 0.0);
}

TEST_F(TabStripOverflowTest, VerticalWheelScrollsTheStripSideways) {
    launch();
    resizeWindow(980, 640);
    openTabs(20);
    clickTab(0);
    settle();
    auto adjustment = app->topTabBarScroller->get_hadjustment();
    ASSERT_DOUBLE_EQ(adjustment->get_value(), 0.0);
    GtkEventController* wheel = nullptr;
    GListModel* controllers =
        gtk_widget_observe_controllers(GTK_WIDGET(app->topTabBarScroller->gobj()));
    for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
        auto* c = GTK_EVENT_CONTROLLER(g_list_model_get_item(controllers, i));
        const char* name = gtk_event_controller_get_name(c);
        if (GTK_IS_EVENT_CONTROLLER_SCROLL(c) && name && std::string(name) == "vesk-strip-wheel")
            wheel = c;
        g_object_unref(c);
    }
    g_object_unref(controllers);
    ASSERT_NE(wheel, nullptr) << "the strip has no wheel handler";
    gboolean handled = FALSE;
    g_signal_emit_by_name(wheel, "scroll", 0.0, 3.0, &handled);
    EXPECT_TRUE(handled);
    EXPECT_GT(adjustment->get_value(), 0.0);
    g_signal_emit_by_name(wheel, "scroll", 0.0, -100.0, &handled);
    EXPECT_DOUBLE_EQ(adjustment->get_value(), 0.0);
}

TEST_F(TabStripOverflowTest, ManyTabsInTheSidebarDoNotGrowTheWindow) {
    launch();
    openTabs(40);
    pressLayout();
    settle();
    EXPECT_EQ(app->glass->get_height(), 800);
    EXPECT_EQ(app->glass->get_width(), 1280);
    expectRightButtonsClear();
}

} // namespace
} // namespace vesk::test
