#include "settings/Preferences.h"

#include <cmath>

#include <glib.h>

#include "navigation/NavigationRules.h"
#include "navigation/UriReference.h"

namespace vesk {

namespace {

// An address that names its scheme, other than a script, which would run in
// whatever page is on show.
bool namesItsScheme(std::string_view address) {
    const std::optional<UriReference> reference = parseUriReference(address);
    return reference && reference->hasScheme() &&
           g_ascii_strcasecmp(std::string(*reference->scheme).c_str(), "javascript") != 0;
}

} // namespace

bool isValidHomePage(std::string_view address) {
    return address.empty() || address == kBlankPageAddress || namesItsScheme(address);
}

bool isValidSearchURL(std::string_view address) {
    const std::size_t terms = address.find("%s");
    if (terms == std::string_view::npos)
        return false;
    std::string filled(address);
    filled.replace(terms, 2, "terms");
    return namesItsScheme(filled);
}

bool isValidZoom(double factor) {
    return std::isfinite(factor) && factor >= kZoomFloor;
}

Preferences readPreferences(const UserDefaults& defaults) {
    Preferences read;
    if (auto home = defaults.stringForKey(HomePageKey); home && isValidHomePage(*home))
        read.homePage = *home == kBlankPageAddress ? std::string() : *home;
    if (auto search = defaults.stringForKey(SearchURLKey); search && isValidSearchURL(*search))
        read.searchURL = *search;
    read.restoreSessionOnStart = defaults.boolForKey(RestoreSessionOnStartKey).value_or(false);
    if (auto folder = defaults.stringForKey(DownloadsFolderKey)) {
        if (folder->empty()) {
            read.downloads = DownloadsChoice::AskEachTime;
        } else if (std::filesystem::path(*folder).is_absolute()) {
            read.downloads = DownloadsChoice::Folder;
            read.downloadsFolder = *folder;
        }
    }
    if (auto zoom = defaults.realForKey(DefaultZoomKey); zoom && isValidZoom(*zoom))
        read.defaultZoom = *zoom;
    return read;
}

void setPreferences(UserDefaults& defaults, const Preferences& preferences) {
    std::optional<std::string> home = preferences.homePage;
    if (home && home->empty())
        home = std::string(kBlankPageAddress);
    defaults.setString(HomePageKey, home && isValidHomePage(*home) ? home : std::nullopt);
    const auto& search = preferences.searchURL;
    defaults.setString(SearchURLKey, search && isValidSearchURL(*search) ? search : std::nullopt);
    defaults.setBool(RestoreSessionOnStartKey, preferences.restoreSessionOnStart);
    std::optional<std::string> folder;
    if (preferences.downloads == DownloadsChoice::AskEachTime)
        folder = "";
    else if (preferences.downloads == DownloadsChoice::Folder &&
             preferences.downloadsFolder.is_absolute())
        folder = preferences.downloadsFolder.string();
    defaults.setString(DownloadsFolderKey, folder);
    defaults.setReal(DefaultZoomKey, isValidZoom(preferences.defaultZoom)
                                         ? std::optional(preferences.defaultZoom)
                                         : std::nullopt);
}

} // namespace vesk
