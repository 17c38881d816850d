#include "app/KeyBindings.h"

#include <string>
#include <vector>

#include "app/ActionNames.h"

namespace vesk {

namespace {

struct Binding {
    std::string action;
    std::vector<Glib::ustring> keys;
};

std::string win(const char* name) {
    return std::string("win.") + name;
}

std::string selectTabAt(int place) {
    return win(action::kSelectTabAt) + "(" + std::to_string(place) + ")";
}

} // namespace

void installKeyBindings(Gtk::Application& app) {
    using namespace action;
    std::vector<Binding> bindings = {
        {win(kFocusAddress), {"<Control>l", "F6", "<Alt>d"}},
        {win(kNewTabForAddress), {"<Control>t"}},
        {win(kCloseTab), {"<Control>w"}},
        {win(kShowTabList), {"<Control><Shift>a"}},
        {win(kReopenClosedTab), {"<Control><Shift>t"}},
        {win(kNextTab), {"<Control>Tab", "<Control>Page_Down"}},
        {win(kPreviousTab),
         {"<Control><Shift>Tab", "<Control><Shift>ISO_Left_Tab", "<Control>Page_Up"}},
        {win(kReload), {"<Control>r", "F5"}},
        {win(kReloadBypassingCache), {"<Control><Shift>r", "<Shift>F5"}},
        // Of two enabled actions on one key only the first runs: a load stops
        // before a panel closes.
        {win(kStop), {"Escape"}},
        {win(kClosePanel), {"Escape"}},
        {win(kGoBack), {"<Alt>Left"}},
        {win(kGoForward), {"<Alt>Right"}},
        {win(kZoomIn), {"<Control>plus", "<Control>equal", "<Control>KP_Add"}},
        {win(kZoomOut), {"<Control>minus", "<Control>KP_Subtract"}},
        {win(kZoomReset), {"<Control>0", "<Control>KP_0"}},
        {win(kFind), {"<Control>f"}},
        {win(kFindNext), {"F3"}},
        {win(kFindPrevious), {"<Shift>F3"}},
        {win(kSearchHistory), {"<Control>h"}},
        {win(kPrint), {"<Control>p"}},
        {win(kToggleFullscreen), {"F11"}},
        {win(kQuit), {"<Control>q"}},
        {win(kPreferences), {"<Control>comma"}},
        {win(kClearBrowsingData), {"<Control><Shift>Delete"}},
        {win(kInspect), {"<Control><Shift>i", "F12"}},
        {win(kViewSource), {"<Control>u"}},
        {win(kSavePage), {"<Control>s"}},
        {win(kBookmarkPage), {"<Control>d"}},
        {win(kShowBookmarks), {"<Control><Shift>o"}},
    };
    for (int place = 1; place <= 9; ++place)
        bindings.push_back({selectTabAt(place), {"<Control>" + std::to_string(place)}});
    for (const Binding& b : bindings)
        app.set_accels_for_action(b.action, b.keys);
}

} // namespace vesk
