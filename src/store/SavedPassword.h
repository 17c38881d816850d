#pragma once

#include <string>

namespace vesk {

// Whether the page a password was typed on came over https. A record whose page is not
// known counts as Insecure.
enum class PageSecurity { Insecure, Secure };

// One record of the password vault.
struct SavedPassword {
    std::string host;
    std::string user;
    std::string password;
    PageSecurity security = PageSecurity::Insecure;
    // The "scheme://host:port" of the page the password was typed on; empty for a record
    // saved before origins were kept, which fills nothing until it is typed again.
    std::string origin;
};

} // namespace vesk
