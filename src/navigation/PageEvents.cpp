#include "app/AppDelegate.h"

#include "platform/WebView.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {

Tab* tabOwning(const std::vector<std::unique_ptr<Tab>>& tabs, const WebView& view) {
    for (const auto& t : tabs)
        if (t->web.get() == &view)
            return t.get();
    return nullptr;
}

} // namespace

void AppDelegate::controlTextDidEndEditing(Gtk::Widget* object) {
    if (object != addr)
        return;
    Tab* tab = currentTab();
    if (!tab)
        return;
    const std::string text = addr->get_text();
    if (auto url = normalizedURLFromInput(text))
        tab->web->loadURL(*url);
}

void AppDelegate::controlTextDidChange(Gtk::Widget* object) {
    if (object && object == historySearchField)
        rebuildHistoryPanel();
}

void AppDelegate::didFinishNavigation(WebView& webView) {
    const std::string address = webView.url().value_or("");
    const std::optional<std::string> title = webView.title();
    VeskStore::shared().addHistory(address, title);

    if (Tab* owner = tabOwning(tabs, webView)) {
        const bool hasTitle = title && !title->empty();
        owner->btn->set_label(hasTitle ? *title : "Untitled");
    }
    if (Tab* current = currentTab(); current && current->web.get() == &webView)
        setAddressText(address);
    rebuildHistoryPanel();
}

void AppDelegate::didFailNavigation(WebView& webView, int errorCode) {
    if (errorCode == kCancelledErrorCode)
        return;
    if (Tab* owner = tabOwning(tabs, webView))
        owner->btn->set_label("Error");
}

void AppDelegate::didFailProvisionalNavigation(WebView&, int) {
    // Nothing changes: WebKit's own error page shows in the web area, and the
    // tab title, the address field and the history stay as they were.
}

void AppDelegate::webProcessTerminated(WebView& webView) {
    Tab* owner = tabOwning(tabs, webView);
    if (!owner)
        return;
    owner->btn->set_label("Error");
    // A short page instead of a frozen or blank one; reload loads the address again.
    webView.showProcessEndedPage();
}

} // namespace vesk
