#include <algorithm>
#include <cstdlib>

#include "GuiTest.h"
#include "Snapshot.h"

namespace vesk::test {
namespace {

// The tab tests drive the real window as a user does: clicking its buttons, reading what shows.
class TabGuiTest : public GuiTest {
protected:
    using Views = std::vector<Gtk::Widget*>;
    void pressNewTab() { click(toolbar().newTab()); }
    void clickTab(std::size_t i) { click(tab(i).titleButton()); }
    void clickClose(std::size_t i) { click(tab(i).closeButton()); }
    Gtk::Widget* pill(std::size_t i) { return &tab(i).pill(); }
    Gtk::Button& header(std::size_t i) { return app->tabs().folderAt(i).header(); }
    // What a user sees of a strip view: shown and drawn.
    static bool shown(Gtk::Widget* w) { return w->get_visible() && w->get_mapped(); }
    static Views childrenOf(Gtk::Widget& parent) {
        Views out;
        for (Gtk::Widget* c = parent.get_first_child(); c; c = c->get_next_sibling())
            out.push_back(c);
        return out;
    }
    Views sidebar() { return childrenOf(app->window().tabStrip().sidebarStrip()); }
    // After any selection: one active pill, the selected tab's; its page alone in the web
    // area; its address in the field; only the strip in use filled, the top one in tab order.
    void expectSelected(std::size_t index) {
        SCOPED_TRACE("selected tab " + std::to_string(index));
        EXPECT_EQ(activeIndexOf(app->tabs()), static_cast<std::int64_t>(index));
        Views pills;
        for (std::size_t i = 0; i < app->tabs().size(); ++i) {
            EXPECT_EQ(tab(i).pill().has_css_class("active"), i == index) << "pill " << i;
            pills.push_back(pill(i));
        }
        EXPECT_EQ(childrenOf(app->window().webContainer()), Views{&tab(index).web().widget()});
        EXPECT_EQ(std::string(addressEntry().get_text()), tab(index).web().url().value_or(""));
        const Views top = childrenOf(app->window().tabStrip().topStrip());
        EXPECT_TRUE(app->tabs().model().mode() == StripMode::Sidebar
                        ? top.empty()
                        : sidebar().empty() && top == pills);
    }
};

using TabFoldersTest = TabGuiTest;

TEST_F(TabFoldersTest, NewFoldersAreNumberedAdoptTheSelectedLooseTabAndCollapseInTheSidebar) {
    launch();
    click(toolbar().newFolder()); // adopts tab 0
    click(toolbar().newFolder()); // tab 0 already has a folder: this one starts empty
    pressNewTab();
    click(toolbar().newFolder()); // adopts the new tab 1, in no folder yet
    ASSERT_EQ(app->tabs().model().folders().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(header(i).get_label().raw(), "\U0001F4C1 Workspace " + std::to_string(i + 1));
    EXPECT_EQ(app->tabs().model().tabs()[0].folderId, app->tabs().model().folders()[0].folderId);
    EXPECT_EQ(app->tabs().model().tabs()[1].folderId, app->tabs().model().folders()[2].folderId);
    // Collapsing the selected tab's folder hides its pill, still arranged, but not its page.
    click(toolbar().layout());
    waitForRedraw();
    click(header(2));
    waitForRedraw();
    EXPECT_EQ(sidebar(), (Views{&header(0), pill(0), &header(1), &header(2), pill(1)}));
    EXPECT_FALSE(shown(pill(1)));
    EXPECT_TRUE(shown(pill(0)));
    expectSelected(1);
    EXPECT_TRUE(tab(1).web().widget().get_mapped());
    // The top strip shows every pill; the sidebar still remembers the collapse.
    click(toolbar().layout());
    waitForRedraw();
    EXPECT_TRUE(shown(pill(1)));
    expectSelected(1);
    click(toolbar().layout());
    waitForRedraw();
    EXPECT_FALSE(shown(pill(1)));
    click(header(2));
    waitForRedraw();
    EXPECT_TRUE(shown(pill(1)));
}

// Presses 50 ms apart, well inside one 0.3-second animation, each turn it around; the last
// one decides, to the pixel, however far the others got.
class TabLayoutQuickPresses : public TabGuiTest, public ::testing::WithParamInterface<int> {};

TEST_P(TabLayoutQuickPresses, EndInTheLastPressedModeWithItsGeometry) {
    constexpr auto kPressInterval = std::chrono::milliseconds(50);
    launch();
    pressNewTab();
    click(toolbar().newFolder());
    waitForRedraw();
    const bool sidebarMode = GetParam() % 2 == 1;
    const int sidebarWidth = sidebarMode ? 200 : 0, webLeading = sidebarMode ? 215 : 15;
    {
        // The presses must land inside running animations.
        AnimationsOn animations;
        for (int i = 0; i < GetParam(); ++i) {
            click(toolbar().layout());
            const auto next = std::chrono::steady_clock::now() + kPressInterval;
            waitUntil([&] { return std::chrono::steady_clock::now() >= next; });
        }
        // Only the last animation's end lands on its target, and it rebuilds the strips then.
        EXPECT_TRUE(waitUntil([&] {
            return frameOf(app->window().sidebarContainer()).get_width() == sidebarWidth &&
                   frameOf(app->window().webContainer()).get_x() == webLeading &&
                   app->window().tabStrip().topScroller().get_opacity() == (sidebarMode ? 0 : 1);
        }));
        waitForRedraw();
    }
    ASSERT_EQ(app->tabs().model().mode() == StripMode::Sidebar, sidebarMode);
    EXPECT_EQ(frameOf(app->window().sidebarContainer()).get_width(), sidebarWidth);
    const auto web = frameOf(app->window().webContainer());
    EXPECT_EQ(web.get_x(), webLeading);
    EXPECT_EQ(web.get_x() + web.get_width(), glass().get_width() - 15);
    EXPECT_DOUBLE_EQ(app->window().tabStrip().topScroller().get_opacity(), sidebarMode ? 0 : 1);
    EXPECT_EQ(sidebar(), (sidebarMode ? Views{&header(0), pill(1), pill(0)} : Views{}));
    expectSelected(1);
}

INSTANTIATE_TEST_SUITE_P(TabLayout, TabLayoutQuickPresses, ::testing::Values(2, 3));

using TabLifecycleTest = TabGuiTest;

TEST_F(TabLifecycleTest, OnlyTabStaysOpenAndFiftyOpenCloseCyclesFreeEveryWebView) {
    launch();
    Tab* only = &tab(0);
    clickClose(0);
    waitForRedraw();
    ASSERT_EQ(app->tabs().size(), 1u);
    EXPECT_EQ(&tab(0), only);
    expectSelected(0);
    int finalised = 0;
    for (int cycle = 0; cycle < 50; ++cycle) {
        pressNewTab();
        ASSERT_EQ(app->tabs().size(), 2u);
        g_object_weak_ref(
            G_OBJECT(tab(1).web().raw()),
            [](gpointer count, GObject*) { ++*static_cast<int*>(count); }, &finalised);
        runPending();
        clickClose(1);
    }
    // Fades hold their view until they end; after that nothing may remain.
    waitForRedraw();
    EXPECT_TRUE(waitUntil([&] { return finalised == 50; }, std::chrono::seconds(3))) << finalised;
    expectSelected(0);
}

class TabStripTest : public TabGuiTest {
protected:
    // Feeds the pill's motion controller as the pointer crossing its edge does; returns looks().
    std::string cross(const char* crossing, std::size_t i) {
        g_signal_emit_by_name(tab(i).pill().tracking()->gobj(), crossing, 5.0, 5.0);
        waitForRedraw();
        return looks();
    }
    // How each pill's own background, left of its title button, looks: clear, washed (white at
    // alpha 0.15) or accented (the accent, system blue before any theme, at alpha 0.24).
    std::string looks() {
        std::string out;
        for (std::size_t i = 0; i < app->tabs().size(); ++i) {
            const Pixel p = paintedAt(tab(i).pill(), 4, 14);
            const bool white = std::min({p.r, p.g, p.b}) > 242, blue = p.b > p.r + 76;
            out += p.a < 5                            ? "clear "
                   : std::abs(p.a - 38) <= 5 && white ? "washed "
                   : std::abs(p.a - 61) <= 5 && blue  ? "accented "
                                                      : "other ";
        }
        return out;
    }
    // Whether the pill is wholly inside the top strip's visible part.
    bool inView(std::size_t i) {
        Gtk::ScrolledWindow& scroller = app->window().tabStrip().topScroller();
        graphene_rect_t r;
        return gtk_widget_compute_bounds(GTK_WIDGET(pill(i)->gobj()), GTK_WIDGET(scroller.gobj()),
                                         &r) &&
               r.origin.x >= -0.5 && r.origin.x + r.size.width <= scroller.get_width() + 0.5;
    }
};

TEST_F(TabStripTest, HoverWashesInactivePillsOnlyAndEndsWhenTheirStateChanges) {
    launch();
    pressNewTab();
    waitForRedraw();
    EXPECT_EQ(looks(), "clear accented ");
    EXPECT_EQ(cross("enter", 0), "washed accented ");
    EXPECT_EQ(cross("leave", 0), "clear accented ");
    // The active pill keeps its accent under the pointer.
    EXPECT_EQ(cross("enter", 1), "clear accented ");
    // Tab 0 is chosen another way while the pointer rests on pill 1: pill 1 clears, stays
    // clear as the pointer leaves, and washes at the next entry.
    clickTab(0);
    waitForRedraw();
    EXPECT_EQ(looks(), "accented clear ");
    EXPECT_EQ(cross("leave", 1), "accented clear ");
    EXPECT_EQ(cross("enter", 1), "accented washed ");
    // The hovered pill that becomes active takes the accent.
    clickTab(1);
    waitForRedraw();
    EXPECT_EQ(looks(), "clear accented ");
}

TEST_F(TabStripTest, ThirtyTabsKeepTheRightButtonsClickableAndTheSelectionInView) {
    launch();
    while (app->tabs().size() < 30)
        pressNewTab();
    waitForRedraw();
    EXPECT_TRUE(inView(29));
    ASSERT_FALSE(inView(0)) << "thirty pills fit";
    Toolbar& bar = toolbar();
    for (auto [width, height] : {std::pair{1280, 800}, std::pair{980, 640}}) {
        resizeWindow(width, height);
        ASSERT_EQ(glass().get_width(), width) << "the tabs keep the window wide";
        // A click at the centre of each right-hand button lands on it or inside it.
        for (Gtk::Button* button : {&bar.newTab(), &bar.newFolder(), &bar.history(), &bar.theme(),
                                    &bar.password(), &bar.layout()}) {
            double x = 0, y = 0;
            button->translate_coordinates(window(), button->get_width() / 2.0,
                                          button->get_height() / 2.0, x, y);
            Gtk::Widget* hit = window().pick(x, y);
            EXPECT_TRUE(hit && (hit == button || hit->is_ancestor(*button)))
                << button->get_action_name() << " at " << width;
        }
        for (std::size_t i : {0u, 14u, 3u}) {
            clickTab(i);
            waitForRedraw();
            EXPECT_TRUE(inView(i)) << "tab " << i << " at " << width;
        }
    }
    // Closing the selected tab brings its follower into view.
    clickClose(3);
    waitForRedraw();
    EXPECT_TRUE(inView(3));
}

} // namespace
} // namespace vesk::test
