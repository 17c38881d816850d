#pragma once

#include <gtkmm/eventcontrollermotion.h>

#include "widgets/ConstraintView.h"

namespace vesk {

// The rounded view behind a tab's buttons. It washes itself white while the
// mouse is over it, unless it is the active pill; the active look itself comes
// from the theme's style sheet, through the "active" class its tab sets.
class VeskTabPill : public ConstraintView {
public:
    VeskTabPill();

    // Every pill has this fixed size, in either strip.
    static constexpr double kWidth = 140.0;
    static constexpr double kHeight = 28.0;

    // A plain flag: setting it draws nothing. Tab::setActive keeps it with the
    // "active" class; the hover handlers read it to leave the active pill alone.
    bool isActive = false;

    // The hover wash is shown (after its 0.15-second fade).
    bool isHovered() const;
    // Drops the wash at once, as a change of the active tab does.
    void clearHover();

    // The motion controller, one per pill for its whole life.
    Glib::RefPtr<Gtk::EventControllerMotion> tracking() const { return tracking_; }

    void mouseEntered();
    void mouseExited();

private:
    Glib::RefPtr<Gtk::EventControllerMotion> tracking_;
};

} // namespace vesk
