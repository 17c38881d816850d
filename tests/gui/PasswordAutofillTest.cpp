#include <memory>
#include <string>

#include <gtkmm/passwordentry.h>
#include <gtkmm/togglebutton.h>
#include <webkit/webkit.h>

#include "BrowsingFixture.h"
#include "engine/LoginForms.h"
#include "passwords/PasswordsController.h"
#include "passwords/PasswordsList.h"
#include "passwords/SavedLoginOffer.h"
#include "permissions/PermissionDecisions.h"
#include "store/VeskStore.h"
#include "tabs/PermissionBar.h"
#include "tabs/Tab.h"

// Logins submitted on real pages offer the save prompt filled in; saved ones are
// offered to the visible forms of the origin they were typed on and filled only when
// the user picks them; the list of saved passwords empties.

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
    SavedLoginOffer& offer() { return app->passwords().savedLoginOffer(); }
    std::string originOf(const TestServer& where) {
        return permissionOriginOfURL(where.url("/")).value();
    }

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

TEST_F(PasswordAutofillTest, SubmittedLoginIsSavedThenFilledOnlyWhenPickedOnItsOrigin) {
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
    EXPECT_EQ(saved->origin, originOf(*server));

    openLogin(server->url(""));
    ASSERT_TRUE(waitUntil([&] { return offer().isShown(); }));
    EXPECT_EQ(offer().fillButton().get_label().raw(), "Fill login for alice");
    settle();
    EXPECT_EQ(fields(), "|") << "nothing goes into the page before the user picks it";
    click(offer().fillButton());
    ASSERT_TRUE(waitUntil([&] { return fields() == "alice|" + kPassword; })) << fields();
    EXPECT_FALSE(offer().isShown());
    // Submitting the pair the vault holds asks nothing.
    submit("alice", kPassword);
    settle();
    EXPECT_EQ(alert(), nullptr);

    // A form the page adds after loading is offered too, and filled on the pick.
    openLogin(server->url(""), "/late");
    ASSERT_TRUE(waitUntil([&] { return evaluate("typeof pass") == "object"; }));
    ASSERT_TRUE(waitUntil([&] { return offer().isShown(); }));
    EXPECT_EQ(fields(), "|");
    click(offer().fillButton());
    EXPECT_TRUE(waitUntil([&] { return fields() == "alice|" + kPassword; })) << fields();

    // Another host on the same server is offered nothing, and its logins are its own.
    openLogin(localhost());
    settle();
    EXPECT_FALSE(offer().isShown());
    EXPECT_EQ(fields(), "|");
    EXPECT_EQ(evaluate("typeof veskLoginOf"), "undefined") << "the page sees the script's world";
    submit("bob", "other");
    ASSERT_TRUE(waitUntil([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->property_text().get_value().raw(), "Save password for localhost?");
    answerAlert("Cancel");
}

TEST_F(PasswordAutofillTest, OtherPortsHiddenFormsAndLateFieldsGetNothing) {
    // A listener that keeps whatever reaches any password field of the page.
    const std::string spy = "<script>window.got = '';"
                            "document.addEventListener('input', (e) => { got += e.target.value; },"
                            " true);</script>";
    TestServer otherPort;
    otherPort.addPage("/login", htmlPage("Other", kLoginForm + spy));
    const std::string hidden =
        "<form action='http://localhost:1/steal' style='opacity:0'>"
        "<input name='u1'><input id='p1' type='password'></form>"
        "<form action='http://localhost:1/steal'><input name='u2' style='width:1px;height:1px'>"
        "<input id='p2' type='password' style='width:1px;height:1px'></form>"
        "<form action='http://localhost:1/steal' style='position:absolute;left:-5000px'>"
        "<input name='u3'><input id='p3' type='password'></form>"
        "<form style='display:none'><input name='u4'><input id='p4' type='password'></form>";
    server->addPage("/hidden", htmlPage("Hidden", hidden + kLoginForm + spy));
    // A field added a second after load, read with FormData a little later.
    server->addPage("/formdata",
                    htmlPage("FormData", "<form id='f'><input name='user'></form><script>"
                                         "window.read = '';"
                                         "setTimeout(() => { f.insertAdjacentHTML('beforeend',"
                                         " `<input name='pass' type='password'>`); }, 1000);"
                                         "setTimeout(() => { read = 'read:' + new FormData(f)"
                                         ".get('pass'); }, 1500);</script>"));
    VeskStore::shared().savePassword("alice", kPassword, "127.0.0.1", PageSecurity::Insecure,
                                     originOf(*server));
    const SavedPassword saved = VeskStore::shared().savedPasswordFor("127.0.0.1").value();
    launch();

    openLogin(otherPort.url(""));
    settle();
    EXPECT_FALSE(offer().isShown()) << "another port is another origin";
    // Even a fill asked for directly stays out of another origin's page.
    app->tabs().current()->loginForms()->fill(saved);
    settle();
    EXPECT_EQ(evaluate("got + '|' + user.value + '|' + pass.value"), "||");

    openLogin(server->url(""), "/formdata");
    ASSERT_TRUE(waitUntil([&] { return evaluate("read") != ""; }));
    EXPECT_EQ(evaluate("read"), "read:") << "no password before the user picks it";

    // Only the visible form is filled on the pick; the hidden ones stay empty.
    openLogin(server->url(""), "/hidden");
    ASSERT_TRUE(waitUntil([&] { return offer().isShown(); }));
    click(offer().fillButton());
    ASSERT_TRUE(waitUntil([&] { return fields() == "alice|" + kPassword; })) << fields();
    EXPECT_EQ(evaluate("[p1, p2, p3, p4].map((p) => p.value + p.form.elements[0].value).join()"),
              ",,,");
    EXPECT_EQ(evaluate("got"), "alice" + kPassword);
}

// A window a page opens shares its opener's web process; its forms still speak for
// the window's own page and origin, not for the opener's.
TEST_F(PasswordAutofillTest, AWindowOpenedByAPageIsOfferedItsOwnOriginsLogin) {
    VeskStore::shared().savePassword("alice", kPassword, "127.0.0.1", PageSecurity::Insecure,
                                     originOf(*server));
    TestServer opener;
    opener.addPage("/opener", htmlPage("Opener"));
    launch();
    openLogin(opener.url(""), "/opener");
    // A test has no user gesture to open windows with: the engine lets scripts do it
    // here, and so does the user for the page's origin.
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(web().raw()), TRUE);
    app->tabs().current()->permissionBar()->openingGuard().allow();
    evaluate("open('" + server->url("/login") + "'); 'opened'");
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 2; }));
    ASSERT_TRUE(
        waitUntil([&] { return web().url() == server->url("/login") && !web().isLoading(); }));
    ASSERT_TRUE(waitUntil([&] { return offer().isShown(); }));
    click(offer().fillButton());
    ASSERT_TRUE(waitUntil([&] { return fields() == "alice|" + kPassword; })) << fields();
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
