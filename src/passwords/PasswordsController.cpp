#include "passwords/PasswordsController.h"

#include "engine/LoginForms.h"
#include "navigation/NavigationRules.h"
#include "passwords/PasswordPrompt.h"
#include "passwords/PasswordsList.h"
#include "passwords/SaveOffer.h"
#include "store/VeskStore.h"
#include "tabs/Tab.h"

namespace vesk {

PasswordsController::PasswordsController(AlertPresenter& alerts, Gtk::Window& parent)
    : prompt_(std::make_unique<PasswordPrompt>(alerts)),
      list_(std::make_unique<PasswordsList>(parent)) {
    prompt_->signalSave().connect([](const std::string& user, const std::string& pass,
                                     const std::string& host, PageSecurity security) {
        VeskStore::shared().savePassword(user, pass, host, security);
    });
    prompt_->signalManage().connect(sigc::mem_fun(*this, &PasswordsController::openPasswordsList));
    list_->signalRemove().connect([this](const std::string& host) {
        VeskStore::shared().removePassword(host);
        rebuildPasswordsList();
    });
    list_->signalRemoveAll().connect([this] {
        VeskStore::shared().removeAllPasswords();
        rebuildPasswordsList();
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
    logins->signalFormShown().connect([this, t] { fillSavedPassword(*t); });
}

void PasswordsController::promptSavePassword() {
    if (!current_)
        return;
    // A page that never loaded (an error page stands in for it) has no host to save for.
    if (const std::optional<std::string> host = hostOf(current_->web().reachedURL())) {
        const LoginForms* logins = current_->loginForms();
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
    if (shouldOfferToSave(VeskStore::shared().savedPasswordFor(*host), user, password, security))
        prompt_->present(*host, security, user, password);
}

void PasswordsController::fillSavedPassword(Tab& tab) {
    LoginForms* logins = tab.loginForms();
    if (!logins || tab.web().isShowingErrorPage())
        return;
    const std::optional<std::string> host = hostOf(logins->pageURL());
    if (!host)
        return;
    // The forms check the record's security against the page's themselves.
    if (const std::optional<SavedPassword> saved = VeskStore::shared().savedPasswordFor(*host))
        logins->fill(*saved);
}

void PasswordsController::openPasswordsList() {
    list_->show(VeskStore::shared().loadPasswords());
}

void PasswordsController::rebuildPasswordsList() {
    if (list_->isOpen())
        list_->show(VeskStore::shared().loadPasswords());
}

} // namespace vesk
