#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BrowsingServerPages.h"
#include "GuiTest.h"
#include "StoredFiles.h"
#include "TestServer.h"

namespace vesk::test {

// The real window, in a fresh home, with a test server on 127.0.0.1.
class BrowsingFixture : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        server = std::make_unique<TestServer>();
    }
    void TearDown() override {
        // The web views go before the server that may still be answering them.
        GuiTest::TearDown();
        server.reset();
    }

    // The user types `text` into the address field and presses Return.
    void typeAndReturn(const std::string& text) {
        addressEntry().grab_focus();
        addressEntry().set_text(text);
        pressReturn();
    }
    void pressReturn() { g_signal_emit_by_name(addressEntry().gobj(), "activate"); }
    bool waitForTitle(Tab& tab, const std::string& title) {
        return waitUntil([&] { return tab.title() == title; });
    }
    // Loads a server page through the address field and waits for the current tab's title.
    void loadAndWait(const std::string& path, const std::string& title) {
        Tab& current = *app->currentTab();
        typeAndReturn(server->url(path));
        ASSERT_TRUE(waitForTitle(current, title)) << path << " never finished";
    }
    // Loads an address where nothing listens, lets the engine's error page show and
    // returns the address.
    std::string loadRefused() {
        const std::string address = refusedAddress();
        typeAndReturn(address);
        EXPECT_TRUE(waitUntil([&] { return web().url() == address && !web().isLoading(); }));
        settle();
        return address;
    }
    // Lets late engine events arrive.
    void settle() { pump(std::chrono::milliseconds(400)); }

    Gtk::MessageDialog* alert() { return app->window().alerts().openAlert(); }
    // Presses the open alert's button with `label`.
    void answerAlert(const std::string& label) {
        ASSERT_NE(alert(), nullptr);
        for (auto* button : descendants<Gtk::Button>(*alert()))
            if (button->get_label().raw() == label)
                return click(*button);
        ADD_FAILURE() << "no alert button " << label;
    }

    WebView& web() { return app->currentTab()->web(); }
    std::string addressText() { return addressEntry().get_text(); }
    std::vector<StoredHistoryEntry> history() { return readHistoryFile(home->dataDir()); }

    std::unique_ptr<TestServer> server;
};

} // namespace vesk::test
