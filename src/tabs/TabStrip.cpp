#include "tabs/TabStrip.h"

#include <algorithm>
#include <cmath>

#include <glibmm/main.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/eventcontrollerscroll.h>

#include "widgets/AddressDrop.h"

namespace vesk {

namespace {

constexpr int kTopSpacing = 8;
constexpr int kSidebarSpacing = 6;

void emptyStrip(Gtk::Box& strip) {
    while (Gtk::Widget* child = strip.get_first_child())
        strip.remove(*child);
}

} // namespace

TabStrip::TabStrip(int sidebarWidth) {
    // The top strip sits in a scroller so that, with many tabs, it scrolls
    // sideways instead of running under the right-hand buttons.
    topTabBarStack_ = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kTopSpacing);
    topTabBarStack_->add_css_class("vesk-top-strip");
    topTabBarScroller_ = Gtk::make_managed<Gtk::ScrolledWindow>();
    topTabBarScroller_->set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
    topTabBarScroller_->set_propagate_natural_width(true);
    topTabBarScroller_->set_has_frame(false);
    topTabBarScroller_->set_child(*topTabBarStack_);
    topTabBarScroller_->add_css_class("vesk-top-strip-scroller");

    // The sidebar strip scrolls when it holds more than the column's height. Its
    // scroller asks for no width of its own, so the column can be 0 wide.
    sidebarTabBarStack_ = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSidebarSpacing);
    sidebarTabBarStack_->add_css_class("vesk-sidebar-strip");
    sidebarTabBarStack_->set_size_request(sidebarWidth, -1);
    sidebarTabBarStack_->set_valign(Gtk::Align::START);
    sidebarTabBarScroller_ = Gtk::make_managed<Gtk::ScrolledWindow>();
    sidebarTabBarScroller_->set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::AUTOMATIC);
    sidebarTabBarScroller_->set_has_frame(false);
    sidebarTabBarScroller_->set_child(*sidebarTabBarStack_);

    // The strip's size is known only once it has been laid out; the selected
    // tab is revealed again then, after the layout pass that changed it.
    topTabBarScroller_->get_hadjustment()->signal_changed().connect(
        sigc::mem_fun(*this, &TabStrip::onTopAdjustmentChanged));
    sidebarTabBarScroller_->get_vadjustment()->signal_changed().connect(
        sigc::mem_fun(*this, &TabStrip::onTopAdjustmentChanged));

    // A mouse wheel turns vertically; in a strip that only scrolls sideways
    // that turn moves it sideways.
    auto wheel = Gtk::EventControllerScroll::create();
    wheel->set_name("vesk-strip-wheel");
    wheel->set_flags(Gtk::EventControllerScroll::Flags::VERTICAL);
    wheel->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    wheel->signal_scroll().connect(sigc::mem_fun(*this, &TabStrip::onTopStripWheel), false);
    topTabBarScroller_->add_controller(wheel);
    for (Gtk::ScrolledWindow* scroller : {topTabBarScroller_, sidebarTabBarScroller_})
        scroller->add_controller(
            makeAddressDropTarget(sigc::mem_fun(*this, &TabStrip::onAddressesDropped)));
    // The strips go with the window; a reveal still waiting then has nothing to scroll.
    topTabBarScroller_->signal_destroy().connect([this] { stripsGone_ = true; });
}

void TabStrip::onAddressesDropped(const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses)
        addressDropped_.emit(address);
}

void TabStrip::rebuild(StripMode mode, const std::vector<Entry>& entries) {
    Gtk::Box& strip = mode == StripMode::Sidebar ? *sidebarTabBarStack_ : *topTabBarStack_;
    emptyStrip(mode == StripMode::Sidebar ? *topTabBarStack_ : *sidebarTabBarStack_);
    // The strip takes the entries' order by moving only what is out of place: a tab
    // added or closed among hundreds moves one view, not all of them.
    Gtk::Widget* previous = nullptr;
    for (const Entry& entry : entries) {
        Gtk::Widget& view = *entry.view;
        if (view.get_parent() != &strip) {
            if (view.get_parent())
                view.unparent();
            if (previous)
                strip.insert_child_after(view, *previous);
            else
                strip.prepend(view);
        } else if (view.get_prev_sibling() != previous) {
            if (previous)
                strip.reorder_child_after(view, *previous);
            else
                strip.reorder_child_at_start(view);
        }
        view.set_visible(!entry.hidden);
        previous = &view;
    }
    // What is left after the last entry is no longer in the strip.
    while (Gtk::Widget* gone = previous ? previous->get_next_sibling() : strip.get_first_child())
        strip.remove(*gone);
}

int TabStrip::naturalTopWidth() {
    int minimum = 0, natural = 0, minBaseline = 0, natBaseline = 0;
    topTabBarStack_->measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, minBaseline,
                             natBaseline);
    return natural;
}

void TabStrip::revealSelected(Tab* tab) {
    selectedPill_ = tab ? &tab->pill() : nullptr;
    scrollSelectedIntoView();
}

void TabStrip::onTopAdjustmentChanged() {
    if (revealPending_)
        return;
    revealPending_ = true;
    Glib::signal_idle().connect_once([this, alive = lifetime_.watch()] {
        if (alive.expired())
            return;
        revealPending_ = false;
        scrollSelectedIntoView();
    });
}

void TabStrip::scrollSelectedIntoSidebarView() {
    // A pill under a collapsed folder has no place to scroll to.
    if (!selectedPill_ || selectedPill_->get_parent() != sidebarTabBarStack_ ||
        !selectedPill_->get_visible())
        return;
    double x = 0, top = 0;
    if (!selectedPill_->translate_coordinates(*sidebarTabBarStack_, 0, 0, x, top))
        return;
    const double bottom = top + VeskTabPill::kHeight;
    auto adjustment = sidebarTabBarScroller_->get_vadjustment();
    const double page = adjustment->get_page_size();
    if (page <= 0.0)
        return;
    double value = adjustment->get_value();
    if (bottom > value + page)
        value = bottom - page;
    if (top < value)
        value = top;
    adjustment->set_value(value);
}

bool TabStrip::onTopStripWheel(double, double dy) {
    if (dy == 0.0)
        return false;
    auto adjustment = topTabBarScroller_->get_hadjustment();
    const double page = adjustment->get_page_size();
    if (adjustment->get_upper() - adjustment->get_lower() <= page)
        return false;
    // One wheel notch moves as far as the toolkit's own scrollers move per notch.
    const double step = std::pow(std::max(page, 1.0), 2.0 / 3.0);
    adjustment->set_value(adjustment->get_value() + dy * step);
    return true;
}

void TabStrip::scrollSelectedIntoView() {
    if (stripsGone_)
        return;
    // Every pill in the top strip is shown and equally wide, so the selected
    // one's place follows from how many stand before it. The pill is found
    // among the strip's children before anything of it is used.
    int before = 0;
    Gtk::Widget* c = topTabBarStack_->get_first_child();
    for (; c && c != selectedPill_; c = c->get_next_sibling())
        ++before;
    if (!c) {
        scrollSelectedIntoSidebarView();
        return;
    }
    const double left = before * (VeskTabPill::kWidth + topTabBarStack_->get_spacing());
    const double right = left + VeskTabPill::kWidth;

    auto adjustment = topTabBarScroller_->get_hadjustment();
    const double page = adjustment->get_page_size();
    if (page <= 0.0)
        return;
    double value = adjustment->get_value();
    if (right > value + page)
        value = right - page;
    if (left < value)
        value = left;
    adjustment->set_value(value);
}

} // namespace vesk
