#include "app/TabsController.h"

#include <utility>

#include <glibmm/main.h>

#include "app/MainWindow.h"
#include "engine/OpeningGuard.h"
#include "history/HistoryFilter.h"
#include "navigation/UrlNormalization.h"
#include "tabs/TabStrip.h"

namespace vesk {

namespace {
// However long a page's title, the pill shows a bounded part of it.
constexpr std::size_t kShownTitleChars = 1024;
} // namespace

TabsController::TabsController(WebSession* session, std::string homePage)
    : session_(session), homePage_(std::move(homePage)) {
    model_.signalInserted().connect(sigc::mem_fun(*this, &TabsController::onInserted));
    model_.signalRemoved().connect(sigc::mem_fun(*this, &TabsController::onRemoved));
    model_.signalMoved().connect([this](TabId, std::size_t, std::size_t) {
        if (!batching_)
            rebuildTabBarLayouts();
    });
    model_.signalSelected().connect(sigc::mem_fun(*this, &TabsController::onSelected));
    model_.signalChanged().connect(sigc::mem_fun(*this, &TabsController::onChanged));
    model_.signalFoldersChanged().connect(sigc::mem_fun(*this, &TabsController::onFoldersChanged));
    model_.signalModeChanged().connect([this](StripMode mode) {
        if (!window_)
            return;
        // Every animation's end rebuilds the strips for the mode then in force.
        window_->animateLayoutMode(mode, [this] { rebuildTabBarLayouts(); });
    });
}

TabsController::~TabsController() {
    // The web views must leave the window before it is destroyed.
    views_.clear();
    folderViews_.clear();
}

void TabsController::attach(MainWindow& window) {
    window_ = &window;
    window.tabStrip().signalTabDropped().connect(
        sigc::mem_fun(*this, &TabsController::onTabDropped));
    rebuildTabBarLayouts();
    shown_ = nullptr;
    onSelected(model_.selected() ? std::optional<TabId>(model_.selected()->id) : std::nullopt);
}

Tab& TabsController::at(std::size_t index) {
    return *views_.at(model_.tabs().at(index).id);
}

Tab* TabsController::current() {
    const TabRecord* record = model_.selected();
    return record ? find(record->id) : nullptr;
}

Tab* TabsController::find(TabId id) {
    auto it = views_.find(id);
    return it == views_.end() ? nullptr : it->second.get();
}

TabFolder& TabsController::folderAt(std::size_t index) {
    return *folderViews_.at(model_.folders().at(index).folderId);
}

TabFolder* TabsController::findFolder(const std::string& folderId) {
    auto it = folderViews_.find(folderId);
    return it == folderViews_.end() ? nullptr : it->second.get();
}

TabId TabsController::idOf(const Tab& tab) const {
    for (const auto& [id, view] : views_)
        if (view.get() == &tab)
            return id;
    return 0;
}

Tab& TabsController::open(std::optional<std::string_view> address) {
    const std::optional<TypedAddress> typed = typedAddressFromInput(address, searchURL_);
    pendingFallback_ = typed ? httpFallbackFor(typed->scheme) : HttpFallback::No;
    return *find(model_.append({.address = typed ? typed->url : ""}, Select::Yes));
}

void TabsController::openAddresses(const std::vector<std::string>& inputs) {
    std::vector<std::string> typed;
    for (const std::string& input : inputs)
        if (normalizedURLFromInput(input, searchURL_))
            typed.push_back(input);
    if (typed.empty())
        return;
    // Only the last, which is selected, loads now; the others wait until first
    // selected, as restored tabs do, so that many addresses do not start as many
    // web processes at once.
    for (std::size_t i = 0; i + 1 < typed.size(); ++i) {
        const TypedAddress address = *typedAddressFromInput(typed[i], searchURL_);
        model_.append({.address = address.url,
                       .title = shownText(address.url, kShownTitleChars, Ellipsis::End),
                       .state = TabState::Unloaded,
                       .scheme = address.scheme},
                      Select::No);
    }
    open(typed.back());
}

Tab& TabsController::openAfter(Tab& opener, Select select, WebView* related) {
    pendingRelated_ = related;
    const TabId openerId = idOf(opener);
    const TabId id = model_.insertAfter(openerId, {}, select);
    pendingRelated_ = nullptr;
    if (related) {
        linked_.insert(openerId);
        linked_.insert(id);
    }
    return *find(id);
}

void TabsController::makePage(Tab& tab, TabId id, WebView* related) {
    tab.makePage(session_, related);
    connectPage(tab, id);
    pageCreated_.emit(tab);
}

void TabsController::connectPage(Tab& tab, TabId id) {
    // Every handler names its tab: the record is bound here, never looked up
    // from the widget or the web view that reported.
    Tab* t = &tab;
    WebView& web = tab.web();
    web.signalFinished().connect([this, t, id](const FinishedPage& page) {
        model_.setAddress(id, page.url);
        model_.setTitle(id, page.title && !page.title->empty()
                                ? shownText(*page.title, kShownTitleChars, Ellipsis::End)
                                : "Untitled");
        pageFinished_.emit(*t, page);
    });
    web.signalCommitted().connect([this, id](const std::string& url) {
        if (!url.empty())
            model_.setAddress(id, url);
    });
    web.signalFailed().connect([this, id](LoadError error) {
        if (error != LoadError::Cancelled)
            model_.setTitle(id, "Error");
    });
    // A failure before any of the page arrived changes nothing: the error page
    // shows in the web area, and the title, the address field and the history
    // stay; only a tab that has shown nothing yet says "Error" instead of "Loading".
    web.signalFailedBeforeCommit().connect([this, id](LoadError error) {
        if (error != LoadError::Cancelled && model_.find(id)->title == NewTab{}.title)
            model_.setTitle(id, "Error");
    });
    web.signalProcessEnded().connect([this, t, id] {
        model_.setTitle(id, "Error");
        // A short notice instead of a frozen or blank page; reload loads the address again.
        t->web().showProcessEndedPage();
    });
    web.setRelatedViewMaker([this, t] { return &openAfter(*t, Select::Yes, &t->web()).web(); });
    web.signalCloseRequested().connect([this, t] { close(*t); });
    web.signalAudioChanged().connect(
        [t] { t->showSound(t->web().isPlayingAudio(), t->web().isMuted()); });
    web.signalOpenInNewTab().connect([this, t](const std::string& url) {
        Tab& opened = openAfter(*t, Select::No);
        model_.setAddress(idOf(opened), url);
        opened.web().loadURL(url);
    });
    // The window the user let the page open after all, from the permission bar.
    t->openingGuard().signalOpenAllowed().connect([this, t](const std::string& url) {
        Tab& opened = openAfter(*t, Select::Yes);
        model_.setAddress(idOf(opened), url);
        opened.web().loadURL(url);
    });
}

void TabsController::onInserted(TabId id, std::size_t) {
    const TabRecord& record = *model_.find(id);
    auto& slot = views_[id];
    slot = std::make_unique<Tab>();
    Tab& tab = *slot;
    tab.signalSelect().connect([this, id] { model_.selectTab(id); });
    tab.signalClose().connect([this, t = &tab] { requestClose(*t); });
    tab.signalToggleMute().connect([this, id] { toggleMute(id); });
    tab.signalMenuRequested().connect(
        [this, id](double x, double y) { menuRequested_.emit(id, x, y); });
    tab.setTitle(record.title);
    tab.setSleeping(record.state != TabState::Live);
    tab.setActive(false);
    // A restored or sleeping tab gets its page only when it is first selected.
    if (record.state == TabState::Live) {
        makePage(tab, id, std::exchange(pendingRelated_, nullptr));
        if (!record.address.empty())
            tab.web().loadURL(record.address, std::exchange(pendingFallback_, HttpFallback::No));
    }
    if (!batching_)
        rebuildTabBarLayouts();
}

void TabsController::onRemoved(TabId id, std::size_t) {
    auto it = views_.find(id);
    if (it == views_.end())
        return;
    std::shared_ptr<Tab> closed(std::move(it->second));
    views_.erase(it);
    linked_.erase(id);
    if (shown_ == closed.get())
        shown_ = nullptr;
    closed->detach();
    if (window_ && closed->hasPage())
        window_->removeWebView(closed->web().widget());
    rebuildTabBarLayouts();
    // The record goes after its views have left the window, which releases the
    // web view. The close button that was clicked belongs to it and is still
    // inside its own click handler, so the release waits until that returns.
    Glib::signal_idle().connect_once([closed = std::move(closed)]() mutable { closed.reset(); });
    if (model_.tabs().empty())
        allClosed_.emit();
}

void TabsController::onSelected(std::optional<TabId> id) {
    Tab* tab = id ? find(*id) : nullptr;
    if (tab) {
        const TabRecord& record = *model_.find(*id);
        // A restored or sleeping tab loads its page the first time it is selected,
        // at its address as it was stored: it is no typed text.
        // One with a saved state comes back from it: its back/forward list,
        // scroll position and form contents.
        if (record.state != TabState::Live) {
            const std::string address = record.address;
            const HttpFallback fallback = httpFallbackFor(record.scheme);
            const std::vector<std::uint8_t> saved = record.savedState;
            model_.setState(*id, TabState::Live);
            model_.setSavedState(*id, {});
            makePage(*tab, *id);
            if (!tab->web().restoreSessionState(saved))
                if (auto url = historyURL(address))
                    tab->web().loadURL(*url, fallback);
        }
    }
    for (auto& [viewId, view] : views_)
        view->setActive(view.get() == tab);
    if (!window_)
        return;
    if (tab)
        window_->showWebView(tab->web().widget());
    window_->tabStrip().revealSelected(tab);
    shown_ = tab;
    selected_.emit(tab);
}

void TabsController::onChanged(TabId id, TabField field) {
    if (field == TabField::Title) {
        if (Tab* tab = find(id))
            tab->setTitle(model_.find(id)->title);
    } else if (field == TabField::Folder) {
        if (!batching_)
            rebuildTabBarLayouts();
    } else if (field == TabField::State) {
        if (Tab* tab = find(id))
            tab->setSleeping(model_.find(id)->state != TabState::Live);
    }
}

void TabsController::restore(const SessionState& session) {
    // The strip is filled once, after every restored tab has joined the model.
    batching_ = true;
    model_.restore(session);
    batching_ = false;
    rebuildTabBarLayouts();
}

void TabsController::onTabDropped(std::size_t index, const TabPlacement& placement) {
    if (index >= model_.tabs().size())
        return;
    const TabId id = model_.tabs()[index].id;
    // The folder and the place change together; the strip is filled once after both.
    batching_ = true;
    model_.setFolder(id, placement.folderId);
    model_.move(id, placement.index);
    batching_ = false;
    rebuildTabBarLayouts();
}

void TabsController::onFoldersChanged() {
    // A removed folder's header goes; a renamed one's shows its new name.
    std::erase_if(folderViews_, [this](const auto& entry) {
        if (model_.findFolder(entry.first))
            return false;
        if (auto* strip = dynamic_cast<Gtk::Box*>(entry.second->header().get_parent()))
            strip->remove(entry.second->header());
        return true;
    });
    for (const FolderRecord& folder : model_.folders()) {
        if (auto it = folderViews_.find(folder.folderId); it != folderViews_.end()) {
            it->second->setName(folder.name);
            continue;
        }
        auto header = std::make_unique<TabFolder>(folder.name);
        const std::string folderId = folder.folderId;
        header->signalToggle().connect([this, folderId] { model_.toggleFolder(folderId); });
        header->signalMenuRequested().connect(
            [this, folderId](double x, double y) { folderMenuRequested_.emit(folderId, x, y); });
        folderViews_[folderId] = std::move(header);
    }
    if (!batching_)
        rebuildTabBarLayouts();
}

void TabsController::rebuildTabBarLayouts() {
    if (!window_)
        return;
    std::vector<std::string> parents;
    for (const TabRecord& record : model_.tabs())
        parents.push_back(record.folderId);
    std::vector<FolderSummary> summaries;
    for (const FolderRecord& folder : model_.folders())
        summaries.push_back({folder.folderId, folder.isExpanded});
    std::vector<TabStrip::Entry> entries;
    for (const StripItem& item : arrangeTabStrip(model_.mode(), parents, summaries)) {
        Gtk::Widget* view = item.kind == StripItem::Kind::FolderHeader
                                ? static_cast<Gtk::Widget*>(&folderAt(item.index).header())
                                : static_cast<Gtk::Widget*>(&at(item.index).pill());
        entries.push_back({view, item});
    }
    TabStrip& strip = window_->tabStrip();
    strip.rebuild(model_.mode(), entries, std::move(parents), std::move(summaries));
    window_->fitTopStripToContent();
    strip.revealSelected(current());
}

void TabsController::requestClose(Tab& tab) {
    quitting_ = false;
    agreedToQuit_.clear();
    if (size() < 2)
        return;
    askToClose(tab);
}

void TabsController::askToClose(Tab& tab) {
    // A tab without a page has nothing to ask.
    if (tab.hasPage())
        tab.web().tryClose();
    else
        close(tab);
}

void TabsController::closeCurrent() {
    if (Tab* tab = current())
        requestClose(*tab);
}

void TabsController::close(Tab& tab) {
    const TabId id = idOf(tab);
    if (!id)
        return;
    if (!quitting_) {
        if (size() > 1)
            model_.remove(id);
        return;
    }
    // While the window closes, a page that agrees waits for the others: nothing
    // closes until every page has agreed, so staying on one page keeps every tab.
    agreedToQuit_.insert(id);
    if (agreedToQuit_.size() < size())
        return;
    std::vector<TabId> all;
    for (const TabRecord& record : model_.tabs())
        all.push_back(record.id);
    for (TabId each : all)
        model_.remove(each);
}

void TabsController::reopenClosed() {
    if (std::optional<std::string> address = model_.takeClosedAddress())
        open(*address);
}

void TabsController::closeAll() {
    quitting_ = true;
    agreedToQuit_.clear();
    std::vector<Tab*> open;
    for (auto& [id, view] : views_)
        open.push_back(view.get());
    // The tabs go once every page has agreed; their records are released only
    // after this loop, on the next idle.
    for (Tab* t : open)
        askToClose(*t);
}

void TabsController::toggleLayoutMode() {
    model_.setMode(model_.mode() == StripMode::Sidebar ? StripMode::TopBar : StripMode::Sidebar);
}

void TabsController::sleep(TabId id) {
    Tab* tab = find(id);
    const TabRecord* selected = model_.selected();
    if (!tab || !tab->hasPage() || (selected && selected->id == id))
        return;
    model_.setSavedState(id, tab->web().sessionState());
    if (window_)
        window_->removeWebView(tab->web().widget());
    if (shown_ == tab)
        shown_ = nullptr;
    tab->releasePage();
    model_.setState(id, TabState::Sleeping);
}

void TabsController::captureSessionStates() {
    for (auto& [id, view] : views_)
        if (view->hasPage())
            model_.setSavedState(id, view->web().sessionState());
}

void TabsController::toggleMute(TabId id) {
    Tab* tab = find(id);
    if (tab && tab->hasPage())
        tab->web().setMuted(!tab->web().isMuted());
}

void TabsController::duplicate(TabId id) {
    Tab* tab = find(id);
    const TabRecord* record = model_.find(id);
    if (!tab || !record)
        return;
    std::vector<std::uint8_t> state =
        tab->hasPage() ? tab->web().sessionState() : record->savedState;
    const std::string address = record->address;
    const std::string title = record->title;
    // The copy waits, like a sleeping tab, and comes back from the state when selected.
    const TabId copy = model_.insertAfter(
        id, {.address = address, .title = title, .state = TabState::Sleeping}, Select::No);
    model_.setSavedState(copy, std::move(state));
    model_.selectTab(copy);
}

void TabsController::restyle() {
    for (auto& [id, view] : views_)
        view->setActive(view->isActive());
}

} // namespace vesk
