#pragma once

#include <memory>

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "settings/BrowsingData.h"

namespace vesk {

// The "Clear Browsing Data" window over the main window: a time range and the
// kinds of data to clear. It reports what the user chose to clear and closes.
class ClearDataDialog : public sigc::trackable {
public:
    explicit ClearDataDialog(Gtk::Window& parent);
    ~ClearDataDialog();
    ClearDataDialog(const ClearDataDialog&) = delete;
    ClearDataDialog& operator=(const ClearDataDialog&) = delete;

    void show();
    void close();
    bool isOpen() const { return window_ && window_->get_visible(); }

    // The user pressed "Clear".
    sigc::signal<void(ClearRange, BrowsingDataKinds)>& signalClear() { return clear_; }

    // The open window and its controls.
    Gtk::Window* window() const { return window_.get(); }
    Gtk::DropDown& range() { return *range_; }
    Gtk::CheckButton& history() { return *history_; }
    Gtk::CheckButton& cookies() { return *cookies_; }
    Gtk::CheckButton& cache() { return *cache_; }
    Gtk::CheckButton& passwords() { return *passwords_; }
    Gtk::Button& clearButton() { return *clearButton_; }

private:
    void build();
    ClearRange chosenRange() const;
    // The clear button and the passwords' box follow what can be cleared.
    void update();
    void onClear();

    Gtk::Window& parent_;
    std::unique_ptr<Gtk::Window> window_;
    Gtk::DropDown* range_ = nullptr;
    Gtk::CheckButton* history_ = nullptr;
    Gtk::CheckButton* cookies_ = nullptr;
    Gtk::CheckButton* cache_ = nullptr;
    Gtk::CheckButton* passwords_ = nullptr;
    Gtk::Button* clearButton_ = nullptr;
    sigc::signal<void(ClearRange, BrowsingDataKinds)> clear_;
};

} // namespace vesk
