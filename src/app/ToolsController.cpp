#include "app/ToolsController.h"

#include "app/TabsController.h"
#include "navigation/NavigationRules.h"
#include "navigation/UrlNormalization.h"

namespace vesk {

ToolsController::ToolsController(TabsController& tabs, std::function<std::string()> searchURL)
    : tabs_(tabs), searchURL_(std::move(searchURL)) {}

void ToolsController::watch(Tab& tab) {
    // The connection goes with the page's view.
    tab.web().signalSearchRequested().connect(
        [this, &tab](const std::string& terms) { searchFrom(tab, terms); });
}

void ToolsController::searchFrom(Tab& tab, const std::string& terms) {
    const std::optional<std::string> url = searchURLFor(terms, searchURL_());
    if (!url || tabs_.idOf(tab) == 0)
        return;
    tabs_.openAfter(tab, Select::Yes).web().loadURL(*url);
}

void ToolsController::inspect() {
    if (Tab* tab = tabs_.current(); tab && tab->hasPage())
        tab->web().showInspector();
}

void ToolsController::viewSource() {
    Tab* tab = tabs_.current();
    if (!tab || !tab->hasPage() || !tab->web().url() || tab->web().isShowingErrorPage())
        return;
    const TabId id = tabs_.idOf(*tab);
    const std::string address = *tab->web().url();
    tab->web().readSource(
        [this, id, address, alive = lifetime_.watch()](std::optional<std::string> source) {
            Tab* from = alive.expired() ? nullptr : tabs_.find(id);
            if (!from || !source)
                return;
            tabs_.openAfter(*from, Select::Yes).web().showSource(*source, address);
        });
}

void ToolsController::savePage() {
    if (Tab* tab = tabs_.current(); tab && tab->hasPage())
        if (const std::optional<std::string> url = tab->web().shownURL();
            url && !isSourceAddress(*url))
            tab->web().download(*url);
}

} // namespace vesk
