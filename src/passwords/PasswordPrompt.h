#pragma once

#include <string>

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "store/VeskStore.h"
#include "widgets/Alert.h"

namespace vesk {

// The modal "Save password for <host>?" alert with a user name and a masked
// password field. "Save" reports both as typed, with the host the alert named and
// whether its page came over https. A button below the fields leads to the list
// of saved passwords instead.
class PasswordPrompt : public sigc::trackable {
public:
    explicit PasswordPrompt(AlertPresenter& alerts);

    // Asks for the credentials of `host`, whose page has `security`; the fields
    // start with `user` and `password` (empty when the user asked by hand).
    void present(const std::string& host, PageSecurity security, const std::string& user = {},
                 const std::string& password = {});

    // "Save" was pressed (or Return in a field): user, password, host, security.
    sigc::signal<void(const std::string&, const std::string&, const std::string&, PageSecurity)>&
    signalSave() {
        return save_;
    }
    // "Manage Saved Passwords…" was pressed; the prompt has gone without saving.
    sigc::signal<void()>& signalManage() { return manage_; }

private:
    AlertPresenter& alerts_;
    sigc::signal<void(const std::string&, const std::string&, const std::string&, PageSecurity)>
        save_;
    sigc::signal<void()> manage_;
};

} // namespace vesk
