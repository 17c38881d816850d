#include <algorithm>
#include <map>
#include <sstream>

#include <libsoup/soup.h>

#include "BrowsingFixture.h"
#include "app/MainWindow.h"
#include "store/DownloadFile.h"
#include "tabs/PermissionBar.h"

namespace vesk::test {
namespace {

// Answers with an attachment named "report.txt"; a held response sends its first
// bytes and then nothing more, so that it is still running when cancelled.
void sendAttachment(SoupServerMessage* msg, const std::string& bytes, bool held) {
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(msg);
    soup_message_headers_append(headers, "Content-Disposition",
                                "attachment; filename=\"report.txt\"");
    soup_message_headers_set_encoding(headers,
                                      held ? SOUP_ENCODING_CHUNKED : SOUP_ENCODING_CONTENT_LENGTH);
    SoupMessageBody* body = soup_server_message_get_response_body(msg);
    soup_message_body_append(body, SOUP_MEMORY_COPY, bytes.data(), bytes.size());
    if (!held)
        soup_message_body_complete(body);
    soup_server_message_set_status(msg, 200, nullptr);
}

class DownloadsTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        folder = VeskStore::shared().paths().downloads;
        ASSERT_EQ(folder, home->path()) << "the Downloads folder must be the test's own home";
    }
    // The files in the Downloads folder and what they hold, the test's own folders aside.
    std::map<std::string, std::string> files() {
        std::map<std::string, std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file())
                found[entry.path().filename()] =
                    (std::ostringstream() << std::ifstream(entry.path()).rdbuf()).str();
        return found;
    }
    // Starts a download whose first bytes arrive and the rest never do.
    void startHeldDownload() {
        server->addHandler(
            "/held", [](SoupServerMessage* m) { sendAttachment(m, std::string(4096, 0), true); });
        launch();
        typeAndReturn(server->url("/held"));
        ASSERT_TRUE(waitUntil([&] {
            return std::ranges::any_of(files(), [](const auto& f) { return !f.second.empty(); });
        })) << "the download never began";
    }
    std::filesystem::path folder;
};

TEST_F(DownloadsTest, ATakenNameGetsANumberAndTheOldFileStays) {
    server->addHandler("/report", [](SoupServerMessage* m) { sendAttachment(m, "new", false); });
    std::ofstream(folder / "report.txt") << "the user's own";
    launch();
    EXPECT_FALSE(app->window().downloads().button().get_visible());
    typeAndReturn(server->url("/report"));
    const std::map<std::string, std::string> saved{{"report.txt", "the user's own"},
                                                   {"report (1).txt", "new"}};
    EXPECT_TRUE(waitUntil([&] { return files() == saved; }));
    EXPECT_TRUE(app->window().downloads().button().get_visible());
}

// A page may start one download on its own; the others wait for the user's word.
TEST_F(DownloadsTest, APageStartsOneDownloadOnItsOwnAndAsksForMore) {
    for (const char* path : {"/1", "/2", "/3"})
        server->addHandler(path, [](SoupServerMessage* m) { sendAttachment(m, "file", false); });
    // Each a while after the last, since a navigation cancels the one before it.
    server->addPage("/many", htmlPage("Many", R"(<script>
        ['/1', '/2', '/3'].forEach((path, i) => setTimeout(() => {
            const a = document.createElement('a');
            a.href = path;
            a.download = '';
            document.body.append(a);
            a.click();
        }, 300 * i));</script>)"));
    launch();
    openPage("many", "Many");
    ASSERT_TRUE(waitUntil([&] { return files().size() == 1; }));
    PermissionBar& bar = *app->tabs().current()->permissionBar();
    EXPECT_TRUE(waitUntil([&] {
        return bar.isShown() &&
               bar.question().get_text().raw() == "127.0.0.1 tried to download 2 files";
    })) << bar.question().get_text().raw();
    EXPECT_EQ(files().size(), 1u);
    click(bar.allowButton());
    EXPECT_TRUE(waitUntil([&] { return files().size() == 3; }));
    EXPECT_FALSE(bar.isShown());
}

TEST_F(DownloadsTest, ACancelledDownloadLeavesNothing) {
    startHeldDownload();
    auto buttons = descendants<Gtk::Button>(app->window().downloads().button());
    auto cancel = std::ranges::find_if(buttons, [](auto* b) { return b->get_label() == "Cancel"; });
    ASSERT_NE(cancel, buttons.end());
    click(**cancel);
    EXPECT_TRUE(waitUntil([&] { return files().empty(); }));
    settle();
    EXPECT_TRUE(files().empty()) << "something came back after the download was cancelled";
}

TEST_F(DownloadsTest, QuittingDuringADownloadAsksWithCancelTheDefault) {
    startHeldDownload();
    window().close();
    ASSERT_TRUE(waitUntil([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->property_text().get_value(), "Cancel downloads and quit?");
    EXPECT_EQ(alert()->get_widget_for_response(Gtk::ResponseType::CANCEL),
              alert()->get_default_widget());
    answerAlert("Quit");
    EXPECT_TRUE(waitUntil([&] { return app->tabs().empty() && files().empty(); }));
}

} // namespace
} // namespace vesk::test
