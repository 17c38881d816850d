#include "app/SessionController.h"

#include <glibmm/main.h>

#include "app/RestoreBar.h"
#include "app/TabsController.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {
// Changes are gathered for this long and written together, so the file is written at
// most once a second however fast the tabs change.
constexpr unsigned kSessionWriteDelayMs = 1000;
} // namespace

SessionController::SessionController(TabsController& tabs, StartedOnAddresses started)
    : tabs_(tabs), started_(started) {
    last_ = readSession(VeskStore::shared().sessionFile());
    if (last_ && last_->tabs.empty())
        last_.reset();
    TabModel& model = tabs_.model();
    model.signalInserted().connect([this](TabId, std::size_t) { changed(); });
    model.signalRemoved().connect([this](TabId, std::size_t) { changed(); });
    model.signalMoved().connect([this](TabId, std::size_t, std::size_t) { changed(); });
    model.signalSelected().connect([this](std::optional<TabId>) { changed(); });
    model.signalChanged().connect([this](TabId, TabField field) {
        if (field == TabField::Address || field == TabField::Folder || field == TabField::State)
            changed();
    });
    model.signalFoldersChanged().connect(sigc::mem_fun(*this, &SessionController::changed));
    model.signalModeChanged().connect([this](StripMode) { changed(); });
}

SessionController::~SessionController() {
    // The file stays: only the window's own close path ends a session. A change
    // not yet written goes now, as when the program is asked to end by a signal.
    if (write_.connected())
        VeskStore::shared().writeSession(snapshot());
    write_.disconnect();
}

void SessionController::offer(RestoreBar& bar) {
    bar.signalRestore().connect(sigc::mem_fun(*this, &SessionController::restore));
    bar.signalDismiss().connect([this] {
        last_.reset();
        changed();
    });
    if (last_ && restoreOnStart_ == RestoreOnStart::Yes)
        restore();
    else if (last_)
        bar.offer(last_->tabs.size());
}

void SessionController::prepareQuit() {
    quitting_ = tabs_.model().snapshot();
}

void SessionController::changed() {
    // The last session stays on disk until the user has answered its offer, so
    // that a second crash before then does not lose it.
    if (ended_ || last_ || write_.connected())
        return;
    write_ = Glib::signal_timeout().connect(
        [this] {
            VeskStore::shared().writeSession(snapshot());
            return false;
        },
        kSessionWriteDelayMs);
}

SessionState SessionController::snapshot() {
    // Each page's back/forward list and scroll position go with its address.
    tabs_.captureSessionStates();
    return tabs_.model().snapshot();
}

void SessionController::end() {
    write_.disconnect();
    ended_ = true;
    // An offer still unanswered keeps its session for the next start.
    if (last_)
        return;
    if (restoreOnStart_ == RestoreOnStart::Yes && quitting_ && !quitting_->tabs.empty())
        VeskStore::shared().writeSession(*quitting_);
    else
        VeskStore::shared().removeSession();
}

void SessionController::restore() {
    if (!last_)
        return;
    const SessionState session = std::move(*last_);
    last_.reset();
    // The start-up tab gives way to the restored ones while it is still the untouched
    // home page of an ordinary start; tabs the user has opened since stay, first.
    Tab* startTab = started_ == StartedOnAddresses::No && tabs_.size() == 1 &&
                            tabs_.at(0).hasPage() && !tabs_.at(0).web().canGoBack()
                        ? &tabs_.at(0)
                        : nullptr;
    tabs_.restore(session);
    if (startTab)
        tabs_.close(*startTab);
    changed();
}

} // namespace vesk
