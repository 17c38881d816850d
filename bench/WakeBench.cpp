// How long a sleeping tab takes to show its page again: from the click that selects
// it to the moment its page is back at the scroll position it had. Pages of 200 KB
// come from a local server on 127.0.0.1; each wake starts a web process, reads the
// page from the HTTP cache and restores the saved state. It needs a display: run it
// under Xvfb, like the GUI tests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <gtkmm/application.h>
#include <webkit/webkit.h>

#include "BenchApp.h"
#include "BenchHome.h"
#include "TestServer.h"
#include "app/AppDelegate.h"
#include "app/SleepController.h"
#include "app/TabsController.h"
#include "engine/WebView.h"

namespace vesk {
namespace {

using Clock = std::chrono::steady_clock;

AppDelegate* gApp = nullptr;
test::TestServer* gServer = nullptr;

constexpr int kTabs = 6;
constexpr int kScrolledTo = 1500;

std::string pagePath(int n) {
    return "/page-" + std::to_string(n);
}

// A page of about 200 KB of text, tall enough to scroll.
std::string longPage(int n) {
    std::string body;
    while (body.size() < 200 * 1024)
        body += "<p>Paragraph of an ordinary article, long enough to wrap on a line or two, "
                "with nothing in it but words of the page number " +
                std::to_string(n) + ".</p>";
    return test::htmlPage("Page " + std::to_string(n), body);
}

// The value of `expression` in the page, as text; empty when it throws or times out.
std::string evaluate(WebView& web, const std::string& expression) {
    struct Answer {
        bool done = false;
        std::string text;
    };
    auto answer = std::make_shared<Answer>();
    webkit_web_view_evaluate_javascript(
        web.raw(), expression.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* view, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::shared_ptr<Answer>> held(
                static_cast<std::shared_ptr<Answer>*>(data));
            if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view),
                                                                             result, nullptr)) {
                char* text = jsc_value_to_string(value);
                (*held)->text = text ? text : "";
                g_free(text);
                g_object_unref(value);
            }
            (*held)->done = true;
        },
        new std::shared_ptr<Answer>(answer));
    pumpUntil([&] { return answer->done; }, std::chrono::seconds(5));
    return answer->text;
}

bool isScrolledBack(Tab& tab) {
    return tab.hasPage() && !tab.web().isLoading() &&
           evaluate(tab.web(), "String(window.scrollY)") == std::to_string(kScrolledTo);
}

void BM_WakeSleepingTab(benchmark::State& state) {
    TabsController& tabs = gApp->tabs();
    // Every tab loaded, scrolled, and then left: the first stays selected.
    for (int i = 1; i < kTabs; ++i) {
        tabs.open(gServer->url(pagePath(i)));
        Tab& tab = *tabs.current();
        pumpUntil(
            [&] {
                return !tab.web().isLoading() && tab.web().title() == "Page " + std::to_string(i);
            },
            std::chrono::seconds(10));
        evaluate(tab.web(), "window.scrollTo(0, " + std::to_string(kScrolledTo) + "); 0");
    }
    std::vector<double> millis;
    std::size_t next = 1;
    for (auto _ : state) {
        const std::size_t index = next;
        next = next % (kTabs - 1) + 1;
        tabs.select(0);
        Tab& tab = tabs.at(index);
        gApp->sleep().sleepNow(tabs.idOf(tab));
        if (!pumpUntil([&] { return !tab.hasPage(); }, std::chrono::seconds(5))) {
            state.SkipWithError("a tab did not go to sleep");
            break;
        }
        pump(std::chrono::milliseconds(100));
        const auto start = Clock::now();
        tabs.select(index);
        if (!pumpUntil([&] { return isScrolledBack(tab); }, std::chrono::seconds(10))) {
            state.SkipWithError("a woken tab did not come back at its scroll position");
            break;
        }
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        state.SetIterationTime(millis.back() / 1000.0);
    }
    if (millis.empty())
        return;
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
}
BENCHMARK(BM_WakeSleepingTab)->Iterations(20)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
} // namespace vesk

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!vesk::hasDisplay())
        return 1;
    const vesk::BenchHome home("vesk-wake-bench");
    if (!home.isMade())
        return 1;
    const int result = vesk::runInApplication("org.vesk.WakeBench", [&](Gtk::Application& app) {
        vesk::test::TestServer server;
        for (int i = 0; i < vesk::kTabs; ++i)
            server.addPage(vesk::pagePath(i), vesk::longPage(i));
        vesk::AppDelegate delegate(vesk::AppOptions{server.url(vesk::pagePath(0)), {}});
        delegate.applicationDidFinishLaunching(&app);
        vesk::gApp = &delegate;
        vesk::gServer = &server;
        vesk::pump(std::chrono::milliseconds(500));
        benchmark::RunSpecifiedBenchmarks();
        vesk::gApp = nullptr;
        vesk::gServer = nullptr;
        return 0;
    });
    benchmark::Shutdown();
    return result;
}
