#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// One element of the history file as it was read. Entries are not checked when loaded,
// so each field is present only when the file holds a value of the right type there;
// a panel can list what it can and pass over the rest.
struct HistoryEntry {
    // False when the element is not a dictionary at all; the fields are then empty.
    bool isDictionary = true;
    std::optional<std::string> url;
    std::optional<std::string> title;
    // Seconds since 1970-01-01 00:00 UTC.
    std::optional<double> date;
};

// The only code that touches files: the history and the password vault, two XML
// property lists in the application's folder. It keeps no state between calls;
// every operation finds the folder again and reads the file it needs.
class VeskStore {
public:
    // The file names inside the folder, fixed by the file formats.
    static constexpr std::string_view historyFileName = "history.plist";
    static constexpr std::string_view vaultFileName = "vault.plist";
    // The history keeps this many newest entries.
    static constexpr std::size_t historyLimit = 200;

    // The process-wide store, created on first use.
    static VeskStore& shared();

    // A store whose folder is `baseOverride` instead of the user's data folder.
    explicit VeskStore(std::optional<std::filesystem::path> baseOverride = std::nullopt);

    // The folder's path; creates it (owner-only) when missing. Failures are ignored.
    std::string basePath();

    // The path of `fileName` inside the folder, which is created first when missing.
    std::string path(std::string_view fileName);

    // The history, newest first; empty when the file is missing or not a readable array.
    std::vector<HistoryEntry> loadHistory();

    // Deletes the history file; nothing happens when there is none.
    void clearHistory();

    // Records a page load in front of the history, unless the newest entry has the same
    // address. An absent title stores the address; an absent or empty address adds nothing.
    void addHistory(std::optional<std::string_view> url, std::optional<std::string_view> title);

    // Stores the user name and password for `host`, replacing that host's earlier record.
    // An absent user or password is stored as empty text; an absent or empty host does nothing.
    void savePassword(std::optional<std::string_view> user, std::optional<std::string_view> pass,
                      std::optional<std::string_view> host);

private:
    std::string folderPath() const;

    std::optional<std::filesystem::path> folderOverride;
};

} // namespace vesk
