#include "platform/Css.h"

#include <gtkmm/stylecontext.h>

namespace vesk {

namespace {

constexpr guint kBasePriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION;
constexpr guint kThemePriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1;

} // namespace

const char* Css::baseCss() {
    return R"css(
window.vesk-window { background-color: @window_bg_color; }
window.vesk-window.solid-csd { padding: 0; box-shadow: none; border: none; }
.vesk-glass { background-color: transparent; }
.vesk-web-area { border-radius: 14px; }
.vesk-web-view { border-radius: 14px; }
entry.vesk-address {
  border-radius: 14px; border: none; box-shadow: none; outline: none; margin: 0;
  background-color: alpha(#ffffff, 0.12); color: #ffffff; min-height: 0;
}
entry.vesk-address:focus-within { outline: none; box-shadow: none; }
button.vesk-icon-button { color: #3584e4; }
.vesk-pill { border-radius: 10px; background-color: transparent; }
.vesk-pill.hover:not(.active) {
  background-color: rgba(255,255,255,0.15);
}
.vesk-pill.animated { transition: background-color 150ms linear; }
.vesk-pill.active { background-color: alpha(#3584e4, 0.24); }
button.vesk-tab-title { padding: 0 2px; margin: 0; min-height: 0; min-width: 0; }
button.vesk-tab-title label { color: inherit; }
button.vesk-tab-close { padding: 0; min-height: 14px; min-width: 14px; }
button.vesk-tab-close image { -gtk-icon-size: 14px; }
button.vesk-folder-header { padding: 2px 6px; min-height: 0; }
.vesk-panel { border-radius: 14px; background-color: alpha(#1f1f1f, 0.92); }
entry.vesk-search {
  border: none; box-shadow: none; outline: none; background: none; min-height: 0;
}
.vesk-panel button.vesk-icon-button { padding: 0; margin: 0; min-height: 0; min-width: 0; }
button.vesk-history-title { padding: 0; margin: 0; min-height: 0; }
button.vesk-panel-button { min-height: 24px; padding: 0 10px; }
colorbutton.vesk-panel-button > button { min-height: 0; padding: 3px; }
colorbutton.vesk-panel-button colorswatch { min-height: 18px; }
entry.vesk-alert-field { min-height: 24px; }
.vesk-find-bar {
  border-radius: 14px; background-color: alpha(#1f1f1f, 0.92); color: #ffffff;
  margin: 10px 10px 0 0; padding: 4px 6px;
}
.vesk-link-target {
  margin: 0 0 6px 6px; padding: 2px 8px; border-radius: 6px; font-size: 11px;
  background-color: alpha(@window_bg_color, 0.95); color: @window_fg_color;
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
