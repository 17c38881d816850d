#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/Color.h"

namespace vesk {

// The application-wide look a theme sets: follow the desktop, or force light or dark.
enum class Appearance { System, Light, Dark };

// The five colours the whole chrome is painted with.
struct ThemeColors {
    Color background;
    Color panel;
    Color accent;
    Color text;
    Color mutedText;

    bool operator==(const ThemeColors&) const = default;
};

// A theme made current: its name (always one of the six), appearance and colours.
struct ResolvedTheme {
    std::string name;
    Appearance appearance = Appearance::System;
    ThemeColors colors;

    bool operator==(const ResolvedTheme&) const = default;
};

// The alphas the chrome paints the theme's colours with.
inline constexpr double kGlassAlpha = 0.12;
inline constexpr double kAddressFieldAlpha = 0.8;
inline constexpr double kFloatingPanelAlpha = 0.92;
inline constexpr double kActivePillAlpha = 0.24;
// A panel button's soft fill is its accent at this alpha, and more while hovered.
inline constexpr double kPanelButtonFillAlpha = 0.1;
inline constexpr double kPanelButtonHoverAlpha = 0.15;

// The colours of the chrome's texts, each readable on the surface it sits on.
struct ChromeTextColors {
    Color windowText;  // tab titles and folder headers, on the glass
    Color addressText; // the address field's text, on the field's own fill
    Color panelText;   // the floating panels' headings, rows and search field
    Color panelMuted;  // the panels' secondary lines and field labels
    Color panelAccent; // the panels' buttons, on their soft fill

    bool operator==(const ChromeTextColors&) const = default;
};

inline constexpr std::string_view kSystemThemeName = "system";
inline constexpr std::string_view kCustomThemeName = "custom";

// The custom background used when none is stored or passed; a new value on every call.
Color defaultCustomBackground();

// The custom accent used when none is stored or passed; a new value on every call.
Color defaultCustomAccent();

// The custom theme's panel: the background blended 35 % toward black, at alpha 0.9.
Color derivedPanelColor(const Color& background);

// The appearance and colours of the theme called `name`. Names are compared
// exactly, case and all; an absent, empty or unknown name gives "system". The
// custom colours matter only for "custom" and fall back to the defaults there.
ResolvedTheme resolveTheme(std::optional<std::string_view> name,
                           std::optional<Color> customBackground,
                           std::optional<Color> customAccent);

// The theme's text and accent colours made readable on the chrome's surfaces
// under `scheme`: a surface keeps the theme's colour, and only the text on it
// changes where the theme's own would not read (as on the translucent white
// panels of the system look under a dark desktop).
ChromeTextColors chromeTextColors(const ThemeColors& colors, ColorScheme scheme);

} // namespace vesk
