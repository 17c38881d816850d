#pragma once

#include <string>
#include <vector>

#include <gtkmm/listbox.h>
#include <gtkmm/popover.h>
#include <gtkmm/searchentry.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "tabs/TabModel.h"

namespace vesk {

// A searchable list of every tab, in a popover: title and address, folder,
// whether it sleeps or plays sound. Choosing a row reports its tab.
class TabList : public sigc::trackable {
public:
    struct Row {
        TabId id = 0;
        std::string title;
        std::string address;
        // The folder's name; empty for none.
        std::string folder;
        bool isSleeping = false;
        bool playsSound = false;
        bool isSelected = false;
    };

    TabList();
    ~TabList();
    TabList(const TabList&) = delete;
    TabList& operator=(const TabList&) = delete;

    // Shows the rows under `anchor`, with the keyboard in the search field.
    void present(Gtk::Widget& anchor, std::vector<Row> rows);
    void close();
    bool isOpen() const { return popover_.get_visible(); }

    Gtk::SearchEntry& searchField() { return search_; }
    // The tabs of the rows the search leaves, in order.
    std::vector<TabId> shownTabs() const;
    // Chooses the row of `id` as a click would.
    void choose(TabId id);

    // A row was chosen.
    sigc::signal<void(TabId)>& signalChosen() { return chosen_; }

private:
    void refilter();
    void onRowActivated(Gtk::ListBoxRow* row);

    Gtk::Popover popover_;
    Gtk::SearchEntry search_;
    Gtk::ListBox list_;
    std::vector<Row> rows_;
    std::vector<Gtk::ListBoxRow*> rowViews_;
    sigc::signal<void(TabId)> chosen_;
};

} // namespace vesk
