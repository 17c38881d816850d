#include <filesystem>
#include <map>
#include <utility>

#include <gtkmm/passwordentry.h>
#include <gtkmm/text.h>

#include "BrowsingFixture.h"

// The key button's "Save password for <host>?" alert over real pages, and the
// vault file it leaves behind.

namespace vesk::test {
namespace {

using Vault = std::map<std::string, std::pair<std::string, std::string>>;

class PasswordPromptTest : public BrowsingFixture {
protected:
    // The vault file: host to {user name, password}.
    Vault vault() {
        Vault vault;
        PlistPtr root = storedFile("vault.plist", PLIST_DICT);
        plist_dict_iter it = nullptr;
        if (root)
            plist_dict_new_iter(root.get(), &it);
        char* host = nullptr;
        plist_t record = nullptr;
        while (it && (plist_dict_next_item(root.get(), it, &host, &record), host)) {
            vault[host] = {stringAt(record, "user"), stringAt(record, "pass")};
            free(std::exchange(host, nullptr));
        }
        free(it);
        return vault;
    }
    // Whether the vault file comes to hold `expected`: the store writes it in the background.
    bool vaultBecomes(const Vault& expected) {
        return waitUntil([&] { return vault() == expected; }, std::chrono::seconds(3));
    }
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
};

// The error page of a load refused before any of its page arrived stands for no
// page at all, not for the refused host nor for the page shown before it; back on
// that page, the prompt comes again. Cancel and Escape store nothing.
TEST_F(PasswordPromptTest, NoPromptWithoutAHostOrOverARefusedLoadAndCancelStoresNothing) {
    launch();
    click(toolbar().password());
    EXPECT_EQ(alert(), nullptr) << "a tab with no address";
    showPageAt("file:///nowhere/page.html");
    click(toolbar().password());
    EXPECT_EQ(alert(), nullptr) << "a file page";
    openPage("Alpha");
    loadRefused();
    click(toolbar().password());
    EXPECT_EQ(alert(), nullptr) << "a refused load's error page";

    click(toolbar().back());
    ASSERT_TRUE(
        waitUntil([&] { return web().url() == server->url("/Alpha") && !web().isLoading(); }));
    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    fillIn("alice", "secret");
    answerAlert("Cancel");
    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    fillIn("alice", "secret");
    g_signal_emit_by_name(alert()->gobj(), "close"); // Escape
    EXPECT_TRUE(waitUntil([&] { return alert() == nullptr; }));
    EXPECT_FALSE(std::filesystem::exists(home->dataDir() / "Vesk/vault.plist"));
}

// Return and Save store the fields exactly as typed, empty ones too, under the host
// the alert named: here an international one as the web view spells it, even after
// the tab has moved on.
TEST_F(PasswordPromptTest, ReturnAndSaveStoreTheFieldsAsTypedForTheHostNamed) {
    launch();
    openPage("Alpha");
    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    fillIn("  Zoë ", "p@ss word\t");
    for (auto* text : descendants<Gtk::Text>(*descendants<Gtk::PasswordEntry>(*alert()).at(0)))
        g_signal_emit_by_name(text->gobj(), "activate");
    // A button pressed by key answers after its short pressed look.
    ASSERT_TRUE(waitUntil([&] { return alert() == nullptr; }, std::chrono::seconds(2)));
    EXPECT_TRUE(vaultBecomes({{"127.0.0.1", {"  Zoë ", "p@ss word\t"}}}));
    ASSERT_NO_FATAL_FAILURE(prompt("127.0.0.1"));
    answerAlert("Save");
    EXPECT_TRUE(vaultBecomes({{"127.0.0.1", {"", ""}}}));

    showPageAt("http://bücher.example/login");
    const std::string shown = web().url().value_or("");
    const std::string host = shown.substr(7, shown.find('/', 7) - 7);
    ASSERT_NO_FATAL_FAILURE(prompt(host));
    showPageAt("http://other.example/account");
    fillIn("alice", "");
    answerAlert("Save");
    EXPECT_TRUE(vaultBecomes({{"127.0.0.1", {"", ""}}, {host, {"alice", ""}}}));
}

} // namespace
} // namespace vesk::test
