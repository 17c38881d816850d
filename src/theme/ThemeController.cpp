#include "theme/ThemeController.h"

#include <gtkmm/settings.h>

#include "store/VeskStore.h"
#include "theme/ThemePanel.h"
#include "theme/ThemeStyleSheet.h"
#include "widgets/Css.h"

namespace vesk {

ThemeController::ThemeController() : css_(std::make_unique<Css>()) {
    desktop_.signalChanged().connect(sigc::mem_fun(*this, &ThemeController::applyLook));
}

ThemeController::~ThemeController() = default;

const ResolvedTheme& ThemeController::apply(std::optional<std::string> name,
                                            std::optional<Color> customBackground,
                                            std::optional<Color> customAccent) {
    theme_ = resolveTheme(name, customBackground, customAccent);
    applyLook();
    return *theme_;
}

ColorScheme ThemeController::scheme() const {
    // Before any theme, and under "system", the desktop's choice holds.
    const Appearance appearance = theme_ ? theme_->appearance : Appearance::System;
    const bool dark = appearance == Appearance::Dark ||
                      (appearance == Appearance::System && desktop_.prefersDark());
    return dark ? ColorScheme::Dark : ColorScheme::Light;
}

void ThemeController::applyLook() {
    const bool dark = scheme() == ColorScheme::Dark;
    // Widgets and pages both follow this one setting.
    auto settings = Gtk::Settings::get_default();
    if (settings && settings->property_gtk_application_prefer_dark_theme().get_value() != dark)
        settings->property_gtk_application_prefer_dark_theme() = dark;
    // Window, glass, web area, address field, toolbar, every tab and folder
    // header and the panels take their colours from this one style sheet; its
    // texts are chosen for the look in force, so it is made again when that changes.
    if (theme_)
        css_->setThemeCss(themeStyleSheet(theme_->colors, scheme()));
}

void ThemeController::applyThemeNamed(std::optional<std::string> name,
                                      std::optional<Color> customBackground,
                                      std::optional<Color> customAccent, SaveTheme save) {
    const ResolvedTheme& theme = apply(std::move(name), customBackground, customAccent);
    const Color wellBackground = customBackground.value_or(theme.colors.background);
    const Color wellAccent = customAccent.value_or(theme.colors.accent);
    if (panel_)
        panel_->setWellColors(wellBackground, wellAccent);
    applied_.emit(wellBackground, wellAccent);
    if (save == SaveTheme::Yes)
        this->save();
}

void ThemeController::applyThemePreset(const std::string& name) {
    // The colours in force before the press go along as the custom colours.
    const ThemeColors before = colors();
    applyThemeNamed(name, before.background, before.accent, SaveTheme::Yes);
}

void ThemeController::applyCustomTheme(const Color& background, const Color& accent) {
    applyThemeNamed(std::string(kCustomThemeName), background, accent, SaveTheme::Yes);
}

void ThemeController::applyStoredTheme() {
    const StoredTheme stored = load();
    applyThemeNamed(stored.name, stored.customBackground, stored.customAccent, SaveTheme::No);
}

void ThemeController::attachPanel(ThemePanel& panel) {
    panel_ = &panel;
    panel.signalPresetChosen().connect(sigc::mem_fun(*this, &ThemeController::applyThemePreset));
    panel.signalCustomChosen().connect(sigc::mem_fun(*this, &ThemeController::applyCustomTheme));
}

void ThemeController::toggleThemePanel() {
    if (!panel_)
        return;
    if (panel_->isOpen()) {
        panel_->close();
        return;
    }
    // The wells start with the colours in force, not with the stored custom ones.
    const ThemeColors now = colors();
    panel_->open(panelColors(), theme_ ? now.background : defaultCustomBackground(),
                 theme_ ? now.accent : defaultCustomAccent());
}

std::string ThemeController::themeName() const {
    return theme_ ? theme_->name : std::string();
}

ThemeColors ThemeController::colors() const {
    if (theme_)
        return theme_->colors;
    // Before any theme: the platform's own colours.
    return {Color::named(NamedColor::WindowBackground), Color::calibratedWhite(1.0, 0.12),
            Color::named(NamedColor::SystemBlue), Color::named(NamedColor::Label),
            Color::named(NamedColor::SecondaryLabel)};
}

ThemeColors ThemeController::panelColors() const {
    ThemeColors panel = colors();
    const ChromeTextColors text = chromeTextColors(panel, scheme());
    panel.text = text.panelText;
    panel.mutedText = text.panelMuted;
    panel.accent = text.panelAccent;
    return panel;
}

StoredTheme ThemeController::load() {
    return readStoredTheme(UserDefaults::load(VeskStore::shared().defaultsFile()));
}

void ThemeController::save() {
    if (!theme_)
        return;
    // The store's writer saves it, and tries again while another running copy holds the
    // settings file for a moment.
    UserDefaults changes = UserDefaults::changesFor(VeskStore::shared().defaultsFile());
    setStoredTheme(changes, theme_->name, theme_->colors.background, theme_->colors.accent);
    VeskStore::shared().saveDefaults(std::move(changes));
}

} // namespace vesk
