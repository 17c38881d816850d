#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "tabs/Tab.h"
#include "tabs/TabFolder.h"
#include "tabs/TabStripArrangement.h"

namespace vesk {

// The two tab strips: one across the top, in a scroller that moves sideways
// (also by the mouse wheel) when the pills do not fit, and one in the sidebar
// column, in a scroller that moves down. Every rebuild gives the strip in use
// the whole arrangement and empties the other; the strip moves only the views
// that are out of place.
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

    // One view to place: a folder's header or a tab's pill, and whether it is hidden.
    struct Entry {
        Gtk::Widget* view;
        bool hidden;
    };
    // Makes the strip of `mode` hold exactly `entries`, in order; the other stays empty.
    void rebuild(StripMode mode, const std::vector<Entry>& entries);

    // The top strip's width with every pill shown.
    int naturalTopWidth();

    // Keeps `tab`'s pill wholly in view in the strip in use, now and after the
    // strip's next layout; null for none.
    void revealSelected(Tab* tab);

    // A link or a file was dropped on either strip: each address, in order, to
    // open in a tab of its own.
    sigc::signal<void(const std::string&)>& signalAddressDropped() { return addressDropped_; }

private:
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
    Lifetime lifetime_;
};

} // namespace vesk
