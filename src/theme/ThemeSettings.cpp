#include "theme/ThemeSettings.h"

#include "theme/ColorArchive.h"
#include "theme/Theme.h"

namespace vesk {

StoredTheme readStoredTheme(const UserDefaults& defaults) {
    StoredTheme stored;
    const auto name = defaults.stringForKey(VeskThemeModeKey);
    stored.name = name && !name->empty() ? *name : std::string(kSystemThemeName);
    stored.customBackground = VeskUnarchiveColor(defaults.dataForKey(VeskThemeCustomBackgroundKey),
                                                 defaultCustomBackground());
    stored.customAccent =
        VeskUnarchiveColor(defaults.dataForKey(VeskThemeCustomAccentKey), defaultCustomAccent());
    return stored;
}

void setStoredTheme(UserDefaults& defaults, const std::optional<std::string>& themeName,
                    const std::optional<Color>& background, const std::optional<Color>& accent) {
    defaults.setString(VeskThemeModeKey, themeName.value_or(std::string(kSystemThemeName)));
    defaults.setData(VeskThemeCustomBackgroundKey,
                     VeskArchiveColor(background.value_or(defaultCustomBackground())));
    defaults.setData(VeskThemeCustomAccentKey,
                     VeskArchiveColor(accent.value_or(defaultCustomAccent())));
}

} // namespace vesk
