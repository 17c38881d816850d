#pragma once

#include <memory>
#include <string>

#include <giomm/simpleactiongroup.h>
#include <gtkmm/entry.h>
#include <gtkmm/popover.h>
#include <gtkmm/popovermenu.h>
#include <sigc++/trackable.h>

#include "tabs/TabModel.h"

namespace Gtk {
class Window;
}

namespace vesk {

class SleepController;
class TabsController;

// The menus of a tab's pill and of a folder's header, opened by the secondary
// button. Their entries are the actions of the "tab" and "folder" groups, which
// act on the tab or folder whose menu was opened last.
class TabMenuController : public sigc::trackable {
public:
    TabMenuController(TabsController& tabs, SleepController& sleep, Gtk::Window& window);
    ~TabMenuController();
    TabMenuController(const TabMenuController&) = delete;
    TabMenuController& operator=(const TabMenuController&) = delete;

    // Opens the tab's menu at (x, y) on its pill.
    void openTabMenu(TabId id, double x, double y);
    // Opens the folder's menu at (x, y) on its header.
    void openFolderMenu(const std::string& folderId, double x, double y);
    // Asks for the folder's new name in a field under its header.
    void askFolderName(const std::string& folderId);

    // The menu on show, or null.
    Gtk::PopoverMenu* openMenu() { return menu_.get(); }
    Gtk::Entry& nameField() { return nameField_; }

private:
    void makeTabActions();
    void makeFolderActions();
    // Shows `model` as a menu pointing at (x, y) on `parent`.
    void present(const Glib::RefPtr<Gio::MenuModel>& model, Gtk::Widget& parent, double x,
                 double y);
    void dropMenu();
    // Closes each of the tabs, asking their pages first.
    void closeTabs(const std::vector<TabId>& ids);

    TabsController& tabs_;
    SleepController& sleep_;
    Glib::RefPtr<Gio::SimpleActionGroup> tabActions_ = Gio::SimpleActionGroup::create();
    Glib::RefPtr<Gio::SimpleActionGroup> folderActions_ = Gio::SimpleActionGroup::create();
    std::unique_ptr<Gtk::PopoverMenu> menu_;
    Gtk::Popover namePopover_;
    Gtk::Entry nameField_;
    // The tab or folder whose menu was opened last.
    TabId menuTab_ = 0;
    std::string menuFolder_;
};

} // namespace vesk
