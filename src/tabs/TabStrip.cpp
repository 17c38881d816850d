#include "tabs/TabStrip.h"

#include <algorithm>
#include <cmath>

#include <glibmm/main.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/eventcontrollerscroll.h>
#include <gtkmm/settings.h>
#include <gtkmm/window.h>

#include "widgets/AddressDrop.h"

namespace vesk {

namespace {

constexpr int kTopSpacing = 8;
constexpr int kSidebarSpacing = 6;

void emptyStrip(Gtk::Box& strip) {
    while (Gtk::Widget* child = strip.get_first_child())
        strip.remove(*child);
}

// How far a press must move before it drags a pill instead of clicking it: the desktop's own.
int dragThreshold() {
    constexpr int kUsualThreshold = 8;
    auto settings = Gtk::Settings::get_default();
    return settings ? settings->property_gtk_dnd_drag_threshold().get_value() : kUsualThreshold;
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
    addDragGesture(*topTabBarStack_);
    addDragGesture(*sidebarTabBarStack_);
    // The strips go with the window; a reveal still waiting then has nothing to scroll.
    topTabBarScroller_->signal_destroy().connect([this] { stripsGone_ = true; });
}

void TabStrip::onAddressesDropped(const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses)
        addressDropped_.emit(address);
}

void TabStrip::rebuild(StripMode mode, const std::vector<Entry>& entries,
                       std::vector<std::string> tabFolderIds, std::vector<FolderSummary> folders) {
    if (drag_) {
        endDragLook();
        drag_.reset();
    }
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
        view.set_visible(!entry.item.hidden);
        previous = &view;
    }
    // What is left after the last entry is no longer in the strip.
    while (Gtk::Widget* gone = previous ? previous->get_next_sibling() : strip.get_first_child())
        strip.remove(*gone);
    mode_ = mode;
    entries_ = entries;
    tabFolderIds_ = std::move(tabFolderIds);
    folders_ = std::move(folders);
}

void TabStrip::addDragGesture(Gtk::Box& strip) {
    // In the capture phase the drag sees a press before the pill's buttons do,
    // and takes it from them only once it has moved past the threshold: a
    // shorter press stays their click.
    auto gesture = Gtk::GestureDrag::create();
    gesture->set_name("vesk-pill-drag");
    gesture->set_button(GDK_BUTTON_PRIMARY);
    gesture->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    Gtk::GestureDrag* g = gesture.get();
    gesture->signal_drag_begin().connect(
        [this, &strip, g](double x, double y) { onDragBegin(strip, *g, x, y); });
    gesture->signal_drag_update().connect(
        [this, g](double dx, double dy) { onDragUpdate(*g, dx, dy); });
    gesture->signal_drag_end().connect(sigc::mem_fun(*this, &TabStrip::onDragEnd));
    strip.add_controller(gesture);
}

void TabStrip::onDragBegin(Gtk::Box& strip, Gtk::GestureDrag& gesture, double x, double y) {
    if (drag_)
        cancelDrag();
    // The strip's own child under the press: a pill, or a header, which does not drag.
    Gtk::Widget* hit = strip.pick(x, y);
    while (hit && hit != &strip && hit->get_parent() != &strip)
        hit = hit->get_parent();
    const auto entry = std::ranges::find(entries_, hit, &Entry::view);
    if (!hit || hit == &strip || entry == entries_.end() ||
        entry->item.kind != StripItem::Kind::TabPill) {
        gesture.set_state(Gtk::EventSequenceState::DENIED);
        return;
    }
    Drag drag{.strip = &strip,
              .entry = static_cast<std::size_t>(entry - entries_.begin()),
              .tab = entry->item.index,
              .before = hit->get_prev_sibling(),
              .startX = x,
              .startY = y,
              .shown = {},
              .spans = {},
              .moving = false,
              .spot = {},
              .placement = {},
              .target = nullptr};
    const bool across = mode_ == StripMode::TopBar;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Gtk::Widget& view = *entries_[i].view;
        double left = 0.0, top = 0.0;
        if (!view.get_visible() || !view.translate_coordinates(strip, 0, 0, left, top))
            continue;
        const double start = across ? left : top;
        drag.shown.push_back(i);
        drag.spans.push_back({start, start + (across ? view.get_width() : view.get_height()),
                              entries_[i].item.kind == StripItem::Kind::FolderHeader});
    }
    drag_ = std::move(drag);
}

void TabStrip::onDragUpdate(Gtk::GestureDrag& gesture, double dx, double dy) {
    if (!drag_)
        return;
    if (!drag_->moving) {
        if (std::hypot(dx, dy) < dragThreshold())
            return;
        // From here the press is a drag: the pill's buttons lose it and click nothing.
        drag_->moving = true;
        gesture.set_state(Gtk::EventSequenceState::CLAIMED);
        entries_[drag_->entry].view->add_css_class("vesk-dragging");
        if (!escapeWatched_)
            if (auto* window = dynamic_cast<Gtk::Window*>(drag_->strip->get_root())) {
                escapeWatched_ = true;
                auto keys = Gtk::EventControllerKey::create();
                keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
                keys->signal_key_pressed().connect(
                    [this, alive = lifetime_.watch()](guint key, guint, Gdk::ModifierType) {
                        if (alive.expired() || key != GDK_KEY_Escape || !isDragging())
                            return false;
                        cancelDrag();
                        return true;
                    },
                    false);
                window->add_controller(keys);
            }
    }
    const double along = mode_ == StripMode::TopBar ? drag_->startX + dx : drag_->startY + dy;
    const DropSpot spot = dropSpotAt(drag_->spans, along);
    if (drag_->spot == spot)
        return;
    drag_->spot = spot;
    drag_->placement = placeDroppedTab(mode_, tabFolderIds_, folders_, drag_->tab, spot);
    showLanding();
}

void TabStrip::onDragEnd(double dx, double dy) {
    if (!drag_)
        return;
    if (!drag_->moving) {
        drag_.reset();
        return;
    }
    // A release outside the strip's scroller puts the pill back.
    Gtk::ScrolledWindow& scroller =
        mode_ == StripMode::TopBar ? *topTabBarScroller_ : *sidebarTabBarScroller_;
    double x = 0.0, y = 0.0;
    const bool inside = drag_->strip->translate_coordinates(scroller, drag_->startX + dx,
                                                            drag_->startY + dy, x, y) &&
                        x >= 0.0 && y >= 0.0 && x < scroller.get_width() &&
                        y < scroller.get_height();
    const std::optional<TabPlacement> placement = inside ? drag_->placement : std::nullopt;
    const std::size_t tab = drag_->tab;
    if (!placement) {
        cancelDrag();
        return;
    }
    endDragLook();
    drag_.reset();
    // The model's change rebuilds the strip with the pill in its new place.
    tabDropped_.emit(tab, *placement);
}

void TabStrip::showLanding() {
    Gtk::Box& strip = *drag_->strip;
    Gtk::Widget& pill = *entries_[drag_->entry].view;
    const auto shownView = [this](std::size_t at) { return entries_[drag_->shown[at]].view; };
    Gtk::Widget* after = drag_->before;
    if (drag_->placement && drag_->spot) {
        const DropSpot spot = *drag_->spot;
        if (spot.kind == DropSpot::Kind::OntoHeader)
            after = shownView(spot.at);
        else
            after = spot.at == 0 ? nullptr : shownView(spot.at - 1);
    }
    if (after)
        strip.reorder_child_after(pill, *after);
    else
        strip.reorder_child_at_start(pill);

    // The header of the folder the tab would be in is marked.
    Gtk::Widget* target = nullptr;
    if (drag_->placement && mode_ == StripMode::Sidebar && !drag_->placement->folderId.empty()) {
        const auto folder =
            std::ranges::find(folders_, drag_->placement->folderId, &FolderSummary::folderId);
        const auto header = std::ranges::find_if(entries_, [&](const Entry& e) {
            return e.item.kind == StripItem::Kind::FolderHeader &&
                   e.item.index == static_cast<std::size_t>(folder - folders_.begin());
        });
        if (header != entries_.end())
            target = header->view;
    }
    if (target == drag_->target)
        return;
    if (drag_->target)
        drag_->target->remove_css_class("vesk-drop-target");
    if (target)
        target->add_css_class("vesk-drop-target");
    drag_->target = target;
}

void TabStrip::cancelDrag() {
    if (!drag_)
        return;
    Gtk::Widget& pill = *entries_[drag_->entry].view;
    if (drag_->before)
        drag_->strip->reorder_child_after(pill, *drag_->before);
    else
        drag_->strip->reorder_child_at_start(pill);
    endDragLook();
    drag_.reset();
}

void TabStrip::endDragLook() {
    if (drag_->entry < entries_.size())
        entries_[drag_->entry].view->remove_css_class("vesk-dragging");
    if (drag_->target)
        drag_->target->remove_css_class("vesk-drop-target");
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
