#include "app/AppDelegate.h"

#include "platform/Color.h"

namespace vesk {

// Theme application arrives with its own change; until then the chrome keeps
// the colours of its fixed style sheet.
Color AppDelegate::defaultCustomBackground() const {
    return Color::rgb(0.08, 0.09, 0.12, 1.0);
}
Color AppDelegate::defaultCustomAccent() const {
    return Color::rgb(0.37, 0.62, 0.98, 1.0);
}
void AppDelegate::loadThemeSettings() {}
void AppDelegate::saveThemeSettings() {}
void AppDelegate::applyThemeNamed(std::optional<std::string>, std::optional<Color>,
                                  std::optional<Color>, SaveTheme) {}
void AppDelegate::applyThemePreset(Gtk::Button*) {}
void AppDelegate::applyCustomTheme() {}

} // namespace vesk
