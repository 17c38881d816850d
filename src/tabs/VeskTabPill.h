#pragma once

#include <array>

#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/widget.h>

#include "tabs/PillGeometry.h"

namespace vesk {

// The rounded view behind a tab's buttons. It washes itself white while the
// mouse is over it, unless it is the active pill; the active look itself comes
// from the theme's style sheet, through the "active" class its tab sets.
// It places its parts itself, by plain arithmetic: a strip holds hundreds of
// pills, and each is laid out at every frame that changes the strip.
class VeskTabPill : public Gtk::Widget {
public:
    VeskTabPill();
    ~VeskTabPill() override;

    // Every pill has this fixed size, in either strip.
    static constexpr double kWidth = kPillWidth;
    static constexpr double kHeight = kPillHeight;

    // Takes the pill's parts as its children, first to last.
    void setParts(Gtk::Widget& icon, Gtk::Widget& title, Gtk::Widget& sound, Gtk::Widget& close);
    // Which of the parts that take room only while shown are shown.
    void setShownParts(PillParts parts);
    PillParts shownParts() const { return shown_; }

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

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    Glib::RefPtr<Gtk::EventControllerMotion> tracking_;
    // Icon, title, sound, close.
    std::array<Gtk::Widget*, 4> parts_{};
    PillParts shown_;
};

} // namespace vesk
