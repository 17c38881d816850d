#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include "BrowsingFixture.h"

#include "app/ActionNames.h"
#include "app/PageNotifications.h"
#include "tabs/FindBar.h"
#include "tabs/PermissionBar.h"

namespace vesk::test {
namespace {

class EverydayBrowsingTest : public BrowsingFixture {
protected:
    // What pressing `accel` does: the action the application binds to it runs.
    void press(const char* accel) {
        const auto actions = testApplication().get_actions_for_accel(accel);
        ASSERT_FALSE(actions.empty()) << accel << " is bound to nothing";
        Glib::ustring name;
        Glib::VariantBase target;
        Gio::Action::parse_detailed_name_variant(actions.front(), name, target);
        window().activate_action(name, target);
    }
    std::string pageOf(std::size_t i) { return tab(i).web().url().value_or(""); }
};

TEST_F(EverydayBrowsingTest, KeysReachTheirActions) {
    launch();
    openPage("Alpha");
    press("<Control>t");
    ASSERT_EQ(app->tabs().size(), 2u);
    EXPECT_TRUE(window().get_focus() && window().get_focus()->is_ancestor(addressEntry()))
        << "a new tab waits for an address";
    openPage("Bravo");
    press("<Control>Tab");
    EXPECT_EQ(activeIndexOf(app->tabs()), 0);
    press("<Control>9");
    EXPECT_EQ(activeIndexOf(app->tabs()), 1);
    press("<Control>w");
    ASSERT_EQ(app->tabs().size(), 1u);
    press("<Control><Shift>t");
    ASSERT_EQ(app->tabs().size(), 2u);
    ASSERT_TRUE(waitForTitle(tab(1), "Bravo")) << "the closed tab came back at another address";
    openPage("Charlie");
    press("<Alt>Left");
    EXPECT_TRUE(waitForTitle(tab(1), "Bravo"));
    press("<Control>plus");
    press("<Control>equal");
    EXPECT_NEAR(web().magnification(), 1.2, 1e-9);
    press("<Control>0");
    EXPECT_EQ(web().magnification(), 1.0);
    press("<Control>f");
    EXPECT_TRUE(app->tabs().current()->findBar().isOpen());
    press("<Control>l");
    int start = 0, end = 0;
    EXPECT_TRUE(addressEntry().get_selection_bounds(start, end) && start == 0 &&
                end == static_cast<int>(addressText().size()));
}

TEST_F(EverydayBrowsingTest, EscapeStopsASlowPageAndOnlyThen) {
    server->addHandler("/slow", [](SoupServerMessage* msg) { soup_server_message_pause(msg); });
    launch();
    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return web().isLoading(); }));
    auto stop = app->window().window().lookup_action(action::kStop);
    EXPECT_TRUE(stop->get_enabled());
    press("Escape");
    EXPECT_TRUE(waitUntil([&] { return !web().isLoading(); }));
    // With nothing loading, Escape is the page's again.
    EXPECT_FALSE(stop->get_enabled());
}

TEST_F(EverydayBrowsingTest, PagesOpenRelatedTabsThatTalkToTheirOpener) {
    server->addPage("/opener",
                    htmlPage("Opener", R"(<a id="a" target="_blank" rel="opener" href="/child">x</a>
        <script>addEventListener("message", e => document.title = e.data)</script>)"));
    server->addPage("/child", htmlPage("Child", R"(<script>
        opener.postMessage("heard from child", "*"); setTimeout(() => close(), 300)</script>)"));
    launch();
    // A test has no user gesture to open windows with: the engine lets scripts do it
    // here, and so does the user for the page's origin.
    openPage("opener", "Opener");
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(web().raw()), TRUE);
    app->tabs().current()->permissionBar()->openingGuard().allow();
    for (const char* opening : {"document.getElementById('a').click()", "open('/child')"}) {
        SCOPED_TRACE(opening);
        runScript(opening);
        ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 2; }));
        EXPECT_EQ(activeIndexOf(app->tabs()), 1) << "the new tab stands after its opener, selected";
        EXPECT_TRUE(waitUntil([&] { return tab(0).web().title() == "heard from child"; }));
        // window.close() from the child closes its tab.
        EXPECT_TRUE(waitUntil([&] { return app->tabs().size() == 1; }));
        app->tabs().select(0);
    }
}

// One click that opens window after window gets one tab; the bar tells of the rest
// and lets the page's origin open them.
TEST_F(EverydayBrowsingTest, OneClickOpensOneWindowAndTheBarTellsOfTheOthers) {
    server->addPage("/flood", htmlPage("Flood", R"(<div id="d" style="position: fixed; inset: 0">
        </div><script>d.onclick = () => { for (let i = 1; i <= 50; i++) open('/Bravo?' + i); }
        </script>)"));
    launch();
    openPage("flood", "Flood");
    double x = 0, y = 0;
    app->window().webContainer().translate_coordinates(window(), 100, 100, x, y);
    const std::string press =
        "xdotool mousemove " + std::to_string(int(x)) + " " + std::to_string(int(y)) + " click 1";
    ASSERT_EQ(std::system(press.c_str()), 0) << "needs xdotool";
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 2; }));
    EXPECT_TRUE(staysFalse([&] { return app->tabs().size() > 2; }));
    EXPECT_TRUE(waitForTitle(tab(1), "Bravo"));

    app->tabs().select(0);
    PermissionBar& bar = *tab(0).permissionBar();
    ASSERT_TRUE(bar.isShown());
    EXPECT_EQ(bar.question().get_text().raw(), "127.0.0.1 tried to open 49 windows");
    click(bar.allowButton());
    EXPECT_FALSE(bar.isShown());
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 3; }));
    EXPECT_TRUE(waitUntil([&] { return pageOf(2) == server->url("/Bravo?50"); }))
        << "the last window refused, after the one let through";
    // The origin may now open windows as it likes.
    app->tabs().select(0);
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(web().raw()), TRUE);
    runScript("open('/Alpha'); open('/Charlie')");
    EXPECT_TRUE(waitUntil([&] { return app->tabs().size() == 5; }));
}

TEST_F(EverydayBrowsingTest, MiddleClickOpensAnUnselectedTab) {
    // The link covers the whole page, so a click anywhere in the web area is on it.
    server->addPage("/links", htmlPage("Links", R"(<a href="/Bravo" style="position: fixed;
        inset: 0">x</a>)"));
    launch();
    openPage("links", "Links");
    // A real middle click from the X server: pages cannot fake one.
    double x = 0, y = 0;
    app->window().webContainer().translate_coordinates(window(), 100, 100, x, y);
    const std::string click =
        "xdotool mousemove " + std::to_string(int(x)) + " " + std::to_string(int(y)) + " click 2";
    ASSERT_EQ(std::system(click.c_str()), 0) << "needs xdotool";
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 2; }));
    EXPECT_EQ(activeIndexOf(app->tabs()), 0);
    EXPECT_TRUE(waitForTitle(tab(1), "Bravo"));
    EXPECT_EQ(tab(0).titleButton().get_label().raw(), "Links");
}

TEST_F(EverydayBrowsingTest, LinksFromOnePageKeepTheirOrderAndANotificationBringsUpItsTab) {
    // Two links side by side, each over its half of the page.
    server->addPage("/links", htmlPage("Links", R"(
        <a href="/1" style="position: fixed; top: 0; bottom: 0; left: 0; width: 50%">1</a>
        <a href="/2" style="position: fixed; top: 0; bottom: 0; right: 0; width: 50%">2</a>)"));
    launch();
    openPage("links", "Links");
    Gtk::Widget& area = app->window().webContainer();
    for (int left : {100, area.get_width() - 100}) {
        double x = 0, y = 0;
        area.translate_coordinates(window(), left, 100, x, y);
        const std::string click = "xdotool mousemove " + std::to_string(int(x)) + " " +
                                  std::to_string(int(y)) + " click 2";
        ASSERT_EQ(std::system(click.c_str()), 0) << "needs xdotool";
    }
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 3; }));
    EXPECT_EQ(app->tabs().model().tabs()[1].address, server->url("/1"));
    EXPECT_EQ(app->tabs().model().tabs()[2].address, server->url("/2"));

    const TabId second = app->tabs().model().tabs()[2].id;
    testApplication().activate_action(PageNotifications::kShowTabAction,
                                      Glib::Variant<guint64>::create(second));
    EXPECT_EQ(app->tabs().model().selected()->id, second);
}

} // namespace
} // namespace vesk::test
