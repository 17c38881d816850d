#include "app/PageController.h"

#include <gtkmm/overlay.h>

#include "app/MainWindow.h"
#include "navigation/NavigationRules.h"
#include "navigation/UrlNormalization.h"
#include "tabs/FindBar.h"
#include "tabs/Tab.h"

namespace vesk {

PageController::PageController(MainWindow& window) : window_(window) {}

PageController::~PageController() {
    // The window's widgets may be gone by now; only the page's events are dropped.
    for (sigc::connection& c : bound_)
        c.disconnect();
}

void PageController::bind(Tab* tab) {
    for (sigc::connection& c : bound_)
        c.disconnect();
    bound_.clear();
    // A page's element full screen belongs to that page: another tab never
    // inherits it, and the window leaves it before showing the other tab.
    if (elementFullscreen_ && tab != tab_) {
        elementFullscreen_ = false;
        if (tab_)
            tab_->web().leaveFullscreen();
        window_.setFullscreen(false);
    }
    tab_ = tab;
    if (tab) {
        WebView& web = tab->web();
        bound_.push_back(web.signalProgressChanged().connect(
            sigc::mem_fun(*this, &PageController::showLoadingState)));
        bound_.push_back(web.signalSecurityChanged().connect(
            sigc::mem_fun(*this, &PageController::showSecurity)));
        bound_.push_back(web.signalFullscreenRequested().connect([this](bool fullscreen) {
            elementFullscreen_ = fullscreen;
            window_.setFullscreen(fullscreen);
        }));
        bound_.push_back(web.signalFinished().connect(
            [this](const FinishedPage& page) { window_.addressField().setAddressText(page.url); }));
        // A failure leaves the field as it was, but a window a page opened had no
        // address to leave: its error page shows the address that failed.
        bound_.push_back(web.signalCommitted().connect([this](const std::string&) {
            AddressField& field = window_.addressField();
            if (tab_->web().isShowingErrorPage() && !field.isEditing() && field.text().empty())
                showAddress();
        }));
    }
    showAddress();
    showSecurity();
    showLoadingState();
}

void PageController::setStopAction(Glib::RefPtr<Gio::SimpleAction> stop) {
    stop_ = std::move(stop);
    showLoadingState();
}

void PageController::showAddress() {
    window_.addressField().setAddressText(tab_ ? tab_->web().url().value_or("") : "");
}

void PageController::showLoadingState() {
    const bool loading = tab_ && tab_->web().isLoading();
    window_.addressField().setProgress(loading ? tab_->web().loadProgress() : 0.0);
    if (stop_)
        stop_->set_enabled(loading);
}

void PageController::showSecurity() {
    if (!tab_) {
        window_.addressField().setSecurity({});
        return;
    }
    const WebView& web = tab_->web();
    window_.addressField().setSecurity(
        {web.security(), hostOf(web.url()).value_or(""), web.certificate()});
}

bool PageController::loadTyped(const std::string& text) {
    const std::optional<TypedAddress> typed = typedAddressFromInput(text, searchURL_);
    if (typed && tab_)
        tab_->web().loadURL(typed->url, httpFallbackFor(typed->scheme));
    return typed.has_value();
}

void PageController::load(const std::string& url) {
    if (tab_)
        tab_->web().loadURL(url);
}

void PageController::goBack() {
    if (tab_ && tab_->web().canGoBack())
        tab_->web().goBack();
}

void PageController::goForward() {
    if (tab_ && tab_->web().canGoForward())
        tab_->web().goForward();
}

void PageController::reload() {
    if (tab_ && tab_->web().url())
        tab_->web().reload();
}

void PageController::reloadBypassingCache() {
    if (tab_ && tab_->web().url())
        tab_->web().reloadBypassingCache();
}

void PageController::stopLoading() {
    if (tab_) {
        tab_->web().stopLoading();
        // The field leaves the address that never loaded for the page on show,
        // which is the one a reload loads again.
        window_.addressField().setAddressText(tab_->web().shownURL().value_or(""));
    }
    showLoadingState();
}

void PageController::zoomIn() {
    if (!tab_)
        return;
    tab_->web().setMagnification(zoomedIn(tab_->web().magnification()));
    zoomed_.emit(*tab_);
}

void PageController::zoomOut() {
    if (!tab_)
        return;
    tab_->web().setMagnification(zoomedOut(tab_->web().magnification()));
    zoomed_.emit(*tab_);
}

void PageController::zoomReset() {
    if (!tab_)
        return;
    tab_->web().setMagnification(1.0);
    zoomReset_.emit(*tab_);
}

void PageController::focusAddressField() {
    window_.addressField().focusAndSelect();
}

void PageController::focusPage() {
    // The page's own view, not the find bar that may lie over it.
    auto* frame = tab_ ? dynamic_cast<Gtk::Overlay*>(&tab_->web().widget()) : nullptr;
    if (frame && frame->get_child())
        frame->get_child()->grab_focus();
}

void PageController::findInPage() {
    if (tab_)
        tab_->findBar().open();
}

void PageController::findNext() {
    if (tab_)
        tab_->findBar().findNext();
}

void PageController::findPrevious() {
    if (tab_)
        tab_->findBar().findPrevious();
}

void PageController::print() {
    if (tab_)
        tab_->web().print(window_.window());
}

void PageController::toggleFullscreen() {
    const bool leaving = window_.isFullscreen();
    if (tab_ && leaving)
        tab_->web().leaveFullscreen();
    elementFullscreen_ = false;
    window_.setFullscreen(!leaving);
}

} // namespace vesk
