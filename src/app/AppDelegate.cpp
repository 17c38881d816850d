#include "app/AppDelegate.h"

#include <filesystem>

#include <giomm/notification.h>
#include <giomm/simpleaction.h>
#include <glibmm/main.h>

#include "app/ActionNames.h"
#include "app/KeyBindings.h"
#include "app/MainWindow.h"
#include "desktop/Renderer.h"
#include "engine/LoginForms.h"
#include "engine/MemoryTrim.h"
#include "history/HistoryPanel.h"
#include "passwords/PasswordPrompt.h"
#include "passwords/PasswordsList.h"
#include "store/VeskStore.h"
#include "tabs/PermissionBar.h"
#include "theme/ThemeController.h"
#include "theme/ThemePanel.h"

namespace vesk {

AppDelegate::AppDelegate(AppOptions options) : options_(std::move(options)) {}

AppDelegate::~AppDelegate() {
    // The session file stays: only the window's own close path ends a session.
    sessionWrite_.disconnect();
    // Tabs go first: their web views must leave the window before it is destroyed.
    tabs_.clear();
    folders_.clear();
    // Their rows in the window's list go with the window.
    downloads_.clear();
    passwordPrompt_.reset();
    passwordsList_.reset();
    themePanel_.reset();
    historyPanel_.reset();
    window_.reset();
}

void AppDelegate::applicationDidFinishLaunching(Gtk::Application* app) {
    tabs_.clear();
    folders_.clear();
    activeIdx_ = NSNotFound;
    isSidebarMode_ = false;
    readLastSession();

    // The first pages start loading before anything else is built: the engine
    // starts its processes and sends the requests while the style sheets are
    // read and the window is put together.
    const AppPaths paths = VeskStore::shared().paths();
    webSession_ = std::make_unique<WebSession>(paths.webData(), paths.cache);
    // Text that gives no address opens nothing; with nothing opened, the home page does
    // (an empty one loads nothing).
    std::vector<std::optional<std::string>> firstAddresses;
    for (const std::string& input : options_.addresses)
        if (auto url = normalizedURLFromInput(input))
            firstAddresses.push_back(std::move(url));
    if (firstAddresses.empty())
        firstAddresses.push_back(normalizedURLFromInput(options_.homePage));
    std::vector<std::unique_ptr<Tab>> firstTabs;
    for (const std::optional<std::string>& url : firstAddresses) {
        auto tab = std::make_unique<Tab>(webSession_.get());
        setupTabCallbacks(*tab);
        if (url)
            tab->web().loadURL(*url);
        firstTabs.push_back(std::move(tab));
    }

    if (auto display = Gdk::Display::get_default())
        chooseRenderer(*display);
    theme_ = std::make_unique<ThemeController>();
    window_ = std::make_unique<MainWindow>(app);
    Gtk::Widget& anchor = window_->addressField().widget();
    historyPanel_ = std::make_unique<HistoryPanel>(window_->glass(), anchor, panels_);
    themePanel_ = std::make_unique<ThemePanel>(window_->glass(), anchor, panels_);
    passwordPrompt_ = std::make_unique<PasswordPrompt>(window_->alerts());
    passwordsList_ = std::make_unique<PasswordsList>(window_->window());
    setupActions();
    setupCallbacks();
    if (app)
        installKeyBindings(*app);

    loadThemeSettings();
    // The tabs join the strip together, the last one selected, as opening them
    // one after another would have left them.
    for (auto& tab : firstTabs) {
        tab->setActive(false);
        tabs_.push_back(std::move(tab));
    }
    rebuildTabBarLayouts();
    selectTab(static_cast<std::int64_t>(tabs_.size()) - 1);
    releaseFreedMemoryOnceLoaded(tabs_.back()->web());
    offerLastSession();

    window_->present();
}

void AppDelegate::setupActions() {
    Gtk::ApplicationWindow& w = window_->window();
    auto add = [&w](const char* name, void (AppDelegate::*command)(), AppDelegate* self) {
        w.add_action(name, sigc::mem_fun(*self, command));
    };
    add(action::kGoBack, &AppDelegate::goBack, this);
    add(action::kGoForward, &AppDelegate::goForward, this);
    add(action::kReload, &AppDelegate::refreshPage, this);
    add(action::kZoomIn, &AppDelegate::zoomIn, this);
    add(action::kZoomOut, &AppDelegate::zoomOut, this);
    add(action::kNewTab, &AppDelegate::addNewTab, this);
    add(action::kNewFolder, &AppDelegate::createNewFolder, this);
    add(action::kToggleHistory, &AppDelegate::toggleHistory, this);
    add(action::kToggleThemePanel, &AppDelegate::toggleThemePanel, this);
    add(action::kSavePassword, &AppDelegate::promptSavePassword, this);
    add(action::kToggleLayout, &AppDelegate::toggleLayoutMode, this);
    add(action::kClearHistory, &AppDelegate::clearHistory, this);
    add(action::kFocusAddress, &AppDelegate::focusAddressField, this);
    add(action::kNewTabForAddress, &AppDelegate::newTabForAddress, this);
    add(action::kCloseTab, &AppDelegate::closeCurrentTab, this);
    add(action::kReopenClosedTab, &AppDelegate::reopenClosedTab, this);
    w.add_action(action::kNextTab, [this] { selectNeighbourTab(+1); });
    w.add_action(action::kPreviousTab, [this] { selectNeighbourTab(-1); });
    w.add_action_with_parameter(
        action::kSelectTabAt, Glib::VARIANT_TYPE_INT32, [this](const Glib::VariantBase& place) {
            selectTabAtPlace(Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(place).get());
        });
    add(action::kReloadBypassingCache, &AppDelegate::reloadBypassingCache, this);
    stopAction_ = w.add_action(action::kStop, sigc::mem_fun(*this, &AppDelegate::stopLoading));
    stopAction_->set_enabled(false);
    add(action::kZoomReset, &AppDelegate::zoomReset, this);
    add(action::kFind, &AppDelegate::findInPage, this);
    add(action::kFindNext, &AppDelegate::findNext, this);
    add(action::kFindPrevious, &AppDelegate::findPrevious, this);
    add(action::kPrint, &AppDelegate::printPage, this);
    add(action::kToggleFullscreen, &AppDelegate::toggleFullscreen, this);
    w.add_action(action::kQuit, [&w] { w.close(); });
}

void AppDelegate::setupCallbacks() {
    window_->window().signal_close_request().connect(
        sigc::mem_fun(*this, &AppDelegate::onWindowCloseRequest), false);
    window_->addressField().signalEditingEnded().connect(
        sigc::mem_fun(*this, &AppDelegate::onAddressEditingEnded));
    webSession_->signalDownloadStarted().connect(
        sigc::mem_fun(*this, &AppDelegate::onDownloadStarted));

    historyPanel_->signalSearchChanged().connect(
        sigc::mem_fun(*this, &AppDelegate::rebuildHistoryPanel));
    historyPanel_->signalOpenEntry().connect(sigc::mem_fun(*this, &AppDelegate::openHistoryEntry));

    themePanel_->signalPresetChosen().connect(sigc::mem_fun(*this, &AppDelegate::applyThemePreset));
    themePanel_->signalCustomChosen().connect(sigc::mem_fun(*this, &AppDelegate::applyCustomTheme));

    window_->restoreBar().signalRestore().connect(
        sigc::mem_fun(*this, &AppDelegate::restoreLastSession));
    window_->restoreBar().signalDismiss().connect([this] { lastSession_.reset(); });

    passwordPrompt_->signalSave().connect([](const std::string& user, const std::string& pass,
                                             const std::string& host, PageSecurity security) {
        VeskStore::shared().savePassword(user, pass, host, security);
    });
    passwordPrompt_->signalManage().connect(sigc::mem_fun(*this, &AppDelegate::openPasswordsList));
    passwordsList_->signalRemove().connect([this](const std::string& host) {
        VeskStore::shared().removePassword(host);
        rebuildPasswordsList();
    });
    passwordsList_->signalRemoveAll().connect([this] {
        VeskStore::shared().removeAllPasswords();
        rebuildPasswordsList();
    });
}

void AppDelegate::setupTabCallbacks(Tab& tab) {
    // Every handler names its tab: the record is bound here, never looked up
    // from the widget or the web view that reported.
    Tab* t = &tab;
    tab.signalSelect().connect([this, t] { selectTab(indexOfTab(*t)); });
    tab.signalClose().connect([this, t] { requestCloseTab(*t); });
    if (LoginForms* logins = tab.loginForms()) {
        logins->signalSubmitted().connect(
            [this, t](const std::string& user, const std::string& password) {
                loginSubmitted(*t, user, password);
            });
        logins->signalFormShown().connect([this, t] { fillSavedPassword(*t); });
    }
    tab.askPermissions(permissionDecisions_);
    tab.permissionBar()->requests().signalNotification().connect(
        sigc::mem_fun(*this, &AppDelegate::showPageNotification));
    tab.web().setCallbacks({
        .didFinishNavigation = [this, t](WebView&) { didFinishNavigation(*t); },
        .didFailNavigation = [this, t](WebView&, LoadError e) { didFailNavigation(*t, e); },
        .didFailProvisionalNavigation =
            [this, t](WebView&, LoadError e) { didFailProvisionalNavigation(*t, e); },
        .webProcessTerminated = [this, t](WebView&) { webProcessTerminated(*t); },
        .createRelatedView = [this, t](WebView& opener) -> WebView* {
            return &insertTabAfter(*t, SelectNewTab::Yes, &opener).web();
        },
        .closeRequested = [this, t](WebView&) { closeTab(*t); },
        .openInNewTab =
            [this, t](WebView&, const std::string& url) {
                insertTabAfter(*t, SelectNewTab::No).web().loadURL(url);
            },
        .progressChanged =
            [this, t](WebView&) {
                if (currentTab() == t)
                    showLoadingState();
            },
        .fullscreenRequested =
            [this, t](WebView&, bool fullscreen) {
                if (currentTab() == t)
                    window_->setFullscreen(fullscreen);
            },
        .securityChanged =
            [this, t](WebView&) {
                if (currentTab() == t)
                    showSecurity();
            },
    });
}

void AppDelegate::showPageNotification(const std::string& title, const std::string& body) {
    // Sending needs an application known to the session bus.
    Glib::RefPtr<Gtk::Application> application = window_->window().get_application();
    if (!application || !application->is_registered())
        return;
    auto notification = Gio::Notification::create(title);
    notification->set_body(body);
    application->send_notification(notification);
}

void AppDelegate::setupFolderCallbacks(TabFolder& folder) {
    TabFolder* f = &folder;
    folder.signalToggle().connect([this, f] { toggleFolderExpansion(*f); });
}

Tab* AppDelegate::currentTab() const {
    if (!isValidTabIndex(activeIdx_, static_cast<std::int64_t>(tabs_.size())))
        return nullptr;
    return tabs_[static_cast<std::size_t>(activeIdx_)].get();
}

} // namespace vesk
