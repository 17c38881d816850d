#include "store/AppPaths.h"

#include <glib.h>

namespace vesk {

namespace {

namespace fs = std::filesystem;

// GLib's answer when it is an absolute path, else `fallback` under the home folder.
fs::path userFolder(const char* fromGlib, const fs::path& fallback) {
    if (fromGlib != nullptr && g_path_is_absolute(fromGlib))
        return fromGlib;
    return fs::path(g_get_home_dir()) / fallback;
}

} // namespace

AppPaths AppPaths::forUser() {
    AppPaths paths;
    paths.data = userFolder(g_get_user_data_dir(), ".local/share") / applicationFolder;
    paths.config = userFolder(g_get_user_config_dir(), ".config") / applicationFolder;
    paths.cache = userFolder(g_get_user_cache_dir(), ".cache") / applicationFolder;
    // Without a Downloads folder in the user's folder settings, the home folder takes them.
    const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    paths.downloads = downloads != nullptr ? fs::path(downloads) : fs::path(g_get_home_dir());
    return paths;
}

AppPaths AppPaths::under(const fs::path& root) {
    return AppPaths{root / "data" / applicationFolder, root / "config" / applicationFolder,
                    root / "cache" / applicationFolder, root};
}

} // namespace vesk
