#include "platform/ColorRgba.h"

#include <adwaita.h>

namespace vesk {

Gdk::RGBA toRgba(const Color& color, const Gtk::Widget*) {
    const bool dark = adw_style_manager_get_dark(adw_style_manager_get_default());
    const Color c = color.resolved(dark ? ColorScheme::Dark : ColorScheme::Light);
    Gdk::RGBA rgba;
    rgba.set_rgba(c.r(), c.g(), c.b(), c.alpha);
    return rgba;
}

Color fromRgba(const Gdk::RGBA& rgba) {
    return Color::rgb(rgba.get_red(), rgba.get_green(), rgba.get_blue(), rgba.get_alpha());
}

} // namespace vesk
