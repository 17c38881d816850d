#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// One open tab as the session file keeps it.
struct SessionTab {
    std::string address;
    // The folderId of the tab's folder; empty for none.
    std::string folderId;
    // The engine's saved state of the tab's page (its back/forward list, scroll
    // positions and form contents); empty when none was saved.
    std::vector<std::uint8_t> state{};
    bool operator==(const SessionTab&) const = default;
};

// One folder as the session file keeps it.
struct SessionFolder {
    std::string folderId;
    std::string name;
    bool isExpanded = true;
    bool operator==(const SessionFolder&) const = default;
};

// The open tabs of a running window, so that they can be offered again after the
// program ended without quitting.
struct SessionState {
    // In the window's tab order.
    std::vector<SessionTab> tabs;
    std::vector<SessionFolder> folders;
    // An index into `tabs`.
    std::size_t selectedIndex = 0;
    bool isSidebarMode = false;
    bool operator==(const SessionState&) const = default;
};

// The session file's name inside the program's data folder.
inline constexpr std::string_view sessionFileName = "session.plist";
// A session keeps at most this many tabs and folders; the rest are dropped.
inline constexpr std::size_t sessionMaxTabs = 1000;
// A longer address or name is dropped, as the store drops it.
inline constexpr std::size_t sessionMaxTextBytes = 8192;
// A larger saved page state is dropped; its tab loads its address instead.
inline constexpr std::size_t sessionMaxStateBytes = 256 * 1024;

// The session in `file`, with every value that could not have been written dropped
// (a tab whose address is not storable, a folder reference to no folder, a selection
// out of range); nothing when the file is missing, unreadable or damaged, and a
// damaged one is set aside.
std::optional<SessionState> readSession(const std::filesystem::path& file);

// Replaces `file` atomically with `state`, owner-only; false when it could not.
bool writeSession(const std::filesystem::path& file, const SessionState& state);

// Removes `file`; a missing file is no failure.
void removeSession(const std::filesystem::path& file);

} // namespace vesk
