#pragma once

#include <filesystem>

namespace vesk {

// The folders the program keeps its files in, worked out once at start and handed to
// the store, the session and the web session. The store, the session file and the
// website data live in the data folder; the defaults in the config folder.
struct AppPaths {
    // The application's own folder under each of the user's folders.
    static constexpr const char* applicationFolder = "Vesk";

    // History, vault and session: $XDG_DATA_HOME/Vesk, or ~/.local/share/Vesk.
    std::filesystem::path data;
    // The defaults: $XDG_CONFIG_HOME/Vesk, or ~/.config/Vesk.
    std::filesystem::path config;
    // The web engine's cache: $XDG_CACHE_HOME/Vesk, or ~/.cache/Vesk.
    std::filesystem::path cache;
    // Where downloads land: the user's Downloads folder, else the home folder.
    std::filesystem::path downloads;

    // The user's folders as GLib finds them; a relative XDG variable, invalid by the XDG
    // rules, counts as unset. Nothing is created.
    static AppPaths forUser();

    // The same layout rooted in `root` (data/Vesk, config/Vesk, cache/Vesk, and `root`
    // itself for downloads), as a fresh home with those XDG folders would give.
    static AppPaths under(const std::filesystem::path& root);

    // The website data (cookies, local storage) inside the data folder.
    std::filesystem::path webData() const { return data / "web"; }

    bool operator==(const AppPaths&) const = default;
};

} // namespace vesk
