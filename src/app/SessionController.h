#pragma once

#include <optional>

#include <sigc++/connection.h>
#include <sigc++/trackable.h>

#include "store/SessionFile.h"

namespace vesk {

class RestoreBar;
class TabsController;

// Whether the program was started on addresses of its own.
enum class StartedOnAddresses { No, Yes };

// Whether the last session's tabs come back by themselves at start, also after a
// normal quit, rather than being offered after a crash only.
enum class RestoreOnStart { No, Yes };

// The session file kept while the program runs, and the offer to restore it
// after a run that ended without quitting. It listens to the tab model and
// writes the session a moment after any change.
class SessionController : public sigc::trackable {
public:
    // Reads what the last run left before anything writes it.
    SessionController(TabsController& tabs, StartedOnAddresses started);
    ~SessionController();
    SessionController(const SessionController&) = delete;
    SessionController& operator=(const SessionController&) = delete;

    // From now on, whether a normal quit keeps the session for the next start.
    void setRestoreOnStart(RestoreOnStart restore) { restoreOnStart_ = restore; }
    // Shows `bar` when there is a last session, and acts on its answer; restores the
    // session at once instead when it comes back by itself.
    void offer(RestoreBar& bar);
    // The window is about to close its tabs: the session as it stands now is the
    // one a normal quit keeps.
    void prepareQuit();
    // Opens the last session's tabs and folders and takes on its selection and mode.
    void restore();
    // A normal quit: the file goes, or holds the session prepareQuit took when the
    // session comes back at start; nothing writes it again.
    void end();

private:
    void changed();
    SessionState snapshot();

    TabsController& tabs_;
    StartedOnAddresses started_;
    std::optional<SessionState> last_;
    sigc::connection write_;
    bool ended_ = false;
    RestoreOnStart restoreOnStart_ = RestoreOnStart::No;
    std::optional<SessionState> quitting_;
};

} // namespace vesk
