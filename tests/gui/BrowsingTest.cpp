#include <glibmm/main.h>
#include <libsoup/soup.h>

#include "BrowsingFixture.h"

// End to end: the address field, real loads from a server on 127.0.0.1, the
// tab titles and the history file they leave behind.

namespace vesk::test {
namespace {

using BrowsingTest = BrowsingFixture;

// A title a script sets comes only after the engine's FINISHED event and is still the
// one shown and recorded; a page without one shows "Untitled" and is recorded with an
// empty title. A page finishing, or a web process ending, in a background tab changes
// only that tab, and a reload brings the ended page back.
TEST_F(BrowsingTest, PagesFinishOrEndInTheirOwnTabAndReachHistoryNewestFirst) {
    server->addPage("/scripted", "<html><head><title>Before</title></head><body>"
                                 "<script>document.title = 'Scripted'</script></body></html>");
    server->addPage("/untitled", "<html><body>no title</body></html>");
    launch();
    Tab& first = tab(0);
    app->tabs().addNewTab();
    openPage("scripted", "Scripted");
    openPage("untitled", "Untitled");
    first.web().loadURL(server->url("/Bravo"));
    ASSERT_TRUE(waitForTitle(first, "Bravo"));
    settle();
    EXPECT_EQ(addressText(), server->url("/untitled"));
    EXPECT_EQ(recorded(), (Strings{"/Bravo Bravo", "/untitled ", "/scripted Scripted"}));

    first.web().terminateWebProcess();
    ASSERT_TRUE(waitForTitle(first, "Error"));
    EXPECT_TRUE(staysFalse([&] { return server->hits("/Bravo") > 1; }))
        << "nothing reloads by itself";
    EXPECT_EQ(tab(1).titleButton().get_label().raw(), "Untitled");
    EXPECT_FALSE(tab(1).web().isShowingProcessEndedPage());
    EXPECT_EQ(addressText(), server->url("/untitled"));
    click(first.titleButton());
    EXPECT_EQ(addressText(), server->url("/Bravo"));
    click(toolbar().reload());
    ASSERT_TRUE(waitForTitle(first, "Bravo"));
    EXPECT_FALSE(first.web().isShowingProcessEndedPage());
}

TEST_F(BrowsingTest, ReturnAlwaysLoadsAndLeavingTheFieldLoadsOnce) {
    launch();
    auto leaveField = [&] {
        ASSERT_TRUE(gtk_widget_grab_focus(GTK_WIDGET(web().raw())));
        ASSERT_NE(window().get_focus()->get_parent(), &addressEntry());
    };
    openPage("Alpha");
    pressReturn();
    EXPECT_TRUE(waitUntil([&] { return server->hits("/Alpha") == 2; })) << "Return again loads";
    leaveField();
    EXPECT_TRUE(staysFalse([&] { return server->hits("/Alpha") > 2; }))
        << "the focus leaving after Return loads nothing more";
    addressEntry().grab_focus();
    addressEntry().set_text(server->url("/Bravo"));
    leaveField();
    ASSERT_TRUE(waitForTitle(tab(0), "Bravo"));
    EXPECT_EQ(server->hits("/Bravo"), 1);
}

TEST_F(BrowsingTest, AnAddressEnteredGivesItsPageTheKeysAndLoadsOnce) {
    server->addPage("/long", htmlPage("Long", R"(<div style="height: 5000px">top</div>)"));
    launch();
    typeAndReturn(server->url("/long"));
    ASSERT_TRUE(waitForTitle(tab(0), "Long"));
    EXPECT_EQ(window().get_focus()->gobj(), GTK_WIDGET(web().raw()));
    pressKeys("Page_Down");
    EXPECT_TRUE(waitUntil([&] { return evaluate("window.scrollY > 0") == "true"; }))
        << "Page Down scrolls the page";
    settle();
    EXPECT_EQ(server->hits("/long"), 1) << "the focus leaving the field loads nothing more";
}

TEST_F(BrowsingTest, TheWindowTakesTheSelectedTabsTitle) {
    launch();
    openPage("Alpha");
    EXPECT_EQ(window().get_title(), "Alpha");
    app->tabs().open(server->url("/Bravo"));
    EXPECT_TRUE(waitUntil([&] { return window().get_title() == "Bravo"; }));
    app->tabs().select(0);
    EXPECT_EQ(window().get_title(), "Alpha");
}

// None of these adds a history entry, and only the break-off shows "Error".
TEST_F(BrowsingTest, ReplacedLoadReloadRefusalAndBreakOff) {
    // Never answered, so its load stays pending; the server drops it as it goes.
    server->addHandler("/slow", [](SoupServerMessage* msg) { soup_server_message_pause(msg); });
    // The first part of a long page arrives; a moment later the connection closes
    // before the length announced.
    server->addHandler("/broken", [](SoupServerMessage* msg) {
        soup_server_message_set_status(msg, 200, nullptr);
        SoupMessageHeaders* headers = soup_server_message_get_response_headers(msg);
        soup_message_headers_set_content_type(headers, "text/html", nullptr);
        soup_message_headers_set_content_length(headers, 100000);
        std::string part = "<title>Partial</title>";
        for (int i = 0; i < 100; ++i)
            part += "<p>the first part of a long page</p>";
        soup_message_body_append(soup_server_message_get_response_body(msg), SOUP_MEMORY_COPY,
                                 part.data(), part.size());
        Glib::signal_timeout().connect_once(
            [msg = g_object_ref(msg)] {
                if (GIOStream* stream = soup_server_message_steal_connection(msg)) {
                    g_io_stream_close(stream, nullptr, nullptr);
                    g_object_unref(stream);
                }
                g_object_unref(msg);
            },
            200);
    });
    launch();
    Tab& t = tab(0);
    Strings titles;
    t.titleButton().property_label().signal_changed().connect(
        [&] { titles.push_back(t.titleButton().get_label().raw()); });

    typeAndReturn(server->url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return server->hits("/slow") == 1; }));
    openPage("Alpha");
    settle();
    EXPECT_EQ(titles, Strings{"Alpha"}) << "a cancelled load is no error";
    click(toolbar().reload());
    ASSERT_TRUE(waitUntil([&] { return server->hits("/Alpha") == 2 && !t.web().isLoading(); }));
    settle();
    const std::string refused = loadRefused();
    EXPECT_EQ(t.titleButton().get_label().raw(), "Alpha")
        << "a refused connection changes no title";
    EXPECT_EQ(addressText(), refused);

    typeAndReturn(server->url("/broken"));
    ASSERT_TRUE(waitForTitle(t, "Error"));
    settle();
    EXPECT_EQ(addressText(), server->url("/broken"));
    // What arrived of the page stays; no error page replaces it, and its FINISHED
    // after the failure leaves "Error".
    EXPECT_EQ(t.web().title(), "Partial");
    EXPECT_EQ(t.titleButton().get_label().raw(), "Error");
    EXPECT_EQ(recorded(), Strings{"/Alpha Alpha"});
}

} // namespace
} // namespace vesk::test
