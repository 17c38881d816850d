// The session file kept while the program runs, and the offer to restore it after a
// run that ended without quitting.
#include "app/AppDelegate.h"

#include <map>

#include <glibmm/main.h>

#include "app/MainWindow.h"
#include "history/HistoryFilter.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {
// Changes are gathered for this long and written together, so the file is written at
// most once a second however fast the tabs change.
constexpr unsigned kSessionWriteDelayMs = 1000;
// A restored tab's pill shows its address until the page loads and gives a title.
constexpr std::size_t kShownAddressChars = 1024;
} // namespace

void AppDelegate::readLastSession() {
    sessionFile_ = VeskStore::shared().sessionFile();
    lastSession_ = readSession(sessionFile_);
    if (lastSession_ && lastSession_->tabs.empty())
        lastSession_.reset();
}

void AppDelegate::offerLastSession() {
    if (lastSession_)
        window_->restoreBar().offer(lastSession_->tabs.size());
}

std::string AppDelegate::addressOf(const Tab& tab) const {
    if (auto it = unloadedAddresses_.find(&tab); it != unloadedAddresses_.end())
        return it->second;
    return tab.web().url().value_or("");
}

void AppDelegate::sessionChanged() {
    if (sessionEnded_ || sessionFile_.empty() || sessionWrite_.connected())
        return;
    sessionWrite_ = Glib::signal_timeout().connect(
        [this] {
            VeskStore::shared().writeSession(currentSession());
            return false;
        },
        kSessionWriteDelayMs);
}

SessionState AppDelegate::currentSession() const {
    SessionState session;
    for (const auto& tab : tabs_)
        session.tabs.push_back({addressOf(*tab), tab->parentFolderId});
    for (const auto& folder : folders_)
        session.folders.push_back({folder->folderId, folder->name, folder->isExpanded});
    if (currentTab())
        session.selectedIndex = static_cast<std::size_t>(activeIdx_);
    session.isSidebarMode = isSidebarMode_;
    return session;
}

void AppDelegate::endSession() {
    sessionWrite_.disconnect();
    sessionEnded_ = true;
    if (!sessionFile_.empty())
        VeskStore::shared().removeSession();
}

void AppDelegate::restoreLastSession() {
    if (!lastSession_)
        return;
    const SessionState session = std::move(*lastSession_);
    lastSession_.reset();

    // The start-up tab gives way to the restored ones while it is still the untouched
    // home page of an ordinary start; tabs the user has opened since stay, first.
    Tab* startTab =
        options_.addresses.empty() && tabs_.size() == 1 && !tabs_.front()->web().canGoBack()
            ? tabs_.front().get()
            : nullptr;

    // Folders get fresh ids, so that a restored folder never shares one with an open folder.
    std::map<std::string, std::string> folderIds;
    for (const SessionFolder& saved : session.folders) {
        auto folder = std::make_unique<TabFolder>(saved.name);
        folder->isExpanded = saved.isExpanded;
        setupFolderCallbacks(*folder);
        folderIds[saved.folderId] = folder->folderId;
        folders_.push_back(std::move(folder));
    }
    const auto first = static_cast<std::int64_t>(tabs_.size());
    for (const SessionTab& saved : session.tabs) {
        auto tab = std::make_unique<Tab>(webSession_.get());
        setupTabCallbacks(*tab);
        if (auto id = folderIds.find(saved.folderId); id != folderIds.end())
            tab->parentFolderId = id->second;
        // Only the selected tab loads now; the others wait until first selected.
        if (!saved.address.empty()) {
            tab->setTitle(shownText(saved.address, kShownAddressChars, Ellipsis::End));
            unloadedAddresses_[tab.get()] = saved.address;
        }
        tab->setActive(false);
        tabs_.push_back(std::move(tab));
    }
    if (session.isSidebarMode != isSidebarMode_)
        toggleLayoutMode();
    rebuildTabBarLayouts();
    selectTab(first + static_cast<std::int64_t>(session.selectedIndex));
    if (startTab)
        closeTab(*startTab);
}

void AppDelegate::loadIfUnloaded(Tab& tab) {
    auto it = unloadedAddresses_.find(&tab);
    if (it == unloadedAddresses_.end())
        return;
    const std::string address = std::move(it->second);
    unloadedAddresses_.erase(it);
    if (auto url = normalizedURLFromInput(address))
        tab.web().loadURL(*url);
}

} // namespace vesk
