#include "passwords/SavedLoginOffer.h"

namespace vesk {

SavedLoginOffer::SavedLoginOffer(Gtk::Widget& anchor) {
    popover_.set_child(fill_);
    // Closing on any click elsewhere would also take the focus from the page.
    popover_.set_autohide(false);
    popover_.set_has_arrow(true);
    popover_.set_parent(anchor);
    fill_.add_css_class("suggested-action");
    fill_.signal_clicked().connect(sigc::mem_fun(*this, &SavedLoginOffer::on_fill_clicked));
}

SavedLoginOffer::~SavedLoginOffer() {
    popover_.unparent();
}

void SavedLoginOffer::present(const std::string& user) {
    fill_.set_label("Fill login for " + user);
    popover_.popup();
}

void SavedLoginOffer::withdraw() {
    popover_.popdown();
}

void SavedLoginOffer::on_fill_clicked() {
    popover_.popdown();
    picked_.emit();
}

} // namespace vesk
