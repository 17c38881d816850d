#include "widgets/ColorRgba.h"

#include <gtkmm/settings.h>

namespace vesk {

Gdk::RGBA toRgba(const Color& color, const Gtk::Widget*) {
    // The look in force, as the theme set it for the toolkit and the pages.
    auto settings = Gtk::Settings::get_default();
    const bool dark =
        settings && settings->property_gtk_application_prefer_dark_theme().get_value();
    const Color c = color.resolved(dark ? ColorScheme::Dark : ColorScheme::Light);
    Gdk::RGBA rgba;
    rgba.set_rgba(c.r(), c.g(), c.b(), c.alpha);
    return rgba;
}

Color fromRgba(const Gdk::RGBA& rgba) {
    return Color::rgb(rgba.get_red(), rgba.get_green(), rgba.get_blue(), rgba.get_alpha());
}

} // namespace vesk
