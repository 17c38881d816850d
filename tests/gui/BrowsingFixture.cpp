#include "BrowsingFixture.h"

#include <webkit/webkit.h>

#include "platform/WebView.h"

namespace vesk::test {

int PageEventLog::count(PageEvent::Kind kind) const {
    int n = 0;
    for (const auto& e : events)
        n += e.kind == kind ? 1 : 0;
    return n;
}

const PageEvent* PageEventLog::last(PageEvent::Kind kind) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if (it->kind == kind)
            return &*it;
    return nullptr;
}

void BrowsingFixture::SetUp() {
    GuiTest::SetUp();
    server = std::make_unique<TestServer>();
}

void BrowsingFixture::TearDown() {
    // The web views go before the server that may still be answering them.
    GuiTest::TearDown();
    server.reset();
}

void BrowsingFixture::type(const std::string& text) {
    app->addr->grab_focus();
    app->addr->set_text(text);
}

void BrowsingFixture::typeAndReturn(const std::string& text) {
    type(text);
    g_signal_emit_by_name(app->addr->gobj(), "activate");
}

void BrowsingFixture::clickIntoPage(Tab& t) {
    ASSERT_TRUE(gtk_widget_grab_focus(GTK_WIDGET(t.web->raw())));
}

bool BrowsingFixture::addressFieldHasFocus() const {
    for (Gtk::Widget* w = app->window->get_focus(); w; w = w->get_parent())
        if (w == app->addr)
            return true;
    return false;
}

std::shared_ptr<PageEventLog> BrowsingFixture::observe(Tab& tab) {
    auto log = std::make_shared<PageEventLog>();
    AppDelegate* delegate = app.get();
    using Kind = PageEvent::Kind;
    tab.web->setCallbacks({
        .didFinishNavigation =
            [delegate, log](WebView& v) {
                log->events.push_back({Kind::Finished, v.url(), v.title()});
                delegate->didFinishNavigation(v);
            },
        .didFailNavigation =
            [delegate, log](WebView& v, int code) {
                log->events.push_back({Kind::Failed, v.url(), v.title(), code});
                delegate->didFailNavigation(v, code);
            },
        .didFailProvisionalNavigation =
            [delegate, log](WebView& v, int code) {
                log->events.push_back({Kind::FailedProvisional, v.url(), v.title(), code});
                delegate->didFailProvisionalNavigation(v, code);
            },
        .webProcessTerminated =
            [delegate, log](WebView& v) {
                log->events.push_back({Kind::ProcessEnded, v.url(), v.title()});
                delegate->webProcessTerminated(v);
            },
    });
    return log;
}

bool BrowsingFixture::waitForLabel(Tab& t, const std::string& expected) {
    return waitUntil([&] { return label(t) == expected; });
}

void BrowsingFixture::loadAndWait(const std::string& path, const std::string& expected) {
    Tab* current = app->currentTab();
    ASSERT_NE(current, nullptr);
    typeAndReturn(server->url(path));
    ASSERT_TRUE(waitForLabel(*current, expected))
        << path << " never finished; the tab shows " << label(*current);
}

std::vector<StoredHistoryEntry> BrowsingFixture::recordedHistory() {
    if (!std::filesystem::exists(home->dataDir() / "Vesk" / "history.plist"))
        ADD_FAILURE() << "no history file: the store recorded no finished page";
    return history();
}

void BrowsingFixture::settle() {
    pump(std::chrono::milliseconds(400));
}

} // namespace vesk::test
