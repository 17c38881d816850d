#pragma once

namespace vesk::metrics {

// The window's size when it opens, and the smallest it can be made.
inline constexpr int kWindowWidth = 1280;
inline constexpr int kWindowHeight = 800;
inline constexpr int kMinWindowWidth = 980;
inline constexpr int kMinWindowHeight = 640;
// The strip of window above the toolbar that drags the window; the toolbar starts below it.
inline constexpr int kTitleBarHeight = 50;

// The toolbar row. The outer buttons keep this distance from the glass's edges.
inline constexpr double kToolbarEdgeInset = 20;
// Between back, forward and reload.
inline constexpr double kNavigationButtonGap = 10;
// Between reload and the zoom pair, and inside the pair.
inline constexpr double kZoomGroupGap = 15;
inline constexpr double kZoomButtonGap = 5;
// From zoom-in to the top tab strip, and from the strip to new-tab.
inline constexpr double kStripLeadingGap = 20;
inline constexpr double kStripTrailingGap = 15;
inline constexpr double kStripHeight = 32;
inline constexpr double kNewFolderGap = 10;
// Between the right-hand buttons (downloads while shown, history, theme, password, layout).
inline constexpr double kRightGroupGap = 15;
// New-folder never comes closer than this to the right-hand group: the top strip scrolls first.
inline constexpr double kStripClearance = 15;

// The address field hangs below the toolbar, centred, three quarters of the glass wide.
inline constexpr double kAddressTopGap = 15;
inline constexpr double kAddressHeight = 28;
inline constexpr double kAddressWidthShare = 0.75;

// The web area and the sidebar column keep this margin from the glass and the field.
inline constexpr double kContentMargin = 15;
// The sidebar strip starts this far below the column's top.
inline constexpr double kSidebarStripTop = 10;

// The two layout modes: the sidebar column's width and the web area's leading edge.
inline constexpr double kSidebarWidth = 200.0;
inline constexpr double kTopBarWebLeading = kContentMargin;
inline constexpr double kSidebarWebLeading = kContentMargin + kSidebarWidth;
inline constexpr double kLayoutSeconds = 0.3;

} // namespace vesk::metrics
