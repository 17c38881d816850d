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

} // namespace vesk
