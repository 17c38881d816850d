#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/Color.h"
#include "store/UserDefaults.h"

namespace vesk {

// The user-defaults keys that keep the theme across restarts.
inline constexpr std::string_view VeskThemeModeKey = "VeskThemeMode";
inline constexpr std::string_view VeskThemeCustomBackgroundKey = "VeskThemeCustomBackground";
inline constexpr std::string_view VeskThemeCustomAccentKey = "VeskThemeCustomAccent";

// The theme as the defaults hold it, every part already given its fallback.
struct StoredTheme {
    std::string name;
    Color customBackground;
    Color customAccent;
};

// The stored theme: the name as stored ("system" when absent or empty; not
// checked against the known names, the apply does that) and the two custom
// colours, each the default custom colour when absent or undecodable.
StoredTheme readStoredTheme(const UserDefaults& defaults);

// Puts the theme name ("system" for none) and the archives of the two colours
// (of the default custom colours for none) into the defaults, for their next
// save. A colour that cannot be archived clears its key, so the next start
// falls back to the default.
void setStoredTheme(UserDefaults& defaults, const std::optional<std::string>& themeName,
                    const std::optional<Color>& background, const std::optional<Color>& accent);

} // namespace vesk
