#pragma once

#include <string>

#include "theme/Theme.h"

namespace vesk {

// The one style sheet a theme apply installs: every colour of the chrome,
// from the window down to the tab pills and the floating panels.
std::string themeStyleSheet(const ThemeColors& colors);

} // namespace vesk
