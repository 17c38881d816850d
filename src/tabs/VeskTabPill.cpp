#include "tabs/VeskTabPill.h"

namespace vesk {

VeskTabPill::VeskTabPill()
    : ConstraintView("vesk-pill"), tracking_(Gtk::EventControllerMotion::create()) {
    set_overflow(Gtk::Overflow::HIDDEN);
    tracking_->signal_enter().connect([this](double, double) { mouseEntered(); });
    tracking_->signal_leave().connect(sigc::mem_fun(*this, &VeskTabPill::mouseExited));
    add_controller(tracking_);
}

bool VeskTabPill::isHovered() const {
    return has_css_class("hover");
}

void VeskTabPill::clearHover() {
    remove_css_class("animated");
    remove_css_class("hover");
}

void VeskTabPill::mouseEntered() {
    if (isActive)
        return;
    // The wash fades over 0.15 seconds, by a CSS transition present only for hover changes.
    add_css_class("animated");
    add_css_class("hover");
}

void VeskTabPill::mouseExited() {
    if (isActive)
        return;
    add_css_class("animated");
    remove_css_class("hover");
}

} // namespace vesk
