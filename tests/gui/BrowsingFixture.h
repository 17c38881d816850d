#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BrowsingServerPages.h"
#include "GuiTest.h"
#include "HistoryFile.h"
#include "TestServer.h"

namespace vesk::test {

// The real window, in a fresh home, with a test server on 127.0.0.1.
class BrowsingFixture : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The user types `text` into the address field and presses Return.
    void typeAndReturn(const std::string& text);
    bool waitForLabel(Tab& tab, const std::string& expected);
    // Types a page's address, presses Return and waits for the tab's title.
    void loadAndWait(const std::string& path, const std::string& expected);
    // Lets late engine events arrive.
    void settle() { pump(std::chrono::milliseconds(400)); }

    Tab& tab(std::size_t index) { return *app->tabs.at(index); }
    static std::string label(Tab& tab) { return tab.btn->get_label(); }
    std::string addressText() const { return app->addr->get_text(); }
    std::vector<StoredHistoryEntry> history() { return readHistoryFile(home->dataDir()); }

    std::unique_ptr<TestServer> server;
};

} // namespace vesk::test
