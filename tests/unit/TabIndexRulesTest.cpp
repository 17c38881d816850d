#include "tabs/TabIndexRules.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;

TEST(TabIndexRules, ValidIndexLiesInsideTheList) {
    EXPECT_FALSE(isValidTabIndex(std::nullopt, 3));
    EXPECT_FALSE(isValidTabIndex(0, 0));
    EXPECT_FALSE(isValidTabIndex(3, 3));
    EXPECT_TRUE(isValidTabIndex(2, 3));
}

struct RemoveCase {
    const char* name;
    std::optional<std::size_t> selected;
    std::size_t removed, countBefore;
    std::optional<std::size_t> expected;
};

class TabRemoval : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(TabRemoval, MovesTheSelection) {
    const auto& c = GetParam();
    EXPECT_EQ(indexAfterRemove(c.selected, c.removed, c.countBefore), c.expected);
}

const RemoveCase kRemovals[] = {
    {"SelectedMiddleSelectsFollower", 1, 1, 3, 1},
    {"SelectedLastSelectsLeftNeighbour", 2, 2, 3, 1},
    {"EarlierTabShiftsSelectionDown", 1, 0, 3, 0},
    {"LaterTabKeepsSelection", 1, 2, 3, 1},
    {"OnlyTabLeavesNoSelection", 0, 0, 1, std::nullopt},
    {"NoSelectionStaysNone", std::nullopt, 0, 3, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Closing, TabRemoval, ::testing::ValuesIn(kRemovals),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
