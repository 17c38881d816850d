#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

enum class StripMode { TopBar, Sidebar };

// What the arrangement needs to know of a folder.
struct FolderSummary {
    std::string folderId;
    bool isExpanded = true;
};

// One view placed in the strip in use: a folder's header or a tab's pill.
struct StripItem {
    enum class Kind { FolderHeader, TabPill };
    Kind kind;
    std::size_t index; // into folders or tabs
    bool hidden = false;

    bool operator==(const StripItem&) const = default;
};

// The views of the strip in use, in order. The top bar holds every tab's
// pill in tab order and no folders. The sidebar holds each folder's header
// followed by its tabs' pills (hidden while the folder is collapsed), then
// the pills of the tabs in no folder. The strip not in use is always empty.
std::vector<StripItem> arrangeTabStrip(StripMode mode,
                                       const std::vector<std::string>& tabParentFolderIds,
                                       const std::vector<FolderSummary>& folders);

// The tabs whose pills the strip shows, in the strip's order, as indices into the tab list.
std::vector<std::size_t> shownTabOrder(const std::vector<StripItem>& items);

// The tab a step through `order` reaches from `selected`: +1 the next, -1 the
// previous, wrapping round; from no tab or a tab not in `order`, the first.
// Nothing for an empty order.
std::optional<std::size_t> tabAfterStep(const std::vector<std::size_t>& order,
                                        std::optional<std::size_t> selected, int step);

} // namespace vesk
