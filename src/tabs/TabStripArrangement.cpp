#include "tabs/TabStripArrangement.h"

namespace vesk {

std::vector<StripItem> arrangeTabStrip(StripMode mode,
                                       const std::vector<std::string>& tabParentFolderIds,
                                       const std::vector<FolderSummary>& folders) {
    std::vector<StripItem> items;
    if (mode == StripMode::TopBar) {
        for (std::size_t t = 0; t < tabParentFolderIds.size(); ++t)
            items.push_back({StripItem::Kind::TabPill, t, false});
        return items;
    }
    for (std::size_t f = 0; f < folders.size(); ++f) {
        items.push_back({StripItem::Kind::FolderHeader, f, false});
        for (std::size_t t = 0; t < tabParentFolderIds.size(); ++t) {
            // An empty id means no folder and never matches one.
            const std::string& parent = tabParentFolderIds[t];
            if (!parent.empty() && parent == folders[f].folderId)
                items.push_back({StripItem::Kind::TabPill, t, !folders[f].isExpanded});
        }
    }
    for (std::size_t t = 0; t < tabParentFolderIds.size(); ++t) {
        if (tabParentFolderIds[t].empty())
            items.push_back({StripItem::Kind::TabPill, t, false});
    }
    return items;
}

} // namespace vesk
