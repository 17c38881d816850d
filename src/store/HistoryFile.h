#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "store/FileStamp.h"
#include "store/HistoryEntry.h"
#include "store/StoreWrite.h"

namespace vesk {

class FileLock;

// The history file as a read or a write left it: its entries, newest first, and how the
// file looked then. Entries from any file, older or foreign, pass the same checks.
struct HistoryFile {
    std::vector<HistoryEntry> entries;
    FileStamp stamp;

    // The entry a page load adds: the address without its user name and password, the
    // title cut to size (the address when there is none) and the time now. Nothing for an
    // absent or empty address, or one longer than the store keeps.
    static std::optional<HistoryEntry> visit(std::optional<std::string_view> url,
                                             std::optional<std::string_view> title);

    // Reads `file` again when anyone changed it since this was read or written; a missing
    // or unreadable file reads as empty.
    void refresh(const std::filesystem::path& file);

    // The history as it is once `writes` are done. A visit the entries already hold (the
    // same address at the same moment, which the file keeps to the last bit) reached the
    // file while it was read: it is not added again.
    static void applyPending(std::vector<HistoryEntry>& entries,
                             const std::vector<StoreWrite>& writes);

    // Does the history writes of `batch` to `file` in order under `held`, starting from
    // this as the last batch left the file, and becomes the file as it is now. On a
    // failure this stays as it was, and so does the file.
    FileWriteOutcome write(const std::filesystem::path& file, const std::vector<StoreWrite>& batch,
                           const FileLock& held);
};

} // namespace vesk
