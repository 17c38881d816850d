#pragma once

#include <memory>
#include <string>

#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "settings/Preferences.h"
#include "settings/PreferencesWindow.h"

namespace vesk {

// The user's preferences across the window: read from the defaults at start,
// shown and changed in the preferences window, saved at every change and
// reported, so that each takes effect at once.
class PreferencesController : public sigc::trackable {
public:
    // Reads the preferences now; `fallback` is what the program uses where the user
    // has chosen nothing.
    explicit PreferencesController(PreferenceFallbacks fallback);
    ~PreferencesController();
    PreferencesController(const PreferencesController&) = delete;
    PreferencesController& operator=(const PreferencesController&) = delete;

    const Preferences& preferences() const { return preferences_; }
    // The home page in force: the chosen one, or the fallback; empty for a blank page.
    std::string homePage() const;
    // The search address in force, with "%s" for the terms.
    std::string searchURL() const;
    // The folder downloads go to, when they do not ask.
    std::filesystem::path downloadsFolder() const;

    // Opens the preferences window over `parent`.
    void showPreferences(Gtk::Window& parent);
    PreferencesWindow* window() { return window_.get(); }

    // Takes `preferences` on, saves them and reports them.
    void change(const Preferences& preferences);
    // The preferences changed; each is in force from now on.
    sigc::signal<void(const Preferences&)>& signalChanged() { return changed_; }

private:
    PreferenceFallbacks fallback_;
    Preferences preferences_;
    std::unique_ptr<PreferencesWindow> window_;
    sigc::signal<void(const Preferences&)> changed_;
};

} // namespace vesk
