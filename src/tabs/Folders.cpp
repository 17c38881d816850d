#include "app/AppDelegate.h"

#include <glib.h>

namespace vesk {

namespace {

std::string newFolderId() {
    gchar* raw = g_uuid_string_random();
    std::string id(raw);
    g_free(raw);
    for (char& c : id)
        c = static_cast<char>(g_ascii_toupper(c));
    return id;
}

} // namespace

void AppDelegate::createNewFolder() {
    auto folder = std::make_unique<TabFolder>();
    folder->folderId = newFolderId();
    folder->name = "Workspace " + std::to_string(folders.size() + 1);
    folder->isExpanded = true;

    folder->folderHeaderBtn = std::make_unique<Gtk::Button>("\U0001F4C1 " + folder->name);
    Gtk::Button& header = *folder->folderHeaderBtn;
    header.set_has_frame(false);
    header.add_css_class("flat");
    header.add_css_class("vesk-folder-header");
    header.set_name(folder->folderId);
    header.set_focus_on_click(false);
    // Like the pills, the header keeps its own width in the column, centred,
    // even while the column narrows to nothing.
    header.set_halign(Gtk::Align::CENTER);
    setVeskFont(header, 12.0, FontWeight::Bold);
    header.signal_clicked().connect([this, b = &header] { toggleFolderExpansion(b); });

    const std::string id = folder->folderId;
    folders.push_back(std::move(folder));

    if (Tab* tab = currentTab(); tab && tab->parentFolderId.empty())
        tab->parentFolderId = id;
    rebuildTabBarLayouts();
}

void AppDelegate::toggleFolderExpansion(Gtk::Button* sender) {
    const std::string identifier = sender ? std::string(sender->get_name()) : std::string();
    for (auto& folder : folders) {
        if (folder->folderId == identifier) {
            folder->isExpanded = !folder->isExpanded;
            break;
        }
    }
    rebuildTabBarLayouts();
}

} // namespace vesk
