#pragma once

#include <string>

#include "theme/Theme.h"

namespace vesk {

// The one style sheet a theme apply installs: every colour of the chrome,
// from the window down to the tab pills and the floating panels, with texts
// made readable on their surfaces under `scheme`, the light or dark look in force.
std::string themeStyleSheet(const ThemeColors& colors, ColorScheme scheme);

} // namespace vesk
