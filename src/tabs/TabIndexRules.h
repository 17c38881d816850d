#pragma once

#include <cstddef>
#include <optional>

namespace vesk {

// Whether `index` names a tab in a list of `count` tabs: the selection and select rely on it.
bool isValidTabIndex(std::optional<std::size_t> index, std::size_t count);

// The index a tab appended to a list of `countBefore` tabs lands at, and is selected at.
std::size_t indexAfterAppend(std::size_t countBefore);

// The selection after removing the tab at `removed` from `countBefore` tabs while
// `selected` was selected. Closing the selected tab selects its follower, or its
// left neighbour when it was the last; an earlier close shifts the selection down;
// closing the only tab leaves none selected.
std::optional<std::size_t> indexAfterRemove(std::optional<std::size_t> selected,
                                            std::size_t removed, std::size_t countBefore);

} // namespace vesk
