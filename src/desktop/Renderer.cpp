#include "desktop/Renderer.h"

#include <string_view>
#include <system_error>

#include <glib.h>
#include <unistd.h>

namespace vesk {

namespace {

bool usable(const std::filesystem::path& device) {
    return access(device.c_str(), R_OK | W_OK) == 0;
}

} // namespace

bool hasGraphicsDevice(const std::filesystem::path& devices) {
    if (usable(devices / "nvidia0"))
        return true;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devices / "dri", error)) {
        const std::string name = entry.path().filename().string();
        if (std::string_view(name).starts_with("renderD") && usable(entry.path()))
            return true;
    }
    return false;
}

void chooseRenderer(Gdk::Display& display, const std::filesystem::path& devices) {
    const char* chosen = g_getenv("GSK_RENDERER");
    if ((chosen && *chosen) || hasGraphicsDevice(devices))
        return;
    // GTK asks the display before its own choice; the windows realised from now on draw with cairo.
    g_object_set_data_full(G_OBJECT(display.gobj()), "gsk-renderer", g_strdup("cairo"), g_free);
}

} // namespace vesk
