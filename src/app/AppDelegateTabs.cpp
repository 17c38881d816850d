// The tab lifecycle, folders and the tab strip.
#include "app/AppDelegate.h"

#include <algorithm>

#include <glibmm/main.h>

#include "app/MainWindow.h"
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

void AppDelegate::addTabObject(std::optional<std::string_view> address) {
    auto tab = std::make_unique<Tab>();
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
    window_->showWebView(tab.web().widget());
    for (auto& t : tabs_)
        t->setActive(t.get() == &tab);
    window_->addressField().setAddressText(tab.web().url().value_or(""));
    window_->tabStrip().revealSelected(&tab);
}

void AppDelegate::closeTab(Tab& tab) {
    if (tabs_.size() < 2)
        return;
    const std::int64_t r = indexOfTab(tab);
    if (r == NSNotFound)
        return;

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
}

void AppDelegate::rebuildTabBarLayouts() {
    TabStrip& strip = window_->tabStrip();
    strip.rebuild(isSidebarMode_ ? StripMode::Sidebar : StripMode::TopBar, tabs_, folders_);
    window_->fitTopStripToContent();
    strip.revealSelected(currentTab());
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
