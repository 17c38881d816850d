#include "store/BookmarkFile.h"

#include <memory>

#include <glib.h>

#include "store/PlistFile.h"

namespace vesk::bookmarkFile {

namespace {

struct BookmarkFileDeleter {
    void operator()(GBookmarkFile* file) const { g_bookmark_file_free(file); }
};
using BookmarkFilePtr = std::unique_ptr<GBookmarkFile, BookmarkFileDeleter>;

std::string utf8Valid(const char* text) {
    gchar* valid = g_utf8_make_valid(text, -1);
    std::string result(valid);
    g_free(valid);
    return result;
}

} // namespace

std::string toXbel(const std::vector<Bookmark>& bookmarks) {
    BookmarkFilePtr xbel(g_bookmark_file_new());
    for (const Bookmark& bookmark : bookmarks) {
        g_bookmark_file_set_title(xbel.get(), bookmark.url.c_str(), bookmark.title.c_str());
        // GLib writes only items that name a program that opened them and their type.
        g_bookmark_file_set_mime_type(xbel.get(), bookmark.url.c_str(), "text/html");
        g_bookmark_file_add_application(xbel.get(), bookmark.url.c_str(), "Vesk", "vesk %u");
        if (bookmark.added > 0) {
            GDateTime* added = g_date_time_new_from_unix_utc(static_cast<gint64>(bookmark.added));
            if (added) {
                g_bookmark_file_set_added_date_time(xbel.get(), bookmark.url.c_str(), added);
                g_date_time_unref(added);
            }
        }
    }
    gsize length = 0;
    gchar* data = g_bookmark_file_to_data(xbel.get(), &length, nullptr);
    std::string text = data ? std::string(data, length) : std::string();
    g_free(data);
    return text;
}

bool fromXbel(std::string_view data, std::vector<Bookmark>& bookmarks) {
    BookmarkFilePtr xbel(g_bookmark_file_new());
    if (!g_bookmark_file_load_from_data(xbel.get(), data.data(), data.size(), nullptr))
        return false;
    gsize count = 0;
    gchar** uris = g_bookmark_file_get_uris(xbel.get(), &count);
    bookmarks.clear();
    for (gsize i = 0; i < count; ++i) {
        Bookmark bookmark;
        bookmark.url = uris[i];
        if (gchar* title = g_bookmark_file_get_title(xbel.get(), uris[i], nullptr)) {
            bookmark.title = utf8Valid(title);
            g_free(title);
        }
        if (GDateTime* added = g_bookmark_file_get_added_date_time(xbel.get(), uris[i], nullptr))
            bookmark.added = static_cast<double>(g_date_time_to_unix(added));
        bookmarks.push_back(std::move(bookmark));
    }
    g_strfreev(uris);
    return true;
}

std::vector<Bookmark> load(const std::filesystem::path& file) {
    std::vector<Bookmark> bookmarks;
    gchar* data = nullptr;
    gsize length = 0;
    GError* error = nullptr;
    if (!g_file_get_contents(file.c_str(), &data, &length, &error)) {
        const bool isMissing = g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        g_error_free(error);
        // A file that is there but cannot be read is left alone, never replaced.
        (void)isMissing;
        return bookmarks;
    }
    const bool isRead = length == 0 || fromXbel(std::string_view(data, length), bookmarks);
    g_free(data);
    if (!isRead) {
        setAsideDamagedFile(file);
        bookmarks.clear();
    }
    return bookmarks;
}

bool save(const std::filesystem::path& file, const std::vector<Bookmark>& bookmarks) {
    return writeFileAtomically(file, toXbel(bookmarks));
}

} // namespace vesk::bookmarkFile
