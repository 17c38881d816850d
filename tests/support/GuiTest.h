#pragma once

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <gtkmm/application.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/TabsController.h"
#include "history/HistoryController.h"
#include "passwords/PasswordsController.h"
#include "theme/ThemeController.h"
#include "widgets/ConstraintView.h"

namespace vesk::test {

// The selected tab's index, -1 for none.
inline std::int64_t activeIndexOf(const TabsController& tabs) {
    const std::optional<std::size_t> index = tabs.model().selectedIndex();
    return index ? static_cast<std::int64_t>(*index) : -1;
}

// The running test application; GUI tests run inside its activation.
Gtk::Application& testApplication();

// Runs the main loop until `done` holds or the time runs out; returns whether it held.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Runs what the main loop has ready now, such as idle callbacks, without waiting for timers.
void runPending();
// Runs what is ready, then waits until `widget`'s window has laid out and drawn the result.
bool waitForRedraw(Gtk::Widget& widget);

// Turns GTK's animations on for one scope; the tests otherwise run with them off, so that a
// transition ends as soon as it starts.
class AnimationsOn {
public:
    AnimationsOn();
    ~AnimationsOn();
    AnimationsOn(const AnimationsOn&) = delete;
    AnimationsOn& operator=(const AnimationsOn&) = delete;
};
// GNOME's interface settings (the desktop's light or dark choice among them), kept in
// this process's memory; nothing, and a failure, when settings were used before.
GSettings* desktopSettingsInMemory();

// Every widget of type T below `root`, depth first, in child order.
template <typename T> std::vector<T*> descendants(Gtk::Widget& root) {
    std::vector<T*> found;
    for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
        if (auto* match = dynamic_cast<T*>(child))
            found.push_back(match);
        for (T* below : descendants<T>(*child))
            found.push_back(below);
    }
    return found;
}

// Clicks a button at once (a key press would click it only after its pressed look).
inline void click(Gtk::Button& button) {
    g_signal_emit_by_name(button.gobj(), "clicked");
}

// Whether two colours agree to within the precision of text attributes.
inline bool nearColor(const Gdk::RGBA& a, const Gdk::RGBA& b) {
    constexpr double tolerance = 2.0 / 65535.0;
    return std::abs(a.get_red() - b.get_red()) <= tolerance &&
           std::abs(a.get_green() - b.get_green()) <= tolerance &&
           std::abs(a.get_blue() - b.get_blue()) <= tolerance &&
           std::abs(a.get_alpha() - b.get_alpha()) <= tolerance;
}

// A fresh temporary folder used as HOME, the XDG data and config homes and the
// shared store's folders (AppPaths::under) for one test; removed afterwards.
class TempHome {
public:
    TempHome();
    ~TempHome();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path dataDir() const { return path_ / "data"; }
    std::filesystem::path configDir() const { return path_ / "config"; }

private:
    std::filesystem::path path_;
};

// A fixture that starts the real application window in a fresh home. The
// home page is empty by default, so start-up loads nothing at all.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the delegate; tests that need other options call it themselves.
    void launch(AppOptions options = AppOptions{"", {}});
    // The frame the layout gave the widget, in the glass's coordinates.
    Gdk::Rectangle frameOf(Gtk::Widget& widget);
    // Resizes the window and waits for the layout to follow.
    void resizeWindow(int width, int height);
    // Lets what the last action queued run, and the window show its outcome.
    void waitForRedraw() {
        ASSERT_TRUE(test::waitForRedraw(window())) << "the window stopped drawing";
    }

    // The running window's parts.
    Gtk::Window& window() { return app->window().window(); }
    ConstraintView& glass() { return app->window().glass(); }
    Toolbar& toolbar() { return app->window().toolbar(); }
    Gtk::Entry& addressEntry() { return app->window().addressField().widget(); }
    Tab& tab(std::size_t index) { return app->tabs().at(index); }

    std::unique_ptr<TempHome> home;
    std::unique_ptr<AppDelegate> app;
};

} // namespace vesk::test
