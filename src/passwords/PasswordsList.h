#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "store/VeskStore.h"
#include "widgets/Alert.h"

namespace vesk {

// The "Passwords" window, modal over the main window: one row per saved record
// with its host, user name, a masked password that a toggle reveals, and a remove
// button; "Remove All" asks first. It only shows what it is given and reports
// what the user asked for; the vault itself is the coordinator's.
class PasswordsList : public sigc::trackable {
public:
    explicit PasswordsList(Gtk::Window& parent);
    ~PasswordsList();
    PasswordsList(const PasswordsList&) = delete;
    PasswordsList& operator=(const PasswordsList&) = delete;

    // Shows the window with `records`, or replaces the rows of the open one.
    void show(const std::vector<SavedPassword>& records);
    // Closes the window; its rows and their passwords go with it.
    void close();
    bool isOpen() const { return window_ != nullptr && window_->get_visible(); }

    // The open window, its rows top to bottom, and its "Remove All" button.
    Gtk::Window* window() const { return window_.get(); }
    std::vector<Gtk::Box*> rows() const;
    Gtk::Button* removeAllButton() const { return removeAll_; }
    // The confirmation asked before removing everything.
    AlertPresenter* alerts() const { return alerts_.get(); }

    // The remove button of the record for this host was pressed.
    sigc::signal<void(const std::string&)>& signalRemove() { return remove_; }
    // The user confirmed "Remove All".
    sigc::signal<void()>& signalRemoveAll() { return removeAllConfirmed_; }

private:
    void build();
    Gtk::Box& makeRow(const SavedPassword& record);
    void confirmRemoveAll();

    Gtk::Window& parent_;
    std::unique_ptr<Gtk::Window> window_;
    std::unique_ptr<AlertPresenter> alerts_;
    Gtk::Box* rowsBox_ = nullptr;
    Gtk::Label* empty_ = nullptr;
    Gtk::Button* removeAll_ = nullptr;
    sigc::signal<void(const std::string&)> remove_;
    sigc::signal<void()> removeAllConfirmed_;
};

} // namespace vesk
