#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "navigation/UrlNormalization.h"
#include "tabs/Tab.h"
#include "tabs/TabDrop.h"
#include "tabs/TabFolder.h"
#include "tabs/TabModel.h"

namespace vesk {

class MainWindow;
class WebSession;

// The tabs' views beside the tab model: a `Tab` (web view and pill) for every
// live record and a header for every folder. The model decides; this
// controller carries out its changes in the window, turns each page's events
// into model changes, and refills the strip whole after every change.
class TabsController : public sigc::trackable {
public:
    TabsController(WebSession* session, std::string homePage);
    ~TabsController();
    TabsController(const TabsController&) = delete;
    TabsController& operator=(const TabsController&) = delete;

    // Shows the tabs in `window` from now on (the first tabs load before it exists).
    void attach(MainWindow& window);

    TabModel& model() { return model_; }
    const TabModel& model() const { return model_; }
    std::size_t size() const { return model_.tabs().size(); }
    bool empty() const { return model_.tabs().empty(); }
    // The tab at `index` in model order.
    Tab& at(std::size_t index);
    // The selected tab, or null.
    Tab* current();
    Tab* find(TabId id);
    // The id of `tab`'s record; 0 once it has closed.
    TabId idOf(const Tab& tab) const;
    // The folder at `index` in model order.
    TabFolder& folderAt(std::size_t index);

    // Opens `address` through the address rules in a new, selected tab at the end;
    // no address opens an empty tab.
    Tab& open(std::optional<std::string_view> address);
    // Opens each typed address that gives one in a tab of its own, selecting the last.
    void openAddresses(const std::vector<std::string>& inputs);
    void addNewTab() { open(homePage_); }
    // The page new tabs open on (empty for a blank one), and the search address
    // typed phrases go to, from now on.
    void setHomePage(std::string homePage) { homePage_ = std::move(homePage); }
    void setSearchURL(std::string searchURL) { searchURL_ = std::move(searchURL); }
    // A tab placed right after `opener`, in its folder; its view shares the
    // opener's web process when `related`.
    Tab& openAfter(Tab& opener, Select select, WebView* related = nullptr);
    void select(std::size_t index) { model_.select(index); }
    // Asks the tab's page whether it may close; it closes once the page agrees.
    // The only tab stays open.
    void requestClose(Tab& tab);
    void closeCurrent();
    // Takes the tab away at once (its page has agreed, or ended).
    void close(Tab& tab);
    void reopenClosed();
    // Asks every page to close, the last tab too: the window is closing. The
    // tabs close together once every page has agreed, and none if one stays.
    void closeAll();
    void toggleLayoutMode();
    // Opens a saved session's tabs and folders, without pages until selected.
    void restore(const SessionState& session);
    // Drops any hover wash from the pills, as a new theme does.
    void restyle();

    // Puts a tab that is not selected to sleep at once: its page's state is
    // kept with its record and its view released. Whether it may is the
    // sleep rules' to say.
    void sleep(TabId id);
    // The page talks to its opener or to a page it opened, through a shared web process.
    bool isLinked(TabId id) const { return linked_.contains(id); }
    // Keeps every live page's current state with its record, for the session file.
    void captureSessionStates();
    // Mutes a tab's page, or unmutes it.
    void toggleMute(TabId id);
    // Opens a copy of the tab right after it, with its back/forward list.
    void duplicate(TabId id);

    // The secondary button was pressed on a tab's pill, at (x, y) on the pill.
    sigc::signal<void(TabId, double, double)>& signalMenuRequested() { return menuRequested_; }
    // The same on a folder's header.
    sigc::signal<void(const std::string&, double, double)>& signalFolderMenuRequested() {
        return folderMenuRequested_;
    }
    // The view of the folder with `folderId`; null for none.
    TabFolder* findFolder(const std::string& folderId);
    // A tab's page was made: other controllers hook into it here.
    sigc::signal<void(Tab&)>& signalPageCreated() { return pageCreated_; }
    // A different tab is selected, or none (null).
    sigc::signal<void(Tab*)>& signalSelected() { return selected_; }
    // A page finished loading in a tab.
    sigc::signal<void(Tab&, const FinishedPage&)>& signalPageFinished() { return pageFinished_; }
    // The last tab has closed.
    sigc::signal<void()>& signalAllClosed() { return allClosed_; }

private:
    void makePage(Tab& tab, TabId id, WebView* related = nullptr);
    // Asks the tab's page whether it may close, or closes a tab without one.
    void askToClose(Tab& tab);
    void connectPage(Tab& tab, TabId id);
    void onInserted(TabId id, std::size_t index);
    void onRemoved(TabId id, std::size_t index);
    void onSelected(std::optional<TabId> id);
    void onChanged(TabId id, TabField field);
    void onFoldersChanged();
    // A pill was dragged to a new place in the strip.
    void onTabDropped(std::size_t index, const TabPlacement& placement);
    void rebuildTabBarLayouts();

    WebSession* session_;
    std::string homePage_;
    std::string searchURL_{kDefaultSearchURL};
    MainWindow* window_ = nullptr;
    TabModel model_;
    std::map<TabId, std::unique_ptr<Tab>> views_;
    std::map<std::string, std::unique_ptr<TabFolder>> folderViews_;
    // The page whose process the next inserted tab's view shares, if any.
    WebView* pendingRelated_ = nullptr;
    // Whether the next inserted tab's first load may fall back to http.
    HttpFallback pendingFallback_ = HttpFallback::No;
    Tab* shown_ = nullptr;
    // Model changes arrive in a batch: the strip is filled once at its end.
    bool batching_ = false;
    // The window is closing: its last tab may go too.
    bool quitting_ = false;
    // While closing, the tabs whose pages have agreed to close.
    std::set<TabId> agreedToQuit_;
    sigc::signal<void(Tab&)> pageCreated_;
    sigc::signal<void(Tab*)> selected_;
    sigc::signal<void(Tab&, const FinishedPage&)> pageFinished_;
    sigc::signal<void()> allClosed_;
    sigc::signal<void(TabId, double, double)> menuRequested_;
    sigc::signal<void(const std::string&, double, double)> folderMenuRequested_;
    // Tabs whose pages share a web process with an opener or an opened page.
    std::set<TabId> linked_;
    Lifetime lifetime_;
};

} // namespace vesk
