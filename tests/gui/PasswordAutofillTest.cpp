#include <memory>
#include <string>

#include <gtkmm/passwordentry.h>
#include <gtkmm/togglebutton.h>
#include <webkit/webkit.h>

#include "BrowsingFixture.h"
#include "passwords/PasswordsList.h"
#include "store/VeskStore.h"

// Logins submitted on real pages offer the save prompt filled in; saved ones fill
// the same host's forms and no other's; the list of saved passwords empties.

namespace vesk::test {
namespace {

// Quotes, a closing script tag, a line separator and a non-ASCII letter: text that
// breaks a script that pastes it in.
const std::string kPassword = "s3\"cr'et</script>\u2028\\é";

const std::string kLoginForm = "<form method='post' action='/Alpha'>"
                               "<input id='user' name='user'>"
                               "<input id='pass' name='pass' type='password'>"
                               "<button id='go'>Sign in</button></form>";

class PasswordAutofillTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        server->addPage("/login", htmlPage("Login", kLoginForm));
        // The same form, put in by the page's script after it has loaded.
        server->addPage("/late", htmlPage("Late", "<div id='slot'></div><script>"
                                                  "setTimeout(() => { slot.innerHTML = `" +
                                                      kLoginForm + "`; }, 300);</script>"));
    }

    std::string fields() { return evaluate("user.value + '|' + pass.value"); }

    // Loads the login page at `base` (a server address with its host) and waits for it.
    void openLogin(const std::string& base, const std::string& path = "/login") {
        typeAndReturn(base + path);
        ASSERT_TRUE(waitUntil([&] { return web().url() == base + path && !web().isLoading(); }));
    }
    // Types into the form as the user would and submits it with the page's button.
    void submit(const std::string& user, const std::string& password) {
        const std::string typed = "user.value = " + jsString(user) +
                                  "; pass.value = " + jsString(password) + "; go.click(); 'ok'";
        ASSERT_EQ(evaluate(typed), "ok");
    }
    static std::string jsString(const std::string& text) {
        // The test's own texts are known to need only these escapes.
        std::string quoted = "'";
        for (char c : text)
            quoted += c == '\'' || c == '\\' ? std::string("\\") + c : std::string(1, c);
        return quoted + "'";
    }

    std::string localhost() {
        std::string base = server->url("");
        return base.replace(base.find("127.0.0.1"), 9, "localhost");
    }
};

TEST_F(PasswordAutofillTest, SubmittedLoginIsOfferedThenFillsOnlyItsOwnHost) {
    launch();
    openLogin(server->url(""));
    submit("alice", "");
    settle();
    EXPECT_EQ(alert(), nullptr) << "an empty password is no login";

    openLogin(server->url(""));
    submit("alice", kPassword);
    ASSERT_TRUE(waitUntil([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->property_text().get_value().raw(), "Save password for 127.0.0.1?");
    EXPECT_EQ(descendants<Gtk::Entry>(*alert()).at(0)->get_text().raw(), "alice");
    EXPECT_EQ(descendants<Gtk::PasswordEntry>(*alert()).at(0)->get_text().raw(), kPassword);
    answerAlert("Save");
    const auto saved = VeskStore::shared().savedPasswordFor("127.0.0.1");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->password, kPassword);
    EXPECT_EQ(saved->security, PageSecurity::Insecure);

    openLogin(server->url(""));
    ASSERT_TRUE(waitUntil([&] { return fields() == "alice|" + kPassword; })) << fields();
    // Submitting the pair the vault holds asks nothing.
    submit("alice", kPassword);
    settle();
    EXPECT_EQ(alert(), nullptr);

    // A form the page adds after loading is filled too.
    openLogin(server->url(""), "/late");
    ASSERT_TRUE(waitUntil([&] { return evaluate("typeof pass") == "object"; }));
    EXPECT_TRUE(waitUntil([&] { return fields() == "alice|" + kPassword; })) << fields();

    // Another host on the same server gets nothing, and its logins are its own.
    openLogin(localhost());
    settle();
    EXPECT_EQ(fields(), "|");
    EXPECT_EQ(evaluate("typeof veskLoginOf"), "undefined") << "the page sees the script's world";
    submit("bob", "other");
    ASSERT_TRUE(waitUntil([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->property_text().get_value().raw(), "Save password for localhost?");
    answerAlert("Cancel");
}

TEST_F(PasswordAutofillTest, ManageListShowsRecordsAndRemoveAllAsksFirst) {
    VeskStore::shared().savePassword("alice", "first", "127.0.0.1", PageSecurity::Insecure);
    VeskStore::shared().savePassword("bob", "second", "example.org", PageSecurity::Secure);
    launch();
    openPage("Alpha");
    click(toolbar().password());
    ASSERT_NE(alert(), nullptr);
    answerAlert("Manage Saved Passwords…");
    ASSERT_TRUE(
        waitUntil([&] { return alert() == nullptr && app->passwords().passwordsList().isOpen(); }));

    PasswordsList& list = app->passwords().passwordsList();
    ASSERT_EQ(list.rows().size(), 2u);
    auto labels = [](Gtk::Widget& row) {
        std::string text;
        for (auto* label : descendants<Gtk::Label>(row))
            text += label->get_text().raw() + "|";
        return text;
    };
    EXPECT_EQ(labels(*list.rows()[0]), "127.0.0.1|alice|••••••••|");
    descendants<Gtk::ToggleButton>(*list.rows()[0]).at(0)->set_active(true);
    EXPECT_EQ(labels(*list.rows()[0]), "127.0.0.1|alice|first|");

    auto answer = [&](const std::string& label) {
        ASSERT_NE(list.alerts()->openAlert(), nullptr);
        for (auto* button : descendants<Gtk::Button>(*list.alerts()->openAlert()))
            if (button->get_label().raw() == label)
                return click(*button);
        ADD_FAILURE() << "no button " << label;
    };
    click(*list.removeAllButton());
    answer("Cancel");
    EXPECT_EQ(VeskStore::shared().loadPasswords().size(), 2u);
    EXPECT_EQ(list.rows().size(), 2u);
    click(*list.removeAllButton());
    answer("Remove All");
    EXPECT_TRUE(VeskStore::shared().loadPasswords().empty());
    EXPECT_TRUE(list.rows().empty());
}

} // namespace
} // namespace vesk::test
