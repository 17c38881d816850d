#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include "BrowsingFixture.h"

namespace vesk::test {
namespace {

using WebsiteDataTest = BrowsingFixture;

// A login is a cookie: it must outlive the program, as it does in any browser.
TEST_F(WebsiteDataTest, ACookieOutlivesTheApplication) {
    server->addHandler("/login", [](SoupServerMessage* msg) {
        soup_message_headers_append(soup_server_message_get_response_headers(msg), "Set-Cookie",
                                    "session=alice; Max-Age=86400; Path=/");
        const std::string page = htmlPage("Signed in");
        soup_server_message_set_response(msg, "text/html", SOUP_MEMORY_COPY, page.data(),
                                         page.size());
        soup_server_message_set_status(msg, 200, nullptr);
    });
    std::string sent;
    server->addHandler("/account", [&sent](SoupServerMessage* msg) {
        const char* cookie =
            soup_message_headers_get_one(soup_server_message_get_request_headers(msg), "Cookie");
        sent = cookie ? cookie : "";
        const std::string page = htmlPage("Account");
        soup_server_message_set_response(msg, "text/html", SOUP_MEMORY_COPY, page.data(),
                                         page.size());
        soup_server_message_set_status(msg, 200, nullptr);
    });
    launch();
    openPage("login", "Signed in");
    app.reset();
    pump(std::chrono::milliseconds(500));
    launch();
    openPage("account", "Account");
    EXPECT_EQ(sent, "session=alice");
    const auto web = home->dataDir() / "Vesk" / "web";
    EXPECT_EQ(std::filesystem::status(web).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
}

// A page that asks before it is left keeps its tab until the user agrees.
TEST_F(WebsiteDataTest, APageAskingBeforeItIsLeftKeepsItsTabUntilTheUserAgrees) {
    server->addPage("/draft", htmlPage("Draft", R"(<script>
        addEventListener("beforeunload", e => { e.preventDefault(); e.returnValue = ""; });
        </script>)"));
    launch();
    openPage("Alpha");
    click(toolbar().newTab());
    openPage("draft", "Draft");
    // Pages may only ask once the user has done something on them.
    runScript("document.body.click()");
    struct Answer {
        bool agree = false;
        int asked = 0;
    } answer;
    auto onDialog = +[](WebKitWebView*, WebKitScriptDialog* dialog, Answer* a) {
        ++a->asked;
        webkit_script_dialog_confirm_set_confirmed(dialog, a->agree);
        return TRUE;
    };
    g_signal_connect(web().raw(), "script-dialog", G_CALLBACK(onDialog), &answer);
    click(tab(1).closeButton());
    EXPECT_TRUE(waitUntil([&] { return answer.asked == 1; }));
    pump(std::chrono::milliseconds(2500));
    EXPECT_EQ(app->tabs().size(), 2u) << "the tab went though the user stayed";
    answer.agree = true;
    click(tab(1).closeButton());
    EXPECT_TRUE(waitUntil([&] { return app->tabs().size() == 1; }));
}

} // namespace
} // namespace vesk::test
