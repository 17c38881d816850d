#pragma once

#include <optional>

#include "store/HistoryEntry.h"
#include "store/SavedPassword.h"
#include "store/SessionFile.h"
#include "store/UserDefaults.h"
#include "store/VisitDatabase.h"

namespace vesk {

// What doing one file's writes of a batch came to.
enum class FileWriteOutcome { NothingToWrite, Written, Failed };

// One call that changed a file, kept until the writer has written it.
struct StoreWrite {
    enum class Kind {
        Visit,
        ClearHistory,
        // One address and all its visits, from the long-term history.
        RemoveVisitedPage,
        Password,
        RemovePassword,
        RemoveAllPasswords,
        Session,
        RemoveSession,
        Defaults
    };
    explicit StoreWrite(Kind what) : kind(what) {}

    Kind kind;
    // A visit: the entry as it will be stored.
    HistoryEntry visit;
    // A visit: whether the user typed its address. A removed page: its address is visit.url.
    VisitOrigin origin = VisitOrigin::Link;
    // The long-term history has this write: a retry of the history file's leaves it be.
    bool isInVisitDatabase = false;
    // A password, or the host whose record goes: the record as it will be stored.
    SavedPassword record;
    // A clear of the history, in the history file and the long-term history: the
    // entries dated from this many seconds since 1970 go; every entry when absent.
    std::optional<double> clearSince;
    // The session to write.
    SessionState session;
    // The defaults whose changes are saved.
    std::optional<UserDefaults> defaults;

    // A write of the history file.
    bool isHistoryWrite() const { return kind == Kind::Visit || kind == Kind::ClearHistory; }
    // A write of the long-term history.
    bool isVisitDatabaseWrite() const {
        return isHistoryWrite() || kind == Kind::RemoveVisitedPage;
    }
    bool isVaultWrite() const {
        return kind == Kind::Password || kind == Kind::RemovePassword ||
               kind == Kind::RemoveAllPasswords;
    }
    bool isSessionWrite() const { return kind == Kind::Session || kind == Kind::RemoveSession; }
};

} // namespace vesk
