#pragma once

#include <string>

#include <gtkmm/application.h>
#include <sigc++/trackable.h>

#include "tabs/TabModel.h"

namespace vesk {

class Tab;
class TabsController;

// Pages' notifications on the desktop. Each names the tab that sent it, and a
// click on it brings the window up with that tab selected.
class PageNotifications : public sigc::trackable {
public:
    // The application's action that selects a tab; its parameter is the tab's id.
    static constexpr const char* kShowTabAction = "show-tab";

    PageNotifications(Gtk::Application* app, TabsController& tabs);
    PageNotifications(const PageNotifications&) = delete;
    PageNotifications& operator=(const PageNotifications&) = delete;

    // Shows the notifications of `tab`'s page from now on.
    void watch(Tab& tab);
    // Selects the tab with `id`, if it is still open, and brings the window up.
    void showTab(TabId id);

private:
    void notify(TabId id, const std::string& title, const std::string& body);

    Gtk::Application* app_;
    TabsController& tabs_;
};

} // namespace vesk
