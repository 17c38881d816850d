#pragma once

#include <optional>
#include <string>

#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include "base/GObjectPtr.h"
#include "store/VeskStore.h"

typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitUserScript WebKitUserScript;
typedef struct _JSCValue JSCValue;

namespace vesk {

class WebView;

// The login forms of one view's top frame. A script in a world of its own, which
// the page's scripts cannot see, reports a login being submitted and login forms
// coming into the user's sight; saved values are filled in through that world too,
// into fields the user can see. It decides only whether a record may go into the
// page now shown (its origin and security must be the record's); whether to offer
// a save or a fill is the passwords controller's, with the vault.
class LoginForms {
public:
    // The name of the script world, which the engine makes on first use of the name;
    // the page's own scripts never run in it.
    static constexpr const char* kWorldName = "vesk-logins";
    // The channel the script posts on, inside that world only.
    static constexpr const char* kChannel = "veskLogin";

    explicit LoginForms(WebView& view);
    ~LoginForms();
    LoginForms(const LoginForms&) = delete;
    LoginForms& operator=(const LoginForms&) = delete;

    // The address of the document now shown (the last one committed), which the
    // page's messages belong to; nothing before the first commit.
    const std::optional<std::string>& pageURL() const { return pageURL_; }
    // Secure while that document came over https with a certificate the engine trusts.
    PageSecurity pageSecurity() const;

    // Whether the page now shown has shown the user a login form.
    bool hasShownForm() const { return hasShownForm_; }

    // Fills the login forms of the page now shown with `saved`, but only while that
    // page is of exactly the record's origin and has the security the record was saved
    // with, and only fields the user can see; fields the user has typed into keep
    // their text. Called only when the user asked for it.
    void fill(const SavedPassword& saved);

    // A login form was submitted with a password: user name and password as typed.
    sigc::signal<void(const std::string&, const std::string&)>& signalSubmitted() {
        return submitted_;
    }
    // A login form came into the user's sight (when the page loaded, or later).
    sigc::signal<void()>& signalFormShown() { return formShown_; }
    // Another document is now shown; what was offered for the last one is void.
    sigc::signal<void()>& signalPageChanged() { return pageChanged_; }

private:
    static void onMessage(WebKitUserContentManager*, JSCValue* value, void* self);

    // Tells the page's isolated world the token that marks its messages as this view's.
    void giveToken();

    WebView& view_;
    const std::string token_;
    GObjectPtr<WebKitUserContentManager> manager_;
    std::optional<std::string> pageURL_;
    bool hasShownForm_ = false;
    sigc::connection committed_;
    sigc::connection finished_;
    sigc::signal<void(const std::string&, const std::string&)> submitted_;
    sigc::signal<void()> formShown_;
    sigc::signal<void()> pageChanged_;
};

} // namespace vesk
