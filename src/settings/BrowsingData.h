#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/HistoryEntry.h"

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

// The hosts of the history entries dated from `since` on: the sites whose cookies a
// clear of that time takes, since the engine keeps no dates for cookies.
std::set<std::string> hostsVisitedSince(const std::vector<HistoryEntry>& history, double since);

// Whether saved passwords can be cleared over `range`: the vault keeps no dates,
// so only all of them can go.
bool canClearPasswords(ClearRange range);

} // namespace vesk
