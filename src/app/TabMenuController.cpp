#include "app/TabMenuController.h"

#include <giomm/menu.h>
#include <glibmm/main.h>
#include <gtkmm/window.h>

#include "app/SleepController.h"
#include "app/TabsController.h"

namespace vesk {

namespace {

Glib::ustring tabAction(const char* name) {
    return Glib::ustring("tab.") + name;
}

} // namespace

TabMenuController::TabMenuController(TabsController& tabs, SleepController& sleep,
                                     Gtk::Window& window)
    : tabs_(tabs), sleep_(sleep) {
    makeTabActions();
    makeFolderActions();
    window.insert_action_group("tab", tabActions_);
    window.insert_action_group("folder", folderActions_);
    tabs_.signalMenuRequested().connect(sigc::mem_fun(*this, &TabMenuController::openTabMenu));
    tabs_.signalFolderMenuRequested().connect(
        sigc::mem_fun(*this, &TabMenuController::openFolderMenu));
    // A menu never outlives the pill or header it points at.
    tabs_.model().signalRemoved().connect([this](TabId id, std::size_t) {
        if (id == menuTab_)
            dropMenu();
    });
    tabs_.model().signalFoldersChanged().connect([this] {
        if (!menuFolder_.empty() && !tabs_.model().findFolder(menuFolder_)) {
            dropMenu();
            namePopover_.popdown();
            if (namePopover_.get_parent())
                namePopover_.unparent();
        }
    });

    namePopover_.set_child(nameField_);
    namePopover_.set_autohide(true);
    nameField_.set_width_chars(20);
    nameField_.signal_activate().connect([this] {
        const std::string name = nameField_.get_text();
        if (!name.empty())
            tabs_.model().renameFolder(menuFolder_, name);
        namePopover_.popdown();
    });
}

TabMenuController::~TabMenuController() {
    dropMenu();
    if (namePopover_.get_parent())
        namePopover_.unparent();
}

void TabMenuController::makeTabActions() {
    auto add = [this](const char* name, std::function<void(TabId)> act) {
        tabActions_->add_action(name, [this, act = std::move(act)] {
            if (tabs_.model().find(menuTab_))
                act(menuTab_);
        });
    };
    add("reload", [this](TabId id) {
        // A tab without a page gets it, and its page loads, by being selected.
        Tab* tab = tabs_.find(id);
        if (tab && tab->hasPage())
            tab->web().reload();
        else
            tabs_.model().selectTab(id);
    });
    add("duplicate", [this](TabId id) { tabs_.duplicate(id); });
    add("mute", [this](TabId id) { tabs_.toggleMute(id); });
    add("sleep", [this](TabId id) { sleep_.sleepNow(id); });
    add("remove-from-folder", [this](TabId id) { tabs_.model().setFolder(id, ""); });
    add("move-to-new-folder", [this](TabId id) {
        TabModel& model = tabs_.model();
        const std::string folderId = model.createFolder();
        model.setFolder(id, folderId);
    });
    add("close-others", [this](TabId id) {
        std::vector<TabId> others;
        for (const TabRecord& record : tabs_.model().tabs())
            if (record.id != id)
                others.push_back(record.id);
        closeTabs(others);
    });
    add("close-right", [this](TabId id) {
        std::vector<TabId> right;
        const auto& all = tabs_.model().tabs();
        for (std::size_t i = *tabs_.model().indexOf(id) + 1; i < all.size(); ++i)
            right.push_back(all[i].id);
        closeTabs(right);
    });
    add("close", [this](TabId id) { closeTabs({id}); });
    tabActions_->add_action_with_parameter(
        "move-to-folder", Glib::VARIANT_TYPE_STRING, [this](const Glib::VariantBase& folder) {
            if (tabs_.model().find(menuTab_))
                tabs_.model().setFolder(
                    menuTab_,
                    Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(folder).get());
        });
}

void TabMenuController::makeFolderActions() {
    folderActions_->add_action("rename", [this] { askFolderName(menuFolder_); });
    folderActions_->add_action("close-tabs", [this] {
        std::vector<TabId> inFolder;
        for (const TabRecord& record : tabs_.model().tabs())
            if (record.folderId == menuFolder_)
                inFolder.push_back(record.id);
        closeTabs(inFolder);
    });
    folderActions_->add_action("remove", [this] { tabs_.model().removeFolder(menuFolder_); });
}

void TabMenuController::closeTabs(const std::vector<TabId>& ids) {
    for (TabId id : ids)
        if (Tab* tab = tabs_.find(id))
            tabs_.requestClose(*tab);
}

void TabMenuController::openTabMenu(TabId id, double x, double y) {
    Tab* tab = tabs_.find(id);
    const TabRecord* record = tabs_.model().find(id);
    if (!tab || !record)
        return;
    menuTab_ = id;
    const bool muted = tab->hasPage() && tab->web().isMuted();
    const std::size_t index = *tabs_.model().indexOf(id);
    auto enable = [this](const char* name, bool enabled) {
        auto action =
            std::dynamic_pointer_cast<Gio::SimpleAction>(tabActions_->lookup_action(name));
        action->set_enabled(enabled);
    };
    enable("mute", tab->hasPage());
    enable("sleep", sleep_.keptAwakeNow(id) == KeptAwake::MaySleep);
    enable("close-others", tabs_.size() > 1);
    enable("close-right", index + 1 < tabs_.size());
    enable("close", tabs_.size() > 1);

    auto menu = Gio::Menu::create();
    auto page = Gio::Menu::create();
    page->append("Reload", tabAction("reload"));
    page->append("Duplicate", tabAction("duplicate"));
    page->append(muted ? "Unmute" : "Mute", tabAction("mute"));
    page->append("Sleep Now", tabAction("sleep"));
    menu->append_section(page);
    auto folders = Gio::Menu::create();
    auto targets = Gio::Menu::create();
    for (const FolderRecord& folder : tabs_.model().folders())
        if (folder.folderId != record->folderId)
            targets->append(folder.name,
                            tabAction("move-to-folder") + "::" + Glib::ustring(folder.folderId));
    auto newFolder = Gio::Menu::create();
    newFolder->append("New Folder", tabAction("move-to-new-folder"));
    targets->append_section(newFolder);
    folders->append_submenu("Move to Folder", targets);
    if (!record->folderId.empty())
        folders->append("Remove from Folder", tabAction("remove-from-folder"));
    menu->append_section(folders);
    auto closing = Gio::Menu::create();
    closing->append("Close Other Tabs", tabAction("close-others"));
    closing->append("Close Tabs to the Right", tabAction("close-right"));
    closing->append("Close", tabAction("close"));
    menu->append_section(closing);
    present(menu, tab->pill(), x, y);
}

void TabMenuController::openFolderMenu(const std::string& folderId, double x, double y) {
    TabFolder* folder = tabs_.findFolder(folderId);
    if (!folder)
        return;
    menuFolder_ = folderId;
    auto menu = Gio::Menu::create();
    menu->append("Rename", "folder.rename");
    menu->append("Close Folder's Tabs", "folder.close-tabs");
    menu->append("Remove Folder", "folder.remove");
    present(menu, folder->header(), x, y);
}

void TabMenuController::askFolderName(const std::string& folderId) {
    TabFolder* folder = tabs_.findFolder(folderId);
    const FolderRecord* record = tabs_.model().findFolder(folderId);
    // The header is in the window only while the sidebar shows.
    if (!folder || !record || !folder->header().get_root())
        return;
    menuFolder_ = folderId;
    if (namePopover_.get_parent())
        namePopover_.unparent();
    namePopover_.set_parent(folder->header());
    nameField_.set_text(record->name);
    namePopover_.popup();
    nameField_.grab_focus();
    nameField_.select_region(0, -1);
}

void TabMenuController::present(const Glib::RefPtr<Gio::MenuModel>& model, Gtk::Widget& parent,
                                double x, double y) {
    dropMenu();
    if (!parent.get_root())
        return;
    menu_ = std::make_unique<Gtk::PopoverMenu>(model);
    menu_->set_parent(parent);
    menu_->set_has_arrow(false);
    menu_->set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    menu_->popup();
}

void TabMenuController::dropMenu() {
    if (!menu_)
        return;
    menu_->popdown();
    menu_->unparent();
    // The menu may be inside its own entry's activation: it goes once that has returned.
    Glib::signal_idle().connect_once(
        [menu = std::shared_ptr<Gtk::PopoverMenu>(std::move(menu_))] {});
}

} // namespace vesk
