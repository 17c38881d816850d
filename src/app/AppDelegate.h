#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtkmm/application.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "navigation/UrlNormalization.h"
#include "permissions/PermissionDecisions.h"
#include "widgets/FloatingPanel.h"

namespace vesk {

class BrowsingDataController;
class BookmarksController;
class DownloadsController;
class FindingController;
class HistoryController;
class HistoryPanel;
class MainWindow;
class PageController;
class PageNotifications;
class PasswordsController;
class PreferencesController;
struct Preferences;
class SessionController;
class SiteZoomController;
class SleepController;
class SuggestionsController;
class Tab;
class TabListController;
class TabMenuController;
class TabsController;
class ThemeController;
class ThemePanel;
class ToolsController;
class WebSession;

// What the program is started with. Tests give their own home page so that
// nothing is ever loaded from outside the machine.
struct AppOptions {
    std::string homePage{kDefaultHomePage};
    // Addresses to open at start-up instead of the home page.
    std::vector<std::string> addresses;
};

// The coordinator: it builds the window, the components and the controllers
// once, wires their signals to each other in one place (setupCallbacks) and
// makes the window's actions (setupActions). Each concern's state lives in
// its controller: the tabs, the page on show, the session, history, saved
// passwords, downloads and the theme.
class AppDelegate : public sigc::trackable {
public:
    explicit AppDelegate(AppOptions options = {});
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up: builds the window and everything in it, once.
    void applicationDidFinishLaunching(Gtk::Application* app);
    // Opens each typed address that gives one in a tab of its own, selecting the last.
    void openAddresses(const std::vector<std::string>& inputs);

    MainWindow& window() { return *window_; }
    TabsController& tabs() { return *tabs_; }
    PageController& pages() { return *pages_; }
    ThemeController& theme() { return *theme_; }
    HistoryController& history() { return *history_; }
    PasswordsController& passwords() { return *passwords_; }
    HistoryPanel& historyPanel() { return *historyPanel_; }
    PreferencesController& preferences() { return *preferences_; }
    BrowsingDataController& browsingData() { return *browsingData_; }
    SiteZoomController& siteZoom() { return *siteZoom_; }
    ThemePanel& themePanel() { return *themePanel_; }
    SleepController& sleep() { return *sleep_; }
    TabMenuController& tabMenus() { return *tabMenus_; }
    TabListController& tabList() { return *tabList_; }
    SuggestionsController& suggestions();
    BookmarksController& bookmarks();

private:
    void setupActions();
    void setupCallbacks();
    // Hooks a tab's new page up to the permission answers, notifications and the
    // saved passwords.
    void onPageCreated(Tab& tab);
    // The window closes once every page has agreed to close, and the user to
    // cancel the downloads still running.
    bool onWindowCloseRequest();
    // Every page agreed to close: a normal quit.
    void onAllTabsClosed();
    // Puts changed preferences in force at once.
    void onPreferencesChanged(const Preferences& preferences);

    AppOptions options_;
    std::unique_ptr<WebSession> webSession_;
    std::unique_ptr<PreferencesController> preferences_;
    std::unique_ptr<SiteZoomController> siteZoom_;
    std::unique_ptr<TabsController> tabs_;
    std::unique_ptr<SessionController> session_;
    std::unique_ptr<ThemeController> theme_;
    std::unique_ptr<MainWindow> window_;
    FloatingPanelGroup panels_;
    std::unique_ptr<HistoryPanel> historyPanel_;
    std::unique_ptr<ThemePanel> themePanel_;
    std::unique_ptr<PageController> pages_;
    std::unique_ptr<HistoryController> history_;
    std::unique_ptr<FindingController> finding_;
    std::unique_ptr<PasswordsController> passwords_;
    std::unique_ptr<DownloadsController> downloads_;
    std::unique_ptr<PageNotifications> notifications_;
    std::unique_ptr<BrowsingDataController> browsingData_;
    std::unique_ptr<ToolsController> tools_;
    std::unique_ptr<SleepController> sleep_;
    std::unique_ptr<TabMenuController> tabMenus_;
    std::unique_ptr<TabListController> tabList_;
    // The user's answers to pages' permission requests, for every tab, until quitting.
    PermissionDecisions permissionDecisions_;
    Lifetime lifetime_;
};

} // namespace vesk
