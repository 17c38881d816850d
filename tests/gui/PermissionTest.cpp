#include <webkit/webkit.h>

#include "BrowsingFixture.h"
#include "tabs/PermissionBar.h"

// Pages on the test server asking for permissions, answered with the buttons of
// the bar over the page; each page writes what it was told into its title.

namespace vesk::test {
namespace {

// Asks to show notifications when told, then asks what the permission now is.
const std::string kAskNotifications = htmlPage("Asking", R"(<script>
  function ask() {
    Notification.requestPermission().then(async answer => {
      const state = await navigator.permissions.query({name: 'notifications'});
      document.title = answer + ' ' + state.state;
    });
  }
</script>)");

// Asks for the location as it loads and for notifications when told; the title
// collects the answers.
const std::string kAskTwice = htmlPage("Asking", R"(<script>
  const answers = [];
  const told = text => { answers.push(text); document.title = answers.sort().join(' '); };
  function ask() { Notification.requestPermission().then(a => told('notifications-' + a)); }
  navigator.geolocation.getCurrentPosition(() => told('location-granted'),
      error => told(error.code == error.PERMISSION_DENIED ? 'location-denied' : 'location-failed'));
</script>)");

class PermissionTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        server->addPage("/notify", kAskNotifications);
        server->addPage("/both", kAskTwice);
        launch();
    }
    PermissionBar& bar() { return *app->tabs().current()->permissionBar(); }
    bool waitForBar() {
        return waitUntil([&] { return bar().isShown(); });
    }
    // The page runs `ask()` as if the user had clicked: the engine lets a page ask
    // to show notifications only in answer to something the user did.
    void userAsks() { runScript("ask()"); }
    bool pageTitleIs(const std::string& title) {
        return waitUntil([&] { return web().title() == title; });
    }
};

TEST_F(PermissionTest, AnAnswerReachesThePageAndHoldsForItsOriginInEveryTab) {
    openPage("notify", "Asking");
    userAsks();
    ASSERT_TRUE(waitForBar()) << "no question about notifications";
    EXPECT_EQ(bar().question().get_text().raw(), "127.0.0.1 wants to show notifications");
    click(bar().allowButton());
    EXPECT_TRUE(pageTitleIs("granted granted")) << web().title().value_or("");
    EXPECT_FALSE(bar().isShown());

    // What the allowed page shows is handed on for the desktop.
    std::string shown;
    bar().requests().signalNotification().connect(
        [&](const std::string& title, const std::string& body) { shown = title + ": " + body; });
    runScript("new Notification('Tea', {body: 'is ready'})");
    EXPECT_TRUE(waitUntil([&] { return shown == "Tea: is ready"; })) << shown;

    // Another tab on the same origin is answered from what the user said.
    app->tabs().addNewTab();
    openPage("notify", "Asking");
    userAsks();
    EXPECT_TRUE(pageTitleIs("granted granted")) << web().title().value_or("");
    EXPECT_FALSE(bar().isShown());
}

TEST_F(PermissionTest, RequestsQueueAndANewPageWithdrawsThem) {
    typeAndReturn(server->url("/both"));
    ASSERT_TRUE(waitForBar());
    userAsks();
    // The page has run ask() once it answers a later script: its second request is queued.
    evaluate("0");
    openPage("Alpha");
    EXPECT_FALSE(bar().isShown()) << "the page that asked is gone";
    EXPECT_EQ(bar().requests().current(), nullptr);

    // Nothing was remembered: the same page is asked about both again, one at a time.
    typeAndReturn(server->url("/both"));
    ASSERT_TRUE(waitForBar()) << web().title().value_or("");
    userAsks();
    const std::string first = bar().question().get_text().raw();
    click(bar().denyButton());
    ASSERT_TRUE(waitUntil([&] {
        return bar().isShown() && bar().question().get_text().raw() != first;
    })) << "the second request never showed";
    click(bar().denyButton());
    EXPECT_TRUE(pageTitleIs("location-denied notifications-denied")) << web().title().value_or("");
    EXPECT_FALSE(bar().isShown());

    // Denials hold too: the page is answered without asking when it comes again.
    typeAndReturn(server->url("/both"));
    ASSERT_TRUE(pageTitleIs("location-denied")) << web().title().value_or("");
    userAsks();
    EXPECT_TRUE(pageTitleIs("location-denied notifications-denied"));
    EXPECT_FALSE(bar().isShown());
}

} // namespace
} // namespace vesk::test
