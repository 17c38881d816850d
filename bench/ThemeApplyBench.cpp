// The cost of one theme apply with 1, 10 and 50 tabs open, in the real
// window: the apply itself, and the apply up to the next painted frame
// (the toolkit restyles and repaints lazily). Needs a display: run it under
// xvfb-run.
#include <chrono>
#include <cstdio>
#include <memory>

#include <benchmark/benchmark.h>
#include <gdkmm/frameclock.h>
#include <glibmm/main.h>

#include "BenchApp.h"
#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/TabsController.h"
#include "theme/ThemeController.h"

namespace {

vesk::AppDelegate* gApp = nullptr;

void ensureTabs(std::size_t count) {
    while (gApp->tabs().size() < count)
        gApp->tabs().addNewTab();
    vesk::pump(std::chrono::milliseconds(200));
}

void waitForPaint() {
    bool painted = false;
    auto clock = gApp->window().window().get_frame_clock();
    auto c = clock->signal_paint().connect([&] { painted = true; });
    gApp->window().window().queue_draw();
    auto context = Glib::MainContext::get_default();
    while (!painted)
        context->iteration(true);
    c.disconnect();
}

const char* const kThemes[] = {"ocean", "sunset", "dark", "light"};

void BM_ThemeApply(benchmark::State& state) {
    ensureTabs(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        gApp->theme().applyThemeNamed(kThemes[i++ % 4], std::nullopt, std::nullopt,
                                      vesk::SaveTheme::No);
    waitForPaint();
}

void BM_ThemeApplyToNextFrame(benchmark::State& state) {
    ensureTabs(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        gApp->theme().applyThemeNamed(kThemes[i++ % 4], std::nullopt, std::nullopt,
                                      vesk::SaveTheme::No);
        waitForPaint();
    }
}

BENCHMARK(BM_ThemeApply)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ThemeApplyToNextFrame)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vesk::runInApplication("org.vesk.ThemeBench", [](Gtk::Application& app) {
        auto delegate = std::make_unique<vesk::AppDelegate>(vesk::AppOptions{"", {}});
        delegate->applicationDidFinishLaunching(&app);
        gApp = delegate.get();
        vesk::pump(std::chrono::milliseconds(300));
        benchmark::RunSpecifiedBenchmarks();
        return 0;
    });
    benchmark::Shutdown();
    return 0;
}
