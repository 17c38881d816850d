#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vesk::test {

// The store's files under $XDG_DATA_HOME/Vesk, read straight from disk so that
// tests check what the store really wrote. A missing file reads as empty; a
// file of the wrong kind of property list fails the running test.

// One entry of the history file as stored, each key only when it has the
// expected type.
struct StoredHistoryEntry {
    std::optional<std::string> url;
    std::optional<std::string> title;
    std::optional<double> date;
};

std::vector<StoredHistoryEntry> readHistoryFile(const std::filesystem::path& dataDir);

// The password vault: host to {user name, password}, a field that is not a
// string reading as "<absent>".
using StoredVault = std::map<std::string, std::pair<std::string, std::string>>;

StoredVault readVaultFile(const std::filesystem::path& dataDir);

// Seconds since 1970, as the store dates its entries.
double secondsSince1970();

} // namespace vesk::test
