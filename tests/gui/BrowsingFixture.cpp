#include "BrowsingFixture.h"

namespace vesk::test {

void BrowsingFixture::SetUp() {
    GuiTest::SetUp();
    server = std::make_unique<TestServer>();
}

void BrowsingFixture::TearDown() {
    // The web views go before the server that may still be answering them.
    GuiTest::TearDown();
    server.reset();
}

void BrowsingFixture::typeAndReturn(const std::string& text) {
    app->addr->grab_focus();
    app->addr->set_text(text);
    g_signal_emit_by_name(app->addr->gobj(), "activate");
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

} // namespace vesk::test
