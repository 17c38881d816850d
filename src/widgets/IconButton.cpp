#include "widgets/IconButton.h"

namespace vesk {

void setAccessibleName(Gtk::Widget& widget, const char* name) {
    Glib::Value<Glib::ustring> value;
    value.init(Glib::Value<Glib::ustring>::value_type());
    value.set(name);
    widget.update_property(Gtk::Accessible::Property::LABEL, value);
}

Gtk::Button* iconBtn(const std::string& symbol, const char* accessibleName) {
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->set_icon_name(symbol);
    button->set_has_frame(false);
    button->add_css_class("flat");
    button->add_css_class("vesk-icon-button");
    button->set_focus_on_click(false);
    if (accessibleName)
        setAccessibleName(*button, accessibleName);
    return button;
}

} // namespace vesk
