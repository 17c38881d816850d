#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tabs/TabModel.h"

namespace vesk {

// What asks for tabs to sleep.
enum class SleepCause {
    // The tab has not been selected for the user's interval.
    Idle,
    // The system is short of memory.
    MemoryPressure,
    // The user chose "Sleep Now".
    UserAsked,
};

// Why a tab stays awake; MaySleep when nothing keeps it.
enum class KeptAwake {
    MaySleep,
    // Asleep or not loaded already: there is nothing to release.
    NoPage,
    Selected,
    Loading,
    PlaysSound,
    // The page uses the camera, the microphone or the screen.
    Capturing,
    // The page asks before it is left (beforeunload).
    AsksBeforeLeaving,
    // The user typed into the page and has not submitted it.
    TypedText,
    // The page talks to its opener, or to a page it opened.
    Linked,
    // A download or a permission question of the page is in progress.
    Busy,
    // An element of the page fills the screen.
    Fullscreen,
};

// What is known of one tab when deciding whether it sleeps.
struct SleepCandidate {
    TabId id = 0;
    bool hasPage = true;
    bool isSelected = false;
    bool isLoading = false;
    bool playsSound = false;
    bool isCapturing = false;
    bool asksBeforeLeaving = false;
    bool hasTypedText = false;
    bool isLinked = false;
    bool isBusy = false;
    bool isFullscreen = false;
    // When the tab was last selected (or opened).
    std::chrono::steady_clock::time_point lastSelected{};
};

// The user setting that says after how many minutes without being selected a tab sleeps.
inline constexpr const char* kSleepInactiveTabsAfterMinutesKey = "SleepInactiveTabsAfterMinutes";
inline constexpr std::chrono::minutes kDefaultSleepAfter{30};
// A longer interval is a year: as good as never, and safe to add to a clock.
inline constexpr std::chrono::minutes kLongestSleepAfter{365 * 24 * 60};

// The interval the setting's value gives: zero for never, the default for a
// missing or negative value.
std::chrono::minutes sleepAfterFromSetting(std::optional<std::int64_t> minutes);

// Why `tab` stays awake for `cause`. Text the user typed keeps a tab awake
// only against the automatic causes: the saved state brings most of it back,
// and a user who asks for sleep has chosen.
KeptAwake keptAwake(const SleepCandidate& tab, SleepCause cause);

// The tabs that sleep now, least recently selected first. For Idle, every tab
// that may sleep and has not been selected for `idleAfter` (zero: never); for
// MemoryPressure, the least recently selected that may sleep until at most
// `keepAwake` tabs have pages; UserAsked is decided one tab at a time by keptAwake.
std::vector<TabId> tabsToSleep(const std::vector<SleepCandidate>& tabs, SleepCause cause,
                               std::chrono::steady_clock::time_point now,
                               std::chrono::minutes idleAfter, std::size_t keepAwake);

} // namespace vesk
