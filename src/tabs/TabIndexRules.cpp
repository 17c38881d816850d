#include "tabs/TabIndexRules.h"

namespace vesk {

bool isValidTabIndex(std::optional<std::size_t> index, std::size_t count) {
    return index && *index < count;
}

std::size_t indexAfterAppend(std::size_t countBefore) {
    return countBefore;
}

std::optional<std::size_t> indexAfterRemove(std::optional<std::size_t> selected,
                                            std::size_t removed, std::size_t countBefore) {
    if (!selected)
        return std::nullopt;
    const std::size_t countAfter = countBefore - 1;
    if (removed == *selected) {
        if (countAfter == 0)
            return std::nullopt;
        return removed >= countAfter ? countAfter - 1 : removed;
    }
    if (*selected > removed)
        return *selected - 1;
    return selected;
}

} // namespace vesk
