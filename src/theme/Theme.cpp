#include "theme/Theme.h"

#include <string>

#include "theme/Contrast.h"

namespace vesk {

namespace {

// The panel that the system and light looks share: a translucent white, also
// when the desktop itself is dark.
Color lightPanel() {
    return Color::calibratedWhite(1.0, 0.82);
}

ThemeColors systemColors() {
    return {Color::named(NamedColor::WindowBackground), lightPanel(),
            Color::named(NamedColor::ControlAccent), Color::named(NamedColor::Label),
            Color::named(NamedColor::SecondaryLabel)};
}

ThemeColors lightColors() {
    return {Color::calibratedWhite(0.98, 1.0), lightPanel(), Color::named(NamedColor::SystemBlue),
            Color::named(NamedColor::Label), Color::named(NamedColor::SecondaryLabel)};
}

ThemeColors darkColors() {
    return {Color::calibratedWhite(0.08, 1.0), Color::calibratedWhite(0.13, 0.88),
            Color::named(NamedColor::SystemBlue), Color::whiteColor(),
            Color::genericWhite(0.82, 1.0)};
}

ThemeColors oceanColors() {
    return {Color::rgb(0.05, 0.11, 0.16, 1.0), Color::rgb(0.08, 0.16, 0.22, 0.9),
            Color::rgb(0.22, 0.79, 0.86, 1.0), Color::whiteColor(), Color::genericWhite(0.86, 1.0)};
}

ThemeColors sunsetColors() {
    return {Color::rgb(0.15, 0.07, 0.10, 1.0), Color::rgb(0.22, 0.10, 0.13, 0.9),
            Color::rgb(1.0, 0.53, 0.30, 1.0), Color::whiteColor(), Color::genericWhite(0.88, 1.0)};
}

ThemeColors customColors(const Color& background, const Color& accent) {
    return {background, derivedPanelColor(background), accent, Color::whiteColor(),
            Color::genericWhite(0.86, 1.0)};
}

} // namespace

Color defaultCustomBackground() {
    return Color::rgb(0.08, 0.09, 0.12, 1.0);
}

Color defaultCustomAccent() {
    return Color::rgb(0.37, 0.62, 0.98, 1.0);
}

Color derivedPanelColor(const Color& background) {
    // The custom look is always dark, so a named background is blended as it
    // shows under the dark scheme.
    return background.resolved(ColorScheme::Dark).blended(0.35, Color::blackColor()).withAlpha(0.9);
}

ChromeTextColors chromeTextColors(const ThemeColors& c, ColorScheme scheme) {
    const Color glass = paintedOver(c.background.withAlpha(kGlassAlpha), c.background, scheme);
    const Color addressField = paintedOver(c.panel.withAlpha(kAddressFieldAlpha), glass, scheme);
    // The floating panels hang over pages of any colour.
    const Color panel = c.panel.withAlpha(kFloatingPanelAlpha);
    const Color hoveredButton =
        paintedOver(c.accent.withAlpha(kPanelButtonHoverAlpha), panel, scheme);
    return {readableTextColor(c.text, glass, scheme),
            readableTextColor(c.text, addressField, scheme),
            readableTextColor(c.text, panel, scheme), readableTextColor(c.mutedText, panel, scheme),
            readableTextColor(c.accent, hoveredButton, scheme)};
}

ResolvedTheme resolveTheme(std::optional<std::string_view> name,
                           std::optional<Color> customBackground,
                           std::optional<Color> customAccent) {
    const std::string_view wanted = name.value_or(std::string_view{});
    if (wanted == "light")
        return {"light", Appearance::Light, lightColors()};
    if (wanted == "dark")
        return {"dark", Appearance::Dark, darkColors()};
    if (wanted == "ocean")
        return {"ocean", Appearance::Dark, oceanColors()};
    if (wanted == "sunset")
        return {"sunset", Appearance::Dark, sunsetColors()};
    if (wanted == kCustomThemeName) {
        return {std::string(kCustomThemeName), Appearance::Dark,
                customColors(customBackground.value_or(defaultCustomBackground()),
                             customAccent.value_or(defaultCustomAccent()))};
    }
    return {std::string(kSystemThemeName), Appearance::System, systemColors()};
}

} // namespace vesk
