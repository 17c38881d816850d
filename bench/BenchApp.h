#pragma once

#include <chrono>
#include <functional>

#include <glibmm/main.h>
#include <gtkmm/application.h>

namespace vesk {

// Runs the main loop until `isDone` or `limit` passes; false on the timeout.
inline bool pumpUntil(const std::function<bool()>& isDone, std::chrono::milliseconds limit) {
    auto context = Glib::MainContext::get_default();
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!isDone()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        auto tick = Glib::signal_timeout().connect([] { return false; }, 2);
        context->iteration(true);
        tick.disconnect();
    }
    return true;
}

// Runs the main loop for a while, so layout, drawing and fades catch up.
inline void pump(std::chrono::milliseconds duration) {
    pumpUntil([] { return false; }, duration);
}

// Runs `body` inside a running application, as the window benchmarks need;
// its answer is the program's exit status.
inline int runInApplication(const char* id, const std::function<int(Gtk::Application&)>& body) {
    int result = 1;
    auto app = Gtk::Application::create(id, Gio::Application::Flags::NON_UNIQUE);
    app->signal_activate().connect([&] {
        app->hold();
        result = body(*app);
        app->release();
        app->quit();
    });
    app->run(0, nullptr);
    return result;
}

} // namespace vesk
