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
        ASSERT_EQ(app->activeIdx, 1);
    }
    VeskTabPill& pill(std::size_t tab) { return *app->tabs.at(tab)->pill; }

    static void expectClear(const Pixel& p) { EXPECT_LT(p.a, 5) << "alpha " << p.a; }
    // White at alpha 0.15.
    static void expectWash(const Pixel& p) {
        EXPECT_NEAR(p.a, 38, 5);
        EXPECT_GT(std::min({p.r, p.g, p.b}), 242);
    }
    // The accent (system blue before any theme) at alpha 0.24.
    static void expectAccent(const Pixel& p) {
        EXPECT_NEAR(p.a, 61, 5);
        EXPECT_GT(p.b, p.r + 76);
    }
};

TEST_F(TabPillTest, InactivePillWashesOnEntryTheActiveOneKeepsItsAccent) {
    launchWithTwoTabs();
    expectClear(pillBackground(0));
    pointerEnters(pill(0));
    settle();
    expectWash(pillBackground(0));
    pointerLeaves(pill(0));
    settle();
    expectClear(pillBackground(0));

    pointerEnters(pill(1));
    settle();
    expectAccent(pillBackground(1));
    pointerLeaves(pill(1));
    settle();
    expectAccent(pillBackground(1));
}

TEST_F(TabPillTest, PillThatBecomesInactiveUnderTheMouseStaysClearUntilNextEntry) {
    launchWithTwoTabs();
    // The pointer rests on the selected pill 1, then tab 0 is chosen another way.
    pointerEnters(pill(1));
    settle();
    clickTab(0);
    settle();
    expectSelected(0);
    expectAccent(pillBackground(0));
    expectClear(pillBackground(1));
    // Leaving keeps it clear; only the next entry washes it again.
    pointerLeaves(pill(1));
    settle();
    expectClear(pillBackground(1));
    pointerEnters(pill(1));
    settle();
    expectWash(pillBackground(1));
}

TEST_F(TabPillTest, HoveredPillBecomingActiveTakesTheAccent) {
    launchWithTwoTabs();
    pointerEnters(pill(0));
    settle();
    clickTab(0);
    settle();
    expectAccent(pillBackground(0));
    expectClear(pillBackground(1));
}

} // namespace
} // namespace vesk::test
