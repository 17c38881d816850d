#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/Bookmark.h"

namespace vesk {

// The HTML bookmark file that browsers import and export (the "NETSCAPE-Bookmark-file-1"
// document type): a list of <A HREF="…" ADD_DATE="…">title</A> in nested <DL> folders.
// Folders are flattened: their bookmarks are read in document order.
namespace bookmarkHtml {

// At most this many bookmarks are read from one file.
inline constexpr std::size_t maxBookmarks = 100000;
// A title keeps at most this many characters (as the history's titles do).
inline constexpr std::size_t titleMaxChars = 1024;
// An address longer than this many bytes is passed over.
inline constexpr std::size_t urlMaxBytes = 8192;

// The bookmarks in `html`: each link to an http, https, ftp or file address, with its
// title as plain text (tags dropped, character references decoded, white space
// collapsed, the address when it has none) and its ADD_DATE. Any other input (markup
// of any depth, scripts, text that is not UTF-8) gives what it holds of those links
// and nothing else; the work is linear in the input's size.
std::vector<Bookmark> parse(std::string_view html);

// `bookmarks` as such a file, every text escaped for HTML.
std::string write(const std::vector<Bookmark>& bookmarks);

} // namespace bookmarkHtml
} // namespace vesk
