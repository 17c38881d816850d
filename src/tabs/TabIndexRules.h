#pragma once

#include <cstdint>
#include <limits>

namespace vesk {

// No tab is selected: the largest signed 64-bit value.
inline constexpr std::int64_t NSNotFound = std::numeric_limits<std::int64_t>::max();

// Whether `index` names a tab in a list of `count` tabs: currentTab and select rely on it.
bool isValidTabIndex(std::int64_t index, std::int64_t count);

// The index a tab appended to a list of `countBefore` tabs lands at, and is selected at.
std::int64_t indexAfterAppend(std::int64_t countBefore);

// The selection after removing the tab at `removed` from `countBefore` tabs while
// `activeIdx` was selected. Closing the selected tab selects its follower, or its
// left neighbour when it was the last; an earlier close shifts the selection down.
std::int64_t indexAfterRemove(std::int64_t activeIdx, std::int64_t removed,
                              std::int64_t countBefore);

} // namespace vesk
