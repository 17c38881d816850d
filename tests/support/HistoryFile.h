#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vesk::test {

// One entry of the history file as stored, each key only when it has the
// expected type.
struct StoredHistoryEntry {
    std::optional<std::string> url;
    std::optional<std::string> title;
    std::optional<double> date;
};

// The history file, $XDG_DATA_HOME/Vesk/history.plist under `dataDir`, read
// straight from disk so that tests check what the store really wrote. A
// missing file reads as an empty list; a file that is not a property-list
// array fails the running test.
std::vector<StoredHistoryEntry> readHistoryFile(const std::filesystem::path& dataDir);

// Seconds since 1970, as the store dates its entries.
double secondsSince1970();

} // namespace vesk::test
