#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <glib.h>

#include "store/VeskStore.h"

namespace vesk {

// A home folder of the benchmark's own, so that it never reads or writes the
// user's history, theme or website data: HOME and the XDG folders point into
// it while it lives, and it is removed when it goes.
class BenchHome {
public:
    explicit BenchHome(const char* name) {
        gchar* made = g_dir_make_tmp((std::string(name) + "-XXXXXX").c_str(), nullptr);
        if (!made) {
            std::fprintf(stderr, "Cannot make a temporary folder.\n");
            return;
        }
        path_ = made;
        g_free(made);
        ::setenv("HOME", path_.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (path_ / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (path_ / "config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (path_ / "cache").c_str(), 1);
        VeskStore::shared().usePaths(AppPaths::under(path_));
    }
    ~BenchHome() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    bool isMade() const { return !path_.empty(); }
    // The application's data folder inside the home.
    std::filesystem::path dataFolder() const { return path_ / "data" / "Vesk"; }

private:
    std::filesystem::path path_;
};

// The benchmarks of the real window need a display; without one they say how to get it.
inline bool hasDisplay() {
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
        return true;
    std::fprintf(stderr, "This benchmark needs a display: run it under xvfb-run.\n");
    return false;
}

} // namespace vesk
