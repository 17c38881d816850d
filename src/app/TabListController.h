#pragma once

#include <sigc++/trackable.h>

#include "tabs/TabList.h"

namespace vesk {

class MainWindow;
class TabsController;

// The list of all tabs: opened from the button at the end of the top strip,
// shown while the pills overflow it, or from the keys; the chosen tab is
// selected and its pill scrolled into view.
class TabListController : public sigc::trackable {
public:
    TabListController(TabsController& tabs, MainWindow& window);
    TabListController(const TabListController&) = delete;
    TabListController& operator=(const TabListController&) = delete;

    void showTabList();
    TabList& list() { return list_; }

private:
    void updateButton();

    TabsController& tabs_;
    MainWindow& window_;
    TabList list_;
};

} // namespace vesk
