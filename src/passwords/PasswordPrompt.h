#pragma once

#include <string>

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "platform/Alert.h"

namespace vesk {

// The modal "Save password for <host>?" alert with a user name and a masked
// password field. "Save" reports both as typed, with the host the alert named.
class PasswordPrompt : public sigc::trackable {
public:
    explicit PasswordPrompt(AlertPresenter& alerts);

    // Asks for the credentials of `host`.
    void present(const std::string& host);

    // "Save" was pressed (or Return in a field): user, password, host.
    sigc::signal<void(const std::string&, const std::string&, const std::string&)>& signalSave() {
        return save_;
    }

private:
    AlertPresenter& alerts_;
    sigc::signal<void(const std::string&, const std::string&, const std::string&)> save_;
};

} // namespace vesk
