#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/gesturedrag.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "tabs/Tab.h"
#include "tabs/TabDrop.h"
#include "tabs/TabFolder.h"
#include "tabs/TabStripArrangement.h"

namespace vesk {

// The two tab strips: one across the top, in a scroller that moves sideways
// (also by the mouse wheel) when the pills do not fit, and one in the sidebar
// column, in a scroller that moves down. Every rebuild gives the strip in use
// the whole arrangement and empties the other; the strip moves only the views
// that are out of place. A pill dragged along either strip moves among the
// others while it is dragged, and its new place is reported on release; the
// model's change then rebuilds the strip.
class TabStrip : public sigc::trackable {
public:
    // `sidebarWidth` is the open sidebar column's width, which the sidebar strip
    // keeps while the column narrows, so its pills slide out instead of squeezing.
    explicit TabStrip(int sidebarWidth);
    TabStrip(const TabStrip&) = delete;
    TabStrip& operator=(const TabStrip&) = delete;

    // What the window places: the top strip's scroller and the sidebar's.
    Gtk::ScrolledWindow& topScroller() { return *topTabBarScroller_; }
    Gtk::ScrolledWindow& sidebarScroller() { return *sidebarTabBarScroller_; }
    Gtk::Box& topStrip() { return *topTabBarStack_; }
    Gtk::Box& sidebarStrip() { return *sidebarTabBarStack_; }

    // One view to place: a folder's header or a tab's pill, and what it stands for.
    struct Entry {
        Gtk::Widget* view;
        StripItem item;
    };
    // Makes the strip of `mode` hold exactly `entries`, in order, as arrangeTabStrip
    // arranged them from `tabFolderIds` and `folders`; the other stays empty.
    // A drag under way ends without a move.
    void rebuild(StripMode mode, const std::vector<Entry>& entries,
                 std::vector<std::string> tabFolderIds, std::vector<FolderSummary> folders);

    // The top strip's width with every pill shown.
    int naturalTopWidth();

    // Keeps `tab`'s pill wholly in view in the strip in use, now and after the
    // strip's next layout; null for none.
    void revealSelected(Tab* tab);

    // A link or a file was dropped on either strip: each address, in order, to
    // open in a tab of its own.
    sigc::signal<void(const std::string&)>& signalAddressDropped() { return addressDropped_; }
    // A pill was dragged and dropped elsewhere: the tab at this index in the
    // model's order goes to the placement.
    sigc::signal<void(std::size_t, const TabPlacement&)>& signalTabDropped() { return tabDropped_; }

    // Whether a pill is being dragged (past the drag threshold).
    bool isDragging() const { return drag_ && drag_->moving; }

private:
    // A pill being dragged: what was under the press, and where it would land now.
    struct Drag {
        Gtk::Box* strip = nullptr;
        // The dragged pill's entry, its model index, and the view before it at the start.
        std::size_t entry = 0;
        std::size_t tab = 0;
        Gtk::Widget* before = nullptr;
        double startX = 0.0;
        double startY = 0.0;
        // The shown entries, as indices into entries_, and where each lay at the start.
        std::vector<std::size_t> shown;
        std::vector<ItemSpan> spans;
        bool moving = false;
        std::optional<DropSpot> spot;
        std::optional<TabPlacement> placement;
        Gtk::Widget* target = nullptr;
    };

    void addDragGesture(Gtk::Box& strip);
    void onDragBegin(Gtk::Box& strip, Gtk::GestureDrag& gesture, double x, double y);
    void onDragUpdate(Gtk::GestureDrag& gesture, double dx, double dy);
    void onDragEnd(double dx, double dy);
    // Shows the dragged pill where it would land, and the folder that would take it.
    void showLanding();
    // Puts the dragged pill back and forgets the drag.
    void cancelDrag();
    void endDragLook();

    void onTopAdjustmentChanged();
    bool onTopStripWheel(double dx, double dy);
    void scrollSelectedIntoView();
    void scrollSelectedIntoSidebarView();
    void onAddressesDropped(const std::vector<std::string>& addresses);

    Gtk::Box* topTabBarStack_ = nullptr;
    Gtk::ScrolledWindow* topTabBarScroller_ = nullptr;
    Gtk::Box* sidebarTabBarStack_ = nullptr;
    Gtk::ScrolledWindow* sidebarTabBarScroller_ = nullptr;
    // The pill to keep in view; only compared, never followed after the tab is gone.
    Gtk::Widget* selectedPill_ = nullptr;
    // A reveal waits for the strip's new size.
    bool revealPending_ = false;
    bool stripsGone_ = false;
    sigc::signal<void(const std::string&)> addressDropped_;
    sigc::signal<void(std::size_t, const TabPlacement&)> tabDropped_;
    // What the last rebuild placed, which a drag reads.
    StripMode mode_ = StripMode::TopBar;
    std::vector<Entry> entries_;
    std::vector<std::string> tabFolderIds_;
    std::vector<FolderSummary> folders_;
    std::optional<Drag> drag_;
    // Escape ends a drag; the window's key controller, added at the first drag.
    bool escapeWatched_ = false;
    Lifetime lifetime_;
};

} // namespace vesk
