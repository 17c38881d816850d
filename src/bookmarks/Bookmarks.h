#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sigc++/signal.h>

#include "store/Bookmark.h"

namespace vesk {

// The user's bookmarks, in the order they were made, one per address, kept in the
// bookmarks file of the data folder and written at each change.
class Bookmarks {
public:
    // Reads the bookmarks file in `dataFolder` (made when missing at the first change).
    explicit Bookmarks(std::filesystem::path dataFolder);

    const std::vector<Bookmark>& all() const { return bookmarks_; }
    // The bookmark for exactly `url`, if there is one.
    std::optional<Bookmark> find(std::string_view url) const;
    bool contains(std::string_view url) const { return find(url).has_value(); }

    // Bookmarks `url` with `title` (the address when empty); an address already
    // bookmarked keeps its bookmark.
    void add(const std::string& url, const std::string& title, double addedSeconds);
    // Gives the bookmark of `url` a new title (the address when empty).
    void rename(std::string_view url, const std::string& title);
    void remove(std::string_view url);
    // Adds every bookmark of `imported` whose address is not bookmarked yet, in order;
    // how many were added.
    std::size_t importAll(const std::vector<Bookmark>& imported);

    // The bookmarks whose address or title holds every word of `text`, in order.
    std::vector<Bookmark> matching(std::string_view text) const;

    // Whether the last write reached the disk.
    bool isSaved() const { return isSaved_; }

    // The bookmarks changed.
    sigc::signal<void()>& signalChanged() { return changed_; }

private:
    void save();

    std::filesystem::path file_;
    std::vector<Bookmark> bookmarks_;
    bool isSaved_ = true;
    sigc::signal<void()> changed_;
};

} // namespace vesk
