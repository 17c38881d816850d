#include "settings/PreferencesController.h"

#include "navigation/UrlNormalization.h"
#include "store/VeskStore.h"

namespace vesk {

PreferencesController::PreferencesController(PreferenceFallbacks fallback)
    : fallback_(std::move(fallback)),
      preferences_(readPreferences(UserDefaults::load(VeskStore::shared().defaultsFile()))) {}

PreferencesController::~PreferencesController() = default;

std::string PreferencesController::homePage() const {
    return preferences_.homePage.value_or(fallback_.homePage);
}

std::string PreferencesController::searchURL() const {
    return preferences_.searchURL.value_or(std::string(kDefaultSearchURL));
}

std::filesystem::path PreferencesController::downloadsFolder() const {
    return preferences_.downloads == DownloadsChoice::Folder ? preferences_.downloadsFolder
                                                             : fallback_.downloadsFolder;
}

void PreferencesController::showPreferences(Gtk::Window& parent) {
    if (!window_) {
        window_ = std::make_unique<PreferencesWindow>(parent);
        window_->signalChanged().connect(sigc::mem_fun(*this, &PreferencesController::change));
    }
    window_->show(preferences_, fallback_);
}

void PreferencesController::change(const Preferences& preferences) {
    if (preferences == preferences_)
        return;
    preferences_ = preferences;
    // Only these keys are written, merged over what the file holds then: the theme's
    // and any other program's keys stay.
    UserDefaults changes = UserDefaults::changesFor(VeskStore::shared().defaultsFile());
    setPreferences(changes, preferences_);
    VeskStore::shared().saveDefaults(std::move(changes));
    changed_.emit(preferences_);
}

} // namespace vesk
