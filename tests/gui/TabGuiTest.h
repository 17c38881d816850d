#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtk/gtk.h>

#include "GuiTest.h"
#include "Snapshot.h"
#include "platform/WebView.h"
#include "tabs/VeskTabPill.h"

namespace vesk::test {

// The tab tests drive the real window the way a user does: by clicking its
// buttons and moving the mouse over pills, then reading what is shown.
class TabGuiTest : public GuiTest {
protected:
    static void click(Gtk::Button* button) { g_signal_emit_by_name(button->gobj(), "clicked"); }
    void pressNewTab() { click(app->controlButtons[5]); }
    void pressNewFolder() { click(app->controlButtons[6]); }
    void pressLayout() { click(app->controlButtons[10]); }
    void clickTab(std::size_t i) { click(app->tabs.at(i)->btn); }
    void clickClose(std::size_t i) { click(app->tabs.at(i)->closeBtn); }

    // Lets every running fade and layout animation end (the longest is 0.3 s).
    static void settle() { pump(std::chrono::milliseconds(600)); }

    static std::vector<Gtk::Widget*> childrenOf(Gtk::Widget& strip) {
        std::vector<Gtk::Widget*> out;
        for (Gtk::Widget* c = strip.get_first_child(); c; c = c->get_next_sibling())
            out.push_back(c);
        return out;
    }
    std::vector<Gtk::Widget*> sidebar() { return childrenOf(*app->sidebarTabBarStack); }
    std::vector<Gtk::Widget*> topStrip() { return childrenOf(*app->topTabBarStack); }
    std::vector<Gtk::Widget*> allPills() const {
        std::vector<Gtk::Widget*> out;
        for (const auto& t : app->tabs)
            out.push_back(t->pill.get());
        return out;
    }

    // After any selection: one active pill, the selected tab's; its page is the
    // only thing in the web area; the address field shows its address.
    void expectSelected(std::size_t index) {
        SCOPED_TRACE("selected tab " + std::to_string(index));
        ASSERT_LT(index, app->tabs.size());
        EXPECT_EQ(app->activeIdx, static_cast<std::int64_t>(index));
        std::vector<std::size_t> active;
        for (std::size_t i = 0; i < app->tabs.size(); ++i)
            if (app->tabs[i]->pill->isActive || app->tabs[i]->pill->has_css_class("active"))
                active.push_back(i);
        EXPECT_EQ(active, std::vector<std::size_t>{index});
        Tab& tab = *app->tabs[index];
        EXPECT_TRUE(tab.pill->isActive && tab.pill->has_css_class("active"));
        EXPECT_EQ(childrenOf(*app->webContainer), std::vector<Gtk::Widget*>{&tab.web->widget()});
        EXPECT_EQ(std::string(app->addr->get_text()), tab.web->url().value_or(""));
    }

    // The strip not in use is always empty.
    void expectOnlyStripInUseFilled() {
        EXPECT_TRUE((app->isSidebarMode ? topStrip() : sidebar()).empty())
            << "the strip not in use holds views";
    }

    // A pixel of the pill's own background, left of its title button.
    Pixel pillBackground(std::size_t tab) { return Snapshot(*app->tabs.at(tab)->pill).at(4, 14); }

    // Feeds the pill's motion controller as the pointer crossing its edge does.
    static void pointerEnters(VeskTabPill& pill) {
        g_signal_emit_by_name(pill.tracking()->gobj(), "enter", 5.0, 5.0);
    }
    static void pointerLeaves(VeskTabPill& pill) {
        g_signal_emit_by_name(pill.tracking()->gobj(), "leave");
    }
};

} // namespace vesk::test
