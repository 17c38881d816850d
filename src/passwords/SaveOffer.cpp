#include "passwords/SaveOffer.h"

namespace vesk {

bool shouldOfferToSave(const std::optional<SavedPassword>& saved, const std::string& user,
                       const std::string& password, PageSecurity security) {
    if (password.empty())
        return false;
    if (!saved || saved->user != user || saved->password != password)
        return true;
    return saved->security == PageSecurity::Insecure && security == PageSecurity::Secure;
}

} // namespace vesk
