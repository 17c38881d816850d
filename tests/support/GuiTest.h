#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <gtkmm/application.h>

#include "app/AppDelegate.h"
#include "platform/ConstraintView.h"

namespace vesk::test {

// The running test application; GUI tests run inside its activation.
Gtk::Application& testApplication();

// Runs the main loop until `done` holds or the time runs out; returns whether it held.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Runs the main loop for a while, letting animations and layout settle.
void pump(std::chrono::milliseconds duration);

// A fresh temporary folder used as HOME and the XDG data and config homes for
// one test; removed afterwards.
class TempHome {
public:
    TempHome();
    ~TempHome();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path dataDir() const { return path_ / "data"; }
    std::filesystem::path configDir() const { return path_ / "config"; }

private:
    std::filesystem::path path_;
    std::string oldHome_, oldData_, oldConfig_;
};

// A fixture that starts the real application window in a fresh home. The
// home page is empty by default, so start-up loads nothing at all.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the delegate; tests that need other options call it themselves.
    void launch(AppOptions options = AppOptions{""});
    // The frame the layout gave the widget, in the glass's coordinates.
    Gdk::Rectangle frameOf(Gtk::Widget& widget);
    // Resizes the window and waits for the layout to follow.
    void resizeWindow(int width, int height);

    std::unique_ptr<TempHome> home;
    std::unique_ptr<AppDelegate> app;
};

} // namespace vesk::test
