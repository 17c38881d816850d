#include "BrowsingFixture.h"

#include <filesystem>

#include <gtkmm/passwordentry.h>
#include <gtkmm/text.h>

// The key button's "Save password for <host>?" alert over real pages, and the
// vault file it leaves behind.

namespace vesk::test {
namespace {

class PasswordPromptTest : public BrowsingFixture {
protected:
    bool vaultExists() const {
        return std::filesystem::exists(home->dataDir() / "Vesk/vault.plist");
    }
    StoredVault vault() { return readVaultFile(home->dataDir()); }

    // Presses the key button over the current page; the alert must name `host`.
    void prompt(const std::string& host) {
        click(toolbar().password());
        ASSERT_NE(alert(), nullptr) << "no prompt for " << host;
        ASSERT_EQ(alert()->property_text().get_value().raw(), "Save password for " + host + "?");
    }
    void fillIn(const std::string& user, const std::string& pass) {
        descendants<Gtk::Entry>(*alert()).at(0)->set_text(user);
        descendants<Gtk::PasswordEntry>(*alert()).at(0)->set_text(pass);
    }
    // Shows a page of our own under `url`; nothing is fetched from that address.
    void showPageAt(const std::string& url) {
        const auto before = web().url();
        web().loadHTML("<p>sign in</p>", url);
        ASSERT_TRUE(waitUntil([&] { return web().url() != before && !web().isLoading(); }));
    }
    void loadLoginPage() {
        server->addPage("/login", htmlPage("Login"));
        launch();
        loadAndWait("/login", "Login");
    }
};

TEST_F(PasswordPromptTest, OnlySaveOrReturnStoresTheFieldsAsTyped) {
    loadLoginPage();
    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    fillIn("alice", "secret");
    answerAlert("Cancel");
    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    fillIn("alice", "secret");
    g_signal_emit_by_name(alert()->gobj(), "close"); // Escape
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(alert(), nullptr);
    EXPECT_FALSE(vaultExists());

    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    fillIn("  Zoë ", "p@ss word\t");
    for (auto* text : descendants<Gtk::Text>(*descendants<Gtk::PasswordEntry>(*alert()).at(0)))
        g_signal_emit_by_name(text->gobj(), "activate");
    // A button pressed by key answers after its short pressed look.
    ASSERT_TRUE(waitUntil([&] { return alert() == nullptr; }, std::chrono::seconds(2)));
    EXPECT_EQ(vault(), (StoredVault{{"127.0.0.1", {"  Zoë ", "p@ss word\t"}}}));

    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    answerAlert("Save");
    EXPECT_EQ(vault(), (StoredVault{{"127.0.0.1", {"", ""}}})) << "empty fields are saved too";
}

// The error page of a load refused before any of its page arrived stands for no
// page at all, not for the refused host nor for the page shown before it.
TEST_F(PasswordPromptTest, NothingIsShownWithoutAHostOrOverARefusedLoad) {
    server->addPage("/login", htmlPage("Login"));
    launch();
    click(toolbar().password());
    EXPECT_EQ(alert(), nullptr) << "a tab with no address";
    showPageAt("file:///nowhere/page.html");
    click(toolbar().password());
    EXPECT_EQ(alert(), nullptr) << "a file page";
    loadAndWait("/login", "Login");
    loadRefused();
    click(toolbar().password());
    EXPECT_EQ(alert(), nullptr) << "a refused load's error page";
    EXPECT_FALSE(vaultExists());
}

TEST_F(PasswordPromptTest, ThePageBeforeARefusedLoadStillGetsThePromptWhenBackOnIt) {
    loadLoginPage();
    loadRefused();
    click(toolbar().back());
    ASSERT_TRUE(
        waitUntil([&] { return web().url() == server->url("/login") && !web().isLoading(); }));
    prompt("127.0.0.1");
}

// The record goes to the host the alert named, here an international one as the
// web view spells it, even after the tab has moved on.
TEST_F(PasswordPromptTest, TheRecordGoesToTheHostNamedEvenAfterTheTabMovesOn) {
    launch();
    showPageAt("http://bücher.example/login");
    const std::string shown = web().url().value_or("");
    const std::string host = shown.substr(7, shown.find('/', 7) - 7);
    ASSERT_NO_FATAL_FAILURE(prompt(host));
    showPageAt("http://other.example/account");
    fillIn("alice", "");
    answerAlert("Save");
    EXPECT_EQ(vault(), (StoredVault{{host, {"alice", ""}}}));
}

} // namespace
} // namespace vesk::test
