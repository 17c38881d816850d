#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <giomm/simpleaction.h>
#include <gtkmm/application.h>
#include <sigc++/trackable.h>

#include "base/Color.h"
#include "base/Lifetime.h"
#include "engine/Download.h"
#include "engine/WebSession.h"
#include "engine/WebView.h"
#include "navigation/UrlNormalization.h"
#include "permissions/PermissionDecisions.h"
#include "store/SessionFile.h"
#include "tabs/Tab.h"
#include "tabs/TabFolder.h"
#include "tabs/TabIndexRules.h"
#include "widgets/FloatingPanel.h"

namespace vesk {

class HistoryPanel;
class MainWindow;
class PasswordPrompt;
class PasswordsList;
class ThemeController;
class ThemePanel;

// What the program is started with. Tests give their own home page so that
// nothing is ever loaded from outside the machine.
struct AppOptions {
    std::string homePage{kDefaultHomePage};
    // Addresses to open at start-up instead of the home page.
    std::vector<std::string> addresses;
};

// Whether an apply writes the chosen theme to the user defaults.
enum class SaveTheme { No, Yes };

// Whether a tab opened from a page becomes the selected one.
enum class SelectNewTab { No, Yes };

// The coordinator. It holds the tab and folder model, owns the window and the
// panels, wires every component's signals in one place and carries out the
// browser's named operations by calling down into the components. Its
// definitions are split by concern: start-up and wiring, tabs and folders,
// pages and navigation, panels and themes.
class AppDelegate : public sigc::trackable {
public:
    explicit AppDelegate(AppOptions options = {});
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up: builds the window and everything in it, once.
    void applicationDidFinishLaunching(Gtk::Application* app);

    // --- The model ---------------------------------------------------------------
    const std::vector<std::unique_ptr<Tab>>& tabs() const { return tabs_; }
    const std::vector<std::unique_ptr<TabFolder>>& folders() const { return folders_; }
    // The selected tab's index; NSNotFound before the first tab.
    std::int64_t activeIdx() const { return activeIdx_; }
    bool isSidebarMode() const { return isSidebarMode_; }
    // The selected tab, or null.
    Tab* currentTab() const;

    // --- Components --------------------------------------------------------------
    MainWindow& window() { return *window_; }
    HistoryPanel& historyPanel() { return *historyPanel_; }
    ThemePanel& themePanel() { return *themePanel_; }
    const ThemeController& theme() const { return *theme_; }

    // --- Tabs and folders ---------------------------------------------------------
    void addTabObject(std::optional<std::string_view> address);
    void addNewTab();
    // Opens each typed address (the address rules apply) in a tab of its own,
    // selecting the last; text that gives no address opens nothing.
    void openAddresses(const std::vector<std::string>& inputs);
    void selectTab(std::int64_t index);
    // Asks the tab's page whether it may close; it closes once the page agrees.
    // The only tab stays open.
    void requestCloseTab(Tab& tab);
    // Takes the tab away at once (its page has agreed, or ended).
    void closeTab(Tab& tab);
    void rebuildTabBarLayouts();
    void toggleLayoutMode();
    void createNewFolder();
    void toggleFolderExpansion(TabFolder& folder);
    // A tab placed right after `opener`, in its folder; its view shares the
    // opener's web process when `related`.
    Tab& insertTabAfter(Tab& opener, SelectNewTab select, WebView* related = nullptr);
    void closeCurrentTab();
    // Opens the most recently closed tab again at its address (the last ten are kept).
    void reopenClosedTab();
    // Selects the next (+1) or previous (-1) tab in the strip's order, wrapping round.
    void selectNeighbourTab(int step);
    // Selects the tab at a place in the strip, 1 for the first; 9 is always the last.
    void selectTabAtPlace(int place);
    void newTabForAddress();

    // --- Pages and navigation -----------------------------------------------------
    void didFinishNavigation(Tab& tab);
    void didFailNavigation(Tab& tab, LoadError error);
    void didFailProvisionalNavigation(Tab& tab, LoadError error);
    void webProcessTerminated(Tab& tab);
    void goBack();
    void goForward();
    void refreshPage();
    void zoomIn();
    void zoomOut();
    void zoomReset();
    void reloadBypassingCache();
    // Stops the current tab's load and shows its address in the field again.
    void stopLoading();
    void focusAddressField();
    void findInPage();
    void findNext();
    void findPrevious();
    void printPage();
    void toggleFullscreen();

    // --- History, passwords and themes -------------------------------------------
    void toggleHistory();
    void clearHistory();
    void rebuildHistoryPanel();
    void openHistoryEntry(const std::string& address);
    void promptSavePassword();
    // The tab's page submitted a login: offers to save it for the page's host,
    // unless the vault holds exactly that already.
    void loginSubmitted(Tab& tab, const std::string& user, const std::string& password);
    // Fills the tab's login forms from the vault when the page's host has a record
    // saved with the page's security.
    void fillSavedPassword(Tab& tab);
    // Opens the "Passwords" list, read from the vault now.
    void openPasswordsList();
    PasswordsList& passwordsList() { return *passwordsList_; }
    void loadThemeSettings();
    void saveThemeSettings();
    void applyThemeNamed(std::optional<std::string> name, std::optional<Color> customBackground,
                         std::optional<Color> customAccent, SaveTheme save);
    void applyThemePreset(const std::string& name);
    void applyCustomTheme(const Color& background, const Color& accent);
    void toggleThemePanel();

private:
    void setupActions();
    void setupCallbacks();
    void setupTabCallbacks(Tab& tab);
    void setupFolderCallbacks(TabFolder& folder);
    void onAddressEditingEnded(const std::string& text);
    // The window closes once every page has agreed to close, and the user to
    // cancel the downloads still running.
    bool onWindowCloseRequest();
    void onDownloadStarted(WebKitDownload* download);
    // The tab's index in `tabs`; NSNotFound once it has been closed.
    std::int64_t indexOfTab(const Tab& tab) const;
    // Shows the current tab's load in the address field and lets Escape stop it.
    void showLoadingState();
    std::vector<std::size_t> tabsInStripOrder() const;

    // --- The session file (AppDelegateSession.cpp) ---------------------------------
    // Reads what a run that ended without quitting left, before anything writes it.
    void readLastSession();
    // Shows the restore bar when there is a last session.
    void offerLastSession();
    // Opens the last session's tabs and folders and takes on its selection and mode.
    void restoreLastSession();
    // Writes the session a moment later; every change of the tabs, folders, selection,
    // mode or a page's address calls it.
    void sessionChanged();
    SessionState currentSession() const;
    // A normal quit: the file goes and nothing writes it again.
    void endSession();
    // The tab's address, also while a restored tab waits to be selected.
    std::string addressOf(const Tab& tab) const;
    // Loads a restored tab's address the first time it is selected.
    void loadIfUnloaded(Tab& tab);

    AppOptions options_;
    std::unique_ptr<ThemeController> theme_;
    std::unique_ptr<WebSession> webSession_;
    std::unique_ptr<MainWindow> window_;
    FloatingPanelGroup panels_;
    std::unique_ptr<HistoryPanel> historyPanel_;
    std::unique_ptr<ThemePanel> themePanel_;
    std::unique_ptr<PasswordPrompt> passwordPrompt_;

    std::vector<std::unique_ptr<Tab>> tabs_;
    std::vector<std::unique_ptr<TabFolder>> folders_;
    // This session's downloads, in the order they started.
    std::vector<std::unique_ptr<Download>> downloads_;
    // The user agreed to cancel the running downloads and quit.
    bool downloadsQuitConfirmed_ = false;
    std::int64_t activeIdx_ = NSNotFound;
    bool isSidebarMode_ = false;
    // The window was asked to close: its last tab may go too.
    bool quitting_ = false;
    // The addresses of the last closed tabs, newest last.
    std::vector<std::string> closedAddresses_;
    // Enabled only while the current tab loads, so that Escape otherwise reaches the page.
    Glib::RefPtr<Gio::SimpleAction> stopAction_;
    std::filesystem::path sessionFile_;
    std::optional<SessionState> lastSession_;
    sigc::connection sessionWrite_;
    bool sessionEnded_ = false;
    // Restored tabs not yet selected, with the address each loads when it is.
    std::map<const Tab*, std::string> unloadedAddresses_;

    // --- Security sign (AppDelegatePages.cpp) ---------------------------------------
    // Shows the current tab's connection security in the address field.
    void showSecurity();

    // --- Permission prompts ------------------------------------------------------
    // Shows a page's notification on the desktop, through the application.
    void showPageNotification(const std::string& title, const std::string& body);
    // The user's answers to pages' permission requests, for every tab, until quitting.
    PermissionDecisions permissionDecisions_;

    // --- Saved passwords (AppDelegatePanels.cpp) ------------------------------------
    void rebuildPasswordsList();
    std::unique_ptr<PasswordsList> passwordsList_;

    Lifetime lifetime_;
};

} // namespace vesk
