#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

struct StoreState;
struct StoreWrite;

// One page of the history as it was read. Entries are checked when loaded: an element
// that is not a dictionary, has no usable address, or holds a title or date that is not
// storable is passed over, so every entry has its address; title and date are present
// when the file holds them.
struct HistoryEntry {
    // Always true for loaded entries; a panel still passes over an entry made otherwise.
    bool isDictionary = true;
    std::optional<std::string> url;
    std::optional<std::string> title;
    // Seconds since 1970-01-01 00:00 UTC.
    std::optional<double> date;
};

// Whether the page a password was typed on came over https. A record whose page is not
// known counts as Insecure.
enum class PageSecurity { Insecure, Secure };

// One record of the password vault.
struct SavedPassword {
    std::string host;
    std::string user;
    std::string password;
    PageSecurity security = PageSecurity::Insecure;
};

// The only code that touches files: the history and the password vault, two XML
// property lists in the application's folder. Changes are queued and written in order
// by one writer thread of the store's own, several at once when they come faster than
// the disk, so no call waits for the disk or for another copy of the program holding the
// folder's lock (the writer tries again until it gets it). Reads show the files as they
// will be once the queued writes are done, and read a file again only when it changed
// on disk since it was last read or written. The writer starts with the first change, so
// a child forked after that must make a store of its own.
class VeskStore {
public:
    // The file names inside the folder, fixed by the file formats.
    static constexpr std::string_view historyFileName = "history.plist";
    static constexpr std::string_view vaultFileName = "vault.plist";
    // Our own companion of the vault: host -> true for each record typed on an https page,
    // kept apart so the vault itself stays in the format other tools read.
    static constexpr std::string_view vaultSecurityFileName = "vault-security.plist";
    // The history keeps this many newest entries.
    static constexpr std::size_t historyLimit = 200;
    // A stored title keeps at most this many characters; a longer one is cut.
    static constexpr std::size_t titleMaxChars = 1024;
    // An address, user name, password or host longer than this many bytes is not stored.
    static constexpr std::size_t textMaxBytes = 8192;
    // How often the writer tries again while another copy of the program keeps the lock.
    static constexpr std::chrono::milliseconds retryInterval{250};

    // The process-wide store, created on first use.
    static VeskStore& shared();

    // A store whose folder is `baseOverride` instead of the user's data folder.
    explicit VeskStore(std::optional<std::filesystem::path> baseOverride = std::nullopt);

    // Writes what is still queued, waiting for the lock a last time for up to a second.
    ~VeskStore();
    VeskStore(const VeskStore&) = delete;
    VeskStore& operator=(const VeskStore&) = delete;

    // The folder's path; creates it (owner-only) when missing. Failures are ignored.
    std::string basePath();

    // The path of `fileName` inside the folder, which is created first when missing.
    std::string path(std::string_view fileName);

    // The history, newest first, at most historyLimit entries, with the queued writes
    // applied; empty when the file is missing or not a readable array.
    std::vector<HistoryEntry> loadHistory();

    // Deletes the history file and the copies of it set aside as damaged; nothing
    // happens when there are none. The vault and its copies stay.
    void clearHistory();

    // Records a page load in front of the history, unless the newest entry has the same
    // address. The address loses any user name and password; one longer than
    // textMaxBytes is not recorded. The title is cut to titleMaxChars characters; an
    // absent title stores the address; an absent or empty address adds nothing.
    void addHistory(std::optional<std::string_view> url, std::optional<std::string_view> title);

    // Stores the user name and password for `host`, replacing that host's earlier record.
    // An absent user or password is stored as empty text; an absent or empty host does
    // nothing, nor does any text that is not storable as it is or longer than textMaxBytes.
    void savePassword(std::optional<std::string_view> user, std::optional<std::string_view> pass,
                      std::optional<std::string_view> host);

    // Stores a record as savePassword does, and remembers whether its page came over https.
    void savePassword(std::optional<std::string_view> user, std::optional<std::string_view> pass,
                      std::optional<std::string_view> host, PageSecurity security);

    // Every usable vault record, ordered by host, with the writes still waiting applied.
    std::vector<SavedPassword> loadPasswords();

    // The record for exactly `host`, or nothing.
    std::optional<SavedPassword> savedPasswordFor(std::string_view host);

    // Removes the record for `host`; nothing happens when there is none.
    void removePassword(std::string_view host);

    // Removes every record; the vault file stays, empty.
    void removeAllPasswords();

    // Waits at most `patience` for the queued writes to reach the disk. True when
    // nothing is left waiting.
    bool writePending(std::chrono::milliseconds patience);

    // Waits for the queued writes before the program quits, for a few seconds at most.
    void waitForWrites();

private:
    std::string folderPath() const;
    void enqueue(StoreWrite write);
    void runWriter();
    bool writeQueued(std::chrono::milliseconds patience);

    std::optional<std::filesystem::path> folderOverride;
    std::unique_ptr<StoreState> state_;
};

} // namespace vesk
