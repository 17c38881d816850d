#include "app/SleepController.h"

#include <gio/gio.h>
#include <glibmm/main.h>

#include "app/TabsController.h"
#include "store/UserDefaults.h"
#include "store/VeskStore.h"
#include "tabs/PermissionBar.h"

namespace vesk {

namespace {
using Clock = std::chrono::steady_clock;
// How often idle tabs are looked for: a tab sleeps at most this long after its time.
constexpr std::chrono::seconds kLongestCheckInterval{60};
constexpr std::chrono::seconds kShortestCheckInterval{1};
} // namespace

SleepController::SleepController(TabsController& tabs, std::chrono::minutes sleepAfter)
    : tabs_(tabs), sleepAfter_(sleepAfter) {
    TabModel& model = tabs_.model();
    const auto now = Clock::now();
    for (const TabRecord& record : model.tabs())
        lastSelected_[record.id] = now;
    model.signalInserted().connect(
        [this](TabId id, std::size_t) { lastSelected_[id] = Clock::now(); });
    model.signalRemoved().connect([this](TabId id, std::size_t) { lastSelected_.erase(id); });
    // Leaving a tab counts as its last selection too: it was on show until then.
    model.signalSelected().connect([this, previous = TabId{0}](std::optional<TabId> id) mutable {
        const auto at = Clock::now();
        if (previous && lastSelected_.contains(previous))
            lastSelected_[previous] = at;
        if (id)
            lastSelected_[*id] = at;
        previous = id.value_or(0);
    });
    if (sleepAfter_.count() > 0) {
        const auto interval = std::clamp<std::chrono::seconds>(
            std::chrono::duration_cast<std::chrono::seconds>(sleepAfter_) / 4,
            kShortestCheckInterval, kLongestCheckInterval);
        timer_ = Glib::signal_timeout().connect_seconds(
            [this] {
                sleepIdleTabs();
                return true;
            },
            static_cast<unsigned>(interval.count()));
    }
    monitor_ = g_memory_monitor_dup_default();
    if (monitor_)
        g_signal_connect(monitor_, "low-memory-warning", G_CALLBACK(onLowMemoryWarning), this);
}

SleepController::~SleepController() {
    timer_.disconnect();
    if (monitor_) {
        g_signal_handlers_disconnect_by_data(monitor_, this);
        g_object_unref(monitor_);
    }
}

std::chrono::minutes SleepController::sleepAfterFromDefaults() {
    const UserDefaults defaults = UserDefaults::load(VeskStore::shared().defaultsFile());
    return sleepAfterFromSetting(defaults.integerForKey(kSleepInactiveTabsAfterMinutesKey));
}

SleepCandidate SleepController::candidate(TabId id) {
    SleepCandidate c{.id = id};
    Tab* tab = tabs_.find(id);
    const TabRecord* selected = tabs_.model().selected();
    c.hasPage = tab && tab->hasPage();
    c.isSelected = selected && selected->id == id;
    c.isLinked = tabs_.isLinked(id);
    if (auto it = lastSelected_.find(id); it != lastSelected_.end())
        c.lastSelected = it->second;
    if (!c.hasPage)
        return c;
    WebView& web = tab->web();
    c.isLoading = web.isLoading();
    c.playsSound = web.isPlayingAudio();
    c.isCapturing = web.isCapturing();
    c.isFullscreen = web.isFullscreen();
    c.isBusy = tab->permissionBar() && tab->permissionBar()->isShown();
    return c;
}

KeptAwake SleepController::keptAwakeNow(TabId id) {
    return keptAwake(candidate(id), SleepCause::UserAsked);
}

void SleepController::sleepNow(TabId id, std::function<void(KeptAwake)> done) {
    askAndSleep(id, SleepCause::UserAsked, std::move(done));
}

void SleepController::askAndSleep(TabId id, SleepCause cause, std::function<void(KeptAwake)> done) {
    auto finish = [done = std::move(done)](KeptAwake outcome) {
        if (done)
            done(outcome);
    };
    if (const KeptAwake now = keptAwake(candidate(id), cause); now != KeptAwake::MaySleep) {
        finish(now);
        return;
    }
    // The page's answer comes later; by then the tab may be selected, loading or gone,
    // so every rule is asked again.
    tabs_.find(id)->web().askActivity(
        [this, id, cause, finish, alive = lifetime_.watch()](PageActivity activity) {
            if (alive.expired())
                return;
            SleepCandidate c = candidate(id);
            c.asksBeforeLeaving = activity.asksBeforeLeaving;
            c.hasTypedText = activity.hasTypedText;
            const KeptAwake outcome = keptAwake(c, cause);
            if (outcome == KeptAwake::MaySleep)
                tabs_.sleep(id);
            finish(outcome);
        });
}

void SleepController::sleepChosen(SleepCause cause, std::size_t keepAwake) {
    std::vector<SleepCandidate> all;
    for (const TabRecord& record : tabs_.model().tabs())
        all.push_back(candidate(record.id));
    for (TabId id : tabsToSleep(all, cause, Clock::now(), sleepAfter_, keepAwake))
        askAndSleep(id, cause, {});
}

void SleepController::sleepIdleTabs() {
    sleepChosen(SleepCause::Idle, 0);
}

void SleepController::sleepForMemoryPressure() {
    sleepChosen(SleepCause::MemoryPressure, kAwakeUnderPressure);
}

void SleepController::onLowMemoryWarning(GMemoryMonitor*, int, void* self) {
    static_cast<SleepController*>(self)->sleepForMemoryPressure();
}

} // namespace vesk
