#pragma once

#include <memory>
#include <string>

#include <sigc++/trackable.h>

namespace Gtk {
class Widget;
class Window;
} // namespace Gtk

namespace vesk {

class AlertPresenter;
class PasswordPrompt;
class PasswordsList;
class SavedLoginOffer;
class Tab;

// Saved passwords across the window: the offer to save a submitted login, the
// offer of a saved login to a page of its origin (filled only when the user picks
// it), and the "Passwords" list.
class PasswordsController : public sigc::trackable {
public:
    // The offer of a saved login points at `offerAnchor`, the key button.
    PasswordsController(AlertPresenter& alerts, Gtk::Window& parent, Gtk::Widget& offerAnchor);
    ~PasswordsController();
    PasswordsController(const PasswordsController&) = delete;
    PasswordsController& operator=(const PasswordsController&) = delete;

    // Listens to the login forms of a new tab's page.
    void watch(Tab& tab);
    // The tab the user sees now; only its logins are offered for saving.
    void setCurrent(Tab* tab);
    // Offers to save a login for the page on show, typed by hand.
    void promptSavePassword();
    // Opens the "Passwords" list, read from the vault now.
    void openPasswordsList();
    PasswordsList& passwordsList() { return *list_; }
    SavedLoginOffer& savedLoginOffer() { return *offer_; }

private:
    // The tab's page submitted a login: offers to save it for the page's host,
    // unless the vault holds exactly that already.
    void loginSubmitted(Tab& tab, const std::string& user, const std::string& password);
    // Offers the vault's record for the current tab's page when that page shows a
    // login form and the record was typed on the page's origin; withdraws it otherwise.
    void offerSavedLogin();
    // The user picked the offer: fills the current page's visible login form.
    void fillSavedLogin();
    void rebuildPasswordsList();

    std::unique_ptr<PasswordPrompt> prompt_;
    std::unique_ptr<PasswordsList> list_;
    std::unique_ptr<SavedLoginOffer> offer_;
    Tab* current_ = nullptr;
    // The origin of the page the save prompt was presented for.
    std::string promptOrigin_;
};

} // namespace vesk
