#include "tabs/TabStripArrangement.h"

#include <algorithm>
#include <cstdint>

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

std::optional<std::size_t> tabAfterStep(const std::vector<std::size_t>& order,
                                        std::optional<std::size_t> selected, int step) {
    if (order.empty())
        return std::nullopt;
    auto it = selected ? std::find(order.begin(), order.end(), *selected) : order.end();
    if (it == order.end())
        return order.front();
    const auto n = static_cast<std::int64_t>(order.size());
    const std::int64_t at = it - order.begin();
    return order[static_cast<std::size_t>(((at + step) % n + n) % n)];
}

} // namespace vesk
