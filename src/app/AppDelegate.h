#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtkmm/application.h>
#include <sigc++/trackable.h>

#include "navigation/UrlNormalization.h"
#include "platform/Color.h"
#include "platform/FloatingPanel.h"
#include "platform/Lifetime.h"
#include "platform/WebView.h"
#include "tabs/Tab.h"
#include "tabs/TabFolder.h"
#include "tabs/TabIndexRules.h"

namespace vesk {

class HistoryPanel;
class MainWindow;
class PasswordPrompt;
class ThemeController;
class ThemePanel;

// What the program is started with. Tests give their own home page so that
// nothing is ever loaded from outside the machine.
struct AppOptions {
    std::string homePage{kDefaultHomePage};
};

// Whether an apply writes the chosen theme to the user defaults.
enum class SaveTheme { No, Yes };

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
    void selectTab(std::int64_t index);
    void closeTab(Tab& tab);
    void rebuildTabBarLayouts();
    void toggleLayoutMode();
    void createNewFolder();
    void toggleFolderExpansion(TabFolder& folder);

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

    // --- History, passwords and themes -------------------------------------------
    void toggleHistory();
    void clearHistory();
    void rebuildHistoryPanel();
    void openHistoryEntry(const std::string& address);
    void promptSavePassword();
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
    // The tab's index in `tabs`; NSNotFound once it has been closed.
    std::int64_t indexOfTab(const Tab& tab) const;

    AppOptions options_;
    std::unique_ptr<ThemeController> theme_;
    std::unique_ptr<MainWindow> window_;
    FloatingPanelGroup panels_;
    std::unique_ptr<HistoryPanel> historyPanel_;
    std::unique_ptr<ThemePanel> themePanel_;
    std::unique_ptr<PasswordPrompt> passwordPrompt_;

    std::vector<std::unique_ptr<Tab>> tabs_;
    std::vector<std::unique_ptr<TabFolder>> folders_;
    std::int64_t activeIdx_ = NSNotFound;
    bool isSidebarMode_ = false;
    Lifetime lifetime_;
};

} // namespace vesk
