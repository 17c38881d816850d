#pragma once

#include <memory>
#include <string>

#include <gtkmm/button.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

namespace vesk {

// The header button of one folder (workspace) of tabs, which stands in the
// sidebar strip only while the sidebar is in use. The folder itself is the tab
// model's.
class TabFolder : public sigc::trackable {
public:
    explicit TabFolder(const std::string& name);
    ~TabFolder();
    TabFolder(const TabFolder&) = delete;
    TabFolder& operator=(const TabFolder&) = delete;

    Gtk::Button& header() { return *folderHeaderBtn_; }
    // Shows the folder's name on its header.
    void setName(const std::string& name);

    // The header was clicked with the secondary button, at (x, y) on the header.
    sigc::signal<void(double, double)>& signalMenuRequested() { return menuRequested_; }

    // The header was clicked.
    sigc::signal<void()>& signalToggle() { return toggle_; }

private:
    std::unique_ptr<Gtk::Button> folderHeaderBtn_;
    sigc::signal<void()> toggle_;
    sigc::signal<void(double, double)> menuRequested_;
};

} // namespace vesk
