#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "GuiTest.h"

namespace vesk::test {

// The tab tests drive the real window the way a user does: by clicking its
// buttons, then reading what is shown.
class TabGuiTest : public GuiTest {
protected:
    void pressNewTab() { click(toolbar().newTab()); }
    void pressNewFolder() { click(toolbar().newFolder()); }
    void pressLayout() { click(toolbar().layout()); }
    void clickTab(std::size_t i) { click(tab(i).titleButton()); }
    void clickClose(std::size_t i) { click(tab(i).closeButton()); }

    // Lets every running fade and layout animation end (the longest is 0.3 s).
    static void settle() { pump(std::chrono::milliseconds(600)); }

    static std::vector<Gtk::Widget*> childrenOf(Gtk::Widget& parent) {
        std::vector<Gtk::Widget*> out;
        for (Gtk::Widget* c = parent.get_first_child(); c; c = c->get_next_sibling())
            out.push_back(c);
        return out;
    }
    std::vector<Gtk::Widget*> sidebar() {
        return childrenOf(app->window().tabStrip().sidebarStrip());
    }

    // After any selection: one active pill, the selected tab's; its page alone
    // in the web area; its address in the field; only the strip in use filled,
    // the top one with every pill in tab order.
    void expectSelected(std::size_t index) {
        SCOPED_TRACE("selected tab " + std::to_string(index));
        EXPECT_EQ(app->activeIdx(), static_cast<std::int64_t>(index));
        std::vector<Gtk::Widget*> pills;
        for (std::size_t i = 0; i < app->tabs().size(); ++i) {
            EXPECT_EQ(tab(i).pill().has_css_class("active"), i == index) << "pill " << i;
            pills.push_back(&tab(i).pill());
        }
        EXPECT_EQ(childrenOf(app->window().webContainer()),
                  std::vector<Gtk::Widget*>{&tab(index).web().widget()});
        EXPECT_EQ(std::string(addressEntry().get_text()), tab(index).web().url().value_or(""));
        const auto top = childrenOf(app->window().tabStrip().topStrip());
        EXPECT_TRUE(app->isSidebarMode() ? top.empty() : sidebar().empty() && top == pills);
    }
};

} // namespace vesk::test
