#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/UserDefaults.h"

namespace vesk {

// The defaults keys of the user's preferences, beside the theme's.
inline constexpr std::string_view HomePageKey = "HomePage";
inline constexpr std::string_view SearchURLKey = "SearchURL";
inline constexpr std::string_view RestoreSessionOnStartKey = "RestoreSessionOnStart";
inline constexpr std::string_view DownloadsFolderKey = "DownloadsFolder";
inline constexpr std::string_view DefaultZoomKey = "DefaultZoom";

// What HomePage holds for a blank page: a new tab then loads nothing.
inline constexpr std::string_view kBlankPageAddress = "about:blank";

// The zoom factor a page has before anyone zooms it.
inline constexpr double kNormalZoom = 1.0;

// A well-known search engine the preferences offer by name.
struct SearchEngine {
    std::string_view name;
    std::string_view url;
};

// The engines offered, the program's own first.
inline constexpr std::array<SearchEngine, 5> kSearchEngines = {{
    {"Brave Search", "https://search.brave.com/search?q=%s"},
    {"DuckDuckGo", "https://duckduckgo.com/?q=%s"},
    {"Google", "https://www.google.com/search?q=%s"},
    {"Bing", "https://www.bing.com/search?q=%s"},
    {"Wikipedia", "https://en.wikipedia.org/w/index.php?search=%s"},
}};

// Where downloads go: a folder of the user's, the program's own default
// folder, or a question each time.
enum class DownloadsChoice { DefaultFolder, Folder, AskEachTime };

// The user's preferences as the defaults hold them, each one already checked: a
// stored value that does not pass its check reads as not set, so the program's
// own default is used, and the other preferences are read as usual.
struct Preferences {
    // The home page: an address, or empty for a blank page; nothing for the
    // program's own.
    std::optional<std::string> homePage;
    // The search address, with "%s" where the terms go; nothing for the
    // program's own.
    std::optional<std::string> searchURL;
    bool restoreSessionOnStart = false;
    DownloadsChoice downloads = DownloadsChoice::DefaultFolder;
    // The folder, when downloads is Folder.
    std::filesystem::path downloadsFolder;
    double defaultZoom = kNormalZoom;

    bool operator==(const Preferences&) const = default;
};

// Whether `address` may be a home page: an address that names its scheme, or
// the blank page.
bool isValidHomePage(std::string_view address);

// Whether `address` may be a search address: it holds "%s", and with terms in
// its place it is an address that names its scheme.
bool isValidSearchURL(std::string_view address);

// Whether `factor` is a zoom the zoom steps can reach or leave: finite and not
// below their floor.
bool isValidZoom(double factor);

// The preferences in `defaults`, each invalid or absent value read as not set.
// DownloadsFolder holds an absolute path, or empty text for asking each time.
Preferences readPreferences(const UserDefaults& defaults);

// Puts every preference into `defaults` for their next save; a preference that
// is not set, or not valid, removes its key.
void setPreferences(UserDefaults& defaults, const Preferences& preferences);

} // namespace vesk
