// One keystroke in the history panel's search field, with a full history of 200
// entries: the time from the text change to the rebuilt list (the history file read
// again and filtered, rows shown or hidden), and the same with the list's layout measured.
// It needs a display: run it under Xvfb, like the GUI tests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <glib.h>
#include <glibmm/main.h>
#include <gtkmm/application.h>
#include <gtkmm/scrolledwindow.h>

#include "BenchApp.h"
#include "BenchHome.h"
#include "app/AppDelegate.h"
#include "history/HistoryController.h"
#include "history/HistoryPanel.h"
#include "store/VeskStore.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

AppDelegate* gApp = nullptr;

// A full history of ordinary pages; `hugeTitleBytes` gives one entry a title that long.
void writeFullHistory(std::size_t hugeTitleBytes) {
    VeskStore& store = VeskStore::shared();
    store.clearHistory();
    for (int i = static_cast<int>(VeskStore::historyLimit) - 1; i >= 0; --i) {
        const std::string url = "https://www.example" + std::to_string(i % 37) +
                                ".com/articles/2024/some-longer-path-" + std::to_string(i) +
                                "?ref=home&page=" + std::to_string(i);
        std::string title =
            "An article title of ordinary length, number " + std::to_string(i) + " – Example News";
        if (i == 100 && hugeTitleBytes > 0)
            title = std::string(hugeTitleBytes, 'x') + " " + title;
        store.addHistory(url, title);
    }
}

// One keystroke typed into the field: a character added at the end, or the last one
// deleted. Typing "example news 1" and deleting it again goes from all 200 rows down
// to a few and back.
struct Keystroke {
    std::string typed; // empty for a backspace
};

std::vector<Keystroke> typingAndDeleting() {
    const std::string typed = "example news 1";
    std::vector<Keystroke> steps;
    for (char c : typed)
        steps.push_back({std::string(1, c)});
    for (std::size_t n = 0; n < typed.size(); ++n)
        steps.push_back({""});
    return steps;
}

void press(Gtk::Entry& field, const Keystroke& key) {
    int length = field.get_text_length();
    if (key.typed.empty())
        field.delete_text(length - 1, length);
    else
        field.insert_text(key.typed, static_cast<int>(key.typed.size()), length);
}

void reportPercentiles(benchmark::State& state, std::vector<double> millis) {
    if (millis.empty())
        return;
    std::sort(millis.begin(), millis.end());
    auto at = [&](double q) {
        return millis[std::min(millis.size() - 1, static_cast<std::size_t>(q * millis.size()))];
    };
    state.counters["median_ms"] = at(0.5);
    state.counters["p95_ms"] = at(0.95);
    state.counters["max_ms"] = millis.back();
}

enum class Layout { Skip, Measure };

// Opens the panel, if it is not open, with an empty search field.
Gtk::Entry& openPanelField() {
    if (!gApp->historyPanel().isOpen())
        gApp->history().toggleHistory();
    gApp->historyPanel().searchField()->set_text("");
    return *gApp->historyPanel().searchField();
}

// The open panel's list scroller.
Gtk::ScrolledWindow& listScroller() {
    Gtk::Widget& panel = *gApp->historyPanel().view();
    for (Gtk::Widget* child = panel.get_first_child(); child; child = child->get_next_sibling())
        if (auto* scroller = dynamic_cast<Gtk::ScrolledWindow*>(child))
            return *scroller;
    std::fprintf(stderr, "The history panel has no list scroller.\n");
    std::abort();
}

void runKeystrokes(benchmark::State& state, const std::vector<Keystroke>& steps, Layout layout) {
    Gtk::Entry& field = openPanelField();
    pump(std::chrono::milliseconds(300));
    std::vector<double> millis;
    std::size_t step = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        // The field's change notice rebuilds the list before the edit returns.
        press(field, steps[step++ % steps.size()]);
        if (layout == Layout::Measure) {
            // The list as its scroller holds it, at the scroller's width.
            Gtk::ScrolledWindow& scroller = listScroller();
            int minimum = 0, natural = 0, minBaseline = 0, natBaseline = 0;
            scroller.get_child()->measure(Gtk::Orientation::VERTICAL, scroller.get_width(), minimum,
                                          natural, minBaseline, natBaseline);
            benchmark::DoNotOptimize(natural);
        }
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        // Let the frame that shows the list go by, as between real keystrokes.
        state.PauseTiming();
        pump(std::chrono::milliseconds(2));
        state.ResumeTiming();
    }
    reportPercentiles(state, std::move(millis));
}

void BM_HistoryKeystroke(benchmark::State& state) {
    writeFullHistory(0);
    runKeystrokes(state, typingAndDeleting(), Layout::Skip);
}
BENCHMARK(BM_HistoryKeystroke)->Iterations(300)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HistoryKeystrokeWithLayout(benchmark::State& state) {
    writeFullHistory(0);
    runKeystrokes(state, typingAndDeleting(), Layout::Measure);
}
BENCHMARK(BM_HistoryKeystrokeWithLayout)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Every keystroke shows all 200 rows: a space typed (trimmed away) and deleted.
void BM_HistoryKeystrokeAllRows(benchmark::State& state) {
    writeFullHistory(0);
    runKeystrokes(state, {{" "}, {""}}, Layout::Measure);
}

// A page finishing while the panel is open: a new entry in front, the oldest one out.
void BM_HistoryPageFinished(benchmark::State& state) {
    writeFullHistory(0);
    openPanelField();
    pump(std::chrono::milliseconds(300));
    std::vector<double> millis;
    int page = 0;
    for (auto _ : state) {
        state.PauseTiming();
        VeskStore::shared().addHistory("https://new.example/page-" + std::to_string(page++),
                                       std::string("A page that just finished"));
        state.ResumeTiming();
        const auto start = Clock::now();
        gApp->history().rebuildHistoryPanel();
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        state.PauseTiming();
        pump(std::chrono::milliseconds(2));
        state.ResumeTiming();
    }
    reportPercentiles(state, std::move(millis));
}
BENCHMARK(BM_HistoryPageFinished)->Iterations(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HistoryKeystrokeAllRows)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Opening the panel on a full history: every row is made once.
void BM_HistoryOpen(benchmark::State& state) {
    writeFullHistory(0);
    gApp->historyPanel().close();
    std::vector<double> millis;
    for (auto _ : state) {
        const auto start = Clock::now();
        gApp->history().toggleHistory();
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        state.PauseTiming();
        gApp->historyPanel().close();
        pump(std::chrono::milliseconds(200));
        state.ResumeTiming();
    }
    reportPercentiles(state, std::move(millis));
}
BENCHMARK(BM_HistoryOpen)->Iterations(30)->Unit(benchmark::kMillisecond)->UseRealTime();

// One title of 4 MB among the 200: matched in full, shown shortened.
void BM_HistoryKeystrokeHugeTitle(benchmark::State& state) {
    writeFullHistory(4 * 1024 * 1024);
    runKeystrokes(state, typingAndDeleting(), Layout::Measure);
}
BENCHMARK(BM_HistoryKeystrokeHugeTitle)
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace vesk

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!vesk::hasDisplay())
        return 1;
    // The benchmark writes a history file.
    const vesk::BenchHome home("vesk-panels-bench");
    if (!home.isMade())
        return 1;

    const int result = vesk::runInApplication("org.vesk.PanelsBench", [](Gtk::Application& app) {
        vesk::AppDelegate delegate(vesk::AppOptions{"", {}});
        delegate.applicationDidFinishLaunching(&app);
        vesk::gApp = &delegate;
        vesk::pump(std::chrono::milliseconds(300));
        benchmark::RunSpecifiedBenchmarks();
        vesk::gApp = nullptr;
        return 0;
    });
    benchmark::Shutdown();
    return result;
}
