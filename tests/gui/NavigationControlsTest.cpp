#include "BrowsingFixture.h"

#include <webkit/webkit.h>

#include "platform/WebView.h"

// The back, forward, reload and zoom buttons acting on the current tab's real
// web view.

namespace vesk::test {
namespace {

class NavigationControlsTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        server->addPage("/alpha", htmlPage("Alpha"));
        server->addPage("/bravo", htmlPage("Bravo"));
        server->addPage("/charlie", htmlPage("Charlie"));
    }
    // The factor as the engine holds it, not as the adapter reports it.
    static double engineZoom(Tab& t) { return webkit_web_view_get_zoom_level(t.web->raw()); }
};

TEST_F(NavigationControlsTest, BackAndForwardMoveThroughRealHistory) {
    launch();
    Tab& t = tab(0);
    loadAndWait("/alpha", "Alpha");
    loadAndWait("/bravo", "Bravo");
    loadAndWait("/charlie", "Charlie");

    app->goBack();
    ASSERT_TRUE(waitForLabel(t, "Bravo"));
    EXPECT_EQ(addressText(), server->url("/bravo"));
    app->goBack();
    ASSERT_TRUE(waitForLabel(t, "Alpha"));
    EXPECT_EQ(addressText(), server->url("/alpha"));
    EXPECT_FALSE(t.web->canGoBack());

    app->goForward();
    ASSERT_TRUE(waitForLabel(t, "Bravo"));
    EXPECT_EQ(addressText(), server->url("/bravo"));
    settle();

    // Each step is a finished navigation of its own, newest first.
    std::vector<std::string> urls;
    for (const auto& e : recordedHistory())
        urls.push_back(e.url.value_or("?"));
    EXPECT_EQ(urls, (std::vector<std::string>{server->url("/bravo"), server->url("/alpha"),
                                              server->url("/bravo"), server->url("/charlie"),
                                              server->url("/bravo"), server->url("/alpha")}));
}

TEST_F(NavigationControlsTest, BackAndForwardWithNowhereToGoDoNothing) {
    launch();
    Tab& t = tab(0);
    app->goBack();
    app->goForward();
    app->refreshPage();
    settle();
    EXPECT_FALSE(t.web->isLoading());
    EXPECT_FALSE(t.web->url().has_value());
    EXPECT_EQ(label(t), "Loading");

    loadAndWait("/alpha", "Alpha");
    app->goForward();
    app->goBack();
    settle();
    EXPECT_EQ(server->hits("/alpha"), 1);
    EXPECT_EQ(label(t), "Alpha");
    EXPECT_EQ(addressText(), server->url("/alpha"));
}

TEST_F(NavigationControlsTest, ReloadLoadsTheCurrentPageAgain) {
    launch();
    Tab& t = tab(0);
    loadAndWait("/alpha", "Alpha");
    app->refreshPage();
    ASSERT_TRUE(waitUntil([&] { return server->hits("/alpha") == 2 && !t.web->isLoading(); }));
    EXPECT_EQ(label(t), "Alpha");
}

TEST_F(NavigationControlsTest, WithNoCurrentTabNoControlDoesAnything) {
    launch();
    Tab& t = tab(0);
    loadAndWait("/alpha", "Alpha");
    loadAndWait("/bravo", "Bravo");
    app->activeIdx = NSNotFound;

    app->goBack();
    app->goForward();
    app->refreshPage();
    app->zoomIn();
    app->zoomOut();
    settle();
    EXPECT_EQ(server->hits("/alpha"), 1);
    EXPECT_EQ(server->hits("/bravo"), 1);
    EXPECT_EQ(t.web->magnification(), 1.0);
    EXPECT_EQ(label(t), "Bravo");
}

// --- Zoom ----------------------------------------------------------------------

enum class Press { In, Out };

struct ZoomCase {
    const char* name;
    double start;
    std::vector<Press> presses;
    double expected;
};

void PrintTo(const ZoomCase& c, std::ostream* os) {
    *os << c.name;
}

class ZoomStepTest : public NavigationControlsTest,
                     public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(ZoomStepTest, StepsArePlainDoubleArithmetic) {
    const ZoomCase& c = GetParam();
    launch();
    Tab& t = tab(0);
    t.web->setMagnification(c.start);
    for (Press p : c.presses)
        p == Press::In ? app->zoomIn() : app->zoomOut();
    // Exact comparisons: the steps carry their rounding and nothing else.
    EXPECT_EQ(t.web->magnification(), c.expected);
    EXPECT_EQ(engineZoom(t), c.expected);
}

std::vector<Press> times(int n, Press p) {
    return std::vector<Press>(static_cast<std::size_t>(n), p);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ZoomStepTest,
    ::testing::Values(ZoomCase{"InOnce", 1.0, {Press::In}, 1.1},
                      ZoomCase{"TenInsCarryRounding", 1.0, times(10, Press::In), 2.000000000000001},
                      ZoomCase{"NoCeiling", 5.0, times(3, Press::In), 5.0 + 0.1 + 0.1 + 0.1},
                      ZoomCase{"OutOnce", 1.0, {Press::Out}, 0.9},
                      ZoomCase{"OutFromQuarterHitsFloor", 0.25, {Press::Out}, 0.2},
                      ZoomCase{"OutAtFloorStays", 0.2, times(3, Press::Out), 0.2},
                      ZoomCase{"EighthOutIsJustAboveFloor", 1.0, times(8, Press::Out),
                               0.20000000000000015},
                      ZoomCase{"NinthOutIsTheFloor", 1.0, times(9, Press::Out), 0.2},
                      ZoomCase{"ManyOutsStayAtFloor", 1.0, times(20, Press::Out), 0.2},
                      ZoomCase{"InAfterFloor", 1.0,
                               [] {
                                   auto p = times(12, Press::Out);
                                   p.push_back(Press::In);
                                   return p;
                               }(),
                               0.2 + 0.1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(NavigationControlsTest, ZoomBelongsToEachTabAndOutlivesItsLoads) {
    launch();
    Tab& first = tab(0);
    loadAndWait("/alpha", "Alpha");
    app->zoomIn();
    app->zoomIn();
    const double zoomed = 1.0 + 0.1 + 0.1;
    ASSERT_EQ(first.web->magnification(), zoomed);

    app->addNewTab();
    Tab& second = tab(1);
    EXPECT_EQ(second.web->magnification(), 1.0) << "a new tab starts at the default";
    app->zoomOut();
    EXPECT_EQ(second.web->magnification(), 0.9);
    EXPECT_EQ(first.web->magnification(), zoomed);

    app->selectTab(0);
    EXPECT_EQ(first.web->magnification(), zoomed);
    loadAndWait("/bravo", "Bravo");
    EXPECT_EQ(first.web->magnification(), zoomed);
    EXPECT_EQ(engineZoom(first), zoomed);
}

} // namespace
} // namespace vesk::test
