#pragma once

#include <memory>
#include <string>

#include <gtkmm/button.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

namespace vesk {

// One folder (workspace) of tabs. It owns its header button, which stands in
// the sidebar strip only while the sidebar is in use.
class TabFolder : public sigc::trackable {
public:
    // A new, expanded folder with a fresh upper-case UUID and `name`.
    explicit TabFolder(std::string name);
    TabFolder(const TabFolder&) = delete;
    TabFolder& operator=(const TabFolder&) = delete;

    const std::string folderId;
    const std::string name;
    bool isExpanded = true;

    Gtk::Button& header() { return *folderHeaderBtn_; }

    // The header was clicked.
    sigc::signal<void()>& signalToggle() { return toggle_; }

private:
    std::unique_ptr<Gtk::Button> folderHeaderBtn_;
    sigc::signal<void()> toggle_;
};

} // namespace vesk
