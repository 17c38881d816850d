#include "tabs/SleepRules.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;
using namespace std::chrono_literals;

using Clock = std::chrono::steady_clock;
const Clock::time_point kNow = Clock::time_point{} + 10h;

// A tab that may sleep for any cause, last selected `idle` ago.
SleepCandidate idleTab(TabId id, std::chrono::minutes idle = 60min) {
    return {.id = id, .lastSelected = kNow - idle};
}

struct Rule {
    const char* name;
    SleepCandidate tab;
    SleepCause cause;
    KeptAwake expected;
};

class SleepRule : public ::testing::TestWithParam<Rule> {};

TEST_P(SleepRule, SaysWhatKeepsATabAwake) {
    EXPECT_EQ(keptAwake(GetParam().tab, GetParam().cause), GetParam().expected);
}

constexpr auto kIdle = SleepCause::Idle;
constexpr auto kAsked = SleepCause::UserAsked;
constexpr auto kPressure = SleepCause::MemoryPressure;

const Rule kRules[] = {
    {"PlainTabSleeps", {}, kIdle, KeptAwake::MaySleep},
    {"AsleepAlready", {.hasPage = false}, kPressure, KeptAwake::NoPage},
    {"SelectedNeverEvenWhenAsked", {.isSelected = true}, kAsked, KeptAwake::Selected},
    {"Loading", {.isLoading = true}, kAsked, KeptAwake::Loading},
    {"Sound", {.playsSound = true}, kPressure, KeptAwake::PlaysSound},
    {"Camera", {.isCapturing = true}, kAsked, KeptAwake::Capturing},
    {"Beforeunload", {.asksBeforeLeaving = true}, kAsked, KeptAwake::AsksBeforeLeaving},
    {"LinkedToOpener", {.isLinked = true}, kPressure, KeptAwake::Linked},
    {"DownloadOrQuestion", {.isBusy = true}, kIdle, KeptAwake::Busy},
    {"FullScreen", {.isFullscreen = true}, kAsked, KeptAwake::Fullscreen},
    {"TypedTextKeepsItFromTheTimer", {.hasTypedText = true}, kIdle, KeptAwake::TypedText},
    {"TypedTextKeepsItUnderPressure", {.hasTypedText = true}, kPressure, KeptAwake::TypedText},
    // The saved state brings the text back; the user's own request stands.
    {"TypedTextGivesWayToTheUser", {.hasTypedText = true}, kAsked, KeptAwake::MaySleep},
};

INSTANTIATE_TEST_SUITE_P(Rules, SleepRule, ::testing::ValuesIn(kRules),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SleepSetting, MissingOrNegativeGivesTheDefaultZeroNeverAndHugeIsCapped) {
    EXPECT_EQ(sleepAfterFromSetting(std::nullopt), 30min);
    EXPECT_EQ(sleepAfterFromSetting(-5), 30min);
    EXPECT_EQ(sleepAfterFromSetting(0), 0min);
    EXPECT_EQ(sleepAfterFromSetting(7), 7min);
    EXPECT_EQ(sleepAfterFromSetting(INT64_MAX), kLongestSleepAfter);
}

TEST(TabsToSleep, IdleTabsSleepOnceTheirIntervalHasPassedAndZeroMeansNever) {
    const std::vector<SleepCandidate> tabs = {idleTab(1, 29min), idleTab(2, 30min),
                                              idleTab(3, 90min)};
    EXPECT_EQ(tabsToSleep(tabs, kIdle, kNow, 30min, 5), (std::vector<TabId>{3, 2}));
    EXPECT_TRUE(tabsToSleep(tabs, kIdle, kNow, 0min, 5).empty());
}

TEST(TabsToSleep, PressureSleepsTheLeastRecentlySelectedDownToTheTabsKeptAwake) {
    std::vector<SleepCandidate> tabs;
    for (TabId id = 1; id <= 8; ++id)
        tabs.push_back(idleTab(id, std::chrono::minutes(id)));
    tabs[7].playsSound = true; // the oldest, but kept awake: it still counts as awake
    tabs[0].isSelected = true; // the newest
    tabs[2].hasPage = false;   // asleep already: it is not counted
    // Seven tabs awake, three may stay: four sleep, oldest first, not counting
    // the tab that plays sound.
    EXPECT_EQ(tabsToSleep(tabs, kPressure, kNow, 30min, 3), (std::vector<TabId>{7, 6, 5, 4}));
    // Fewer awake than kept: nothing sleeps, however old.
    EXPECT_TRUE(tabsToSleep(tabs, kPressure, kNow, 30min, 7).empty());
}

TEST(TabsToSleep, PressureMaySleepTabsThatAreNotYetIdle) {
    const std::vector<SleepCandidate> tabs = {idleTab(1, 1min), idleTab(2, 2min)};
    EXPECT_EQ(tabsToSleep(tabs, kPressure, kNow, 30min, 1), (std::vector<TabId>{2}));
    EXPECT_TRUE(tabsToSleep(tabs, kIdle, kNow, 30min, 1).empty());
}

} // namespace
