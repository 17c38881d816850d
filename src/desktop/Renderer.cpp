#include "desktop/Renderer.h"

#include <string>
#include <string_view>
#include <system_error>

#include <glib.h>
#include <unistd.h>

namespace vesk {

namespace {

bool usable(const std::filesystem::path& device) {
    return access(device.c_str(), R_OK | W_OK) == 0;
}

// The engine's own switches for how it draws; a user who sets any of them
// has chosen.
constexpr std::string_view kEngineDrawingVariables[] = {
    "WEBKIT_DISABLE_COMPOSITING_MODE",  "WEBKIT_FORCE_COMPOSITING_MODE",
    "WEBKIT_DISABLE_DMABUF_RENDERER",   "WEBKIT_DMABUF_RENDERER_FORCE_SHM",
    "WEBKIT_SKIA_ENABLE_CPU_RENDERING",
};

bool isSet(const char* name) {
    const char* value = g_getenv(name);
    return value && *value;
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

bool userChosePageDrawing() {
    if (isSet("GSK_RENDERER"))
        return true;
    for (std::string_view name : kEngineDrawingVariables)
        if (isSet(std::string(name).c_str()))
            return true;
    return false;
}

PageDrawing choosePageDrawing(const std::filesystem::path& devices) {
    if (userChosePageDrawing() || hasGraphicsDevice(devices))
        return PageDrawing::EngineDefault;
    return PageDrawing::WithoutAcceleration;
}

void chooseRenderer(Gdk::Display& display, const std::filesystem::path& devices) {
    if (isSet("GSK_RENDERER") || hasGraphicsDevice(devices))
        return;
    // GTK asks the display before its own choice; the windows realised from now on draw with cairo.
    g_object_set_data_full(G_OBJECT(display.gobj()), "gsk-renderer", g_strdup("cairo"), g_free);
}

} // namespace vesk
