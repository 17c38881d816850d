#include "tabs/TabDrop.h"

#include <algorithm>

namespace vesk {

namespace {

// Where the dropped tab goes, before it becomes an index.
struct Target {
    enum class Anchor { AfterTab, BeforeTab, GroupStart, GroupEnd };
    Anchor anchor;
    std::string folderId;
    std::size_t tab = 0; // for AfterTab and BeforeTab
};

// The target's place in the order the tabs have once `dragged` is taken out,
// which is the index the tab ends at. A tab that is already first (or last)
// in its group, or that goes to a group with no other tab, keeps its place.
std::size_t indexOfTarget(const std::vector<std::string>& tabFolderIds, std::size_t dragged,
                          const Target& target) {
    const auto rank = [dragged](std::size_t tab) { return tab < dragged ? tab : tab - 1; };
    switch (target.anchor) {
    case Target::Anchor::AfterTab:
        return rank(target.tab) + 1;
    case Target::Anchor::BeforeTab:
        return rank(target.tab);
    case Target::Anchor::GroupStart:
        for (std::size_t t = 0; t < tabFolderIds.size(); ++t)
            if (tabFolderIds[t] == target.folderId)
                return t == dragged ? dragged : rank(t);
        return dragged;
    case Target::Anchor::GroupEnd:
        for (std::size_t t = tabFolderIds.size(); t-- > 0;)
            if (tabFolderIds[t] == target.folderId)
                return t == dragged ? dragged : rank(t) + 1;
        return dragged;
    }
    return dragged;
}

Target sidebarTarget(const std::vector<StripItem>& shown,
                     const std::vector<std::string>& tabFolderIds,
                     const std::vector<FolderSummary>& folders, DropSpot spot) {
    const auto firstIn = [&folders](std::size_t folder) {
        return Target{Target::Anchor::GroupStart, folders[folder].folderId};
    };
    if (spot.kind == DropSpot::Kind::OntoHeader)
        return firstIn(shown[spot.at].index);
    const StripItem* before = spot.at > 0 ? &shown[spot.at - 1] : nullptr;
    if (before && before->kind == StripItem::Kind::TabPill)
        return {Target::Anchor::AfterTab, tabFolderIds[before->index], before->index};
    if (before && folders[before->index].isExpanded)
        return firstIn(before->index);
    // Nothing before the gap, or a collapsed folder whose tabs a drop there would hide.
    const StripItem* after = spot.at < shown.size() ? &shown[spot.at] : nullptr;
    if (after && after->kind == StripItem::Kind::FolderHeader)
        return firstIn(after->index);
    if (after)
        return {Target::Anchor::BeforeTab, tabFolderIds[after->index], after->index};
    return {Target::Anchor::GroupEnd, ""};
}

} // namespace

DropSpot dropSpotAt(const std::vector<ItemSpan>& shownItems, double position) {
    for (std::size_t i = 0; i < shownItems.size(); ++i)
        if (shownItems[i].isHeader && position >= shownItems[i].start &&
            position < shownItems[i].end)
            return {DropSpot::Kind::OntoHeader, i};
    const auto past = std::ranges::count_if(shownItems, [position](const ItemSpan& item) {
        return (item.start + item.end) / 2.0 < position;
    });
    return {DropSpot::Kind::Gap, static_cast<std::size_t>(past)};
}

std::optional<TabPlacement> placeDroppedTab(StripMode mode,
                                            const std::vector<std::string>& tabFolderIds,
                                            const std::vector<FolderSummary>& folders,
                                            std::size_t dragged, DropSpot spot) {
    if (dragged >= tabFolderIds.size())
        return std::nullopt;
    std::vector<StripItem> shown;
    for (const StripItem& item : arrangeTabStrip(mode, tabFolderIds, folders))
        if (!item.hidden)
            shown.push_back(item);
    const auto draggedAt = std::ranges::find(shown, StripItem{StripItem::Kind::TabPill, dragged});
    if (draggedAt == shown.end())
        return std::nullopt;
    const auto draggedPos = static_cast<std::size_t>(draggedAt - shown.begin());
    if (spot.kind == DropSpot::Kind::OntoHeader &&
        (spot.at >= shown.size() || shown[spot.at].kind != StripItem::Kind::FolderHeader))
        return std::nullopt;
    if (spot.kind == DropSpot::Kind::Gap) {
        spot.at = std::min(spot.at, shown.size());
        // The gaps on either side of the pill leave it where it is.
        if (spot.at == draggedPos || spot.at == draggedPos + 1)
            return std::nullopt;
    }

    Target target;
    if (mode == StripMode::TopBar) {
        // The top bar shows no folders: a tab keeps its own.
        target = spot.at == 0 ? Target{Target::Anchor::BeforeTab, {}, shown.front().index}
                              : Target{Target::Anchor::AfterTab, {}, shown[spot.at - 1].index};
        target.folderId = tabFolderIds[dragged];
    } else {
        target = sidebarTarget(shown, tabFolderIds, folders, spot);
    }
    TabPlacement placement{indexOfTarget(tabFolderIds, dragged, target), target.folderId};
    if (placement.index == dragged && placement.folderId == tabFolderIds[dragged])
        return std::nullopt;
    return placement;
}

} // namespace vesk
