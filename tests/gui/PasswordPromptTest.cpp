#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

#include <gtkmm/passwordentry.h>
#include <gtkmm/text.h>
#include <plist/plist.h>

#include "GuiTest.h"
#include "TestServer.h"

#include "platform/WebView.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

// Host to {user name, password}.
using Vault = std::map<std::string, std::pair<std::string, std::string>>;

enum class Answer { Save, Return, Cancel, Escape };

struct PromptCase {
    const char* name;
    const char* user;
    const char* pass;
    Answer answer;
    Vault expected;
};

class PasswordPromptTest : public GuiTest {
protected:
    fs::path vaultFile() const { return home->dataDir() / "Vesk" / "vault.plist"; }

    // The vault as written, read independently of the store.
    Vault readVault() {
        std::ifstream in(vaultFile(), std::ios::binary);
        const std::string xml((std::istreambuf_iterator<char>(in)), {});
        plist_t root = nullptr;
        plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
        auto text = [](plist_t record, const char* field) {
            char* value = nullptr;
            if (plist_t node = plist_dict_get_item(record, field))
                plist_get_string_val(node, &value);
            std::string result = value ? value : "<absent>";
            free(value);
            return result;
        };
        Vault vault;
        plist_dict_iter it = nullptr;
        if (root)
            plist_dict_new_iter(root, &it);
        char* key = nullptr;
        plist_t record = nullptr;
        while (it && (plist_dict_next_item(root, it, &key, &record), key)) {
            vault[key] = {text(record, "user"), text(record, "pass")};
            free(std::exchange(key, nullptr));
        }
        free(it);
        plist_free(root);
        return vault;
    }

    WebView& web() { return *app->currentTab()->web; }

    // Loads the server's login page and asks to save a password for it.
    void promptOnLoginPage(TestServer& server) {
        server.addPage("/login", htmlPage("Login"));
        launch();
        const std::string url = server.url("/login");
        web().loadURL(url);
        ASSERT_TRUE(waitUntil([&] { return web().url() == url && !web().isLoading(); }));
        app->promptSavePassword();
        ASSERT_NE(app->openAlert(), nullptr);
        ASSERT_EQ(app->openAlert()->property_text().get_value(), "Save password for 127.0.0.1?");
    }

    // Shows a page of our own under `url`; nothing is fetched from that address.
    void showPageAt(const std::string& url) {
        const auto before = web().url();
        web().loadHTML("<p>sign in</p>", url);
        ASSERT_TRUE(waitUntil([&] { return web().url() != before && !web().isLoading(); }));
    }

    Gtk::Entry* userField() { return descendants<Gtk::Entry>(*app->openAlert()).at(0); }
    Gtk::PasswordEntry* passField() {
        return descendants<Gtk::PasswordEntry>(*app->openAlert()).at(0);
    }
};

class PasswordAnswerTest : public PasswordPromptTest,
                           public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PasswordAnswerTest, AnswerDecidesWhatIsStored) {
    const PromptCase& c = GetParam();
    TestServer server;
    ASSERT_NO_FATAL_FAILURE(promptOnLoginPage(server));
    userField()->set_text(c.user);
    passField()->set_text(c.pass);
    switch (c.answer) {
    case Answer::Save:
        app->openAlert()->response(1000);
        break;
    case Answer::Return:
        for (auto* text : descendants<Gtk::Text>(*passField()))
            g_signal_emit_by_name(text->gobj(), "activate");
        break;
    case Answer::Cancel:
        app->openAlert()->response(static_cast<int>(Gtk::ResponseType::CANCEL));
        break;
    case Answer::Escape:
        g_signal_emit_by_name(app->openAlert()->gobj(), "close");
        break;
    }
    // A button pressed by key answers after its short pressed look.
    ASSERT_TRUE(waitUntil([&] { return app->openAlert() == nullptr; }, std::chrono::seconds(2)));
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(readVault(), c.expected);
    EXPECT_EQ(fs::exists(vaultFile()), !c.expected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PasswordAnswerTest,
    ::testing::Values(
        PromptCase{"SaveEmptyFields", "", "", Answer::Save, {{"127.0.0.1", {"", ""}}}},
        PromptCase{"ReturnSavesAsTyped",
                   "  Zoë ",
                   "p@ss word\t",
                   Answer::Return,
                   {{"127.0.0.1", {"  Zoë ", "p@ss word\t"}}}},
        PromptCase{"Cancel", "alice", "secret", Answer::Cancel, {}},
        PromptCase{"Escape", "alice", "secret", Answer::Escape, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PasswordPromptTest, NothingIsShownWithoutAHost) {
    launch();
    app->promptSavePassword();
    EXPECT_EQ(app->openAlert(), nullptr) << "a tab with no address";
    showPageAt("file:///nowhere/page.html");
    app->promptSavePassword();
    EXPECT_EQ(app->openAlert(), nullptr) << "a file page";
    EXPECT_FALSE(fs::exists(vaultFile()));
}

TEST_F(PasswordPromptTest, TheRecordGoesToTheHostNamedEvenAfterTheTabMovesOn) {
    TestServer server;
    ASSERT_NO_FATAL_FAILURE(promptOnLoginPage(server));
    showPageAt("http://other.example/account");
    userField()->set_text("alice");
    app->openAlert()->response(1000);
    EXPECT_EQ(readVault(), (Vault{{"127.0.0.1", {"alice", ""}}}));
}

} // namespace
} // namespace vesk::test
