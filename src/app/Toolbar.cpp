#include "app/Toolbar.h"

#include "app/ActionNames.h"
#include "widgets/IconButton.h"

namespace vesk {

namespace {

Gtk::Button* toolbarButton(const char* symbol, const char* actionName, const char* name) {
    Gtk::Button* button = iconBtn(symbol, name);
    button->add_css_class("vesk-toolbar-button");
    button->set_action_name(std::string("win.") + actionName);
    return button;
}

} // namespace

Toolbar::Toolbar()
    : back_(toolbarButton("go-previous-symbolic", action::kGoBack, "Back")),
      forward_(toolbarButton("go-next-symbolic", action::kGoForward, "Forward")),
      reload_(toolbarButton("view-refresh-symbolic", action::kReload, "Reload")),
      zoomIn_(toolbarButton("zoom-in-symbolic", action::kZoomIn, "Zoom In")),
      zoomOut_(toolbarButton("zoom-out-symbolic", action::kZoomOut, "Zoom Out")),
      newTab_(toolbarButton("list-add-symbolic", action::kNewTab, "New Tab")),
      newFolder_(toolbarButton("folder-new-symbolic", action::kNewFolder, "New Folder")),
      history_(toolbarButton("document-open-recent-symbolic", action::kToggleHistory, "History")),
      theme_(toolbarButton("applications-graphics-symbolic", action::kToggleThemePanel, "Themes")),
      password_(toolbarButton("dialog-password-symbolic", action::kSavePassword, "Save Password")),
      layout_(toolbarButton("sidebar-show-symbolic", action::kToggleLayout, "Toggle Sidebar")) {}

std::array<Gtk::Button*, 11> Toolbar::buttons() const {
    return {back_,      forward_, reload_, zoomIn_,   zoomOut_, newTab_,
            newFolder_, history_, theme_,  password_, layout_};
}

} // namespace vesk
