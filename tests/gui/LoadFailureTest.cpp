#include <libsoup/soup.h>

#include "BrowsingFixture.h"
#include "app/ActionNames.h"

// What the user sees when a load fails or is stopped: an address typed without
// a scheme tries https first and falls back to http, a tab whose first load
// fails says so, and a stop puts the field back on the page on show.

namespace vesk::test {
namespace {

class LoadFailureTest : public BrowsingFixture {
protected:
    void act(const char* name) { window().activate_action(std::string("win.") + name); }
    // The server's address without its scheme, as a user types it.
    std::string typed(const std::string& path) {
        return server->url(path).substr(std::string("http://").size());
    }
};

TEST_F(LoadFailureTest, AHostTypedWithoutSchemeFallsBackToHttpButTypedHttpsDoesNot) {
    launch();
    typeAndReturn(typed("/Alpha"));
    ASSERT_TRUE(waitForTitle(tab(0), "Alpha"));
    EXPECT_EQ(web().url(), server->url("/Alpha"));
    EXPECT_EQ(addressText(), server->url("/Alpha"));
    EXPECT_EQ(web().security(), ConnectionSecurity::NotSecure);
    EXPECT_EQ(app->window().addressField().securityIconName(), "dialog-warning-symbolic");
    EXPECT_FALSE(web().canGoBack()) << "the https attempt left no history item";

    // The same server, with the scheme typed: https it stays, long past the
    // time a guessed address waits before it falls back.
    const std::string https = "https://" + typed("/Bravo");
    typeAndReturn(https);
    EXPECT_FALSE(waitUntil([&] { return server->hits("/Bravo") > 0; }, std::chrono::seconds(5)));
    EXPECT_EQ(web().url(), https);
    EXPECT_EQ(tab(0).titleButton().get_label().raw(), "Alpha");
    EXPECT_EQ(recorded(), Strings{"/Alpha Alpha"});
}

TEST_F(LoadFailureTest, AFirstLoadThatFailsNamesTheTab) {
    launch();
    // Nothing listens there any more.
    Tab& opened = app->tabs().open(TestServer().url("/"));
    EXPECT_TRUE(waitForTitle(opened, "Error"));
}

TEST_F(LoadFailureTest, StoppingASlowLoadShowsAndReloadsThePageOnShow) {
    server->addHandler("/slow", [](SoupServerMessage* msg) { soup_server_message_pause(msg); });
    launch();
    openPage("Alpha");
    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return server->hits("/slow") == 1; }));
    act(action::kStop);
    ASSERT_TRUE(waitUntil([&] { return !web().isLoading(); }));
    settle();
    EXPECT_EQ(addressText(), server->url("/Alpha"));
    act(action::kReload);
    ASSERT_TRUE(waitUntil([&] { return server->hits("/Alpha") == 2 && !web().isLoading(); }));
    EXPECT_EQ(addressText(), server->url("/Alpha"));
    EXPECT_EQ(server->hits("/slow"), 1);
}

} // namespace
} // namespace vesk::test
