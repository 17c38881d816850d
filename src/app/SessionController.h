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

    // Shows `bar` when there is a last session, and acts on its answer.
    void offer(RestoreBar& bar);
    // Opens the last session's tabs and folders and takes on its selection and mode.
    void restore();
    // A normal quit: the file goes and nothing writes it again.
    void end();

private:
    void changed();
    SessionState snapshot();

    TabsController& tabs_;
    StartedOnAddresses started_;
    std::optional<SessionState> last_;
    sigc::connection write_;
    bool ended_ = false;
};

} // namespace vesk
