// Page events, the address field's loads and the navigation controls.
#include "app/AppDelegate.h"

#include "app/MainWindow.h"
#include "history/HistoryFilter.h"
#include "history/HistoryPanel.h"
#include "navigation/NavigationRules.h"
#include "store/VeskStore.h"
#include "tabs/FindBar.h"

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

    // However long a page's title, the pill shows a bounded part of it.
    constexpr std::size_t kShownTitleChars = 1024;
    tab.setTitle(title && !title->empty() ? shownText(*title, kShownTitleChars, Ellipsis::End)
                                          : "Untitled");
    if (currentTab() == &tab)
        window_->addressField().setAddressText(address);
    rebuildHistoryPanel();
    sessionChanged();
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

void AppDelegate::zoomReset() {
    if (Tab* tab = currentTab())
        tab->web().setMagnification(1.0);
}

void AppDelegate::reloadBypassingCache() {
    if (Tab* tab = currentTab(); tab && tab->web().url())
        tab->web().reloadBypassingCache();
}

void AppDelegate::stopLoading() {
    if (Tab* tab = currentTab()) {
        tab->web().stopLoading();
        window_->addressField().setAddressText(tab->web().url().value_or(""));
    }
    showLoadingState();
}

void AppDelegate::showLoadingState() {
    Tab* tab = currentTab();
    const bool loading = tab && tab->web().isLoading();
    window_->addressField().setProgress(loading ? tab->web().loadProgress() : 0.0);
    if (stopAction_)
        stopAction_->set_enabled(loading);
}

void AppDelegate::showSecurity() {
    Tab* tab = currentTab();
    if (!tab) {
        window_->addressField().setSecurity({});
        return;
    }
    const WebView& web = tab->web();
    window_->addressField().setSecurity(
        {web.security(), hostOf(web.url()).value_or(""), web.certificate()});
}

void AppDelegate::focusAddressField() {
    window_->addressField().focusAndSelect();
}

void AppDelegate::findInPage() {
    if (Tab* tab = currentTab())
        tab->findBar().open();
}

void AppDelegate::findNext() {
    if (Tab* tab = currentTab())
        tab->findBar().findNext();
}

void AppDelegate::findPrevious() {
    if (Tab* tab = currentTab())
        tab->findBar().findPrevious();
}

void AppDelegate::printPage() {
    if (Tab* tab = currentTab())
        tab->web().print(window_->window());
}

void AppDelegate::toggleFullscreen() {
    const bool leaving = window_->isFullscreen();
    if (Tab* tab = currentTab(); tab && leaving)
        tab->web().leaveFullscreen();
    window_->setFullscreen(!leaving);
}

} // namespace vesk
