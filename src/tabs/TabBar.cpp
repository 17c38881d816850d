#include "app/AppDelegate.h"

#include <cmath>

#include <glibmm/main.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/eventcontrollerscroll.h>

#include "tabs/TabStripArrangement.h"
#include "tabs/VeskTabPill.h"

namespace vesk {

namespace {

void emptyStrip(Gtk::Box& strip) {
    while (Gtk::Widget* child = strip.get_first_child())
        strip.remove(*child);
}

} // namespace

void AppDelegate::rebuildTabBarLayouts() {
    // Both strips are emptied and the one in use refilled whole; never patched in place.
    emptyStrip(*topTabBarStack);
    emptyStrip(*sidebarTabBarStack);

    std::vector<std::string> parents;
    parents.reserve(tabs.size());
    for (const auto& t : tabs)
        parents.push_back(t->parentFolderId);
    std::vector<FolderSummary> summaries;
    summaries.reserve(folders.size());
    for (const auto& f : folders)
        summaries.push_back({f->folderId, f->isExpanded});

    const StripMode mode = isSidebarMode ? StripMode::Sidebar : StripMode::TopBar;
    Gtk::Box& strip = isSidebarMode ? *sidebarTabBarStack : *topTabBarStack;
    for (const StripItem& item : arrangeTabStrip(mode, parents, summaries)) {
        Gtk::Widget* view = nullptr;
        if (item.kind == StripItem::Kind::FolderHeader)
            view = folders[item.index]->folderHeaderBtn.get();
        else
            view = tabs[item.index]->pill.get();
        if (view->get_parent())
            view->unparent();
        strip.append(*view);
        view->set_visible(!item.hidden);
    }
    fitTopStripToContent();

    revealSelectedTab();
}

void AppDelegate::connectTopStripScrolling() {
    // The strip's size is known only once it has been laid out; the selected
    // tab is revealed again then, after the layout pass that changed it.
    auto adjustment = topTabBarScroller->get_hadjustment();
    adjustment->signal_changed().connect([this] {
        if (revealPending_)
            return;
        revealPending_ = true;
        Glib::signal_idle().connect_once([this, alive = lifetime()] {
            if (alive.expired())
                return;
            revealPending_ = false;
            revealSelectedTab();
        });
    });

    // A mouse wheel turns vertically; in a strip that only scrolls sideways
    // that turn moves it sideways.
    auto wheel = Gtk::EventControllerScroll::create();
    wheel->set_name("vesk-strip-wheel");
    wheel->set_flags(Gtk::EventControllerScroll::Flags::VERTICAL);
    wheel->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    wheel->signal_scroll().connect(sigc::mem_fun(*this, &AppDelegate::onTopStripWheel), false);
    topTabBarScroller->add_controller(wheel);
}

bool AppDelegate::onTopStripWheel(double, double dy) {
    if (dy == 0.0)
        return false;
    auto adjustment = topTabBarScroller->get_hadjustment();
    const double page = adjustment->get_page_size();
    if (adjustment->get_upper() - adjustment->get_lower() <= page)
        return false;
    // One wheel notch moves as far as the toolkit's own scrollers move per notch.
    const double step = std::pow(std::max(page, 1.0), 2.0 / 3.0);
    adjustment->set_value(adjustment->get_value() + dy * step);
    return true;
}

void AppDelegate::revealSelectedTab() {
    Tab* tab = currentTab();
    if (!tab || tab->pill->get_parent() != topTabBarStack)
        return;
    // Every pill in the top strip is shown and equally wide, so the selected
    // one's place follows from how many stand before it.
    int before = 0;
    for (Gtk::Widget* c = topTabBarStack->get_first_child(); c && c != tab->pill.get();
         c = c->get_next_sibling())
        ++before;
    const double left = before * (VeskTabPill::kWidth + topTabBarStack->get_spacing());
    const double right = left + VeskTabPill::kWidth;

    auto adjustment = topTabBarScroller->get_hadjustment();
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
