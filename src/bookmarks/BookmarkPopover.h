#pragma once

#include <string>

#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>
#include <sigc++/signal.h>

namespace vesk {

// The small popover that opens from the address field's star: the bookmark's name, to
// change, and buttons to remove it or to see every bookmark.
class BookmarkPopover {
public:
    explicit BookmarkPopover(Gtk::Widget& field);
    ~BookmarkPopover();
    BookmarkPopover(const BookmarkPopover&) = delete;
    BookmarkPopover& operator=(const BookmarkPopover&) = delete;

    // Opens over `area` of the field for the bookmark of `url`, named `title`.
    void open(const std::string& url, const std::string& title, const Gdk::Rectangle& area);
    void close();
    bool isOpen() const { return popover_->get_visible(); }

    Gtk::Entry& nameField() { return *name_; }
    Gtk::Button& removeButton() { return *remove_; }

    // The name was changed and confirmed (Return, Done, or the popover closing).
    sigc::signal<void(const std::string& url, const std::string& title)>& signalRenamed() {
        return renamed_;
    }
    sigc::signal<void(const std::string& url)>& signalRemoved() { return removed_; }
    // "All Bookmarks…" was pressed.
    sigc::signal<void()>& signalShowAll() { return showAll_; }

private:
    void confirmName();

    Gtk::Widget& field_;
    Gtk::Popover* popover_;
    Gtk::Entry* name_;
    Gtk::Button* remove_;
    std::string url_;
    sigc::signal<void(const std::string&, const std::string&)> renamed_;
    sigc::signal<void(const std::string&)> removed_;
    sigc::signal<void()> showAll_;
};

} // namespace vesk
