#pragma once

#include <optional>
#include <string>

#include "store/SavedPassword.h"

namespace vesk {

// Whether a login submitted over a page of `security` is worth offering to
// save, given what the vault holds for the page's host. The same pair saved
// over https is never offered again; one saved over plain http is offered
// again once it is typed over https, so that it can be kept as a secure record.
bool shouldOfferToSave(const std::optional<SavedPassword>& saved, const std::string& user,
                       const std::string& password, PageSecurity security);

} // namespace vesk
