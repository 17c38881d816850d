#include "passwords/SaveOffer.h"

#include "permissions/PermissionDecisions.h"

namespace vesk {

bool shouldOfferToSave(const std::optional<SavedPassword>& saved, const std::string& user,
                       const std::string& password, PageSecurity security,
                       const std::string& origin) {
    if (password.empty())
        return false;
    if (!saved || saved->user != user || saved->password != password)
        return true;
    // A pair kept as typed over https is never given up for one typed over http.
    if (saved->security == PageSecurity::Secure && security == PageSecurity::Insecure)
        return false;
    return saved->origin != origin || saved->security != security;
}

bool mayOfferSavedLogin(const SavedPassword& saved, const std::string& pageURL,
                        PageSecurity pageSecurity) {
    if (saved.origin.empty() || saved.security != pageSecurity)
        return false;
    // The origin holds the scheme; the security also keeps a record typed over https out
    // of a page of its origin whose certificate the user let through despite its errors.
    const std::optional<std::string> origin = permissionOriginOfURL(pageURL);
    return origin && *origin == saved.origin;
}

} // namespace vesk
