#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include "BrowsingFixture.h"

namespace vesk::test {
namespace {

using WebsiteDataTest = BrowsingFixture;

// Whether any file in `folder` holds `text`, as a database stores a short string.
bool holdsText(const std::filesystem::path& folder, const std::string& text) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data{std::istreambuf_iterator<char>(in), {}};
        if (data.find(text) != std::string::npos)
            return true;
    }
    return false;
}

// A close guard that would end well within the test, were the page's question not heeded.
constexpr auto kShortCloseAnswer = std::chrono::milliseconds(1000);

class CloseQuestionTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        WebView::setCloseAnswerTimeout(kShortCloseAnswer);
    }
    void TearDown() override {
        BrowsingFixture::TearDown();
        WebView::setCloseAnswerTimeout(WebView::kDefaultCloseAnswerTimeout);
    }
    // The user's answer to the page's question, and how often it was asked.
    struct Answer {
        bool agree = false;
        int asked = 0;
    };
    // A first tab, then a second whose page asks before it is left, answered from `answer`.
    void openTabThatAsks(Answer& answer) {
        server->addPage("/draft", htmlPage("Draft", R"(<script>
            addEventListener("beforeunload", e => { e.preventDefault(); e.returnValue = ""; });
            </script>)"));
        launch();
        openPage("Alpha");
        click(toolbar().newTab());
        openPage("draft", "Draft");
        // Pages may only ask once the user has done something on them.
        runScript("document.body.click()");
        auto onDialog = +[](WebKitWebView*, WebKitScriptDialog* dialog, Answer* a) {
            ++a->asked;
            webkit_script_dialog_confirm_set_confirmed(dialog, a->agree);
            return TRUE;
        };
        g_signal_connect(web().raw(), "script-dialog", G_CALLBACK(onDialog), &answer);
    }
};

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
    // The network process keeps the cookie in its own file, which the next start reads.
    const auto web = home->dataDir() / "Vesk" / "web";
    EXPECT_TRUE(waitUntil([&] { return holdsText(web, "alice"); })) << "no cookie was written";
    launch();
    openPage("account", "Account");
    EXPECT_EQ(sent, "session=alice");
    EXPECT_EQ(std::filesystem::status(web).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
}

// A page that asks before it is left keeps its tab until the user agrees.
TEST_F(CloseQuestionTest, APageAskingBeforeItIsLeftKeepsItsTabUntilTheUserAgrees) {
    Answer answer;
    openTabThatAsks(answer);
    click(tab(1).closeButton());
    EXPECT_TRUE(waitUntil([&] { return answer.asked == 1; }));
    // Past the guard: a tab that goes now went though the user stayed.
    EXPECT_FALSE(waitUntil([&] { return app->tabs().size() != 2u; }, kShortCloseAnswer * 2))
        << "the tab went though the user stayed";
    answer.agree = true;
    click(tab(1).closeButton());
    EXPECT_TRUE(waitUntil([&] { return app->tabs().size() == 1; }));
}

// Closing the window asks every page first: nothing closes until all have
// agreed, and staying on one page keeps every tab.
TEST_F(CloseQuestionTest, ClosingTheWindowClosesNoTabUntilEveryPageAgrees) {
    Answer answer;
    openTabThatAsks(answer);
    window().close();
    EXPECT_TRUE(waitUntil([&] { return answer.asked == 1; }));
    EXPECT_FALSE(waitUntil([&] { return app->tabs().size() != 2u; }, kShortCloseAnswer * 2))
        << "a tab closed before every page had agreed";
    answer.agree = true;
    window().close();
    EXPECT_TRUE(waitUntil([&] { return app->tabs().empty(); }));
}

} // namespace
} // namespace vesk::test
