#pragma once

#include <optional>
#include <string>

namespace vesk {

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

} // namespace vesk
