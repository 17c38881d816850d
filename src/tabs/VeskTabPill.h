#pragma once

#include <gtkmm/eventcontrollermotion.h>

#include "widgets/ConstraintView.h"

namespace vesk {

// The rounded view behind a tab's buttons. It washes itself white while the
// mouse is over it, unless it is the active pill; the active look itself is
// set by the tab styling, not here.
class VeskTabPill : public ConstraintView {
public:
    VeskTabPill();

    // Every pill has this fixed size, in either strip.
    static constexpr double kWidth = 140.0;
    static constexpr double kHeight = 28.0;

    // A plain flag: setting it draws nothing; styleTab reads it.
    bool isActive = false;

    // The hover wash is shown (after its 0.15-second fade).
    bool isHovered() const;
    // Drops the wash at once, as styling a tab does.
    void clearHover();

    // The motion controller, one per pill for its whole life.
    Glib::RefPtr<Gtk::EventControllerMotion> tracking() const { return tracking_; }

    void mouseEntered();
    void mouseExited();

private:
    Glib::RefPtr<Gtk::EventControllerMotion> tracking_;
};

} // namespace vesk
