// The widget side of tabs: opening, switching and closing fifty tabs in the
// real window. It needs a display (run it under xvfb-run). Pages are
// about:blank, loaded directly, so nothing leaves the machine. Real time
// includes WebKit's synchronous work in this process; CPU time is this
// process's own.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gdkmm/frameclock.h>
#include <glibmm/main.h>
#include <gtkmm/application.h>
#include <unistd.h>

#include "BenchApp.h"
#include "BenchHome.h"
#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/TabsController.h"
#include "engine/WebView.h"
#include "store/SessionFile.h"
#include "widgets/ConstraintView.h"

namespace {

constexpr int kTabs = 50;

vesk::AppDelegate* gApp = nullptr;

// Resident memory of this process in MiB, from /proc/self/status.
double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0.0;
}

using vesk::pump;

void click(Gtk::Button& button) {
    g_signal_emit_by_name(button.gobj(), "clicked");
}

// Each iteration opens one tab, the way the new-tab button does, and then
// loads about:blank in it. The click is what is timed; the load call, in which
// WebKit starts the tab's web process and waits for it, is reported apart.
void openTab(benchmark::State& state) {
    double loadMs = 0.0;
    for (auto _ : state) {
        click(gApp->window().toolbar().newTab());
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        gApp->tabs().at(gApp->tabs().size() - 1).web().loadURL("about:blank");
        loadMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        pump(std::chrono::milliseconds(20));
        state.ResumeTiming();
    }
    state.counters["load_call_ms"] = benchmark::Counter(loadMs, benchmark::Counter::kAvgIterations);
    state.counters["tabs"] = static_cast<double>(gApp->tabs().size());
    state.counters["rss_MiB"] = residentMiB();
}

// Each iteration clicks the title of another tab.
void switchTab(benchmark::State& state) {
    std::size_t next = 0;
    for (auto _ : state) {
        click(gApp->tabs().at(next % gApp->tabs().size()).titleButton());
        next += 7;
        state.PauseTiming();
        pump(std::chrono::milliseconds(20));
        state.ResumeTiming();
    }
    state.counters["rss_MiB"] = residentMiB();
}

// Each iteration closes the selected last tab, the path that rebuilds the
// strip and selects a neighbour.
void closeTab(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        click(gApp->tabs().at(gApp->tabs().size() - 1).titleButton());
        pump(std::chrono::milliseconds(20));
        state.ResumeTiming();
        click(gApp->tabs().at(gApp->tabs().size() - 1).closeButton());
        state.PauseTiming();
        pump(std::chrono::milliseconds(20));
        state.ResumeTiming();
    }
    state.counters["tabs"] = static_cast<double>(gApp->tabs().size());
}

// Restores a session of state.range(0) tabs into the window, as a start after a
// crash does: the time of the restore call, then of the window's next frame. Only
// the selected tab's page is made; the others wait until they are first selected.
// Addresses are on a port of 127.0.0.1 where nothing listens.
std::size_t gRestored = 0;
void restoreSession(benchmark::State& state) {
    vesk::SessionState session;
    for (int i = 0; i < state.range(0); ++i)
        session.tabs.push_back({"http://127.0.0.1:9/page-" + std::to_string(i), ""});
    session.selectedIndex = session.tabs.size() - 1;
    double frameMs = 0.0;
    for (auto _ : state) {
        gApp->tabs().restore(session);
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        bool drawn = false;
        auto clock = gApp->window().window().get_frame_clock();
        auto once = clock->signal_paint().connect([&] { drawn = true; });
        while (!drawn)
            g_main_context_iteration(nullptr, TRUE);
        once.disconnect();
        frameMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        gRestored += session.tabs.size();
        state.ResumeTiming();
    }
    state.counters["next_frame_ms"] =
        benchmark::Counter(frameMs, benchmark::Counter::kAvgIterations);
    state.counters["rss_MiB"] = residentMiB();
}

BENCHMARK(openTab)->Iterations(kTabs)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(switchTab)->Iterations(kTabs)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(closeTab)->Iterations(kTabs)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(restoreSession)
    ->Arg(300)
    ->Arg(1000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!vesk::hasDisplay())
        return 1;
    const vesk::BenchHome home("vesk-tabs-bench");
    if (!home.isMade())
        return 1;

    const int result =
        vesk::runInApplication("org.vesk.TabsBench", [](Gtk::Application& application) {
            int status = 0;
            {
                // An empty home page: start-up loads nothing.
                auto app = std::make_unique<vesk::AppDelegate>(vesk::AppOptions{"", {}});
                app->applicationDidFinishLaunching(&application);
                pump(std::chrono::milliseconds(500));
                gApp = app.get();

                const double before = residentMiB();
                benchmark::RunSpecifiedBenchmarks();
                pump(std::chrono::seconds(1));
                const double after = residentMiB();
                std::printf("resident memory: %.1f MiB before opening, %.1f MiB after closing; "
                            "%zu tab(s) left\n",
                            before, after, app->tabs().size());
                if (app->tabs().size() != 1 + gRestored)
                    status = 1;
                gApp = nullptr;
            }
            pump(std::chrono::milliseconds(50));
            return status;
        });
    benchmark::Shutdown();
    return result;
}
