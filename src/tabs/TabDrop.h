#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tabs/TabStripArrangement.h"

namespace vesk {

// Where a dragged pill would be dropped, in terms of the strip's shown items
// (the strip's items without the hidden ones): in the gap before shown item
// `at` (`at` equal to their count is after the last), or onto the folder
// header that is shown item `at`.
struct DropSpot {
    enum class Kind { Gap, OntoHeader };
    Kind kind = Kind::Gap;
    std::size_t at = 0;

    bool operator==(const DropSpot&) const = default;
};

// Where a shown item lies along the strip's axis: its first and last edge.
struct ItemSpan {
    double start = 0.0;
    double end = 0.0;
    bool isHeader = false;
};

// The spot a pointer at `position` along the strip's axis points at: onto a
// folder header when over one, otherwise the gap before the first item whose
// middle lies past the pointer.
DropSpot dropSpotAt(const std::vector<ItemSpan>& shownItems, double position);

// Where a dropped tab goes: its place in the model's tab order once it has
// moved there, and its folder (empty for none).
struct TabPlacement {
    std::size_t index = 0;
    std::string folderId;

    bool operator==(const TabPlacement&) const = default;
};

// What dropping `dragged` (an index into the tabs) at `spot` does, in a strip
// arranged from `tabFolderIds` and `folders` as arrangeTabStrip does it.
// Nothing when the tab would stay where it is, as a drop beside itself.
//
// In the top bar a tab keeps its folder and only its place changes. In the
// sidebar a gap belongs to the item before it: after a tab is beside that tab
// in its folder (or among the tabs in no folder), after a folder's header is
// first in that folder, as is a drop onto a header. A gap after a collapsed
// folder's header, or before everything, belongs to what follows: the next
// folder, or the tabs in no folder.
std::optional<TabPlacement> placeDroppedTab(StripMode mode,
                                            const std::vector<std::string>& tabFolderIds,
                                            const std::vector<FolderSummary>& folders,
                                            std::size_t dragged, DropSpot spot);

} // namespace vesk
