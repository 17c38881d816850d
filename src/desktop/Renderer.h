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

} // namespace vesk
