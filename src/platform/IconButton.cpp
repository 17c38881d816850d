#include "platform/IconButton.h"

namespace vesk {

Gtk::Button* iconBtn(const std::string& symbol) {
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->set_icon_name(symbol);
    button->set_has_frame(false);
    button->add_css_class("flat");
    button->add_css_class("vesk-icon-button");
    button->set_focus_on_click(false);
    return button;
}

} // namespace vesk
