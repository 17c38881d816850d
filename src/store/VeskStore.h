#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

class FileLock;

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

// The only code that touches files: the history and the password vault, two XML
// property lists in the application's folder. Every operation finds the folder again
// and reads the file it needs. A write that finds the folder locked by another copy of
// the program for longer than a moment stays in memory and is tried again on a timer of
// the default GLib main context and at the next call, so no call ever blocks.
class VeskStore {
public:
    // The file names inside the folder, fixed by the file formats.
    static constexpr std::string_view historyFileName = "history.plist";
    static constexpr std::string_view vaultFileName = "vault.plist";
    // The history keeps this many newest entries.
    static constexpr std::size_t historyLimit = 200;
    // A stored title keeps at most this many characters; a longer one is cut.
    static constexpr std::size_t titleMaxChars = 1024;
    // An address, user name, password or host longer than this many bytes is not stored.
    static constexpr std::size_t textMaxBytes = 8192;
    // How often writes left in memory are tried again.
    static constexpr std::chrono::milliseconds retryInterval{250};

    // The process-wide store, created on first use.
    static VeskStore& shared();

    // A store whose folder is `baseOverride` instead of the user's data folder.
    explicit VeskStore(std::optional<std::filesystem::path> baseOverride = std::nullopt);

    // Tries a last time, for up to a second, to write what is still in memory.
    ~VeskStore();
    VeskStore(const VeskStore&) = delete;
    VeskStore& operator=(const VeskStore&) = delete;

    // The folder's path; creates it (owner-only) when missing. Failures are ignored.
    std::string basePath();

    // The path of `fileName` inside the folder, which is created first when missing.
    std::string path(std::string_view fileName);

    // The history, newest first, at most historyLimit entries, with the writes still in
    // memory applied; empty when the file is missing or not a readable array.
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

    // Writes what earlier calls had to keep in memory, waiting at most `patience` for the
    // lock. True when nothing is left waiting.
    bool writePending(std::chrono::milliseconds patience);

private:
    struct PendingWrite;

    std::string folderPath() const;
    void applyWrites(std::vector<PendingWrite> writes, const FileLock& held);
    static int retryPending(void* store);

    std::optional<std::filesystem::path> folderOverride;
    std::vector<PendingWrite> pending_;
    unsigned int retrySource_ = 0;
};

} // namespace vesk
