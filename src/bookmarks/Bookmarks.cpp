#include "bookmarks/Bookmarks.h"

#include <algorithm>

#include <glib.h>

#include "store/BookmarkFile.h"
#include "store/VisitDatabase.h"

namespace vesk {

Bookmarks::Bookmarks(std::filesystem::path dataFolder)
    : file_(std::move(dataFolder) / bookmarkFile::fileName), bookmarks_(bookmarkFile::load(file_)) {
    // A file another program wrote may repeat an address; the first one counts.
    std::vector<Bookmark> unique;
    for (Bookmark& bookmark : bookmarks_)
        if (std::ranges::none_of(unique, [&](const Bookmark& b) { return b.url == bookmark.url; }))
            unique.push_back(std::move(bookmark));
    bookmarks_ = std::move(unique);
}

std::optional<Bookmark> Bookmarks::find(std::string_view url) const {
    const auto it =
        std::ranges::find_if(bookmarks_, [url](const Bookmark& b) { return b.url == url; });
    return it == bookmarks_.end() ? std::nullopt : std::optional<Bookmark>(*it);
}

void Bookmarks::add(const std::string& url, const std::string& title, double addedSeconds) {
    if (url.empty() || contains(url))
        return;
    bookmarks_.push_back({url, title.empty() ? url : title, addedSeconds});
    save();
}

void Bookmarks::rename(std::string_view url, const std::string& title) {
    for (Bookmark& bookmark : bookmarks_) {
        if (bookmark.url == url) {
            bookmark.title = title.empty() ? bookmark.url : title;
            save();
            return;
        }
    }
}

void Bookmarks::remove(std::string_view url) {
    if (std::erase_if(bookmarks_, [url](const Bookmark& b) { return b.url == url; }) > 0)
        save();
}

std::size_t Bookmarks::importAll(const std::vector<Bookmark>& imported) {
    std::size_t added = 0;
    for (const Bookmark& bookmark : imported) {
        if (bookmark.url.empty() || contains(bookmark.url))
            continue;
        bookmarks_.push_back(bookmark);
        ++added;
    }
    if (added > 0)
        save();
    return added;
}

std::vector<Bookmark> Bookmarks::matching(std::string_view text) const {
    const std::vector<std::string> words = searchWords(text);
    std::vector<Bookmark> found;
    for (const Bookmark& bookmark : bookmarks_) {
        const std::string haystack = pageMatchText(bookmark.url, bookmark.title);
        if (std::ranges::all_of(
                words, [&](const std::string& w) { return haystack.find(w) != std::string::npos; }))
            found.push_back(bookmark);
    }
    return found;
}

void Bookmarks::save() {
    g_mkdir_with_parents(file_.parent_path().c_str(), 0700);
    isSaved_ = bookmarkFile::save(file_, bookmarks_);
    changed_.emit();
}

} // namespace vesk
