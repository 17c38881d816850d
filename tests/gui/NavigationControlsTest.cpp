#include "BrowsingFixture.h"

#include <webkit/webkit.h>

#include "platform/WebView.h"

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
    // The factor as the engine holds it, not as the adapter reports it.
    static double engineZoom(Tab& t) { return webkit_web_view_get_zoom_level(t.web->raw()); }
};

TEST_F(NavigationControlsTest, BackAndForwardMoveThroughRealHistory) {
    launch();
    Tab& t = tab(0);
    for (const std::string name : {"Alpha", "Bravo", "Charlie"})
        loadAndWait("/" + name, name);

    auto expectAt = [&](const std::string& name) {
        ASSERT_TRUE(waitForLabel(t, name));
        EXPECT_EQ(addressText(), server->url("/" + name));
    };
    app->goBack();
    expectAt("Bravo");
    app->goBack();
    expectAt("Alpha");
    app->goForward();
    expectAt("Bravo");
    settle();

    // Each step is a finished navigation of its own, newest first.
    std::vector<std::string> urls;
    for (const auto& e : history())
        urls.push_back(e.url.value_or("?"));
    EXPECT_EQ(urls, (std::vector<std::string>{server->url("/Bravo"), server->url("/Alpha"),
                                              server->url("/Bravo"), server->url("/Charlie"),
                                              server->url("/Bravo"), server->url("/Alpha")}));
}

struct ZoomCase {
    const char* name;
    double start;
    // '+' zooms in, '-' zooms out.
    const char* presses;
    double expected;
};

class ZoomStepTest : public NavigationControlsTest,
                     public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(ZoomStepTest, StepsArePlainDoubleArithmeticAboveAFloor) {
    const ZoomCase& c = GetParam();
    launch();
    Tab& t = tab(0);
    t.web->setMagnification(c.start);
    for (const char* p = c.presses; *p; ++p)
        *p == '+' ? app->zoomIn() : app->zoomOut();
    // Exact comparisons: the steps carry their rounding and nothing else.
    EXPECT_EQ(t.web->magnification(), c.expected);
    EXPECT_EQ(engineZoom(t), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ZoomStepTest,
    ::testing::Values(ZoomCase{"TenInsCarryRounding", 1.0, "++++++++++", 2.000000000000001},
                      ZoomCase{"NoCeiling", 5.0, "+++", 5.0 + 0.1 + 0.1 + 0.1},
                      ZoomCase{"OutFromQuarterHitsFloor", 0.25, "-", 0.2},
                      ZoomCase{"EighthOutIsJustAboveFloor", 1.0, "--------", 0.20000000000000015},
                      ZoomCase{"ManyOutsStayAtFloor", 1.0, "--------------------", 0.2},
                      ZoomCase{"InAfterFloor", 1.0, "------------+", 0.2 + 0.1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(NavigationControlsTest, ZoomBelongsToEachTabAndOutlivesItsLoads) {
    launch();
    Tab& first = tab(0);
    loadAndWait("/Alpha", "Alpha");
    app->zoomIn();
    app->zoomIn();
    const double zoomed = 1.0 + 0.1 + 0.1;

    app->addNewTab();
    Tab& second = tab(1);
    EXPECT_EQ(second.web->magnification(), 1.0) << "a new tab starts at the default";
    app->zoomOut();
    EXPECT_EQ(second.web->magnification(), 0.9);
    EXPECT_EQ(first.web->magnification(), zoomed);

    app->selectTab(0);
    loadAndWait("/Bravo", "Bravo");
    EXPECT_EQ(first.web->magnification(), zoomed);
    EXPECT_EQ(engineZoom(first), zoomed);
}

} // namespace
} // namespace vesk::test
