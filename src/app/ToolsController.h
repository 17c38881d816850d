#pragma once

#include <functional>
#include <string>

#include <sigc++/trackable.h>

#include "base/Lifetime.h"

namespace vesk {

class Tab;
class TabsController;

// The page tools: the inspector, the page's source in a tab of its own, saving
// the page, and searches for text selected in a page, each in a new tab after
// the one it came from.
class ToolsController : public sigc::trackable {
public:
    // `searchURL` gives the search address in force, with "%s" for the terms.
    ToolsController(TabsController& tabs, std::function<std::string()> searchURL);
    ToolsController(const ToolsController&) = delete;
    ToolsController& operator=(const ToolsController&) = delete;

    // Opens searches asked for in `tab`'s page.
    void watch(Tab& tab);

    void inspect();
    // Opens the current page's source, read-only, in a tab after it.
    void viewSource();
    // Saves the current page through the downloads.
    void savePage();

private:
    void searchFrom(Tab& tab, const std::string& terms);

    TabsController& tabs_;
    std::function<std::string()> searchURL_;
    Lifetime lifetime_;
};

} // namespace vesk
