#include <algorithm>
#include <cstdlib>

#include "Snapshot.h"
#include "TabGuiTest.h"

namespace vesk::test {
namespace {

class TabStripTest : public TabGuiTest {
protected:
    // A pixel of the pill's own background, left of its title button.
    Pixel background(std::size_t i) { return Snapshot(tab(i).pill()).at(4, 14); }
    // Feeds the pill's motion controller as the pointer crossing its edge does.
    void enter(std::size_t i) {
        g_signal_emit_by_name(tab(i).pill().tracking()->gobj(), "enter", 5.0, 5.0);
        settle();
    }
    void leave(std::size_t i) {
        g_signal_emit_by_name(tab(i).pill().tracking()->gobj(), "leave");
        settle();
    }
    static bool clear(const Pixel& p) { return p.a < 5; }
    // White at alpha 0.15.
    static bool washed(const Pixel& p) {
        return std::abs(p.a - 38) <= 5 && std::min({p.r, p.g, p.b}) > 242;
    }
    // The accent (system blue before any theme) at alpha 0.24.
    static bool accented(const Pixel& p) { return std::abs(p.a - 61) <= 5 && p.b > p.r + 76; }

    // Whether the pill is wholly inside the top strip's visible part.
    bool inView(std::size_t i) {
        Gtk::ScrolledWindow& scroller = app->window().tabStrip().topScroller();
        graphene_rect_t r;
        return gtk_widget_compute_bounds(GTK_WIDGET(tab(i).pill().gobj()),
                                         GTK_WIDGET(scroller.gobj()), &r) &&
               r.origin.x >= -0.5 && r.origin.x + r.size.width <= scroller.get_width() + 0.5;
    }
    // Whether a click at the centre of `target` lands on it or inside it.
    bool clickReaches(Gtk::Widget& target) {
        double x = 0, y = 0;
        target.translate_coordinates(window(), target.get_width() / 2.0, target.get_height() / 2.0,
                                     x, y);
        Gtk::Widget* hit = window().pick(x, y);
        return hit && (hit == &target || hit->is_ancestor(target));
    }
};

TEST_F(TabStripTest, HoverWashesInactivePillsOnlyAndEndsWhenTheirStateChanges) {
    launch();
    pressNewTab();
    settle();
    EXPECT_PRED1(clear, background(0));
    enter(0);
    EXPECT_PRED1(washed, background(0));
    leave(0);
    EXPECT_PRED1(clear, background(0));
    // The active pill keeps its accent under the pointer.
    enter(1);
    EXPECT_PRED1(accented, background(1));

    // Tab 0 is chosen another way while the pointer rests on pill 1: pill 1
    // clears, stays clear as the pointer leaves, and washes at the next entry.
    clickTab(0);
    settle();
    EXPECT_PRED1(accented, background(0));
    EXPECT_PRED1(clear, background(1));
    leave(1);
    EXPECT_PRED1(clear, background(1));
    enter(1);
    EXPECT_PRED1(washed, background(1));

    // The hovered pill that becomes active takes the accent.
    clickTab(1);
    settle();
    EXPECT_PRED1(accented, background(1));
    EXPECT_PRED1(clear, background(0));
}

TEST_F(TabStripTest, ThirtyTabsKeepTheRightButtonsClickableAndTheSelectionInView) {
    launch();
    while (app->tabs().size() < 30)
        pressNewTab();
    settle();
    EXPECT_TRUE(inView(29));
    ASSERT_FALSE(inView(0)) << "thirty pills fit";
    Toolbar& bar = toolbar();
    for (auto [width, height] : {std::pair{1280, 800}, std::pair{980, 640}}) {
        SCOPED_TRACE("window width " + std::to_string(width));
        resizeWindow(width, height);
        ASSERT_EQ(glass().get_width(), width) << "the tabs keep the window wide";
        for (Gtk::Button* button : {&bar.newTab(), &bar.newFolder(), &bar.history(), &bar.theme(),
                                    &bar.password(), &bar.layout()})
            EXPECT_TRUE(clickReaches(*button)) << button->get_action_name();
        for (std::size_t i : {0u, 14u, 3u}) {
            clickTab(i);
            settle();
            EXPECT_TRUE(inView(i)) << "tab " << i;
        }
    }
    // Closing the selected tab brings its follower into view.
    clickClose(3);
    settle();
    EXPECT_TRUE(inView(3));
}

} // namespace
} // namespace vesk::test
