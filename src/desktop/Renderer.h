#pragma once

#include <filesystem>

#include <gdkmm/display.h>

namespace vesk {

// Whether this machine has a graphics device that GL can draw with: a render
// node under `devices`/dri (the open drivers), or NVIDIA's own device.
bool hasGraphicsDevice(const std::filesystem::path& devices = "/dev");

// Chooses how the display's windows are drawn, before the first is shown.
// Without a graphics device GL is drawn by the processor, and its shader
// compiler costs tens of megabytes and tens of milliseconds at the first frame
// to draw the chrome no better than cairo does, so cairo draws it. A renderer
// named in GSK_RENDERER is the user's choice and stands.
void chooseRenderer(Gdk::Display& display, const std::filesystem::path& devices = "/dev");

// How web pages are drawn.
enum class PageDrawing {
    // As the engine decides.
    EngineDefault,
    // In the processor, without a GL context in the web process.
    WithoutAcceleration,
};

// Whether the user chose how pages are drawn through the environment: a
// renderer for the window, or one of the engine's own drawing switches.
bool userChosePageDrawing();

// Without a graphics device the web processes' GL would be Mesa's software
// renderer, which maps some 80 MB into every process the first time its page
// is drawn, for pages that look the same drawn without it. The user's choice
// in the environment stands.
PageDrawing choosePageDrawing(const std::filesystem::path& devices = "/dev");

} // namespace vesk
