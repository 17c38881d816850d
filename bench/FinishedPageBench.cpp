// The UI thread's share of every finished page: the time from the web view's finished
// event to the return to the main loop (the history entry recorded, the tab's title and
// the address field set), with a full history of 200 entries already on disk. Pages come
// from a local server on 127.0.0.1. At the end the history file must hold every page.
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
#include <plist/plist.h>

#include "BenchApp.h"
#include "BenchHome.h"
#include "TestServer.h"
#include "app/AppDelegate.h"
#include "app/TabsController.h"
#include "store/PlistData.h"
#include "store/VeskStore.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

AppDelegate* gApp = nullptr;
test::TestServer* gServer = nullptr;
std::vector<std::string> gLoaded;

constexpr int kPages = 150;

std::string pagePath(int n) {
    return "/page-" + std::to_string(n);
}

// A full history as the store writes it: 200 entries of realistic length.
void writeFullHistory(const fs::path& folder) {
    PlistPtr list(plist_new_array());
    for (int i = 0; i < static_cast<int>(VeskStore::historyLimit); ++i) {
        const std::string url = "https://www.example" + std::to_string(i % 37) +
                                ".com/articles/2024/some-longer-path-" + std::to_string(i);
        const std::string title =
            "An article title of ordinary length, number " + std::to_string(i) + " – Example News";
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "url", plist_new_string(url.c_str()));
        plist_dict_set_item(entry, "title", plist_new_string(title.c_str()));
        plist_dict_set_item(entry, "date", plist_new_real(1712345678.25 - i * 60.5));
        plist_array_append_item(list.get(), entry);
    }
    const std::string xml = plistToXml(list.get());
    fs::create_directories(folder);
    g_file_set_contents((folder / VeskStore::historyFileName).c_str(), xml.c_str(),
                        static_cast<gssize>(xml.size()), nullptr);
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

void BM_FinishedPage(benchmark::State& state) {
    Tab& tab = *gApp->tabs().current();
    std::vector<double> millis;
    bool isFinished = false;
    // The last listener: the page has finished loading for real.
    auto done = tab.web().signalFinished().connect([&](const FinishedPage&) { isFinished = true; });
    int page = 0;
    for (auto _ : state) {
        isFinished = false;
        const std::string url = gServer->url(pagePath(page++ % kPages));
        tab.web().loadURL(url);
        if (!pumpUntil([&] { return isFinished; }, std::chrono::seconds(10))) {
            state.SkipWithError("a page did not finish");
            break;
        }
        // Every listener's work for a finished page, timed alone: the page's event
        // again, as the engine delivered it, without the load around it.
        const FinishedPage finished{url, tab.web().title()};
        const auto start = Clock::now();
        tab.web().signalFinished().emit(finished);
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        gLoaded.push_back(url);
        state.SetIterationTime(millis.back() / 1000.0);
    }
    done.disconnect();
    reportPercentiles(state, std::move(millis));
}
BENCHMARK(BM_FinishedPage)->Iterations(kPages)->Unit(benchmark::kMillisecond)->UseManualTime();

// Whether the history file, read afresh, holds every page loaded, newest first.
bool historyHoldsLoadedPages() {
    VeskStore::shared().writePending(std::chrono::seconds(5));
    std::vector<std::string> stored;
    for (const HistoryEntry& entry : VeskStore(VeskStore::shared().paths()).loadHistory())
        stored.push_back(entry.url.value_or(""));
    std::vector<std::string> expected(gLoaded.rbegin(), gLoaded.rend());
    const bool isHeld = stored.size() >= expected.size() &&
                        std::equal(expected.begin(), expected.end(), stored.begin());
    std::printf("History file holds the %zu pages loaded: %s\n", expected.size(),
                isHeld ? "yes" : "NO");
    return isHeld;
}

} // namespace
} // namespace vesk

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!vesk::hasDisplay())
        return 1;
    // The benchmark writes a history file.
    const vesk::BenchHome home("vesk-finished-bench");
    if (!home.isMade())
        return 1;
    const std::filesystem::path folder = home.dataFolder();
    vesk::writeFullHistory(folder);

    const int result = vesk::runInApplication("org.vesk.FinishedBench", [&](Gtk::Application& app) {
        vesk::test::TestServer server;
        for (int i = 0; i < vesk::kPages; ++i)
            server.addPage(vesk::pagePath(i),
                           vesk::test::htmlPage("Finished page " + std::to_string(i)));
        vesk::AppDelegate delegate(vesk::AppOptions{"about:blank", {}});
        delegate.applicationDidFinishLaunching(&app);
        vesk::gApp = &delegate;
        vesk::gServer = &server;
        vesk::pump(std::chrono::milliseconds(300));
        benchmark::RunSpecifiedBenchmarks();
        const int status = vesk::historyHoldsLoadedPages() ? 0 : 1;
        vesk::gApp = nullptr;
        vesk::gServer = nullptr;
        return status;
    });
    benchmark::Shutdown();
    return result;
}
