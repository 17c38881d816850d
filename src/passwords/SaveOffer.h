#pragma once

#include <optional>
#include <string>

#include "store/SavedPassword.h"

namespace vesk {

// Whether a login submitted over a page of `security` at `origin` is worth offering to
// save, given what the vault holds for the page's host. A pair saved over https is never
// offered again over http; one saved over plain http is offered again once it is typed
// over https, and one saved on another origin (or on none) is offered again so that it
// can be kept for the origin it is used on now.
bool shouldOfferToSave(const std::optional<SavedPassword>& saved, const std::string& user,
                       const std::string& password, PageSecurity security,
                       const std::string& origin);

// Whether `saved` may be offered for the page at `pageURL`, shown with `pageSecurity`:
// only on the very origin (scheme, host and port) it was typed on, with the security it
// was typed with; a record whose origin is not known is never offered.
bool mayOfferSavedLogin(const SavedPassword& saved, const std::string& pageURL,
                        PageSecurity pageSecurity);

} // namespace vesk
