#include "app/AppDelegate.h"

namespace vesk {

// The save-password prompt arrives with its own change; until then the key button does nothing.
void AppDelegate::promptSavePassword() {}

} // namespace vesk
