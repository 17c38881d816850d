#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sigc++/signal.h>

#include "navigation/UrlNormalization.h"
#include "store/SessionFile.h"
#include "tabs/TabStripArrangement.h"

namespace vesk {

// A tab's identity for as long as the model lives; never reused.
using TabId = std::uint64_t;

// Whether a tab has a page in memory.
enum class TabState {
    // Its page is (or is being) loaded in a web view.
    Live,
    // Restored from the last session and not selected since: only its address is known.
    Unloaded,
    // Put to sleep: its view is gone, its page comes back when it is selected.
    Sleeping,
};

// What of a tab changed.
enum class TabField { Address, Title, Folder, State };

// Whether an operation selects the tab it opens.
enum class Select { No, Yes };

// One open tab as the model keeps it.
struct TabRecord {
    TabId id = 0;
    // The page's address; empty before the first load.
    std::string address;
    // The text the tab's pill shows.
    std::string title;
    // The folderId of the tab's folder; empty for none.
    std::string folderId;
    TabState state = TabState::Live;
    // The tab whose page opened this one; 0 for none.
    TabId openedBy = 0;
    // Guessed when the user typed the address without a scheme: a page not yet
    // loaded keeps the right to fall back from https to http.
    SchemeOrigin scheme = SchemeOrigin::Given;
    // The engine's saved state of the page, kept while the tab has no page
    // (asleep, or restored and not yet selected) and written to the session.
    std::vector<std::uint8_t> savedState{};
};

// The fields of a tab about to be opened.
struct NewTab {
    std::string address;
    std::string title = "Loading";
    TabState state = TabState::Live;
    SchemeOrigin scheme = SchemeOrigin::Given;
};

// One folder (workspace) of tabs.
struct FolderRecord {
    std::string folderId;
    std::string name;
    bool isExpanded = true;
};

// The browser's tabs, folders, selection, strip mode and recently closed tabs,
// with the rules that move them, free of any toolkit. Views listen to its
// signals; they never change a record behind its back.
class TabModel {
public:
    // How many closed tabs' addresses are kept for reopening.
    static constexpr std::size_t kClosedTabsKept = 10;

    TabModel() = default;
    TabModel(const TabModel&) = delete;
    TabModel& operator=(const TabModel&) = delete;

    // --- Queries ---
    // The tabs in model order.
    const std::vector<TabRecord>& tabs() const { return tabs_; }
    const std::vector<FolderRecord>& folders() const { return folders_; }
    // The selected tab's index; nothing before the first tab.
    std::optional<std::size_t> selectedIndex() const { return selected_; }
    // The selected tab; null when none is.
    const TabRecord* selected() const;
    // The tab with `id`; null once it has been removed.
    const TabRecord* find(TabId id) const;
    std::optional<std::size_t> indexOf(TabId id) const;
    const FolderRecord* findFolder(const std::string& folderId) const;
    StripMode mode() const { return mode_; }
    // The tabs in the order the strip in use shows them, as indices into tabs().
    std::vector<std::size_t> stripOrder() const;
    // The tab a step through the strip's order reaches from the selected one:
    // +1 the next, -1 the previous, wrapping round.
    std::optional<std::size_t> neighbour(int step) const;
    // The tab at a place in the strip, 1 for the first; place 9 is always the last.
    std::optional<std::size_t> tabAtPlace(int place) const;
    // The tabs, folders, selection and mode as the session file keeps them.
    SessionState snapshot() const;

    // --- Tabs ---
    // Opens a tab at the end of the list.
    TabId append(NewTab tab, Select select);
    // Opens a tab after `opener` and the tabs it opened just before, in its
    // folder (at the end when `opener` is gone), so that links opened one after
    // another keep their order. A tab placed before the selected one moves the
    // selection's index, never the selection.
    TabId insertAfter(TabId opener, NewTab tab, Select select);
    // Selects the tab at `index`; false, changing nothing, when there is none.
    bool select(std::size_t index);
    bool selectTab(TabId id);
    // Closes the tab: its address joins the closed tabs, and closing the
    // selected tab selects its follower, or its left neighbour when it was last.
    void remove(TabId id);
    // Moves the tab to `index` (clamped), keeping the selection on the same tab.
    void move(TabId id, std::size_t index);
    // The most recently closed tab's address, taken off the closed tabs.
    std::optional<std::string> takeClosedAddress();
    void setAddress(TabId id, std::string address);
    void setTitle(TabId id, std::string title);
    void setState(TabId id, TabState state);
    // Keeps the page's saved state with the tab; it tells no listener, since
    // nothing shows it, and is written with the next change of the session.
    void setSavedState(TabId id, std::vector<std::uint8_t> state);

    // --- Folders and mode ---
    // A new expanded folder named "Workspace N" (N counting this one), which
    // takes in the selected tab when that is in no folder. Its folderId.
    std::string createFolder();
    void toggleFolder(const std::string& folderId);
    // Puts the tab into the folder, or into none for an empty id; an unknown
    // folder changes nothing.
    void setFolder(TabId id, const std::string& folderId);
    void renameFolder(const std::string& folderId, std::string name);
    // Removes the folder; its tabs stay open, in no folder. Its number is not
    // given to the next folder.
    void removeFolder(const std::string& folderId);
    void setMode(StripMode mode);

    // Adds a saved session's folders (with fresh ids, so that none clashes with
    // an open folder) and its tabs, unloaded, after the open ones, then takes on
    // its selection and mode.
    void restore(const SessionState& session);

    // --- Signals: each is emitted after the model has changed ---
    sigc::signal<void(TabId, std::size_t index)>& signalInserted() { return inserted_; }
    sigc::signal<void(TabId, std::size_t index)>& signalRemoved() { return removed_; }
    sigc::signal<void(TabId, std::size_t from, std::size_t to)>& signalMoved() { return moved_; }
    // The selected tab changed, or was selected again; nothing when none is.
    sigc::signal<void(std::optional<TabId>)>& signalSelected() { return selectedSignal_; }
    sigc::signal<void(TabId, TabField)>& signalChanged() { return changed_; }
    // A folder was added, removed, renamed, or expanded or collapsed.
    sigc::signal<void()>& signalFoldersChanged() { return foldersChanged_; }
    sigc::signal<void(StripMode)>& signalModeChanged() { return modeChanged_; }

private:
    std::vector<TabRecord> tabs_;
    std::vector<FolderRecord> folders_;
    std::optional<std::size_t> selected_;
    StripMode mode_ = StripMode::TopBar;
    // Newest last.
    std::vector<std::string> closedAddresses_;
    TabId nextId_ = 1;
    // How many folders have been made or restored: the next one's number, less one.
    std::size_t foldersNumbered_ = 0;

    sigc::signal<void(TabId, std::size_t)> inserted_;
    sigc::signal<void(TabId, std::size_t)> removed_;
    sigc::signal<void(TabId, std::size_t, std::size_t)> moved_;
    sigc::signal<void(std::optional<TabId>)> selectedSignal_;
    sigc::signal<void(TabId, TabField)> changed_;
    sigc::signal<void()> foldersChanged_;
    sigc::signal<void(StripMode)> modeChanged_;
};

} // namespace vesk
