#include "app/AppDelegate.h"

#include <algorithm>

#include <giomm/simpleaction.h>
#include <glibmm/main.h>
#include <sigc++/adaptors/track_obj.h>

#include "app/ActionNames.h"
#include "app/FindingController.h"
#include "app/KeyBindings.h"
#include "app/MainWindow.h"
#include "app/PageController.h"
#include "app/PageNotifications.h"
#include "app/SessionController.h"
#include "app/SleepController.h"
#include "app/TabListController.h"
#include "app/TabMenuController.h"
#include "app/TabsController.h"
#include "app/ToolsController.h"
#include "bookmarks/BookmarksController.h"
#include "desktop/Renderer.h"
#include "downloads/DownloadsController.h"
#include "engine/MemoryTrim.h"
#include "engine/WebSession.h"
#include "engine/WebView.h"
#include "history/HistoryController.h"
#include "history/HistoryPanel.h"
#include "navigation/NavigationRules.h"
#include "passwords/PasswordsController.h"
#include "settings/BrowsingDataController.h"
#include "settings/PreferencesController.h"
#include "settings/SiteZoomController.h"
#include "store/VeskStore.h"
#include "suggestions/SuggestionsController.h"
#include "tabs/Tab.h"
#include "theme/ThemeController.h"
#include "theme/ThemePanel.h"
#include "widgets/Alert.h"

namespace vesk {

AppDelegate::AppDelegate(AppOptions options) : options_(std::move(options)) {}

AppDelegate::~AppDelegate() {
    // Tabs go first: their web views must leave the window before it is destroyed.
    tabList_.reset();
    tabMenus_.reset();
    sleep_.reset();
    session_.reset();
    tabs_.reset();
    tools_.reset();
    // Their windows are transient for the main window, so they go first.
    browsingData_.reset();
    preferences_.reset();
    // Their rows in the window's list go with the window.
    downloads_.reset();
    notifications_.reset();
    passwords_.reset();
    finding_.reset();
    history_.reset();
    pages_.reset();
    themePanel_.reset();
    historyPanel_.reset();
    window_.reset();
}

void AppDelegate::applicationDidFinishLaunching(Gtk::Application* app) {
    // The first pages start loading before anything else is built: the engine
    // starts its processes and sends the requests while the style sheets are
    // read and the window is put together.
    if (choosePageDrawing() == PageDrawing::WithoutAcceleration)
        WebView::setHardwareAcceleration(HardwareAcceleration::Never);
    const AppPaths paths = VeskStore::shared().paths();
    webSession_ = std::make_unique<WebSession>(paths.webData(), paths.cache);
    preferences_ = std::make_unique<PreferencesController>(
        PreferenceFallbacks{options_.homePage, paths.downloads});
    siteZoom_ = std::make_unique<SiteZoomController>(preferences_->preferences().defaultZoom);
    tabs_ = std::make_unique<TabsController>(webSession_.get(), preferences_->homePage());
    tabs_->setSearchURL(preferences_->searchURL());
    // The last session is read before anything writes it.
    session_ = std::make_unique<SessionController>(
        *tabs_, options_.addresses.empty() ? StartedOnAddresses::No : StartedOnAddresses::Yes);
    session_->setRestoreOnStart(preferences_->preferences().restoreSessionOnStart
                                    ? RestoreOnStart::Yes
                                    : RestoreOnStart::No);
    // Text that gives no address opens nothing; with nothing opened, the home page does
    // (an empty one loads nothing).
    tabs_->openAddresses(options_.addresses);
    if (tabs_->empty())
        tabs_->addNewTab();

    if (auto display = Gdk::Display::get_default())
        chooseRenderer(*display);
    theme_ = std::make_unique<ThemeController>();
    window_ = std::make_unique<MainWindow>(app);
    Gtk::Widget& anchor = window_->addressField().widget();
    historyPanel_ = std::make_unique<HistoryPanel>(window_->glass(), anchor, panels_);
    themePanel_ = std::make_unique<ThemePanel>(window_->glass(), anchor, panels_);
    pages_ = std::make_unique<PageController>(*window_);
    history_ = std::make_unique<HistoryController>(*historyPanel_, *theme_, window_->alerts());
    finding_ =
        std::make_unique<FindingController>(*window_, *tabs_, *pages_, *webSession_, paths.data);
    passwords_ = std::make_unique<PasswordsController>(window_->alerts(), window_->window(),
                                                       window_->toolbar().password());
    downloads_ = std::make_unique<DownloadsController>(*webSession_, window_->downloads());
    notifications_ = std::make_unique<PageNotifications>(app, *tabs_);
    browsingData_ = std::make_unique<BrowsingDataController>(*webSession_, window_->window(),
                                                             window_->alerts());
    tools_ =
        std::make_unique<ToolsController>(*tabs_, [this] { return preferences_->searchURL(); });
    downloads_->setParent(&window_->window());
    onPreferencesChanged(preferences_->preferences());
    sleep_ = std::make_unique<SleepController>(*tabs_, SleepController::sleepAfterFromDefaults());
    tabMenus_ = std::make_unique<TabMenuController>(*tabs_, *sleep_, window_->window());
    tabList_ = std::make_unique<TabListController>(*tabs_, *window_);
    setupActions();
    setupCallbacks();
    if (app)
        installKeyBindings(*app);

    theme_->applyStoredTheme();
    tabs_->attach(*window_);
    releaseFreedMemoryOnceLoaded(tabs_->current()->web());
    session_->offer(window_->restoreBar());
    window_->present();
}

SuggestionsController& AppDelegate::suggestions() {
    return finding_->suggestions();
}

BookmarksController& AppDelegate::bookmarks() {
    return finding_->bookmarks();
}

void AppDelegate::openAddresses(const std::vector<std::string>& inputs) {
    tabs_->openAddresses(inputs);
}

void AppDelegate::setupActions() {
    Gtk::ApplicationWindow& w = window_->window();
    auto add = [&w](const char* name, auto& target, auto command) {
        return w.add_action(name, sigc::mem_fun(target, command));
    };
    add(action::kGoBack, *pages_, &PageController::goBack);
    add(action::kGoForward, *pages_, &PageController::goForward);
    add(action::kReload, *pages_, &PageController::reload);
    add(action::kReloadBypassingCache, *pages_, &PageController::reloadBypassingCache);
    add(action::kZoomIn, *pages_, &PageController::zoomIn);
    add(action::kZoomOut, *pages_, &PageController::zoomOut);
    add(action::kZoomReset, *pages_, &PageController::zoomReset);
    add(action::kFocusAddress, *pages_, &PageController::focusAddressField);
    add(action::kFind, *pages_, &PageController::findInPage);
    add(action::kFindNext, *pages_, &PageController::findNext);
    add(action::kFindPrevious, *pages_, &PageController::findPrevious);
    add(action::kPrint, *pages_, &PageController::print);
    add(action::kToggleFullscreen, *pages_, &PageController::toggleFullscreen);
    auto stop = add(action::kStop, *pages_, &PageController::stopLoading);
    pages_->setStopAction(stop);
    add(action::kNewTab, *tabs_, &TabsController::addNewTab);
    add(action::kCloseTab, *tabs_, &TabsController::closeCurrent);
    add(action::kReopenClosedTab, *tabs_, &TabsController::reopenClosed);
    add(action::kToggleLayout, *tabs_, &TabsController::toggleLayoutMode);
    add(action::kShowTabList, *tabList_, &TabListController::showTabList);
    w.add_action(action::kNewFolder, [this] { tabs_->model().createFolder(); });
    w.add_action(action::kNewTabForAddress, [this] {
        tabs_->addNewTab();
        pages_->focusAddressField();
    });
    auto selectAt = [this](std::optional<std::size_t> index) {
        if (index)
            tabs_->select(*index);
    };
    w.add_action(action::kNextTab, [this, selectAt] { selectAt(tabs_->model().neighbour(+1)); });
    w.add_action(action::kPreviousTab,
                 [this, selectAt] { selectAt(tabs_->model().neighbour(-1)); });
    w.add_action_with_parameter(
        action::kSelectTabAt, Glib::VARIANT_TYPE_INT32,
        [this, selectAt](const Glib::VariantBase& place) {
            selectAt(tabs_->model().tabAtPlace(
                Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(place).get()));
        });
    add(action::kToggleHistory, *history_, &HistoryController::toggleHistory);
    add(action::kSearchHistory, *history_, &HistoryController::toggleHistorySearch);
    add(action::kClearHistory, *history_, &HistoryController::clearHistory);
    auto closePanel = add(action::kClosePanel, panels_, &FloatingPanelGroup::closeOpenPanel);
    closePanel->set_enabled(false);
    panels_.signalOpenChanged().connect(
        [closePanel](FloatingPanel* open) { closePanel->set_enabled(open != nullptr); });
    add(action::kToggleThemePanel, *theme_, &ThemeController::toggleThemePanel);
    add(action::kSavePassword, *passwords_, &PasswordsController::promptSavePassword);
    w.add_action(action::kQuit, [&w] { w.close(); });
    w.add_action(action::kPreferences,
                 [this] { preferences_->showPreferences(window_->window()); });
    add(action::kClearBrowsingData, *browsingData_, &BrowsingDataController::showClearDialog);
    add(action::kInspect, *tools_, &ToolsController::inspect);
    add(action::kViewSource, *tools_, &ToolsController::viewSource);
    add(action::kSavePage, *tools_, &ToolsController::savePage);
    add(action::kBookmarkPage, *finding_, &FindingController::bookmarkCurrentPage);
    add(action::kShowBookmarks, finding_->bookmarks(), &BookmarksController::showBookmarks);
}

void AppDelegate::setupCallbacks() {
    window_->window().signal_close_request().connect(
        sigc::mem_fun(*this, &AppDelegate::onWindowCloseRequest), false);
    // An address asked for (Return, a history row) gives the keyboard to its page.
    // The page controller goes before the window, whose focus still moves as it closes.
    window_->addressField().signalEditingEnded().connect(sigc::track_obj(
        [this](const std::string& text, EditingEnd end) {
            finding_->suggestions().close();
            if (!pages_->loadTyped(text))
                return;
            finding_->suggestions().typedLoadStarted(tabs_->current());
            if (end == EditingEnd::Submitted)
                pages_->focusPage();
        },
        *pages_));

    tabs_->signalPageCreated().connect(sigc::mem_fun(*this, &AppDelegate::onPageCreated));
    for (std::size_t i = 0; i < tabs_->size(); ++i)
        if (tabs_->at(i).hasPage())
            onPageCreated(tabs_->at(i));
    tabs_->signalSelected().connect([this](Tab* tab) {
        pages_->bind(tab);
        passwords_->setCurrent(tab);
    });
    // A page's source is a view of a page already recorded.
    tabs_->signalPageFinished().connect([this](Tab& tab, const FinishedPage& page) {
        const VisitOrigin origin = finding_->pageFinished(tab, page);
        if (!isSourceAddress(page.url))
            history_->pageFinished(page.url, page.title, origin);
    });
    window_->followTitles(tabs_->model());
    window_->tabStrip().signalAddressDropped().connect(
        [this](const std::string& address) { tabs_->open(address); });
    tabs_->signalAllClosed().connect(sigc::mem_fun(*this, &AppDelegate::onAllTabsClosed));

    // Told once each time saving starts to fail; the store keeps what it could not write.
    VeskStore::shared().onSavingFailed([this, alive = lifetime_.watch()] {
        if (alive.expired())
            return;
        auto notice = window_->alerts().makeNotice("Vesk cannot save history or passwords.");
        notice->set_secondary_text("The disk may be full. They are kept and saved as soon as "
                                   "there is room again.");
        window_->alerts().present(std::move(notice), [](AlertResponse) {});
    });
    history_->signalOpen().connect(sigc::track_obj(
        [this](const std::string& url) {
            pages_->load(url);
            pages_->focusPage();
        },
        *pages_));
    preferences_->signalChanged().connect(sigc::mem_fun(*this, &AppDelegate::onPreferencesChanged));
    pages_->signalZoomed().connect(sigc::mem_fun(*siteZoom_, &SiteZoomController::zoomChanged));
    pages_->signalZoomReset().connect(sigc::mem_fun(*siteZoom_, &SiteZoomController::zoomReset));
    window_->addressField().securityPopover().signalClearSiteData().connect(
        sigc::mem_fun(*browsingData_, &BrowsingDataController::confirmClearSite));
    browsingData_->signalCleared().connect([this] { history_->rebuildHistoryPanel(); });
    theme_->attachPanel(*themePanel_);
    theme_->signalApplied().connect([this](const Color&, const Color&) {
        tabs_->restyle();
        history_->rebuildHistoryPanel();
    });
}

void AppDelegate::onPageCreated(Tab& tab) {
    tab.askPermissions(permissionDecisions_);
    notifications_->watch(tab);
    passwords_->watch(tab);
    siteZoom_->watch(tab);
    tools_->watch(tab);
}

void AppDelegate::onPreferencesChanged(const Preferences& preferences) {
    tabs_->setHomePage(preferences_->homePage());
    tabs_->setSearchURL(preferences_->searchURL());
    pages_->setSearchURL(preferences_->searchURL());
    session_->setRestoreOnStart(preferences.restoreSessionOnStart ? RestoreOnStart::Yes
                                                                  : RestoreOnStart::No);
    downloads_->setDestination(
        preferences_->downloadsFolder(),
        preferences.downloads == DownloadsChoice::AskEachTime ? AskEachTime::Yes : AskEachTime::No);
    siteZoom_->setDefaultZoom(preferences.defaultZoom);
    for (std::size_t i = 0; i < tabs_->size(); ++i)
        siteZoom_->applyTo(tabs_->at(i));
}

bool AppDelegate::onWindowCloseRequest() {
    if (tabs_->empty())
        return false;
    if (downloads_->mayQuit(window_->alerts(), [this] { window_->window().close(); })) {
        session_->prepareQuit();
        tabs_->closeAll();
    }
    return true;
}

void AppDelegate::onAllTabsClosed() {
    session_->end();
    Glib::signal_idle().connect_once([this, alive = lifetime_.watch()] {
        if (!alive.expired())
            window_->window().close();
    });
}

} // namespace vesk
