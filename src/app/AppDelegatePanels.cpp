// The history panel, the password prompt and themes.
#include "app/AppDelegate.h"

#include "app/MainWindow.h"
#include "engine/LoginForms.h"
#include "history/HistoryFilter.h"
#include "history/HistoryPanel.h"
#include "navigation/NavigationRules.h"
#include "passwords/PasswordPrompt.h"
#include "passwords/PasswordsList.h"
#include "store/VeskStore.h"
#include "theme/ThemeController.h"
#include "theme/ThemePanel.h"

namespace vesk {

void AppDelegate::toggleHistory() {
    if (historyPanel_->isOpen()) {
        historyPanel_->close();
        return;
    }
    historyPanel_->open(theme_->colors());
    rebuildHistoryPanel();
}

void AppDelegate::rebuildHistoryPanel() {
    if (!historyPanel_->isOpen())
        return;
    historyPanel_->showHistory(VeskStore::shared().loadHistory(), theme_->colors());
}

void AppDelegate::clearHistory() {
    auto alert =
        window_->alerts().makeAlert("Clear all history?", "Clear", Gtk::MessageType::WARNING);
    alert->set_secondary_text("This removes every saved history item.");
    window_->alerts().present(std::move(alert), [this](AlertResponse response) {
        if (response != AlertResponse::Confirm)
            return;
        VeskStore::shared().clearHistory();
        rebuildHistoryPanel();
    });
}

void AppDelegate::openHistoryEntry(const std::string& address) {
    Tab* tab = currentTab();
    if (!tab)
        return;
    // The stored address is loaded as it is, without the typed-address rules.
    const std::optional<std::string> url = historyURL(address);
    if (!url)
        return;
    tab->web().loadURL(*url);
    historyPanel_->close();
}

void AppDelegate::promptSavePassword() {
    Tab* tab = currentTab();
    if (!tab)
        return;
    // A page that never loaded (an error page stands in for it) has no host to save for.
    if (const std::optional<std::string> host = hostOf(tab->web().reachedURL())) {
        const LoginForms* logins = tab->loginForms();
        passwordPrompt_->present(*host, logins ? logins->pageSecurity() : PageSecurity::Insecure);
    }
}

void AppDelegate::loginSubmitted(Tab& tab, const std::string& user, const std::string& password) {
    const LoginForms* logins = tab.loginForms();
    // A tab in the background cannot have been typed into just now.
    if (!logins || password.empty() || &tab != currentTab() || tab.web().isShowingErrorPage())
        return;
    // The host is the shown document's as the engine knows it, never what the page says.
    const std::optional<std::string> host = hostOf(logins->pageURL());
    if (!host)
        return;
    const PageSecurity security = logins->pageSecurity();
    const std::optional<SavedPassword> saved = VeskStore::shared().savedPasswordFor(*host);
    // A pair saved over http is offered again once it is typed over https.
    if (saved && saved->user == user && saved->password == password &&
        (saved->security == PageSecurity::Secure || security == PageSecurity::Insecure))
        return;
    passwordPrompt_->present(*host, security, user, password);
}

void AppDelegate::fillSavedPassword(Tab& tab) {
    LoginForms* logins = tab.loginForms();
    if (!logins || tab.web().isShowingErrorPage())
        return;
    const std::optional<std::string> host = hostOf(logins->pageURL());
    if (!host)
        return;
    // The forms check the record's security against the page's themselves.
    if (const std::optional<SavedPassword> saved = VeskStore::shared().savedPasswordFor(*host))
        logins->fill(*saved);
}

void AppDelegate::openPasswordsList() {
    passwordsList_->show(VeskStore::shared().loadPasswords());
}

void AppDelegate::rebuildPasswordsList() {
    if (passwordsList_->isOpen())
        passwordsList_->show(VeskStore::shared().loadPasswords());
}

void AppDelegate::loadThemeSettings() {
    const StoredTheme stored = ThemeController::load();
    // Nothing is written back at start-up.
    applyThemeNamed(stored.name, stored.customBackground, stored.customAccent, SaveTheme::No);
}

void AppDelegate::saveThemeSettings() {
    theme_->save();
}

void AppDelegate::applyThemeNamed(std::optional<std::string> name,
                                  std::optional<Color> customBackground,
                                  std::optional<Color> customAccent, SaveTheme save) {
    const ResolvedTheme& theme = theme_->apply(std::move(name), customBackground, customAccent);
    for (auto& tab : tabs_)
        tab->setActive(tab->isActive());
    themePanel_->setWellColors(customBackground.value_or(theme.colors.background),
                               customAccent.value_or(theme.colors.accent));
    rebuildHistoryPanel();
    if (save == SaveTheme::Yes)
        saveThemeSettings();
}

void AppDelegate::applyThemePreset(const std::string& name) {
    // The colours in force before the press go along as the custom colours.
    const ThemeColors before = theme_->colors();
    applyThemeNamed(name, before.background, before.accent, SaveTheme::Yes);
}

void AppDelegate::applyCustomTheme(const Color& background, const Color& accent) {
    applyThemeNamed(std::string(kCustomThemeName), background, accent, SaveTheme::Yes);
}

void AppDelegate::toggleThemePanel() {
    if (themePanel_->isOpen()) {
        themePanel_->close();
        return;
    }
    // The wells start with the colours in force, not with the stored custom ones.
    const ThemeColors colors = theme_->colors();
    const std::optional<ResolvedTheme>& current = theme_->current();
    themePanel_->open(colors, current ? colors.background : defaultCustomBackground(),
                      current ? colors.accent : defaultCustomAccent());
}

} // namespace vesk
