#pragma once

namespace vesk::action {

// The window's actions: the toolbar's buttons run them, and keys can be bound to them.
// Each is registered under the name alone and reached from widgets as "win." + name.
inline constexpr const char* kGoBack = "go-back";
inline constexpr const char* kGoForward = "go-forward";
inline constexpr const char* kReload = "reload";
inline constexpr const char* kZoomIn = "zoom-in";
inline constexpr const char* kZoomOut = "zoom-out";
inline constexpr const char* kNewTab = "new-tab";
inline constexpr const char* kNewFolder = "new-folder";
inline constexpr const char* kToggleHistory = "toggle-history";
inline constexpr const char* kToggleThemePanel = "toggle-theme-panel";
inline constexpr const char* kSavePassword = "save-password";
inline constexpr const char* kToggleLayout = "toggle-layout";
inline constexpr const char* kClearHistory = "clear-history";
// Reached from keys only.
inline constexpr const char* kFocusAddress = "focus-address";
inline constexpr const char* kNewTabForAddress = "new-tab-for-address";
inline constexpr const char* kCloseTab = "close-tab";
inline constexpr const char* kReopenClosedTab = "reopen-closed-tab";
inline constexpr const char* kNextTab = "next-tab";
inline constexpr const char* kPreviousTab = "previous-tab";
// Takes the tab's place in the strip, 1 to 8, or 9 for the last.
inline constexpr const char* kSelectTabAt = "select-tab-at";
inline constexpr const char* kReloadBypassingCache = "reload-bypassing-cache";
inline constexpr const char* kStop = "stop";
inline constexpr const char* kZoomReset = "zoom-reset";
inline constexpr const char* kFind = "find";
inline constexpr const char* kFindNext = "find-next";
inline constexpr const char* kFindPrevious = "find-previous";
inline constexpr const char* kPrint = "print";
inline constexpr const char* kToggleFullscreen = "toggle-fullscreen";
inline constexpr const char* kQuit = "quit";
// Opens the history panel with the keyboard in its search field.
inline constexpr const char* kSearchHistory = "search-history";
// Bookmarks the page on show and opens the star's popover (Ctrl+D).
inline constexpr const char* kBookmarkPage = "bookmark-page";
// Opens the bookmarks window (Ctrl+Shift+O).
inline constexpr const char* kShowBookmarks = "show-bookmarks";
// Enabled only while a floating panel is open, so that Escape otherwise reaches the page.
inline constexpr const char* kClosePanel = "close-panel";
// Settings, privacy and the page tools.
inline constexpr const char* kPreferences = "preferences";
inline constexpr const char* kClearBrowsingData = "clear-browsing-data";
inline constexpr const char* kInspect = "inspect";
inline constexpr const char* kViewSource = "view-source";
inline constexpr const char* kSavePage = "save-page";
// Opens the searchable list of all tabs.
inline constexpr const char* kShowTabList = "show-tab-list";

} // namespace vesk::action
