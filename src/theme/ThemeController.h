#pragma once

#include <memory>
#include <optional>
#include <string>

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Color.h"
#include "desktop/DesktopAppearance.h"
#include "theme/Theme.h"
#include "theme/ThemeSettings.h"

namespace vesk {

class Css;
class ThemePanel;

// Whether an apply writes the chosen theme to the user defaults.
enum class SaveTheme { No, Yes };

// The theme in force and the style sheets that paint it. An apply sets the
// light or dark look, replaces the theme's style sheet whole and keeps the
// resolved theme; until the first apply the chrome shows the fixed style
// sheet's colours.
class ThemeController : public sigc::trackable {
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

    // Applies a theme and tells every listener; with SaveTheme::Yes it is stored too.
    void applyThemeNamed(std::optional<std::string> name, std::optional<Color> customBackground,
                         std::optional<Color> customAccent, SaveTheme save);
    // Applies a preset, the colours in force before it going along as the custom colours.
    void applyThemePreset(const std::string& name);
    void applyCustomTheme(const Color& background, const Color& accent);
    // Applies the stored theme, writing nothing back.
    void applyStoredTheme();
    // The themes panel this controller answers and keeps in step.
    void attachPanel(ThemePanel& panel);
    void toggleThemePanel();
    // A theme was applied, with the colours the custom wells now show.
    sigc::signal<void(const Color&, const Color&)>& signalApplied() { return applied_; }

    // The theme in force; nothing before the first apply.
    const std::optional<ResolvedTheme>& current() const { return theme_; }
    std::string themeName() const;

    // The colours in force, each with its own fallback before the first apply.
    ThemeColors colors() const;
    // The colours in force with the text, muted text and accent that read on the
    // floating panels under the look in force.
    ThemeColors panelColors() const;
    // The light or dark look in force: the theme's own, or the desktop's under "system".
    ColorScheme scheme() const;

    // The theme as stored; the next start applies it.
    static StoredTheme load();
    // Stores the theme in force: its name and its background and accent as the
    // custom colours.
    void save();

private:
    // Sets the light or dark look for the theme in force and the desktop's choice,
    // and the theme's style sheet for it.
    void applyLook();

    std::unique_ptr<Css> css_;
    ThemePanel* panel_ = nullptr;
    sigc::signal<void(const Color&, const Color&)> applied_;
    DesktopAppearance desktop_;
    std::optional<ResolvedTheme> theme_;
};

} // namespace vesk
