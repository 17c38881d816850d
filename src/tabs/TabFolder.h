#pragma once

#include <memory>
#include <string>

#include <gtkmm/button.h>

namespace vesk {

// One folder (workspace) of tabs. It owns its header button, which stands in
// the sidebar strip only while the sidebar is in use.
struct TabFolder {
    std::string folderId;
    std::string name;
    std::unique_ptr<Gtk::Button> folderHeaderBtn;
    bool isExpanded = true;
};

} // namespace vesk
