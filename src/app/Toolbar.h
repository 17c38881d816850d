#pragma once

#include <array>
#include <gtkmm/button.h>

namespace vesk {

// The eleven icon buttons of the toolbar row. Each runs a window action
// ("win.go-back", …), the same action a key can be bound to.
class Toolbar {
public:
    Toolbar();
    Toolbar(const Toolbar&) = delete;
    Toolbar& operator=(const Toolbar&) = delete;

    Gtk::Button& back() { return *back_; }
    Gtk::Button& forward() { return *forward_; }
    Gtk::Button& reload() { return *reload_; }
    Gtk::Button& zoomIn() { return *zoomIn_; }
    Gtk::Button& zoomOut() { return *zoomOut_; }
    Gtk::Button& newTab() { return *newTab_; }
    Gtk::Button& newFolder() { return *newFolder_; }
    Gtk::Button& history() { return *history_; }
    Gtk::Button& theme() { return *theme_; }
    Gtk::Button& password() { return *password_; }
    Gtk::Button& layout() { return *layout_; }

    // All eleven, in the order they are added to the window (later ones drawn on top).
    std::array<Gtk::Button*, 11> buttons() const;

private:
    Gtk::Button* back_;
    Gtk::Button* forward_;
    Gtk::Button* reload_;
    Gtk::Button* zoomIn_;
    Gtk::Button* zoomOut_;
    Gtk::Button* newTab_;
    Gtk::Button* newFolder_;
    Gtk::Button* history_;
    Gtk::Button* theme_;
    Gtk::Button* password_;
    Gtk::Button* layout_;
};

} // namespace vesk
