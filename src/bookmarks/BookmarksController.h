#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "bookmarks/BookmarkPopover.h"
#include "bookmarks/Bookmarks.h"
#include "bookmarks/BookmarksPanel.h"

namespace vesk {

// The user's bookmarks across the window: whether the page on show is bookmarked (the
// address field's star), bookmarking it (the star, Ctrl+D) with the popover to rename
// or remove it, and the bookmarks window with its search, import and export.
class BookmarksController : public sigc::trackable {
public:
    // Where the star is, for the popover to point at.
    using StarArea = std::function<Gdk::Rectangle()>;

    BookmarksController(Gtk::Window& window, Gtk::Widget& field, StarArea starArea,
                        std::filesystem::path dataFolder);

    Bookmarks& bookmarks() { return bookmarks_; }
    BookmarkPopover& popover() { return popover_; }
    BookmarksPanel& panel() { return panel_; }

    // The page on show changed: its address ("" for none) and title.
    void showPage(const std::string& url, const std::string& title);
    // Bookmarks the page on show, if it is not yet, and opens the popover for it.
    void bookmarkPage();
    // Opens the bookmarks window.
    void showBookmarks();
    // Adds the bookmarks of the HTML bookmark file at `path`; how many were new.
    std::size_t importFrom(const std::filesystem::path& path);
    // Writes every bookmark to `path` as an HTML bookmark file; whether it was written.
    bool exportTo(const std::filesystem::path& path);

    // Whether the page on show can be bookmarked, and whether it is.
    sigc::signal<void(bool isBookmarkable, bool isBookmarked)>& signalStarChanged() {
        return starChanged_;
    }
    // The user chose a bookmark to open.
    sigc::signal<void(const std::string&)>& signalOpen() { return open_; }

private:
    void onChanged();
    void refillPanel();

    Bookmarks bookmarks_;
    BookmarkPopover popover_;
    BookmarksPanel panel_;
    StarArea starArea_;
    std::string url_;
    std::string title_;
    std::string search_;
    sigc::signal<void(bool, bool)> starChanged_;
    sigc::signal<void(const std::string&)> open_;
};

} // namespace vesk
