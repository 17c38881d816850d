// Page events, the address field's loads and the navigation controls.
#include "app/AppDelegate.h"

#include "app/MainWindow.h"
#include "history/HistoryPanel.h"
#include "navigation/NavigationRules.h"
#include "store/VeskStore.h"

namespace vesk {

void AppDelegate::onAddressEditingEnded(const std::string& text) {
    Tab* tab = currentTab();
    if (!tab)
        return;
    if (auto url = normalizedURLFromInput(text))
        tab->web().loadURL(*url);
}

void AppDelegate::didFinishNavigation(Tab& tab) {
    const std::string address = tab.web().url().value_or("");
    const std::optional<std::string> title = tab.web().title();
    VeskStore::shared().addHistory(address, title);

    tab.setTitle(title && !title->empty() ? *title : "Untitled");
    if (currentTab() == &tab)
        window_->addressField().setAddressText(address);
    rebuildHistoryPanel();
}

void AppDelegate::didFailNavigation(Tab& tab, LoadError error) {
    if (error == LoadError::Cancelled)
        return;
    tab.setTitle("Error");
}

void AppDelegate::didFailProvisionalNavigation(Tab&, LoadError) {
    // Nothing changes: the error page shows in the web area, and the tab
    // title, the address field and the history stay as they were.
}

void AppDelegate::webProcessTerminated(Tab& tab) {
    tab.setTitle("Error");
    // A short notice instead of a frozen or blank page; reload loads the address again.
    tab.web().showProcessEndedPage();
}

void AppDelegate::goBack() {
    if (Tab* tab = currentTab(); tab && tab->web().canGoBack())
        tab->web().goBack();
}

void AppDelegate::goForward() {
    if (Tab* tab = currentTab(); tab && tab->web().canGoForward())
        tab->web().goForward();
}

void AppDelegate::refreshPage() {
    if (Tab* tab = currentTab(); tab && tab->web().url())
        tab->web().reload();
}

void AppDelegate::zoomIn() {
    if (Tab* tab = currentTab())
        tab->web().setMagnification(zoomedIn(tab->web().magnification()));
}

void AppDelegate::zoomOut() {
    if (Tab* tab = currentTab())
        tab->web().setMagnification(zoomedOut(tab->web().magnification()));
}

} // namespace vesk
