#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BrowsingServerPages.h"
#include "GuiTest.h"
#include "HistoryFile.h"
#include "TestServer.h"

namespace vesk::test {

// One page event as a tab's web view delivered it.
struct PageEvent {
    enum class Kind { Finished, Failed, FailedProvisional, ProcessEnded };
    Kind kind;
    std::optional<std::string> url;
    std::optional<std::string> title;
    int errorCode = 0;
};

// The page events of one tab, in order, recorded on their way to the delegate.
struct PageEventLog {
    std::vector<PageEvent> events;
    int count(PageEvent::Kind kind) const;
    const PageEvent* last(PageEvent::Kind kind) const;
};

// The real window, in a fresh home, with a test server on 127.0.0.1.
class BrowsingFixture : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The user types `text` into the address field and presses Return.
    void typeAndReturn(const std::string& text);
    // The user types `text` into the address field without ending the editing.
    void type(const std::string& text);
    // Moves the keyboard focus into the tab's page, as a click into it does.
    void clickIntoPage(Tab& tab);
    // Whether the keyboard focus is in the address field.
    bool addressFieldHasFocus() const;
    // Routes the tab's page events to the delegate through a log, so tests see
    // exactly what the web view delivered.
    std::shared_ptr<PageEventLog> observe(Tab& tab);
    // Waits until the tab's button shows `label`.
    bool waitForLabel(Tab& tab, const std::string& label);
    // Types a page's address, presses Return and waits for the tab's title.
    void loadAndWait(const std::string& path, const std::string& label);
    // Lets late engine events arrive.
    void settle();

    Tab& tab(std::size_t index) { return *app->tabs.at(index); }
    static std::string label(Tab& tab) { return tab.btn->get_label(); }
    std::string addressText() const { return app->addr->get_text(); }
    // The history file's entries, for tests that expect no page recorded.
    std::vector<StoredHistoryEntry> history() { return readHistoryFile(home->dataDir()); }
    // The history file's entries, for tests that expect pages recorded: when
    // the store has written no file at all, the test fails here and says so.
    std::vector<StoredHistoryEntry> recordedHistory();

    std::unique_ptr<TestServer> server;
};

} // namespace vesk::test
