#include "tabs/TabStripArrangement.h"

#include <algorithm>

#include "tabs/TabIndexRules.h"

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

std::vector<std::size_t> shownTabOrder(const std::vector<StripItem>& items) {
    std::vector<std::size_t> order;
    for (const StripItem& item : items)
        if (item.kind == StripItem::Kind::TabPill && !item.hidden)
            order.push_back(item.index);
    return order;
}

std::int64_t tabAfterStep(const std::vector<std::size_t>& order, std::int64_t activeIdx, int step) {
    if (order.empty())
        return NSNotFound;
    const auto n = static_cast<std::int64_t>(order.size());
    auto it = std::find(order.begin(), order.end(), static_cast<std::size_t>(activeIdx));
    if (activeIdx < 0 || it == order.end())
        return static_cast<std::int64_t>(order.front());
    const std::int64_t at = it - order.begin();
    return static_cast<std::int64_t>(order[static_cast<std::size_t>(((at + step) % n + n) % n)]);
}

} // namespace vesk
