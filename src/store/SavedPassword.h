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
};

} // namespace vesk
