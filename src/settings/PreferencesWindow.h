#pragma once

#include <memory>

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "settings/Preferences.h"

namespace vesk {

// What the program uses where the user has chosen nothing.
struct PreferenceFallbacks {
    std::string homePage;
    std::filesystem::path downloadsFolder;
};

// The "Preferences" window over the main window: home page, search engine,
// what opens at start, where downloads go and the default zoom. It shows the
// preferences it is given and reports each valid change at once; an address
// that is not valid is marked and not reported.
class PreferencesWindow : public sigc::trackable {
public:
    explicit PreferencesWindow(Gtk::Window& parent);
    ~PreferencesWindow();
    PreferencesWindow(const PreferencesWindow&) = delete;
    PreferencesWindow& operator=(const PreferencesWindow&) = delete;

    // Shows the window with `preferences`; `fallback` holds the home page and the
    // downloads folder used when none is chosen.
    void show(const Preferences& preferences, const PreferenceFallbacks& fallback);
    void close();
    bool isOpen() const { return window_ && window_->get_visible(); }

    // The user changed a preference; every preference as it stands now.
    sigc::signal<void(const Preferences&)>& signalChanged() { return changed_; }

    // The open window and its controls.
    Gtk::Window* window() const { return window_.get(); }
    Gtk::Entry& homeEntry() { return *homeEntry_; }
    Gtk::CheckButton& blankHome() { return *blankHome_; }
    Gtk::DropDown& engines() { return *engines_; }
    Gtk::Entry& searchEntry() { return *searchEntry_; }
    Gtk::CheckButton& restoreSession() { return *restoreSession_; }
    Gtk::CheckButton& askDownloads() { return *askDownloads_; }
    Gtk::SpinButton& zoom() { return *zoom_; }

private:
    void build();
    void fill();
    // Reads the controls into the preferences and reports them when valid.
    void onEdited();
    void chooseFolder();

    Gtk::Window& parent_;
    std::unique_ptr<Gtk::Window> window_;
    Preferences shown_;
    PreferenceFallbacks fallback_;
    // The controls are being filled: their signals report nothing.
    bool filling_ = false;
    Gtk::CheckButton* defaultHome_ = nullptr;
    Gtk::CheckButton* blankHome_ = nullptr;
    Gtk::CheckButton* addressHome_ = nullptr;
    Gtk::Entry* homeEntry_ = nullptr;
    Gtk::DropDown* engines_ = nullptr;
    Gtk::Entry* searchEntry_ = nullptr;
    Gtk::CheckButton* openHome_ = nullptr;
    Gtk::CheckButton* restoreSession_ = nullptr;
    Gtk::CheckButton* folderDownloads_ = nullptr;
    Gtk::CheckButton* askDownloads_ = nullptr;
    Gtk::Button* folderButton_ = nullptr;
    Gtk::Label* folderLabel_ = nullptr;
    Gtk::SpinButton* zoom_ = nullptr;
    sigc::signal<void(const Preferences&)> changed_;
};

} // namespace vesk
