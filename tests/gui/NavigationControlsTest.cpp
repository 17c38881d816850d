#include <webkit/webkit.h>

#include "BrowsingFixture.h"

// The back, forward and zoom buttons acting on the current tab's real web view.

namespace vesk::test {
namespace {

using NavigationControlsTest = BrowsingFixture;

// The error page of a load refused before any of its page arrived was never a
// page the user reached, so Back and Forward pass over it.
TEST_F(NavigationControlsTest, BackAndForwardMoveBetweenReachedPages) {
    launch();
    auto pressFor = [&](Gtk::Button& button, const std::string& name) {
        click(button);
        ASSERT_TRUE(waitForTitle(tab(0), name));
        EXPECT_EQ(web().url(), server->url("/" + name));
        EXPECT_EQ(addressText(), server->url("/" + name));
    };
    openPage("Alpha");
    openPage("Bravo");
    loadRefused();
    openPage("Charlie");
    pressFor(toolbar().back(), "Bravo");
    pressFor(toolbar().back(), "Alpha");
    pressFor(toolbar().forward(), "Bravo");
    pressFor(toolbar().forward(), "Charlie");
    settle();
    // Each step is a finished navigation of its own, newest first.
    EXPECT_EQ(recorded(),
              (Strings{"/Charlie Charlie", "/Bravo Bravo", "/Alpha Alpha", "/Bravo Bravo",
                       "/Charlie Charlie", "/Bravo Bravo", "/Alpha Alpha"}));
}

TEST_F(NavigationControlsTest, ZoomStopsAtAFloorAndBelongsToEachTab) {
    launch();
    Tab& first = tab(0);
    openPage("Alpha");
    click(toolbar().zoomIn());
    click(toolbar().zoomIn());
    app->tabs().addNewTab();
    WebView& second = tab(1).web();
    EXPECT_EQ(second.magnification(), 1.0) << "a new tab starts at the default";
    for (int i = 0; i < 12; ++i)
        click(toolbar().zoomOut());
    EXPECT_EQ(second.magnification(), 0.2);
    click(toolbar().zoomIn());
    EXPECT_NEAR(second.magnification(), 0.3, 1e-9);
    // The first tab keeps its own factor, through a load too, in the engine itself.
    click(first.titleButton());
    openPage("Bravo");
    EXPECT_NEAR(webkit_web_view_get_zoom_level(first.web().raw()), 1.2, 1e-9);
}

} // namespace
} // namespace vesk::test
