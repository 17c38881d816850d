// The history panel, the password prompt and themes.
#include "app/AppDelegate.h"

#include "app/MainWindow.h"
#include "history/HistoryFilter.h"
#include "history/HistoryPanel.h"
#include "navigation/NavigationRules.h"
#include "passwords/PasswordPrompt.h"
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
    if (const std::optional<std::string> host = hostOf(tab->web().reachedURL()))
        passwordPrompt_->present(*host);
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
