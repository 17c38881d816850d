#include "theme/ThemeStyleSheet.h"

namespace vesk {

std::string themeStyleSheet(const ThemeColors& c) {
    const std::string background = cssColor(c.background);
    const std::string accent = cssColor(c.accent);
    const std::string text = cssColor(c.text);
    const std::string muted = cssColor(c.mutedText);
    std::string css;
    css += "window.vesk-window { background-color: " + background + "; }\n";
    css += ".vesk-glass { background-color: " + cssColor(c.background.withAlpha(0.12)) + "; }\n";
    css += ".vesk-web-area { background-color: " + cssColor(c.panel) + "; }\n";
    css += "entry.vesk-address { background-color: " + cssColor(c.panel.withAlpha(0.8)) +
           "; color: " + text + "; caret-color: " + text + "; }\n";
    css += "button.vesk-icon-button { color: " + accent + "; }\n";
    css += "button.vesk-tab-title { color: " + text + "; }\n";
    css += "button.vesk-tab-close { color: " + accent + "; }\n";
    css += ".vesk-pill.active { background-color: " + cssColor(c.accent.withAlpha(0.24)) + "; }\n";
    css += "button.vesk-folder-header { color: " + text + "; }\n";
    css += ".vesk-panel { background-color: " + cssColor(c.panel.withAlpha(0.92)) + "; }\n";
    css += ".vesk-muted { color: " + muted + "; }\n";
    return css;
}

} // namespace vesk
