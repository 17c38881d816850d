#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "store/AppPaths.h"
#include "store/HistoryEntry.h"
#include "store/SavedPassword.h"
#include "store/SessionFile.h"
#include "store/UserDefaults.h"
#include "store/VisitDatabase.h"

namespace vesk {

struct StoreWrite;
enum class BatchResult;

// The only code that writes the program's files: the history and the password vault, two
// XML property lists in the data folder, the session file beside them and the defaults in
// the config folder. Changes are queued and written in order by the store's one writer
// thread (StoreWriter), so no call waits for the disk or for another copy of the program
// holding a lock. Reads of the history and the vault show the files as they will be once
// the queued writes are done, and read a file again only when it changed on disk since
// it was last read or written.
class VeskStore {
public:
    // The file names inside the folder, fixed by the file formats.
    static constexpr std::string_view historyFileName = "history.plist";
    static constexpr std::string_view vaultFileName = "vault.plist";
    // Our own companion of the vault: host -> true for each record typed on an https page,
    // kept apart so the vault itself stays in the format other tools read.
    static constexpr std::string_view vaultSecurityFileName = "vault-security.plist";
    // The defaults' file name inside the config folder.
    static constexpr std::string_view defaultsFileName = "defaults.plist";
    // The history keeps this many newest entries.
    static constexpr std::size_t historyLimit = 200;
    // A stored title keeps at most this many characters; a longer one is cut.
    static constexpr std::size_t titleMaxChars = 1024;
    // An address, user name, password or host longer than this many bytes is not stored.
    static constexpr std::size_t textMaxBytes = 8192;

    // The process-wide store, in the user's folders (AppPaths::forUser) unless usePaths
    // pointed it elsewhere.
    static VeskStore& shared();

    // A store keeping its files in the folders of `paths`.
    explicit VeskStore(AppPaths paths);

    // Writes what is still queued, waiting for the lock a last time for up to a second.
    ~VeskStore();
    VeskStore(const VeskStore&) = delete;
    VeskStore& operator=(const VeskStore&) = delete;

    // The folders the store keeps its files in.
    AppPaths paths() const;

    // Writes what is queued for the old folders, then keeps the files in those of `paths`:
    // for tests and tools that give the shared store a folder of their own.
    void usePaths(AppPaths paths);

    // The session file inside the data folder.
    std::filesystem::path sessionFile() const;

    // The defaults' file inside the config folder.
    std::filesystem::path defaultsFile() const;

    // The history, newest first, at most historyLimit entries, with the queued writes
    // applied; empty when the file is missing or not a readable array.
    std::vector<HistoryEntry> loadHistory();

    // Deletes the history file, the long-term history and the copies of them set aside
    // as damaged; nothing happens when there are none. The vault and its copies stay.
    void clearHistory();

    // Removes the history entries dated from `since` (seconds since 1970) on, queued
    // visits among them; older entries and those without a date stay.
    void clearHistorySince(double since);

    // Records a page load in front of the history, unless the newest entry has the same
    // address. The address loses any user name and password; one longer than
    // textMaxBytes is not recorded. The title is cut to titleMaxChars characters; an
    // absent title stores the address; an absent or empty address adds nothing.
    void addHistory(std::optional<std::string_view> url, std::optional<std::string_view> title,
                    VisitOrigin origin = VisitOrigin::Link);

    // Removes every visit made at or after `since`, from the history file and from the
    // long-term history; pages visited before keep those earlier visits.
    void clearVisitsSince(std::chrono::system_clock::time_point since);

    // Removes `url` and all of its visits from the long-term history (the history file,
    // a list of page loads, keeps its entries).
    void removeVisitedPage(std::string_view url);

    // The long-term history's database inside the data folder, for readers of their own.
    std::filesystem::path visitDatabaseFile() const;

    // Stores the user name and password for `host`, replacing that host's earlier record.
    // An absent user or password is stored as empty text; an absent or empty host does
    // nothing, nor does any text that is not storable as it is or longer than textMaxBytes.
    void savePassword(std::optional<std::string_view> user, std::optional<std::string_view> pass,
                      std::optional<std::string_view> host);

    // Stores a record as savePassword does, and remembers whether its page came over https
    // and the origin ("scheme://host:port") it was typed on, when known and storable.
    void savePassword(std::optional<std::string_view> user, std::optional<std::string_view> pass,
                      std::optional<std::string_view> host, PageSecurity security,
                      std::string_view origin = {});

    // Every usable vault record, ordered by host, with the writes still waiting applied.
    std::vector<SavedPassword> loadPasswords();

    // The record for exactly `host`, or nothing.
    std::optional<SavedPassword> savedPasswordFor(std::string_view host);

    // Removes the record for `host`; nothing happens when there is none.
    void removePassword(std::string_view host);

    // Removes every record; the vault file stays, empty.
    void removeAllPasswords();

    // Replaces the session file with `state`, owner-only; of several session writes
    // queued together only the last reaches the disk.
    void writeSession(const SessionState& state);

    // Removes the session file, after the session writes queued before.
    void removeSession();

    // Saves the changes `defaults` holds into its file, merged over what the file holds
    // then; while another copy of the program holds the file's lock the save waits.
    void saveDefaults(UserDefaults defaults);

    // Waits at most `patience` for the queued writes to reach the disk. True when
    // nothing is left waiting.
    bool writePending(std::chrono::milliseconds patience);

    // Waits for the queued writes before the program quits, for a few seconds at most.
    void waitForWrites();

    // Whether the last try to write found a file it could not write (a full disk, a
    // read-only folder). Its writes stay queued, at most historyLimit visits of them, and
    // are tried again with the next write or after StoreWriter::failedRetryInterval.
    bool isSavingFailing() const;

    // Has `handler` called on the main loop (GLib's default context) each time saving
    // starts to fail, once until a write succeeds again.
    void onSavingFailed(std::function<void()> handler);

private:
    struct State;
    void enqueue(StoreWrite write);
    BatchResult writeBatch(std::chrono::milliseconds patience);
    static void writeVisits(State& s, const std::filesystem::path& folder,
                            std::vector<StoreWrite>& batch);

    std::unique_ptr<State> state_;
};

} // namespace vesk
