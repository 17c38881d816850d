#include "theme/ThemeStyleSheet.h"

namespace vesk {

namespace {

std::string rule(const std::string& selector, const std::string& declarations) {
    return selector + " { " + declarations + " }\n";
}

std::string colorIs(const Color& c) {
    return "color: " + cssColor(c) + ";";
}

std::string backgroundIs(const Color& c) {
    return "background-color: " + cssColor(c) + ";";
}

} // namespace

std::string themeStyleSheet(const ThemeColors& c, ColorScheme scheme) {
    const ChromeTextColors text = chromeTextColors(c, scheme);
    std::string css;
    css += rule("window.vesk-window", backgroundIs(c.background));
    css += rule(".vesk-glass", backgroundIs(c.background.withAlpha(kGlassAlpha)));
    css += rule(".vesk-web-area", backgroundIs(c.panel));
    css += rule("entry.vesk-address", backgroundIs(c.panel.withAlpha(kAddressFieldAlpha)) +
                                          colorIs(text.addressText) +
                                          " caret-color: " + cssColor(text.addressText) + ";");
    // The field's signs (the security sign, the star) read on the field, not on the
    // desktop's colours: a dark desktop would make them light on the light field.
    css += rule("entry.vesk-address > image", colorIs(text.addressText));
    css +=
        rule("button.vesk-icon-button, menubutton.vesk-toolbar-button > button", colorIs(c.accent));
    css += rule("button.vesk-tab-title", colorIs(text.windowText));
    css += rule("button.vesk-tab-close", colorIs(c.accent));
    css += rule(".vesk-pill.active", backgroundIs(c.accent.withAlpha(kActivePillAlpha)));
    css += rule("button.vesk-folder-header", colorIs(text.windowText));
    css += rule(".vesk-panel", backgroundIs(c.panel.withAlpha(kFloatingPanelAlpha)));
    css += rule(".vesk-panel .vesk-panel-text", colorIs(text.panelText));
    css += rule(".vesk-panel .vesk-panel-muted", colorIs(text.panelMuted));
    css += rule(".vesk-panel entry.vesk-search",
                colorIs(text.panelText) + " caret-color: " + cssColor(text.panelText) + ";");
    // The toolkit dims a placeholder by half; it takes the panel's readable muted text instead.
    css += rule(".vesk-panel entry.vesk-search > text > placeholder",
                colorIs(text.panelMuted) + " opacity: 1;");
    // The buttons' soft fill comes from the theme's accent, and their labels were
    // chosen to read on it.
    css +=
        rule(".vesk-panel button.vesk-panel-button",
             colorIs(text.panelAccent) + backgroundIs(c.accent.withAlpha(kPanelButtonFillAlpha)));
    css += rule(".vesk-panel button.vesk-panel-button:hover",
                backgroundIs(c.accent.withAlpha(kPanelButtonHoverAlpha)));
    return css;
}

} // namespace vesk
