#include "tabs/TabModel.h"

#include <algorithm>
#include <map>

#include <glib.h>

#include "history/HistoryFilter.h"
#include "tabs/TabIndexRules.h"

namespace vesk {

namespace {

// A restored tab's title is its address, cut short so that a label never lays out megabytes.
constexpr std::size_t kShownAddressChars = 1024;
// Place 9 in the strip is always its last tab, however many there are.
constexpr int kLastPlace = 9;

// Folder ids are upper-case UUIDs, as the session file has always kept them.
std::string newFolderId() {
    gchar* raw = g_uuid_string_random();
    std::string id(raw);
    g_free(raw);
    for (char& c : id)
        c = static_cast<char>(g_ascii_toupper(c));
    return id;
}

TabRecord* recordOf(std::vector<TabRecord>& tabs, TabId id) {
    auto it = std::ranges::find(tabs, id, &TabRecord::id);
    return it == tabs.end() ? nullptr : &*it;
}

// Whether `field` took `value`: a setter tells its listeners only of a real change.
template <typename T> bool assignIfDifferent(T& field, T value) {
    if (field == value)
        return false;
    field = std::move(value);
    return true;
}

} // namespace

const TabRecord* TabModel::selected() const {
    return selected_ ? &tabs_[*selected_] : nullptr;
}

const TabRecord* TabModel::find(TabId id) const {
    auto it = std::ranges::find(tabs_, id, &TabRecord::id);
    return it == tabs_.end() ? nullptr : &*it;
}

std::optional<std::size_t> TabModel::indexOf(TabId id) const {
    auto it = std::ranges::find(tabs_, id, &TabRecord::id);
    if (it == tabs_.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - tabs_.begin());
}

const FolderRecord* TabModel::findFolder(const std::string& folderId) const {
    auto it = std::ranges::find(folders_, folderId, &FolderRecord::folderId);
    return it == folders_.end() ? nullptr : &*it;
}

std::vector<std::size_t> TabModel::stripOrder() const {
    std::vector<std::string> parents;
    parents.reserve(tabs_.size());
    for (const TabRecord& tab : tabs_)
        parents.push_back(tab.folderId);
    std::vector<FolderSummary> summaries;
    summaries.reserve(folders_.size());
    for (const FolderRecord& folder : folders_)
        summaries.push_back({folder.folderId, folder.isExpanded});
    return shownTabOrder(arrangeTabStrip(mode_, parents, summaries));
}

std::optional<std::size_t> TabModel::neighbour(int step) const {
    return tabAfterStep(stripOrder(), selected_, step);
}

std::optional<std::size_t> TabModel::tabAtPlace(int place) const {
    const std::vector<std::size_t> order = stripOrder();
    if (order.empty() || place < 1)
        return std::nullopt;
    if (place == kLastPlace)
        return order.back();
    if (static_cast<std::size_t>(place) > order.size())
        return std::nullopt;
    return order[static_cast<std::size_t>(place - 1)];
}

SessionState TabModel::snapshot() const {
    SessionState session;
    for (const TabRecord& tab : tabs_)
        session.tabs.push_back({tab.address, tab.folderId, tab.savedState});
    for (const FolderRecord& folder : folders_)
        session.folders.push_back({folder.folderId, folder.name, folder.isExpanded});
    session.selectedIndex = selected_.value_or(0);
    session.isSidebarMode = mode_ == StripMode::Sidebar;
    return session;
}

TabId TabModel::append(NewTab tab, Select select) {
    const TabId id = nextId_++;
    const std::size_t at = indexAfterAppend(tabs_.size());
    tabs_.push_back(
        {id, std::move(tab.address), std::move(tab.title), {}, tab.state, 0, tab.scheme});
    inserted_.emit(id, at);
    if (select == Select::Yes)
        this->select(at);
    return id;
}

TabId TabModel::insertAfter(TabId opener, NewTab tab, Select select) {
    const std::optional<std::size_t> openerIndex = indexOf(opener);
    std::size_t at = openerIndex ? *openerIndex + 1 : tabs_.size();
    while (openerIndex && at < tabs_.size() && tabs_[at].openedBy == opener)
        ++at;
    std::string folderId = openerIndex ? tabs_[*openerIndex].folderId : std::string();
    const TabId id = nextId_++;
    tabs_.insert(tabs_.begin() + static_cast<std::ptrdiff_t>(at),
                 {id, std::move(tab.address), std::move(tab.title), std::move(folderId), tab.state,
                  openerIndex ? opener : 0});
    if (selected_ && at <= *selected_)
        ++*selected_;
    inserted_.emit(id, at);
    if (select == Select::Yes)
        this->select(at);
    return id;
}

bool TabModel::select(std::size_t index) {
    if (!isValidTabIndex(index, tabs_.size()))
        return false;
    selected_ = index;
    selectedSignal_.emit(tabs_[index].id);
    return true;
}

bool TabModel::selectTab(TabId id) {
    const std::optional<std::size_t> index = indexOf(id);
    return index && select(*index);
}

void TabModel::remove(TabId id) {
    const std::optional<std::size_t> index = indexOf(id);
    if (!index)
        return;
    const std::optional<TabId> selectedBefore =
        selected_ ? std::optional(tabs_[*selected_].id) : std::nullopt;
    if (std::string& address = tabs_[*index].address; !address.empty()) {
        closedAddresses_.push_back(std::move(address));
        if (closedAddresses_.size() > kClosedTabsKept)
            closedAddresses_.erase(closedAddresses_.begin());
    }
    const std::size_t countBefore = tabs_.size();
    tabs_.erase(tabs_.begin() + static_cast<std::ptrdiff_t>(*index));
    selected_ = indexAfterRemove(selected_, *index, countBefore);
    removed_.emit(id, *index);
    const std::optional<TabId> selectedAfter =
        selected_ ? std::optional(tabs_[*selected_].id) : std::nullopt;
    if (!selectedAfter || selectedAfter != selectedBefore)
        selectedSignal_.emit(selectedAfter);
}

void TabModel::move(TabId id, std::size_t index) {
    const std::optional<std::size_t> from = indexOf(id);
    if (!from)
        return;
    const std::size_t to = std::min(index, tabs_.size() - 1);
    if (to == *from)
        return;
    const std::optional<TabId> selectedId =
        selected_ ? std::optional(tabs_[*selected_].id) : std::nullopt;
    const auto begin = tabs_.begin();
    if (to < *from)
        std::rotate(begin + static_cast<std::ptrdiff_t>(to),
                    begin + static_cast<std::ptrdiff_t>(*from),
                    begin + static_cast<std::ptrdiff_t>(*from) + 1);
    else
        std::rotate(begin + static_cast<std::ptrdiff_t>(*from),
                    begin + static_cast<std::ptrdiff_t>(*from) + 1,
                    begin + static_cast<std::ptrdiff_t>(to) + 1);
    if (selectedId)
        selected_ = indexOf(*selectedId);
    moved_.emit(id, *from, to);
}

std::optional<std::string> TabModel::takeClosedAddress() {
    if (closedAddresses_.empty())
        return std::nullopt;
    std::string address = std::move(closedAddresses_.back());
    closedAddresses_.pop_back();
    return address;
}

void TabModel::setAddress(TabId id, std::string address) {
    if (TabRecord* tab = recordOf(tabs_, id);
        tab && assignIfDifferent(tab->address, std::move(address)))
        changed_.emit(id, TabField::Address);
}

void TabModel::setTitle(TabId id, std::string title) {
    if (TabRecord* tab = recordOf(tabs_, id);
        tab && assignIfDifferent(tab->title, std::move(title)))
        changed_.emit(id, TabField::Title);
}

void TabModel::setState(TabId id, TabState state) {
    if (TabRecord* tab = recordOf(tabs_, id); tab && assignIfDifferent(tab->state, state))
        changed_.emit(id, TabField::State);
}

void TabModel::setSavedState(TabId id, std::vector<std::uint8_t> state) {
    if (TabRecord* tab = recordOf(tabs_, id))
        tab->savedState = std::move(state);
}

std::string TabModel::createFolder() {
    std::string id = newFolderId();
    folders_.push_back({id, "Workspace " + std::to_string(++foldersNumbered_), true});
    // Listeners know the folder before the tab that joins it: the sidebar shows its header.
    foldersChanged_.emit();
    if (selected_ && tabs_[*selected_].folderId.empty()) {
        tabs_[*selected_].folderId = id;
        changed_.emit(tabs_[*selected_].id, TabField::Folder);
    }
    return id;
}

void TabModel::toggleFolder(const std::string& folderId) {
    auto it = std::ranges::find(folders_, folderId, &FolderRecord::folderId);
    if (it == folders_.end())
        return;
    it->isExpanded = !it->isExpanded;
    foldersChanged_.emit();
}

void TabModel::setFolder(TabId id, const std::string& folderId) {
    if (!folderId.empty() && !findFolder(folderId))
        return;
    if (TabRecord* tab = recordOf(tabs_, id); tab && assignIfDifferent(tab->folderId, folderId))
        changed_.emit(id, TabField::Folder);
}

void TabModel::renameFolder(const std::string& folderId, std::string name) {
    auto it = std::ranges::find(folders_, folderId, &FolderRecord::folderId);
    if (it != folders_.end() && assignIfDifferent(it->name, std::move(name)))
        foldersChanged_.emit();
}

void TabModel::removeFolder(const std::string& folderId) {
    auto it = std::ranges::find(folders_, folderId, &FolderRecord::folderId);
    if (it == folders_.end())
        return;
    folders_.erase(it);
    for (TabRecord& tab : tabs_)
        if (tab.folderId == folderId) {
            tab.folderId.clear();
            changed_.emit(tab.id, TabField::Folder);
        }
    foldersChanged_.emit();
}

void TabModel::setMode(StripMode mode) {
    if (mode_ == mode)
        return;
    mode_ = mode;
    modeChanged_.emit(mode);
}

void TabModel::restore(const SessionState& session) {
    std::map<std::string, std::string> folderIds;
    for (const SessionFolder& saved : session.folders) {
        std::string id = newFolderId();
        folderIds[saved.folderId] = id;
        folders_.push_back({std::move(id), saved.name, saved.isExpanded});
        ++foldersNumbered_;
    }
    // Listeners know the folders before the first tab that names one arrives.
    if (!session.folders.empty())
        foldersChanged_.emit();

    const std::size_t first = tabs_.size();
    for (const SessionTab& saved : session.tabs) {
        TabRecord tab{nextId_++, saved.address, NewTab{}.title, {}, TabState::Live};
        if (auto id = folderIds.find(saved.folderId); id != folderIds.end())
            tab.folderId = id->second;
        // Only the selected tab loads; the others wait, showing their address, until selected.
        if (!saved.address.empty()) {
            tab.title = shownText(saved.address, kShownAddressChars, Ellipsis::End);
            tab.state = TabState::Unloaded;
            tab.savedState = saved.state;
        }
        tabs_.push_back(std::move(tab));
        inserted_.emit(tabs_.back().id, tabs_.size() - 1);
    }
    setMode(session.isSidebarMode ? StripMode::Sidebar : StripMode::TopBar);
    select(first + session.selectedIndex);
}

} // namespace vesk
