#pragma once

#include <gtkmm/box.h>
#include <gtkmm/menubutton.h>

#include "engine/Download.h"

namespace vesk {

// The toolbar's downloads button and its list: each download with its name, a
// progress bar, its bytes, and "Cancel" while it runs or "Open" and "Show in
// Folder" once it is saved. The button is hidden until the first download.
class DownloadsButton {
public:
    DownloadsButton();
    DownloadsButton(const DownloadsButton&) = delete;
    DownloadsButton& operator=(const DownloadsButton&) = delete;

    Gtk::MenuButton& button() { return *button_; }
    // Lists `download`, which must outlive the button, and shows the button.
    void add(Download& download);
    bool hasDownloads() const { return list_->get_first_child() != nullptr; }

private:
    Gtk::MenuButton* button_;
    Gtk::Box* list_;
};

} // namespace vesk
