#include "tabs/SleepRules.h"

#include <algorithm>

namespace vesk {

std::chrono::minutes sleepAfterFromSetting(std::optional<std::int64_t> minutes) {
    if (!minutes || *minutes < 0)
        return kDefaultSleepAfter;
    return std::min(std::chrono::minutes(*minutes), kLongestSleepAfter);
}

KeptAwake keptAwake(const SleepCandidate& tab, SleepCause cause) {
    if (!tab.hasPage)
        return KeptAwake::NoPage;
    if (tab.isSelected)
        return KeptAwake::Selected;
    if (tab.isLoading)
        return KeptAwake::Loading;
    if (tab.playsSound)
        return KeptAwake::PlaysSound;
    if (tab.isCapturing)
        return KeptAwake::Capturing;
    if (tab.isFullscreen)
        return KeptAwake::Fullscreen;
    if (tab.asksBeforeLeaving)
        return KeptAwake::AsksBeforeLeaving;
    if (tab.isLinked)
        return KeptAwake::Linked;
    if (tab.isBusy)
        return KeptAwake::Busy;
    if (tab.hasTypedText && cause != SleepCause::UserAsked)
        return KeptAwake::TypedText;
    return KeptAwake::MaySleep;
}

std::vector<TabId> tabsToSleep(const std::vector<SleepCandidate>& tabs, SleepCause cause,
                               std::chrono::steady_clock::time_point now,
                               std::chrono::minutes idleAfter, std::size_t keepAwake) {
    std::vector<const SleepCandidate*> sleepy;
    std::size_t awake = 0;
    for (const SleepCandidate& tab : tabs) {
        if (tab.hasPage)
            ++awake;
        if (keptAwake(tab, cause) != KeptAwake::MaySleep)
            continue;
        if (cause == SleepCause::Idle &&
            (idleAfter.count() <= 0 || now - tab.lastSelected < idleAfter))
            continue;
        sleepy.push_back(&tab);
    }
    // Least recently selected first; among equals, the strip's order.
    std::ranges::stable_sort(sleepy, {}, &SleepCandidate::lastSelected);
    std::vector<TabId> chosen;
    for (const SleepCandidate* tab : sleepy) {
        if (cause == SleepCause::MemoryPressure && awake <= keepAwake)
            break;
        chosen.push_back(tab->id);
        --awake;
    }
    return chosen;
}

} // namespace vesk
