#include "app/AppDelegate.h"

namespace vesk {

// The history panel arrives with its own change; until then the button does nothing.
void AppDelegate::toggleHistory() {}
void AppDelegate::closeHistoryPanel() {}
void AppDelegate::clearHistory() {}
void AppDelegate::rebuildHistoryPanel() {}
void AppDelegate::openHistoryEntry(Gtk::Button*) {}

} // namespace vesk
