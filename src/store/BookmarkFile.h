#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "store/Bookmark.h"

namespace vesk {

// The bookmarks file, "bookmarks.xbel" in the data folder: XBEL, the desktop's bookmark
// format, read and written through GLib's GBookmarkFile.
namespace bookmarkFile {

inline constexpr std::string_view fileName = "bookmarks.xbel";

// The bookmarks in `file`, in the file's order. A missing file holds none; one that is
// not readable XBEL is set aside as damaged (file.corrupt) and holds none.
std::vector<Bookmark> load(const std::filesystem::path& file);

// Replaces `file` with `bookmarks`, atomically and owner-only; false when it could not be
// written, the old file then staying as it was.
bool save(const std::filesystem::path& file, const std::vector<Bookmark>& bookmarks);

// `bookmarks` as XBEL text.
std::string toXbel(const std::vector<Bookmark>& bookmarks);

// The bookmarks in XBEL `data`; false when it is not XBEL.
bool fromXbel(std::string_view data, std::vector<Bookmark>& bookmarks);

} // namespace bookmarkFile
} // namespace vesk
