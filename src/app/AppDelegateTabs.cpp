// The tab lifecycle, folders and the tab strip.
#include "app/AppDelegate.h"

#include <algorithm>

#include <glibmm/main.h>

#include "app/MainWindow.h"
#include "store/VeskStore.h"
#include "tabs/TabStripArrangement.h"

namespace vesk {

std::int64_t AppDelegate::indexOfTab(const Tab& tab) const {
    auto it =
        std::find_if(tabs_.begin(), tabs_.end(), [&](const auto& t) { return t.get() == &tab; });
    return it == tabs_.end() ? NSNotFound : static_cast<std::int64_t>(it - tabs_.begin());
}

void AppDelegate::addNewTab() {
    addTabObject(options_.homePage);
}

void AppDelegate::openAddresses(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs)
        if (auto url = normalizedURLFromInput(input))
            addTabObject(*url);
}

void AppDelegate::addTabObject(std::optional<std::string_view> address) {
    auto tab = std::make_unique<Tab>(webSession_.get());
    Tab& t = *tab;
    setupTabCallbacks(t);
    if (auto url = normalizedURLFromInput(address))
        t.web().loadURL(*url);

    tabs_.push_back(std::move(tab));
    t.setActive(false);
    rebuildTabBarLayouts();
    selectTab(indexAfterAppend(static_cast<std::int64_t>(tabs_.size()) - 1));
}

void AppDelegate::selectTab(std::int64_t index) {
    if (!isValidTabIndex(index, static_cast<std::int64_t>(tabs_.size())))
        return;
    activeIdx_ = index;
    Tab& tab = *tabs_[static_cast<std::size_t>(index)];
    loadIfUnloaded(tab);
    window_->showWebView(tab.web().widget());
    for (auto& t : tabs_)
        t->setActive(t.get() == &tab);
    window_->addressField().setAddressText(tab.web().url().value_or(""));
    showSecurity();
    window_->tabStrip().revealSelected(&tab);
    showLoadingState();
    sessionChanged();
}

Tab& AppDelegate::insertTabAfter(Tab& opener, SelectNewTab select, WebView* related) {
    auto tab = std::make_unique<Tab>(webSession_.get(), related);
    Tab& t = *tab;
    setupTabCallbacks(t);
    t.parentFolderId = opener.parentFolderId;
    const std::int64_t openerIdx = indexOfTab(opener);
    const std::int64_t at =
        openerIdx == NSNotFound ? static_cast<std::int64_t>(tabs_.size()) : openerIdx + 1;
    tabs_.insert(tabs_.begin() + at, std::move(tab));
    // A tab opened before the selected one moves the selection's index, not the selection.
    if (activeIdx_ != NSNotFound && at <= activeIdx_)
        ++activeIdx_;
    t.setActive(false);
    rebuildTabBarLayouts();
    if (select == SelectNewTab::Yes)
        selectTab(at);
    return t;
}

void AppDelegate::closeCurrentTab() {
    if (Tab* tab = currentTab())
        requestCloseTab(*tab);
}

void AppDelegate::reopenClosedTab() {
    if (closedAddresses_.empty())
        return;
    const std::string address = std::move(closedAddresses_.back());
    closedAddresses_.pop_back();
    addTabObject(address);
}

std::vector<std::size_t> AppDelegate::tabsInStripOrder() const {
    std::vector<std::string> parents;
    for (const auto& t : tabs_)
        parents.push_back(t->parentFolderId);
    std::vector<FolderSummary> summaries;
    for (const auto& f : folders_)
        summaries.push_back({f->folderId, f->isExpanded});
    return shownTabOrder(arrangeTabStrip(isSidebarMode_ ? StripMode::Sidebar : StripMode::TopBar,
                                         parents, summaries));
}

void AppDelegate::selectNeighbourTab(int step) {
    selectTab(tabAfterStep(tabsInStripOrder(), activeIdx_, step));
}

void AppDelegate::selectTabAtPlace(int place) {
    const std::vector<std::size_t> order = tabsInStripOrder();
    if (order.empty() || place < 1)
        return;
    constexpr int kLastPlace = 9;
    if (place == kLastPlace)
        selectTab(static_cast<std::int64_t>(order.back()));
    else if (static_cast<std::size_t>(place) <= order.size())
        selectTab(static_cast<std::int64_t>(order[static_cast<std::size_t>(place - 1)]));
}

void AppDelegate::newTabForAddress() {
    addNewTab();
    focusAddressField();
}

void AppDelegate::requestCloseTab(Tab& tab) {
    quitting_ = false;
    if (tabs_.size() < 2)
        return;
    tab.web().tryClose();
}

bool AppDelegate::onWindowCloseRequest() {
    if (tabs_.empty())
        return false;
    const bool running = std::ranges::any_of(
        downloads_, [](const auto& d) { return d->state() == DownloadState::Running; });
    if (running && !downloadsQuitConfirmed_) {
        auto alert = window_->alerts().makeAlert("Cancel downloads and quit?", "Quit",
                                                 Gtk::MessageType::QUESTION);
        // Keeping the downloads is the safe answer to a Return pressed in passing.
        alert->set_default_response(Gtk::ResponseType::CANCEL);
        window_->alerts().present(std::move(alert), [this](AlertResponse answer) {
            if (answer != AlertResponse::Confirm)
                return;
            downloadsQuitConfirmed_ = true;
            for (const auto& d : downloads_)
                d->cancel();
            window_->window().close();
        });
        return true;
    }
    quitting_ = true;
    std::vector<Tab*> open;
    for (const auto& t : tabs_)
        open.push_back(t.get());
    // A tab that agrees goes at once or a little later; its record is released
    // only after this loop, on the next idle.
    for (Tab* t : open)
        t->web().tryClose();
    return true;
}

void AppDelegate::onDownloadStarted(WebKitDownload* download) {
    downloads_.push_back(
        std::make_unique<Download>(download, VeskStore::shared().paths().downloads));
    window_->downloads().add(*downloads_.back());
}

void AppDelegate::closeTab(Tab& tab) {
    if (tabs_.size() < 2 && !quitting_)
        return;
    const std::int64_t r = indexOfTab(tab);
    if (r == NSNotFound)
        return;

    constexpr std::size_t kClosedTabsKept = 10;
    if (std::string address = addressOf(tab); !address.empty()) {
        closedAddresses_.push_back(std::move(address));
        if (closedAddresses_.size() > kClosedTabsKept)
            closedAddresses_.erase(closedAddresses_.begin());
    }
    unloadedAddresses_.erase(&tab);
    tab.detach();
    window_->removeWebView(tab.web().widget());

    const auto countBefore = static_cast<std::int64_t>(tabs_.size());
    std::shared_ptr<Tab> closed(std::move(tabs_[static_cast<std::size_t>(r)]));
    tabs_.erase(tabs_.begin() + r);
    activeIdx_ = indexAfterRemove(activeIdx_, r, countBefore);

    rebuildTabBarLayouts();
    selectTab(activeIdx_);

    // The record goes after its views have left the window, which releases the
    // web view. The close button that was clicked belongs to it and is still
    // inside its own click handler, so the release waits until that returns.
    Glib::signal_idle().connect_once([closed = std::move(closed)]() mutable { closed.reset(); });
    if (tabs_.empty()) {
        // Every page agreed to close: this is a normal quit, with nothing to restore.
        endSession();
        Glib::signal_idle().connect_once([this, alive = lifetime_.watch()] {
            if (!alive.expired())
                window_->window().close();
        });
    }
}

void AppDelegate::rebuildTabBarLayouts() {
    TabStrip& strip = window_->tabStrip();
    strip.rebuild(isSidebarMode_ ? StripMode::Sidebar : StripMode::TopBar, tabs_, folders_);
    window_->fitTopStripToContent();
    strip.revealSelected(currentTab());
    sessionChanged();
}

void AppDelegate::toggleLayoutMode() {
    isSidebarMode_ = !isSidebarMode_;
    // Every animation's end rebuilds the strips for the mode then in force.
    window_->animateLayoutMode(isSidebarMode_ ? StripMode::Sidebar : StripMode::TopBar,
                               [this] { rebuildTabBarLayouts(); });
}

void AppDelegate::createNewFolder() {
    auto folder = std::make_unique<TabFolder>("Workspace " + std::to_string(folders_.size() + 1));
    setupFolderCallbacks(*folder);
    const std::string id = folder->folderId;
    folders_.push_back(std::move(folder));

    if (Tab* tab = currentTab(); tab && tab->parentFolderId.empty())
        tab->parentFolderId = id;
    rebuildTabBarLayouts();
}

void AppDelegate::toggleFolderExpansion(TabFolder& folder) {
    folder.isExpanded = !folder.isExpanded;
    rebuildTabBarLayouts();
}

} // namespace vesk
