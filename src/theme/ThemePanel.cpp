#include "app/AppDelegate.h"

namespace vesk {

// The theme panel arrives with its own change; until then the paintbrush does nothing.
void AppDelegate::toggleThemePanel() {}
void AppDelegate::closeThemePanel() {}

} // namespace vesk
