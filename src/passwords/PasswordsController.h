#pragma once

#include <memory>
#include <string>

#include <sigc++/trackable.h>

namespace Gtk {
class Window;
}

namespace vesk {

class AlertPresenter;
class PasswordPrompt;
class PasswordsList;
class Tab;

// Saved passwords across the window: the offer to save a submitted login, the
// rule for filling a page's login forms from the vault, and the "Passwords" list.
class PasswordsController : public sigc::trackable {
public:
    PasswordsController(AlertPresenter& alerts, Gtk::Window& parent);
    ~PasswordsController();
    PasswordsController(const PasswordsController&) = delete;
    PasswordsController& operator=(const PasswordsController&) = delete;

    // Listens to the login forms of a new tab's page.
    void watch(Tab& tab);
    // The tab the user sees now; only its logins are offered for saving.
    void setCurrent(Tab* tab) { current_ = tab; }
    // Offers to save a login for the page on show, typed by hand.
    void promptSavePassword();
    // Opens the "Passwords" list, read from the vault now.
    void openPasswordsList();
    PasswordsList& passwordsList() { return *list_; }

private:
    // The tab's page submitted a login: offers to save it for the page's host,
    // unless the vault holds exactly that already.
    void loginSubmitted(Tab& tab, const std::string& user, const std::string& password);
    // Fills the tab's login forms from the vault when the page's host has a record.
    void fillSavedPassword(Tab& tab);
    void rebuildPasswordsList();

    std::unique_ptr<PasswordPrompt> prompt_;
    std::unique_ptr<PasswordsList> list_;
    Tab* current_ = nullptr;
};

} // namespace vesk
