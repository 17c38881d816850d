#pragma once

#include <optional>

#include "store/HistoryEntry.h"
#include "store/SavedPassword.h"
#include "store/SessionFile.h"
#include "store/UserDefaults.h"

namespace vesk {

// What doing one file's writes of a batch came to.
enum class FileWriteOutcome { NothingToWrite, Written, Failed };

// One call that changed a file, kept until the writer has written it.
struct StoreWrite {
    enum class Kind {
        Visit,
        ClearHistory,
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
    // A password, or the host whose record goes: the record as it will be stored.
    SavedPassword record;
    // A clear of the history: the entries dated from this many seconds since 1970
    // go; every entry when absent.
    std::optional<double> clearSince;
    // The session to write.
    SessionState session;
    // The defaults whose changes are saved.
    std::optional<UserDefaults> defaults;

    bool isHistoryWrite() const { return kind == Kind::Visit || kind == Kind::ClearHistory; }
    bool isVaultWrite() const {
        return kind == Kind::Password || kind == Kind::RemovePassword ||
               kind == Kind::RemoveAllPasswords;
    }
    bool isSessionWrite() const { return kind == Kind::Session || kind == Kind::RemoveSession; }
};

} // namespace vesk
