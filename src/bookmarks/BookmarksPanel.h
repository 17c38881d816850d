#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/searchentry.h>
#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "store/Bookmark.h"

namespace vesk {

// The bookmarks window: a search field over the list of bookmarks, each opened by a
// click and removed by its own button, and buttons to import and export the HTML
// bookmark file. It shows what it is given and reports what the user asks for.
class BookmarksPanel : public sigc::trackable {
public:
    // Looks up a page's site icon and hands it to the callback when there is one.
    using IconLookup = std::function<void(
        const std::string& url, std::function<void(const Glib::RefPtr<Gdk::Paintable>&)> found)>;

    explicit BookmarksPanel(Gtk::Window& parent);
    ~BookmarksPanel();
    BookmarksPanel(const BookmarksPanel&) = delete;
    BookmarksPanel& operator=(const BookmarksPanel&) = delete;

    // Opens the window (made the first time) with the keyboard in its search field.
    void present();
    void close();
    void setIconLookup(IconLookup lookup) { iconLookup_ = std::move(lookup); }
    bool isOpen() const { return window_ && window_->get_visible(); }
    // Lists `bookmarks`, the ones matching the search as the controller filtered them.
    void show(const std::vector<Bookmark>& bookmarks);

    Gtk::Window* window() const { return window_.get(); }
    Gtk::SearchEntry* searchField() const { return search_; }
    // The listed rows' titles, in order.
    std::vector<std::string> shownTitles() const { return shownTitles_; }

    sigc::signal<void(const std::string&)>& signalSearchChanged() { return searchChanged_; }
    sigc::signal<void(const std::string& url)>& signalOpen() { return open_; }
    sigc::signal<void(const std::string& url)>& signalRemove() { return remove_; }
    // The user chose a file to import from, or to export to.
    sigc::signal<void(const std::string& path)>& signalImport() { return import_; }
    sigc::signal<void(const std::string& path)>& signalExport() { return export_; }

private:
    void build();
    void chooseFile(bool isExport);

    Gtk::Window& parent_;
    std::unique_ptr<Gtk::Window> window_;
    Gtk::SearchEntry* search_ = nullptr;
    Gtk::Box* rows_ = nullptr;
    std::vector<std::string> shownTitles_;
    IconLookup iconLookup_;
    // Rows filled before an icon arrives are gone when it does.
    unsigned long generation_ = 0;
    Lifetime lifetime_;
    // The file chooser while it is open.
    Glib::RefPtr<Gtk::FileChooserNative> chooser_;
    sigc::signal<void(const std::string&)> searchChanged_;
    sigc::signal<void(const std::string&)> open_;
    sigc::signal<void(const std::string&)> remove_;
    sigc::signal<void(const std::string&)> import_;
    sigc::signal<void(const std::string&)> export_;
};

} // namespace vesk
