#include "settings/BrowsingData.h"

#include "navigation/NavigationRules.h"

namespace vesk {

namespace {
constexpr double kHour = 60.0 * 60.0;
constexpr double kDay = 24.0 * kHour;
constexpr double kWeek = 7.0 * kDay;
} // namespace

std::optional<double> clearStart(ClearRange range, double now) {
    switch (range) {
    case ClearRange::LastHour:
        return now - kHour;
    case ClearRange::LastDay:
        return now - kDay;
    case ClearRange::LastWeek:
        return now - kWeek;
    case ClearRange::AllTime:
        break;
    }
    return std::nullopt;
}

std::set<std::string> hostsVisitedSince(const std::vector<HistoryEntry>& history, double since) {
    std::set<std::string> hosts;
    for (const HistoryEntry& entry : history)
        if (entry.date && *entry.date >= since)
            if (std::optional<std::string> host = hostOf(entry.url))
                hosts.insert(*host);
    return hosts;
}

bool canClearPasswords(ClearRange range) {
    return range == ClearRange::AllTime;
}

} // namespace vesk
