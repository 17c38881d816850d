#include "bookmarks/BookmarksController.h"

#include <chrono>

#include <glib.h>

#include "bookmarks/BookmarkHtml.h"

namespace vesk {

namespace {

// A file larger than this is no bookmark file anyone exported.
constexpr gsize importMaxBytes = 64 * 1024 * 1024;

bool isBookmarkable(const std::string& url) {
    return url.starts_with("http://") || url.starts_with("https://") ||
           url.starts_with("file://") || url.starts_with("ftp://");
}

double secondsNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

BookmarksController::BookmarksController(Gtk::Window& window, Gtk::Widget& field, StarArea starArea,
                                         std::filesystem::path dataFolder)
    : bookmarks_(std::move(dataFolder)), popover_(field), panel_(window),
      starArea_(std::move(starArea)) {
    bookmarks_.signalChanged().connect(sigc::mem_fun(*this, &BookmarksController::onChanged));
    popover_.signalRenamed().connect([this](const std::string& url, const std::string& title) {
        bookmarks_.rename(url, title);
    });
    popover_.signalRemoved().connect([this](const std::string& url) { bookmarks_.remove(url); });
    popover_.signalShowAll().connect(sigc::mem_fun(*this, &BookmarksController::showBookmarks));
    panel_.signalSearchChanged().connect([this](const std::string& text) {
        search_ = text;
        refillPanel();
    });
    panel_.signalOpen().connect([this](const std::string& url) {
        panel_.close();
        open_.emit(url);
    });
    panel_.signalRemove().connect([this](const std::string& url) { bookmarks_.remove(url); });
    panel_.signalImport().connect([this](const std::string& path) { importFrom(path); });
    panel_.signalExport().connect([this](const std::string& path) { exportTo(path); });
}

void BookmarksController::showPage(const std::string& url, const std::string& title) {
    url_ = url;
    title_ = title;
    onChanged();
}

void BookmarksController::bookmarkPage() {
    if (!isBookmarkable(url_))
        return;
    bookmarks_.add(url_, title_, secondsNow());
    if (const auto bookmark = bookmarks_.find(url_))
        popover_.open(bookmark->url, bookmark->title, starArea_());
}

void BookmarksController::showBookmarks() {
    panel_.present();
    refillPanel();
}

std::size_t BookmarksController::importFrom(const std::filesystem::path& path) {
    gchar* data = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path.c_str(), &data, &length, nullptr))
        return 0;
    std::vector<Bookmark> read;
    if (length <= importMaxBytes)
        read = bookmarkHtml::parse(std::string_view(data, length));
    g_free(data);
    return bookmarks_.importAll(read);
}

bool BookmarksController::exportTo(const std::filesystem::path& path) {
    const std::string html = bookmarkHtml::write(bookmarks_.all());
    return g_file_set_contents(path.c_str(), html.data(), static_cast<gssize>(html.size()),
                               nullptr);
}

void BookmarksController::onChanged() {
    starChanged_.emit(isBookmarkable(url_), bookmarks_.contains(url_));
    refillPanel();
}

void BookmarksController::refillPanel() {
    if (panel_.isOpen())
        panel_.show(bookmarks_.matching(search_));
}

} // namespace vesk
