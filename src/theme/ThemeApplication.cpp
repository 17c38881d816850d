#include "app/AppDelegate.h"

#include <adwaita.h>

#include "platform/ColorRgba.h"
#include "platform/Css.h"
#include "theme/Theme.h"
#include "theme/ThemeSettings.h"
#include "theme/ThemeStyleSheet.h"

namespace vesk {

namespace {

AdwColorScheme colorSchemeFor(Appearance appearance) {
    switch (appearance) {
    case Appearance::Light:
        return ADW_COLOR_SCHEME_FORCE_LIGHT;
    case Appearance::Dark:
        return ADW_COLOR_SCHEME_FORCE_DARK;
    case Appearance::System:
        break;
    }
    return ADW_COLOR_SCHEME_DEFAULT;
}

} // namespace

Color AppDelegate::defaultCustomBackground() const {
    return vesk::defaultCustomBackground();
}
Color AppDelegate::defaultCustomAccent() const {
    return vesk::defaultCustomAccent();
}

void AppDelegate::loadThemeSettings() {
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    themeName = stored.name;
    // Nothing is written back at start-up.
    applyThemeNamed(themeName, stored.customBackground, stored.customAccent, SaveTheme::No);
}

void AppDelegate::saveThemeSettings() {
    UserDefaults defaults = UserDefaults::standard();
    writeStoredTheme(defaults, themeName, themeBackgroundColor, themeAccentColor);
}

void AppDelegate::applyThemeNamed(std::optional<std::string> name,
                                  std::optional<Color> customBackground,
                                  std::optional<Color> customAccent, SaveTheme save) {
    const ResolvedTheme theme = resolveTheme(name, customBackground, customAccent);
    themeName = theme.name;

    adw_style_manager_set_color_scheme(adw_style_manager_get_default(),
                                       colorSchemeFor(theme.appearance));

    themeBackgroundColor = theme.colors.background;
    themePanelColor = theme.colors.panel;
    themeAccentColor = theme.colors.accent;
    themeTextColor = theme.colors.text;
    themeMutedTextColor = theme.colors.mutedText;

    // Window, glass, web area, address field, toolbar, every tab, folder
    // headers and open panels take their colours from one style sheet.
    css_->setThemeCss(themeStyleSheet(theme.colors));
    for (auto& tab : tabs)
        styleTab(*tab);

    if (themeBackgroundWell)
        themeBackgroundWell->set_rgba(
            toRgba(customBackground.value_or(theme.colors.background), window.get()));
    if (themeAccentWell)
        themeAccentWell->set_rgba(toRgba(customAccent.value_or(theme.colors.accent), window.get()));

    rebuildHistoryPanel();
    if (save == SaveTheme::Yes)
        saveThemeSettings();
}

void AppDelegate::applyThemePreset(Gtk::Button* sender) {
    if (!sender)
        return;
    // The colours in force before the press go along as the custom colours.
    applyThemeNamed(presetNameFromTitle(std::string(sender->get_label())), themeBackgroundColor,
                    themeAccentColor, SaveTheme::Yes);
}

void AppDelegate::applyCustomTheme() {
    std::optional<Color> background = defaultCustomBackground();
    std::optional<Color> accent = defaultCustomAccent();
    if (themeBackgroundWell)
        background = fromRgba(themeBackgroundWell->get_rgba());
    if (themeAccentWell)
        accent = fromRgba(themeAccentWell->get_rgba());
    applyThemeNamed(std::string(kCustomThemeName), background, accent, SaveTheme::Yes);
}

} // namespace vesk
