#include "tabs/TabIndexRules.h"

namespace vesk {

bool isValidTabIndex(std::int64_t index, std::int64_t count) {
    return index != NSNotFound && index >= 0 && index < count;
}

std::int64_t indexAfterAppend(std::int64_t countBefore) {
    return countBefore;
}

std::int64_t indexAfterRemove(std::int64_t activeIdx, std::int64_t removed,
                              std::int64_t countBefore) {
    const std::int64_t countAfter = countBefore - 1;
    if (removed == activeIdx)
        return removed >= countAfter ? countAfter - 1 : removed;
    if (activeIdx != NSNotFound && activeIdx > removed)
        return activeIdx - 1;
    return activeIdx;
}

} // namespace vesk
