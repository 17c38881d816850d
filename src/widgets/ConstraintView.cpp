#include "widgets/ConstraintView.h"

namespace vesk {

namespace {

// Constraints refer to their views without owning them: GTK keeps only weak
// references from a constraint to its targets.
Glib::RefPtr<Gtk::ConstraintTarget> targetOf(Gtk::Widget* view) {
    if (!view)
        return {};
    return Glib::RefPtr<Gtk::ConstraintTarget>(static_cast<Gtk::ConstraintTarget*>(view),
                                               [](Gtk::ConstraintTarget*) {});
}

Gtk::Constraint::Relation gtkRelation(Relation r) {
    switch (r) {
    case Relation::LessOrEqual:
        return Gtk::Constraint::Relation::LE;
    case Relation::GreaterOrEqual:
        return Gtk::Constraint::Relation::GE;
    case Relation::Equal:
        break;
    }
    return Gtk::Constraint::Relation::EQ;
}

constexpr int kRequired = static_cast<int>(Gtk::Constraint::Strength::REQUIRED);

int gtkStrength(Strength s) {
    switch (s) {
    case Strength::Strong:
        return static_cast<int>(Gtk::Constraint::Strength::STRONG);
    case Strength::Medium:
        return static_cast<int>(Gtk::Constraint::Strength::MEDIUM);
    case Strength::Weak:
        return static_cast<int>(Gtk::Constraint::Strength::WEAK);
    case Strength::Required:
        break;
    }
    return kRequired;
}

} // namespace

ConstraintView::ConstraintView(const std::string& cssClass)
    : layout_(Gtk::ConstraintLayout::create()) {
    set_layout_manager(layout_);
    if (!cssClass.empty())
        add_css_class(cssClass);
}

void ConstraintView::addChild(Gtk::Widget& child) {
    if (child.get_parent() == this)
        remove(child);
    append(child);
}

void ConstraintView::removeChild(Gtk::Widget& child) {
    if (child.get_parent() == this)
        remove(child);
}

std::vector<Gtk::Widget*> ConstraintView::children() {
    std::vector<Gtk::Widget*> result;
    for (Gtk::Widget* c = get_first_child(); c; c = c->get_next_sibling())
        result.push_back(c);
    return result;
}

Glib::RefPtr<Gtk::Constraint> constrain(Anchor first, Anchor second, double constant,
                                        double multiplier, Relation relation) {
    return Gtk::Constraint::create(targetOf(first.view), first.attribute, gtkRelation(relation),
                                   targetOf(second.view), second.attribute, multiplier, constant,
                                   kRequired);
}

Glib::RefPtr<Gtk::Constraint> constrain(Anchor first, double constant, Relation relation,
                                        Strength strength) {
    return Gtk::Constraint::create(targetOf(first.view), first.attribute, gtkRelation(relation),
                                   constant, gtkStrength(strength));
}

void activateConstraints(const Glib::RefPtr<Gtk::ConstraintLayout>& layout,
                         const std::vector<Glib::RefPtr<Gtk::Constraint>>& constraints) {
    for (const auto& c : constraints)
        layout->add_constraint(c);
}

void deactivateConstraints(const Glib::RefPtr<Gtk::ConstraintLayout>& layout,
                           const std::vector<Glib::RefPtr<Gtk::Constraint>>& constraints) {
    for (const auto& c : constraints)
        layout->remove_constraint(c);
}

} // namespace vesk
