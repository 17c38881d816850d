#include "tabs/VeskTabPill.h"

#include <cmath>

namespace vesk {

VeskTabPill::VeskTabPill() : tracking_(Gtk::EventControllerMotion::create()) {
    add_css_class("vesk-pill");
    set_overflow(Gtk::Overflow::HIDDEN);
    tracking_->signal_enter().connect([this](double, double) { mouseEntered(); });
    tracking_->signal_leave().connect(sigc::mem_fun(*this, &VeskTabPill::mouseExited));
    add_controller(tracking_);
}

VeskTabPill::~VeskTabPill() {
    while (Gtk::Widget* child = get_first_child())
        child->unparent();
}

void VeskTabPill::setParts(Gtk::Widget& icon, Gtk::Widget& title, Gtk::Widget& sound,
                           Gtk::Widget& close) {
    parts_ = {&icon, &title, &sound, &close};
    for (Gtk::Widget* part : parts_)
        part->set_parent(*this);
    queue_resize();
}

void VeskTabPill::setShownParts(PillParts parts) {
    if (parts.hasIcon == shown_.hasIcon && parts.showsSound == shown_.showsSound)
        return;
    shown_ = parts;
    queue_allocate();
}

Gtk::SizeRequestMode VeskTabPill::get_request_mode_vfunc() const {
    return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void VeskTabPill::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                int& minimumBaseline, int& naturalBaseline) const {
    minimum = natural =
        static_cast<int>(orientation == Gtk::Orientation::HORIZONTAL ? kWidth : kHeight);
    minimumBaseline = naturalBaseline = -1;
}

void VeskTabPill::size_allocate_vfunc(int, int, int) {
    auto& [icon, title, sound, close] = parts_;
    if (!title)
        return;
    int minimum = 0, natural = 0, ignored = 0;
    // The title is as tall as it asks to be for the width it gets.
    const double titleWidth = pillFrames(shown_, 0).title.width;
    title->measure(Gtk::Orientation::VERTICAL, static_cast<int>(titleWidth), minimum, natural,
                   ignored, ignored);
    const PillFrames frames = pillFrames(shown_, natural);
    const auto place = [](Gtk::Widget* part, const PillRect& frame) {
        if (!part->get_visible())
            return;
        // Every child is measured before it is given its room.
        int childMinimum = 0, childNatural = 0, baseline = 0;
        part->measure(Gtk::Orientation::HORIZONTAL, -1, childMinimum, childNatural, baseline,
                      baseline);
        Gtk::Allocation room(static_cast<int>(std::floor(frame.x)),
                             static_cast<int>(std::floor(frame.y)),
                             static_cast<int>(std::lround(frame.width)),
                             static_cast<int>(std::lround(frame.height)));
        part->size_allocate(room, -1);
    };
    place(icon, frames.icon);
    place(title, frames.title);
    place(sound, frames.sound);
    place(close, frames.close);
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
