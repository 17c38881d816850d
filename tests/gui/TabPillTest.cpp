#include "TabGuiTest.h"

namespace vesk::test {
namespace {

class TabPillTest : public TabGuiTest {
protected:
    // Two tabs, the second selected: pill 0 inactive, pill 1 active.
    void launchWithTwoTabs() {
        launch();
        pressNewTab();
        settle();
        ASSERT_EQ(app->tabs.size(), 2u);
        ASSERT_EQ(app->activeIdx, 1);
    }

    static void expectClear(const Pixel& p) { EXPECT_LT(p.a, 0.02) << "alpha " << p.a; }
    static void expectWash(const Pixel& p) {
        EXPECT_NEAR(p.a, 0.15, 0.02);
        EXPECT_GT(p.r, 0.95);
        EXPECT_GT(p.g, 0.95);
        EXPECT_GT(p.b, 0.95);
    }
    static void expectAccent(const Pixel& p) {
        // The accent (system blue before any theme) at alpha 0.24.
        EXPECT_NEAR(p.a, 0.24, 0.02);
        EXPECT_GT(p.b, p.r + 0.3);
    }
};

TEST_F(TabPillTest, PillIsRoundedClippedAnd140By28) {
    launchWithTwoTabs();
    VeskTabPill& pill = *app->tabs[1]->pill;
    EXPECT_EQ(pill.get_width(), 140);
    EXPECT_EQ(pill.get_height(), 28);
    EXPECT_EQ(pill.get_overflow(), Gtk::Overflow::HIDDEN);
    // The accent fills the pill but not its rounded corners.
    expectAccent(pillBackground(1));
    expectClear(pixelAt(pill, 0, 0));
    expectClear(pixelAt(pill, 139, 27));

    // Title from 8 points in to 4 before the 14 x 14 close button, 6 from the
    // right edge; frames are the layout's allocations.
    Tab& tab = *app->tabs[1];
    const auto title = tab.btn->get_allocation();
    const auto close = tab.closeBtn->get_allocation();
    EXPECT_EQ(title.get_x(), 8);
    EXPECT_EQ(close.get_width(), 14);
    EXPECT_EQ(close.get_height(), 14);
    EXPECT_EQ(close.get_x() + 14, 140 - 6);
    EXPECT_EQ(title.get_x() + title.get_width(), close.get_x() - 4);
    EXPECT_NEAR(title.get_y() + title.get_height() / 2.0, 14, 0.5);
    EXPECT_NEAR(close.get_y() + 7, 14, 0.5);
    EXPECT_EQ(tab.btn->get_label(), Glib::ustring("Loading"));
}

TEST_F(TabPillTest, CloseButtonShowsAtHalfOpacity) {
    launchWithTwoTabs();
    Gtk::Button& close = *app->tabs[0]->closeBtn;
    EXPECT_NEAR(close.get_opacity(), 0.5, 0.01);
    // What is drawn: the icon's solid core comes out at half alpha, not less.
    double strongest = 0;
    for (int y = 0; y < close.get_height(); ++y)
        for (int x = 0; x < close.get_width(); ++x)
            strongest = std::max(strongest, pixelAt(close, x, y).a);
    EXPECT_NEAR(strongest, 0.5, 0.06);
}

TEST_F(TabPillTest, InactivePillWashesWhiteOnEntryAndClearsOnExit) {
    launchWithTwoTabs();
    VeskTabPill& pill = *app->tabs[0]->pill;
    expectClear(pillBackground(0));

    pointerEnters(pill);
    // The wash fades in over 0.15 seconds: the first frame shows it just begun.
    afterNextFrame();
    EXPECT_LT(pillBackground(0).a, 0.1);
    settle();
    expectWash(pillBackground(0));

    pointerLeaves(pill);
    afterNextFrame();
    EXPECT_GT(pillBackground(0).a, 0.05);
    settle();
    expectClear(pillBackground(0));
    // The active pill was never touched.
    expectAccent(pillBackground(1));
}

TEST_F(TabPillTest, ActivePillKeepsItsAccentOnEntryAndExit) {
    launchWithTwoTabs();
    VeskTabPill& pill = *app->tabs[1]->pill;
    pointerEnters(pill);
    settle();
    expectAccent(pillBackground(1));
    pointerLeaves(pill);
    settle();
    expectAccent(pillBackground(1));
}

TEST_F(TabPillTest, PillThatBecomesInactiveUnderTheMouseStaysClearUntilNextEntry) {
    launchWithTwoTabs();
    // The pointer rests on the selected pill 1, then tab 0 is chosen another way.
    VeskTabPill& pill = *app->tabs[1]->pill;
    pointerEnters(pill);
    settle();
    clickTab(0);
    settle();
    expectSelected(0);
    expectClear(pillBackground(1));

    // Leaving keeps it clear; only the next entry washes it again.
    pointerLeaves(pill);
    settle();
    expectClear(pillBackground(1));
    pointerEnters(pill);
    settle();
    expectWash(pillBackground(1));
}

TEST_F(TabPillTest, HoveredInactivePillLosesItsWashWhenAnotherTabIsSelected) {
    launchWithTwoTabs();
    pressNewTab();
    settle();
    // Pill 0 is washed under the mouse; selecting tab 1 restyles every tab.
    pointerEnters(*app->tabs[0]->pill);
    settle();
    expectWash(pillBackground(0));
    clickTab(1);
    settle();
    expectClear(pillBackground(0));
    expectAccent(pillBackground(1));
}

TEST_F(TabPillTest, HoveredPillBecomingActiveTakesTheAccentAtOnce) {
    launchWithTwoTabs();
    pointerEnters(*app->tabs[0]->pill);
    settle();
    clickTab(0);
    // No fade and no wait for the pointer to leave.
    afterNextFrame();
    expectAccent(pillBackground(0));
    expectClear(pillBackground(1));
}

TEST_F(TabPillTest, PillKeepsOneMotionControllerAcrossStripMoves) {
    launchWithTwoTabs();
    VeskTabPill& pill = *app->tabs[0]->pill;
    auto countMotionControllers = [&] {
        int n = 0;
        GListModel* controllers = gtk_widget_observe_controllers(GTK_WIDGET(pill.gobj()));
        for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
            GObject* item = G_OBJECT(g_list_model_get_item(controllers, i));
            if (GTK_IS_EVENT_CONTROLLER_MOTION(item))
                ++n;
            g_object_unref(item);
        }
        g_object_unref(controllers);
        return n;
    };
    EXPECT_EQ(countMotionControllers(), 1);
    for (int i = 0; i < 4; ++i) {
        pressLayout();
        settle();
    }
    EXPECT_EQ(countMotionControllers(), 1);
    // And it still reacts.
    pointerEnters(pill);
    settle();
    expectWash(pillBackground(0));
}

} // namespace
} // namespace vesk::test
