#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/Color.h"
#include "desktop/DesktopAppearance.h"
#include "theme/Theme.h"
#include "theme/ThemeSettings.h"

namespace vesk {

class Css;

// The theme in force and the style sheets that paint it. An apply sets the
// light or dark look, replaces the theme's style sheet whole and keeps the
// resolved theme; until the first apply the chrome shows the fixed style
// sheet's colours.
class ThemeController {
public:
    ThemeController();
    ~ThemeController();
    ThemeController(const ThemeController&) = delete;
    ThemeController& operator=(const ThemeController&) = delete;

    // Makes the named theme current (an unknown name gives "system"); the custom
    // colours matter for "custom" only.
    const ResolvedTheme& apply(std::optional<std::string> name,
                               std::optional<Color> customBackground,
                               std::optional<Color> customAccent);

    // The theme in force; nothing before the first apply.
    const std::optional<ResolvedTheme>& current() const { return theme_; }
    std::string themeName() const;

    // The colours in force, each with its own fallback before the first apply.
    ThemeColors colors() const;

    // The theme as stored; the next start applies it.
    static StoredTheme load();
    // Stores the theme in force: its name and its background and accent as the
    // custom colours.
    void save();

private:
    // Sets the light or dark look for the theme in force and the desktop's choice.
    void applyLook();

    std::unique_ptr<Css> css_;
    DesktopAppearance desktop_;
    std::optional<ResolvedTheme> theme_;
};

} // namespace vesk
