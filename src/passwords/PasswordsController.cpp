#include "passwords/PasswordsController.h"

#include "engine/LoginForms.h"
#include "navigation/NavigationRules.h"
#include "passwords/PasswordPrompt.h"
#include "passwords/PasswordsList.h"
#include "passwords/SaveOffer.h"
#include "passwords/SavedLoginOffer.h"
#include "permissions/PermissionDecisions.h"
#include "store/VeskStore.h"
#include "tabs/Tab.h"

namespace vesk {

PasswordsController::PasswordsController(AlertPresenter& alerts, Gtk::Window& parent,
                                         Gtk::Widget& offerAnchor)
    : prompt_(std::make_unique<PasswordPrompt>(alerts)),
      list_(std::make_unique<PasswordsList>(parent)),
      offer_(std::make_unique<SavedLoginOffer>(offerAnchor)) {
    prompt_->signalSave().connect([this](const std::string& user, const std::string& pass,
                                         const std::string& host, PageSecurity security) {
        VeskStore::shared().savePassword(user, pass, host, security, promptOrigin_);
        offerSavedLogin();
    });
    offer_->signalPicked().connect(sigc::mem_fun(*this, &PasswordsController::fillSavedLogin));
    prompt_->signalManage().connect(sigc::mem_fun(*this, &PasswordsController::openPasswordsList));
    list_->signalRemove().connect([this](const std::string& host) {
        VeskStore::shared().removePassword(host);
        rebuildPasswordsList();
        offerSavedLogin();
    });
    list_->signalRemoveAll().connect([this] {
        VeskStore::shared().removeAllPasswords();
        rebuildPasswordsList();
        offerSavedLogin();
    });
}

PasswordsController::~PasswordsController() = default;

void PasswordsController::watch(Tab& tab) {
    LoginForms* logins = tab.loginForms();
    if (!logins)
        return;
    Tab* t = &tab;
    logins->signalSubmitted().connect([this, t](const std::string& user, const std::string& pass) {
        loginSubmitted(*t, user, pass);
    });
    logins->signalFormShown().connect([this, t] {
        if (t == current_)
            offerSavedLogin();
    });
    logins->signalPageChanged().connect([this, t] {
        if (t == current_)
            offer_->withdraw();
    });
}

void PasswordsController::setCurrent(Tab* tab) {
    current_ = tab;
    offerSavedLogin();
}

void PasswordsController::promptSavePassword() {
    if (!current_)
        return;
    // A page that never loaded (an error page stands in for it) has no host to save for.
    const std::optional<std::string> reached = current_->web().reachedURL();
    if (const std::optional<std::string> host = hostOf(reached)) {
        const LoginForms* logins = current_->loginForms();
        promptOrigin_ = permissionOriginOfURL(*reached).value_or("");
        prompt_->present(*host, logins ? logins->pageSecurity() : PageSecurity::Insecure);
    }
}

void PasswordsController::loginSubmitted(Tab& tab, const std::string& user,
                                         const std::string& password) {
    const LoginForms* logins = tab.loginForms();
    // A tab in the background cannot have been typed into just now.
    if (!logins || &tab != current_ || tab.web().isShowingErrorPage())
        return;
    // The host is the shown document's as the engine knows it, never what the page says.
    const std::optional<std::string> host = hostOf(logins->pageURL());
    if (!host)
        return;
    const PageSecurity security = logins->pageSecurity();
    const std::string origin = permissionOriginOfURL(*logins->pageURL()).value_or("");
    if (shouldOfferToSave(VeskStore::shared().savedPasswordFor(*host), user, password, security,
                          origin)) {
        promptOrigin_ = origin;
        prompt_->present(*host, security, user, password);
    }
}

namespace {

// The vault's record that may be offered to the tab's page now, if any.
std::optional<SavedPassword> offerableLogin(Tab* tab) {
    LoginForms* logins = tab ? tab->loginForms() : nullptr;
    if (!logins || !logins->hasShownForm() || !logins->pageURL() || tab->web().isShowingErrorPage())
        return std::nullopt;
    const std::optional<std::string> host = hostOf(*logins->pageURL());
    if (!host)
        return std::nullopt;
    std::optional<SavedPassword> saved = VeskStore::shared().savedPasswordFor(*host);
    if (!saved || !mayOfferSavedLogin(*saved, *logins->pageURL(), logins->pageSecurity()))
        return std::nullopt;
    return saved;
}

} // namespace

void PasswordsController::offerSavedLogin() {
    if (const std::optional<SavedPassword> saved = offerableLogin(current_))
        offer_->present(saved->user.empty() ? saved->host : saved->user);
    else
        offer_->withdraw();
}

void PasswordsController::fillSavedLogin() {
    // Read again: the record or the page may have changed while the offer was shown.
    if (const std::optional<SavedPassword> saved = offerableLogin(current_))
        current_->loginForms()->fill(*saved);
}

void PasswordsController::openPasswordsList() {
    list_->show(VeskStore::shared().loadPasswords());
}

void PasswordsController::rebuildPasswordsList() {
    if (list_->isOpen())
        list_->show(VeskStore::shared().loadPasswords());
}

} // namespace vesk
