#include "app/Toolbar.h"

#include "app/ActionNames.h"
#include "platform/IconButton.h"

namespace vesk {

namespace {

Gtk::Button* toolbarButton(const char* symbol, const char* actionName) {
    Gtk::Button* button = iconBtn(symbol);
    button->add_css_class("vesk-toolbar-button");
    button->set_action_name(std::string("win.") + actionName);
    return button;
}

} // namespace

Toolbar::Toolbar()
    : back_(toolbarButton("go-previous-symbolic", action::kGoBack)),
      forward_(toolbarButton("go-next-symbolic", action::kGoForward)),
      reload_(toolbarButton("view-refresh-symbolic", action::kReload)),
      zoomIn_(toolbarButton("zoom-in-symbolic", action::kZoomIn)),
      zoomOut_(toolbarButton("zoom-out-symbolic", action::kZoomOut)),
      newTab_(toolbarButton("list-add-symbolic", action::kNewTab)),
      newFolder_(toolbarButton("folder-new-symbolic", action::kNewFolder)),
      history_(toolbarButton("document-open-recent-symbolic", action::kToggleHistory)),
      theme_(toolbarButton("applications-graphics-symbolic", action::kToggleThemePanel)),
      password_(toolbarButton("dialog-password-symbolic", action::kSavePassword)),
      layout_(toolbarButton("sidebar-show-symbolic", action::kToggleLayout)) {}

std::array<Gtk::Button*, 11> Toolbar::buttons() const {
    return {back_,      forward_, reload_, zoomIn_,   zoomOut_, newTab_,
            newFolder_, history_, theme_,  password_, layout_};
}

} // namespace vesk
