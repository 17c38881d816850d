#pragma once

#include <optional>

namespace vesk {

// How far back a clear of browsing data reaches.
enum class ClearRange { LastHour, LastDay, LastWeek, AllTime };

// The kinds of browsing data one clear takes away.
struct BrowsingDataKinds {
    bool history = false;
    bool cookiesAndSiteData = false;
    bool cache = false;
    bool passwords = false;

    bool any() const { return history || cookiesAndSiteData || cache || passwords; }
};

// The time, in seconds since 1970, from which on data goes when clearing `range`
// at `now`; nothing for all time.
std::optional<double> clearStart(ClearRange range, double now);

// Whether saved passwords can be cleared over `range`: the vault keeps no dates,
// so only all of them can go.
bool canClearPasswords(ClearRange range);

} // namespace vesk
