#include "widgets/FloatingPanel.h"

#include <gtkmm/root.h>

#include "widgets/Animation.h"

namespace vesk {

namespace {

// Panels hang this far below their anchor and this far from the glass's right edge.
constexpr double kPanelTopGap = 10;
constexpr double kPanelTrailingInset = 20;

} // namespace

void FloatingPanelGroup::closeOpenPanel() {
    if (open_)
        open_->close();
}

void FloatingPanelGroup::setOpen(FloatingPanel* panel) {
    if (open_ == panel)
        return;
    open_ = panel;
    openChanged_.emit(panel);
}

FloatingPanel::FloatingPanel(ConstraintView& glass, Gtk::Widget& anchor, FloatingPanelGroup& group,
                             const char* cssClass)
    : glass_(glass), anchor_(anchor), group_(group), cssClass_(cssClass) {}

FloatingPanel::~FloatingPanel() {
    focusBeforeGone_.disconnect();
    if (group_.open_ == this)
        group_.open_ = nullptr;
}

void FloatingPanel::open(double panelWidth, const std::function<double(ConstraintView&)>& fill) {
    if (FloatingPanel* other = group_.open_; other && other != this)
        other->close();
    if (view_)
        close();

    auto* panel = Gtk::make_managed<ConstraintView>("vesk-panel");
    panel->add_css_class(cssClass_);
    panel->set_overflow(Gtk::Overflow::HIDDEN);
    view_ = panel;
    group_.setOpen(this);
    // In the window before it is filled, so that its content measures with the
    // window's style.
    glass_.addChild(*panel);
    const double panelHeight = fill(*panel);

    placement_ = {
        constrain(top(panel), bottom(&anchor_), kPanelTopGap),
        constrain(trailing(panel), trailing(nullptr), -kPanelTrailingInset),
        constrain(width(panel), panelWidth),
        constrain(height(panel), panelHeight),
    };
    activateConstraints(glass_.constraintLayout(), placement_);
    animateFadeInView(*panel, lifetime_.watch());
}

void FloatingPanel::close() {
    if (!view_)
        return;
    // Closed from here on: the content is forgotten first, then the view fades.
    ConstraintView* panel = view_;
    view_ = nullptr;
    if (group_.open_ == this)
        group_.setOpen(nullptr);
    returnFocus(*panel);
    forgetContent();
    // A closed panel takes no more clicks while it fades.
    panel->set_can_target(false);
    animateFadeOutAndRemoveView(
        *panel,
        [layout = glass_.constraintLayout(), placement = std::move(placement_)] {
            deactivateConstraints(layout, placement);
        },
        lifetime_.watch());
    placement_.clear();
}

void FloatingPanel::focusInPanel(Gtk::Widget& widget) {
    Gtk::Root* root = glass_.get_root();
    Gtk::Widget* focus = root ? root->get_focus() : nullptr;
    if (focus && view_ && !focus->is_ancestor(*view_)) {
        focusBeforeGone_.disconnect();
        focusBefore_ = focus;
        focusBeforeGone_ = focus->signal_destroy().connect([this] { focusBefore_ = nullptr; });
    }
    widget.grab_focus();
}

void FloatingPanel::returnFocus(Gtk::Widget& panel) {
    Gtk::Widget* before = focusBefore_;
    focusBeforeGone_.disconnect();
    focusBefore_ = nullptr;
    // The keyboard stays wherever the user has put it since, outside the panel.
    Gtk::Root* root = glass_.get_root();
    Gtk::Widget* focus = root ? root->get_focus() : nullptr;
    if (before && focus && focus->is_ancestor(panel))
        before->grab_focus();
}

} // namespace vesk
