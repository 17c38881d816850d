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

} // namespace vesk::action
