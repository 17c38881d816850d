#pragma once

#include <chrono>
#include <functional>
#include <map>

#include <sigc++/connection.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "tabs/SleepRules.h"

typedef struct _GMemoryMonitor GMemoryMonitor;

namespace vesk {

class TabsController;

// Puts tabs to sleep: those not selected for the user's interval, the least
// recently selected at once when the system runs short of memory, and any tab
// the user asks for. The sleep rules say which may; this controller gathers
// what they need from the tabs and their pages.
class SleepController : public sigc::trackable {
public:
    // How many tabs keep their pages under memory pressure, at least.
    static constexpr std::size_t kAwakeUnderPressure = 5;

    // `sleepAfter` zero: tabs never sleep for being idle.
    SleepController(TabsController& tabs, std::chrono::minutes sleepAfter);
    ~SleepController();
    SleepController(const SleepController&) = delete;
    SleepController& operator=(const SleepController&) = delete;

    // The interval the user's defaults give.
    static std::chrono::minutes sleepAfterFromDefaults();

    // Puts the tab to sleep unless something keeps it awake; `done`, if given,
    // learns the outcome (MaySleep once it sleeps). The page is asked first,
    // so the outcome may come later.
    void sleepNow(TabId id, std::function<void(KeptAwake)> done = {});
    // What the rules know now, before asking the page, for the tab menu.
    KeptAwake keptAwakeNow(TabId id);
    // Sleeps the tabs the timer's rule or memory pressure chooses.
    void sleepIdleTabs();
    void sleepForMemoryPressure();

private:
    SleepCandidate candidate(TabId id);
    // Asks the page what it would lose, then puts the tab to sleep if the rules for `cause` let it.
    void askAndSleep(TabId id, SleepCause cause, std::function<void(KeptAwake)> done);
    void sleepChosen(SleepCause cause, std::size_t keepAwake);
    static void onLowMemoryWarning(GMemoryMonitor*, int level, void* self);

    TabsController& tabs_;
    std::chrono::minutes sleepAfter_;
    std::map<TabId, std::chrono::steady_clock::time_point> lastSelected_;
    sigc::connection timer_;
    GMemoryMonitor* monitor_ = nullptr;
    Lifetime lifetime_;
};

} // namespace vesk
