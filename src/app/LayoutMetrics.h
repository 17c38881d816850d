#pragma once

namespace vesk {

// The two layout modes' values, shared by start-up and the mode switch.
inline constexpr double kSidebarWidth = 200.0;
inline constexpr double kTopBarWebLeading = 15.0;
inline constexpr double kSidebarWebLeading = 215.0;

} // namespace vesk
