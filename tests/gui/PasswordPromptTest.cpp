#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <gtkmm/passwordentry.h>
#include <gtkmm/text.h>
#include <plist/plist.h>

#include "GuiTest.h"
#include "TestServer.h"

#include "platform/WebView.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

constexpr int kSaveResponse = 1000;

struct VaultRecord {
    std::string user;
    std::string pass;
    bool operator==(const VaultRecord&) const = default;
};

void PrintTo(const VaultRecord& r, std::ostream* os) {
    *os << "{user \"" << r.user << "\", pass \"" << r.pass << "\"}";
}

class PasswordPromptTest : public GuiTest {
protected:
    fs::path vaultFile() const { return home->dataDir() / "Vesk" / "vault.plist"; }

    // The vault as written, read independently of the store.
    std::map<std::string, VaultRecord> readVault() {
        std::map<std::string, VaultRecord> vault;
        std::ifstream in(vaultFile(), std::ios::binary);
        const std::string xml((std::istreambuf_iterator<char>(in)), {});
        plist_t root = nullptr;
        plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
        if (!root)
            return vault;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(root, &it);
        for (;;) {
            char* key = nullptr;
            plist_t record = nullptr;
            plist_dict_next_item(root, it, &key, &record);
            if (!key)
                break;
            auto text = [&](const char* field) {
                char* value = nullptr;
                if (plist_t node = plist_dict_get_item(record, field))
                    plist_get_string_val(node, &value);
                std::string result = value ? value : "<absent>";
                free(value);
                return result;
            };
            vault[key] = {text("user"), text("pass")};
            free(key);
        }
        free(it);
        plist_free(root);
        return vault;
    }

    WebView& web() { return *app->currentTab()->web; }

    void loadPage(const std::string& url) {
        web().loadURL(url);
        ASSERT_TRUE(waitUntil([&] { return web().url() == url && !web().isLoading(); }))
            << "the page never loaded: " << url;
    }

    // Shows a page of our own under `url`; nothing is fetched from that address.
    void showPageAt(const std::string& url) {
        const auto before = web().url();
        web().loadHTML("<p>sign in</p>", url);
        // The engine may spell the address its own way (an international host, say).
        ASSERT_TRUE(waitUntil([&] { return web().url() != before && !web().isLoading(); }))
            << "the page never showed: " << url;
    }

    Gtk::Entry* userField() {
        auto fields = descendants<Gtk::Entry>(*app->openAlert());
        return fields.empty() ? nullptr : fields.front();
    }
    Gtk::PasswordEntry* passField() {
        auto fields = descendants<Gtk::PasswordEntry>(*app->openAlert());
        return fields.empty() ? nullptr : fields.front();
    }

    // The host part of an address as the web view reports it.
    static std::string hostIn(const std::string& url) {
        const auto start = url.find("://") + 3;
        return url.substr(start, url.find_first_of(":/", start) - start);
    }
};

TEST_F(PasswordPromptTest, NothingIsShownWithoutAHost) {
    launch();
    // The first tab has no address at all.
    app->promptSavePassword();
    EXPECT_EQ(app->openAlert(), nullptr);

    loadPage("about:blank");
    app->promptSavePassword();
    EXPECT_EQ(app->openAlert(), nullptr);

    showPageAt("file:///nowhere/page.html");
    app->promptSavePassword();
    EXPECT_EQ(app->openAlert(), nullptr);

    // Without a current tab nothing is shown either.
    showPageAt("http://example.test/");
    const auto selected = app->activeIdx;
    app->activeIdx = NSNotFound;
    app->promptSavePassword();
    EXPECT_EQ(app->openAlert(), nullptr);
    app->activeIdx = selected;
    EXPECT_FALSE(fs::exists(vaultFile()));
}

TEST_F(PasswordPromptTest, AsksForTheCurrentHostWithTwoFields) {
    TestServer server;
    server.addPage("/login", htmlPage("Login"));
    launch();
    loadPage(server.url("/login"));
    app->promptSavePassword();
    Gtk::MessageDialog* alert = app->openAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->property_text().get_value(), "Save password for 127.0.0.1?");
    EXPECT_TRUE(alert->get_modal());
    EXPECT_EQ(alert->get_transient_for(), app->window.get());
    std::vector<std::string> buttons;
    for (auto* button : descendants<Gtk::Button>(*alert))
        if (!button->get_label().empty())
            buttons.push_back(button->get_label());
    EXPECT_EQ(buttons, (std::vector<std::string>{"Save", "Cancel"}));

    Gtk::Entry* user = userField();
    Gtk::PasswordEntry* pass = passField();
    ASSERT_NE(user, nullptr);
    ASSERT_NE(pass, nullptr);
    EXPECT_EQ(user->get_placeholder_text(), "Username");
    EXPECT_EQ(pass->property_placeholder_text().get_value(), "Password");
    EXPECT_EQ(user->get_text(), "");
    EXPECT_EQ(pass->get_text(), "");
    ASSERT_TRUE(waitUntil([&] { return pass->get_height() > 0; }));
    double userY = 0, passY = 0, x = 0;
    user->translate_coordinates(*alert, 0, 0, x, userY);
    pass->translate_coordinates(*alert, 0, 0, x, passY);
    EXPECT_EQ(passY, userY + 24) << "the password field lies right under the user name";
    EXPECT_EQ(user->get_allocation().get_width(), 200);
    EXPECT_EQ(user->get_allocation().get_height(), 24);
    EXPECT_EQ(pass->get_allocation().get_width(), 200);
    EXPECT_EQ(pass->get_allocation().get_height(), 24);
    alert->response(static_cast<int>(Gtk::ResponseType::CANCEL));
}

TEST_F(PasswordPromptTest, SaveWithEmptyFieldsStoresTwoEmptyTexts) {
    TestServer server;
    server.addPage("/login", htmlPage("Login"));
    launch();
    loadPage(server.url("/login"));
    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    app->openAlert()->response(kSaveResponse);
    EXPECT_EQ(app->openAlert(), nullptr);
    EXPECT_EQ(readVault(),
              (std::map<std::string, VaultRecord>{{"127.0.0.1", VaultRecord{"", ""}}}));
}

TEST_F(PasswordPromptTest, ReturnSavesTheTextsAsTyped) {
    TestServer server;
    server.addPage("/login", htmlPage("Login"));
    launch();
    loadPage(server.url("/login"));
    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    userField()->set_text("  Zoë ");
    passField()->set_text("p@ss word\t");
    // Return in the password field presses "Save".
    for (auto* text : descendants<Gtk::Text>(*passField()))
        g_signal_emit_by_name(text->gobj(), "activate");
    ASSERT_TRUE(waitUntil([&] { return app->openAlert() == nullptr; }, std::chrono::seconds(2)));
    EXPECT_EQ(readVault(), (std::map<std::string, VaultRecord>{
                               {"127.0.0.1", VaultRecord{"  Zoë ", "p@ss word\t"}}}));

    // A second save for the host replaces the first.
    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    userField()->set_text("second");
    app->openAlert()->response(kSaveResponse);
    EXPECT_EQ(readVault(),
              (std::map<std::string, VaultRecord>{{"127.0.0.1", VaultRecord{"second", ""}}}));
}

TEST_F(PasswordPromptTest, CancelAndEscapeStoreNothing) {
    TestServer server;
    server.addPage("/login", htmlPage("Login"));
    launch();
    loadPage(server.url("/login"));

    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    userField()->set_text("alice");
    app->openAlert()->response(static_cast<int>(Gtk::ResponseType::CANCEL));
    EXPECT_EQ(app->openAlert(), nullptr);

    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    userField()->set_text("alice");
    g_signal_emit_by_name(app->openAlert()->gobj(), "close");
    EXPECT_EQ(app->openAlert(), nullptr);
    pump(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(vaultFile()));
}

TEST_F(PasswordPromptTest, TheRecordGoesToTheHostNamedEvenAfterTheTabMovesOn) {
    TestServer server;
    server.addPage("/login", htmlPage("Login"));
    launch();
    loadPage(server.url("/login"));
    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    EXPECT_EQ(app->openAlert()->property_text().get_value(), "Save password for 127.0.0.1?");

    showPageAt("http://other.example/account");
    ASSERT_EQ(hostIn(*web().url()), "other.example");
    userField()->set_text("alice");
    app->openAlert()->response(kSaveResponse);
    EXPECT_EQ(readVault(),
              (std::map<std::string, VaultRecord>{{"127.0.0.1", VaultRecord{"alice", ""}}}));
}

TEST_F(PasswordPromptTest, InternationalHostIsStoredAsTheWebViewReportsIt) {
    launch();
    showPageAt("http://bücher.example/login");
    const std::string host = hostIn(*web().url());
    ASSERT_FALSE(host.empty());
    app->promptSavePassword();
    ASSERT_NE(app->openAlert(), nullptr);
    EXPECT_EQ(app->openAlert()->property_text().get_value().raw(),
              "Save password for " + host + "?");
    app->openAlert()->response(kSaveResponse);
    const auto vault = readVault();
    ASSERT_EQ(vault.size(), 1u);
    EXPECT_EQ(vault.begin()->first, host);
}

} // namespace
} // namespace vesk::test
