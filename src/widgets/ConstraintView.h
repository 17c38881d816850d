#pragma once

#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/constraint.h>
#include <gtkmm/constraintlayout.h>

namespace vesk {

// A plain view whose children are placed by constraints alone, the way the
// chrome's backdrop, web area, sidebar column, pills and panels are.
// Children added later are drawn on top of earlier ones.
// It is a box with its layout manager replaced, so that the toolkit's own
// disposal takes the children out when the view goes.
class ConstraintView : public Gtk::Box {
public:
    explicit ConstraintView(const std::string& cssClass = {});

    // Makes `child` the last (topmost) child. The view keeps a reference of
    // its own, so a managed child lives until it is removed again.
    void addChild(Gtk::Widget& child);
    void removeChild(Gtk::Widget& child);
    std::vector<Gtk::Widget*> children();

    Glib::RefPtr<Gtk::ConstraintLayout> constraintLayout() const { return layout_; }

private:
    Glib::RefPtr<Gtk::ConstraintLayout> layout_;
};

// One edge or dimension of a view; a null view means the view's parent.
struct Anchor {
    Gtk::Widget* view;
    Gtk::Constraint::Attribute attribute;
};

inline Anchor leading(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::START};
}
inline Anchor trailing(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::END};
}
inline Anchor top(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::TOP};
}
inline Anchor bottom(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::BOTTOM};
}
inline Anchor centerX(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::CENTER_X};
}
inline Anchor centerY(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::CENTER_Y};
}
inline Anchor width(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::WIDTH};
}
inline Anchor height(Gtk::Widget* v) {
    return {v, Gtk::Constraint::Attribute::HEIGHT};
}

enum class Relation { Equal, LessOrEqual, GreaterOrEqual };

// How firmly a constraint holds; the window's own layout uses only required ones.
enum class Strength { Required, Strong, Medium, Weak };

// first = second × multiplier + constant, required.
Glib::RefPtr<Gtk::Constraint> constrain(Anchor first, Anchor second, double constant = 0.0,
                                        double multiplier = 1.0,
                                        Relation relation = Relation::Equal);
// first = constant.
Glib::RefPtr<Gtk::Constraint> constrain(Anchor first, double constant,
                                        Relation relation = Relation::Equal,
                                        Strength strength = Strength::Required);

// Adds the constraints to a layout in order, as one batch.
void activateConstraints(const Glib::RefPtr<Gtk::ConstraintLayout>& layout,
                         const std::vector<Glib::RefPtr<Gtk::Constraint>>& constraints);
void deactivateConstraints(const Glib::RefPtr<Gtk::ConstraintLayout>& layout,
                           const std::vector<Glib::RefPtr<Gtk::Constraint>>& constraints);

} // namespace vesk
