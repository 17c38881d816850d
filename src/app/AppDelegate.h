#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gdkmm/rgba.h>
#include <gtkmm/application.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/colorbutton.h>
#include <gtkmm/constraint.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>
#include <pangomm/fontdescription.h>

#include "navigation/UrlNormalization.h"
#include "platform/Color.h"
#include "tabs/Tab.h"
#include "tabs/TabFolder.h"
#include "tabs/TabIndexRules.h"

namespace vesk {

class ConstraintView;
class Css;
struct HistoryListState;
struct HistoryRow;
class WebView;

// What the program is started with. Tests give their own home page so that
// nothing is ever loaded from outside the machine.
struct AppOptions {
    std::string homePage{kDefaultHomePage};
};

// Font weights used by the chrome's labels.
enum class FontWeight { Regular = 400, Medium = 500, Semibold = 600, Bold = 700 };

// The system font at a size (in points, one point per logical pixel) and weight.
Pango::FontDescription veskFont(double pointSize, FontWeight weight);

// The label itself, or a text button's label; nothing for other widgets.
Gtk::Label* labelOf(Gtk::Widget& labelOrButton);

// Gives a label (or a button's label) the font.
void setVeskFont(Gtk::Widget& labelOrButton, double pointSize, FontWeight weight);

// Whether an apply writes the chosen theme to the user defaults.
enum class SaveTheme { No, Yes };

// The one object that owns the window, every view of the chrome, the tab and
// folder model and the theme. Its methods are defined by subsystem: start-up
// in app/, the tab strip in tabs/, page events in navigation/, and so on.
class AppDelegate {
public:
    explicit AppDelegate(AppOptions options = {});
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up: builds the window and everything in it, once.
    void applicationDidFinishLaunching(Gtk::Application* app);

    // --- Properties, in declaration order -------------------------------------
    std::unique_ptr<Gtk::Window> window;
    ConstraintView* glass = nullptr;
    ConstraintView* sidebarContainer = nullptr;
    ConstraintView* webContainer = nullptr;
    Gtk::Box* topTabBarStack = nullptr;
    Gtk::Box* sidebarTabBarStack = nullptr;
    Gtk::Entry* addr = nullptr;
    ConstraintView* historyPanel = nullptr;
    Gtk::Entry* historySearchField = nullptr;
    Gtk::ScrolledWindow* historyScrollView = nullptr;
    Gtk::Box* historyStack = nullptr;
    ConstraintView* themePanel = nullptr;
    Gtk::ColorButton* themeBackgroundWell = nullptr;
    Gtk::ColorButton* themeAccentWell = nullptr;
    std::vector<std::unique_ptr<Tab>> tabs;
    std::vector<std::unique_ptr<TabFolder>> folders;
    std::int64_t activeIdx = NSNotFound;
    bool isSidebarMode = false;
    Glib::RefPtr<Gtk::Constraint> sidebarWidthConstraint;
    Glib::RefPtr<Gtk::Constraint> webLeadingConstraint;
    std::vector<Glib::RefPtr<Gtk::Constraint>> activeWebConstraints;
    std::vector<Gtk::Button*> controlButtons;
    std::optional<std::string> themeName;
    std::optional<Color> themeBackgroundColor;
    std::optional<Color> themePanelColor;
    std::optional<Color> themeAccentColor;
    std::optional<Color> themeTextColor;
    std::optional<Color> themeMutedTextColor;

    // The scroller that bounds the top strip so it never reaches the right-hand buttons.
    Gtk::ScrolledWindow* topTabBarScroller = nullptr;
    // The strip's wish to be as wide as its pills; it gives way to the bound above.
    std::vector<Glib::RefPtr<Gtk::Constraint>> topStripWidthConstraints;
    // The scroller between the sidebar column and its strip.
    Gtk::ScrolledWindow* sidebarTabBarScroller = nullptr;

    // --- Tab model (tabs/) --------------------------------------------------------
    Tab* currentTab() const;

    // --- Toolbar and address field (app/) ----------------------------------------
    Gtk::Button* iconBtn(const std::string& symbol, void (AppDelegate::*action)());

    // --- Layout modes (app/) ---------------------------------------------------
    void toggleLayoutMode();

    // --- Tab lifecycle (tabs/) ---------------------------------------------------
    void addTabObject(std::optional<std::string_view> address);
    void addNewTab();
    void tabSwitch(Gtk::Button* sender);
    void closeTab(Gtk::Button* sender);
    void selectTab(std::int64_t index);
    void styleTab(Tab& tab);
    void animateFadeInView(Gtk::Widget& view);
    void animateFadeOutAndRemoveView(Gtk::Widget& view, std::function<void()> completion);
    void rebuildTabBarLayouts();
    // Scrolls the top strip so that the selected tab's pill is wholly shown.
    void revealSelectedTab();

    // --- Folders (tabs/) -----------------------------------------------------------
    void createNewFolder();
    void toggleFolderExpansion(Gtk::Button* sender);

    // --- Address field and page events (navigation/) ----------------------------
    void controlTextDidEndEditing(Gtk::Widget* object);
    void controlTextDidChange(Gtk::Widget* object);
    void didFinishNavigation(WebView& webView);
    void didFailNavigation(WebView& webView, int errorCode);
    void didFailProvisionalNavigation(WebView& webView, int errorCode);
    void webProcessTerminated(WebView& webView);

    // --- Navigation controls (navigation/) ------------------------------------
    void goBack();
    void goForward();
    void refreshPage();
    void zoomIn();
    void zoomOut();

    // --- History panel (history/) ---------------------------------------------
    void toggleHistory();
    void closeHistoryPanel();
    void clearHistory();
    void rebuildHistoryPanel();
    void openHistoryEntry(Gtk::Button* sender);

    // --- Password prompt (passwords/) -------------------------------------------
    void promptSavePassword();

    // --- Themes (theme/) --------------------------------------------------------
    Color defaultCustomBackground() const;
    Color defaultCustomAccent() const;
    void loadThemeSettings();
    void saveThemeSettings();
    void applyThemeNamed(std::optional<std::string> name, std::optional<Color> customBackground,
                         std::optional<Color> customAccent, SaveTheme save);
    void applyThemePreset(Gtk::Button* sender);
    void applyCustomTheme();
    void toggleThemePanel();
    void closeThemePanel();

    // Shows a text in the address field without it counting as the user's editing.
    void setAddressText(const std::string& text);
    std::weak_ptr<void> lifetime() const { return lifetime_; }

    // The modal alert being shown (clearing the history, saving a password), if any.
    Gtk::MessageDialog* openAlert() const { return alert_.get(); }
    // The address a history row's title button carries; "" for any other button.
    static std::string historyAddressOf(Gtk::Button& rowButton);

private:
    void buildWindow(Gtk::Application* app);
    void buildToolbar();
    void buildAddressField();
    void activateLayoutTable();
    void fitTopStripToContent();
    void setLayoutConstants(double sidebarWidth, double webLeading, double stripOpacity);
    void connectTopStripScrolling();
    bool onTopStripWheel(double dx, double dy);
    void onAddressActivate();
    void onAddressFocusEnter();
    void onAddressFocusLeave();
    void onAddressChanged();
    void endAddressEditing();
    Gtk::Widget* makeHistoryRow(const HistoryRow& row, const Gdk::RGBA& text,
                                const Gdk::RGBA& muted);
    void syncHistoryRows(std::vector<HistoryRow> rows, const Gdk::RGBA& text,
                         const Gdk::RGBA& muted);
    void buildHistoryPanel();
    void buildThemePanel();
    // Shows the alert modal over the window; `answered` gets the response once, and
    // the alert goes away afterwards.
    void presentAlert(std::unique_ptr<Gtk::MessageDialog> alert,
                      std::function<void(int response)> answered);
    // Gives a panel's label (or a button's label) its font and a text colour fixed
    // when it is built: no later theme apply changes it.
    static void setPanelText(Gtk::Widget& labelOrButton, double pointSize, FontWeight weight,
                             const Gdk::RGBA& color);

    AppOptions options_;
    // Expires with the delegate, so animations still running stop touching it.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    std::unique_ptr<Css> css_;
    // Bumped by every layout toggle so that only the last animation's end rebuilds
    // the constants; every end still rebuilds the strip.
    unsigned layoutGeneration_ = 0;
    double sidebarWidth_ = 0.0;
    double webLeading_ = 15.0;
    double topStripOpacity_ = 1.0;
    // A reveal of the selected tab waits for the strip's new size.
    bool revealPending_ = false;
    // An editing session of the address field ends once, however it ends.
    bool addressEditing_ = false;
    bool settingAddressText_ = false;
    int topStripWidth_ = -1;
    sigc::connection widthRefit_;
    // The open panels' placement in the glass; each set leaves with its panel's fade-out.
    std::vector<Glib::RefPtr<Gtk::Constraint>> historyPanelConstraints_;
    std::vector<Glib::RefPtr<Gtk::Constraint>> themePanelConstraints_;
    std::unique_ptr<Gtk::MessageDialog> alert_;
    // The rows of the open history list, kept while their entries stay the same.
    std::shared_ptr<HistoryListState> historyList_;
};

} // namespace vesk
