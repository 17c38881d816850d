#include "BrowsingFixture.h"

#include <webkit/webkit.h>

// The back, forward and zoom buttons acting on the current tab's real web view.

namespace vesk::test {
namespace {

class NavigationControlsTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        for (const std::string name : {"Alpha", "Bravo", "Charlie"})
            server->addPage("/" + name, htmlPage(name));
    }

    // Presses a toolbar button and waits for the current tab to show `name`'s page.
    void pressAndExpect(Gtk::Button& button, const std::string& name) {
        click(button);
        ASSERT_TRUE(waitForTitle(*app->currentTab(), name)) << "never reached " << name;
        EXPECT_EQ(web().url(), server->url("/" + name));
        EXPECT_EQ(addressText(), server->url("/" + name));
    }
};

// The error page of a load refused before any of its page arrived was never a
// page the user reached, so Back and Forward pass over it.
TEST_F(NavigationControlsTest, BackAndForwardMoveBetweenReachedPages) {
    launch();
    loadAndWait("/Alpha", "Alpha");
    loadAndWait("/Bravo", "Bravo");
    loadRefused();
    loadAndWait("/Charlie", "Charlie");
    pressAndExpect(toolbar().back(), "Bravo");
    pressAndExpect(toolbar().back(), "Alpha");
    pressAndExpect(toolbar().forward(), "Bravo");
    pressAndExpect(toolbar().forward(), "Charlie");
    settle();

    // Each step is a finished navigation of its own, newest first.
    std::vector<std::string> urls;
    for (const auto& entry : history())
        urls.push_back(entry.url.value_or("?"));
    std::vector<std::string> expected;
    for (const char* name : {"Charlie", "Bravo", "Alpha", "Bravo", "Charlie", "Bravo", "Alpha"})
        expected.push_back(server->url(std::string("/") + name));
    EXPECT_EQ(urls, expected);
}

TEST_F(NavigationControlsTest, ZoomStopsAtAFloorAndBelongsToEachTab) {
    launch();
    Tab& first = tab(0);
    loadAndWait("/Alpha", "Alpha");
    click(toolbar().zoomIn());
    click(toolbar().zoomIn());

    app->addNewTab();
    WebView& second = tab(1).web();
    EXPECT_EQ(second.magnification(), 1.0) << "a new tab starts at the default";
    for (int i = 0; i < 12; ++i)
        click(toolbar().zoomOut());
    EXPECT_EQ(second.magnification(), 0.2);
    click(toolbar().zoomIn());
    EXPECT_NEAR(second.magnification(), 0.3, 1e-9);

    // The first tab keeps its own factor, through a load too, in the engine itself.
    click(first.titleButton());
    loadAndWait("/Bravo", "Bravo");
    EXPECT_NEAR(webkit_web_view_get_zoom_level(first.web().raw()), 1.2, 1e-9);
}

} // namespace
} // namespace vesk::test
