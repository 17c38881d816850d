#include "widgets/Css.h"

#include <gtkmm/stylecontext.h>

namespace vesk {

namespace {

constexpr guint kBasePriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION;
constexpr guint kThemePriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1;

} // namespace

const char* Css::baseCss() {
    return R"css(
window.vesk-window { background-color: @theme_bg_color; }
window.vesk-window.solid-csd { padding: 0; box-shadow: none; border: none; }
.vesk-glass { background-color: transparent; }
.vesk-web-area { border-radius: 14px; }
.vesk-web-view { border-radius: 14px; }
entry.vesk-address {
  border-radius: 14px; border: none; box-shadow: none; outline: none; margin: 0;
  background-color: alpha(#ffffff, 0.12); color: #ffffff; min-height: 0;
}
entry.vesk-address:focus-within { outline: none; box-shadow: none; }
button.vesk-icon-button {
  color: #3584e4; min-width: 24px; min-height: 24px; padding: 5px; border: none;
}
menubutton.vesk-toolbar-button > button { color: #3584e4; }
.vesk-pill { border-radius: 10px; background-color: transparent; }
.vesk-pill.hover:not(.active) {
  background-color: rgba(255,255,255,0.15);
}
.vesk-pill.animated { transition: background-color 150ms linear; }
.vesk-pill.active { background-color: alpha(#3584e4, 0.24); }
button.vesk-tab-title { border: none; padding: 0 2px; margin: 0; min-height: 0; min-width: 0; }
button.vesk-tab-title label { color: inherit; }
button.vesk-tab-list-button { border-radius: 8px; background-color: @window_bg_color; }
/* A sleeping tab keeps its pill, dimmed. */
.vesk-pill.sleeping button.vesk-tab-title { opacity: 0.5; }
button.vesk-tab-sound { border: none; padding: 0; min-height: 14px; min-width: 14px; }
button.vesk-tab-sound image { -gtk-icon-size: 14px; }
button.vesk-tab-close { border: none; padding: 0; min-height: 14px; min-width: 14px; }
/* The close mark is the theme's 16-pixel drawing, which needs no vector
   renderer; it overhangs the 14-pixel button by a pixel on each side. */
button.vesk-tab-close image { -gtk-icon-size: 16px; margin: -1px; }
button.vesk-folder-header { border: none; padding: 2px 6px; min-height: 0; }
/* A dragged pill, half seen, and the header of the folder it would land in. */
.vesk-pill.vesk-dragging, .vesk-pill.hover.vesk-dragging:not(.active) {
  background-color: alpha(#3584e4, 0.12); opacity: 0.8;
  outline: 2px dashed alpha(#3584e4, 0.8); outline-offset: -2px;
}
.vesk-pill.vesk-dragging button { background: none; box-shadow: none; }
button.vesk-folder-header.vesk-drop-target { background-color: alpha(#3584e4, 0.3); }
.vesk-panel { border-radius: 14px; background-color: alpha(#1f1f1f, 0.92); }
entry.vesk-search {
  border: none; box-shadow: none; outline: none; background: none; min-height: 0;
}
.vesk-panel button.vesk-icon-button { padding: 0; margin: 0; min-height: 0; min-width: 0; }
button.vesk-history-title { padding: 0; margin: 0; min-height: 0; }
button.vesk-panel-button { min-height: 24px; padding: 0 10px; }
/* The buttons and fields of the panels and alerts: a soft fill, no border, bevel or gradient. */
button.vesk-panel-button, colorbutton.vesk-panel-button > button,
window.message button:not(.flat), entry.vesk-alert-field {
  border: none; box-shadow: none; text-shadow: none; background-image: none;
  border-radius: 6px; background-color: alpha(currentColor, 0.1);
}
button.vesk-panel-button:hover, colorbutton.vesk-panel-button > button:hover,
window.message button:not(.flat):hover { background-color: alpha(currentColor, 0.15); }
button.vesk-panel-button:active, colorbutton.vesk-panel-button > button:active,
window.message button:not(.flat):active { background-color: alpha(currentColor, 0.3); }
window.message button { font-weight: bold; }
window.message .dialog-action-area { margin: 6px; border-spacing: 6px; }
window.message .dialog-action-area button { min-height: 34px; border-radius: 9px; }
entry.vesk-alert-field:focus-within {
  box-shadow: inset 0 0 0 2px alpha(@theme_selected_bg_color, 0.5);
}
colorbutton.vesk-panel-button > button { min-height: 0; padding: 3px; }
colorbutton.vesk-panel-button colorswatch { min-height: 18px; }
entry.vesk-alert-field { min-height: 24px; }
.vesk-find-bar {
  border-radius: 14px; background-color: alpha(#1f1f1f, 0.92); color: #ffffff;
  margin: 10px 10px 0 0; padding: 4px 6px;
}
/* The bars laid over the page are opaque, in the window's own colours, so that
   no page shows through their message in either look. */
.vesk-restore-bar, .vesk-permission-bar {
  background-color: @theme_bg_color; color: @theme_fg_color;
  border-radius: 10px; padding: 6px 6px 6px 12px; box-shadow: 0 1px 4px alpha(black, 0.35);
}
/* The toolkit's blue is a little light for white words; a darker shade reads. */
.vesk-restore-bar button.suggested-action, .vesk-permission-bar button.suggested-action {
  background-image: image(mix(@theme_selected_bg_color, black, 0.15));
}
.vesk-link-target {
  margin: 0 0 6px 6px; padding: 2px 8px; border-radius: 6px; font-size: 11px;
  background-color: alpha(@theme_bg_color, 0.95); color: @theme_fg_color;
}
window.vesk-fullscreen .vesk-web-area, window.vesk-fullscreen .vesk-web-view { border-radius: 0; }
)css";
}

Css::Css() : base_(Gtk::CssProvider::create()), theme_(Gtk::CssProvider::create()) {
    base_->load_from_data(baseCss());
    auto display = Gdk::Display::get_default();
    Gtk::StyleContext::add_provider_for_display(display, base_, kBasePriority);
    Gtk::StyleContext::add_provider_for_display(display, theme_, kThemePriority);
}

Css::~Css() {
    auto display = Gdk::Display::get_default();
    if (!display)
        return;
    Gtk::StyleContext::remove_provider_for_display(display, base_);
    Gtk::StyleContext::remove_provider_for_display(display, theme_);
}

void Css::setThemeCss(const std::string& css) {
    theme_->load_from_data(css);
}

} // namespace vesk
