#include "tabs/TabIndexRules.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(TabIndexRules, ValidIndexAppendAndSelect) {
    EXPECT_FALSE(isValidTabIndex(NSNotFound, 3));
    EXPECT_FALSE(isValidTabIndex(-1, 3));
    EXPECT_FALSE(isValidTabIndex(3, 3));
    EXPECT_TRUE(isValidTabIndex(2, 3));
    EXPECT_EQ(indexAfterAppend(4), 4);
}

struct RemoveCase {
    const char* name;
    std::int64_t active, removed, countBefore, expected;
};

class TabRemoveRule : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(TabRemoveRule, MovesTheSelectionByTheRemovalRule) {
    const auto& c = GetParam();
    EXPECT_EQ(indexAfterRemove(c.active, c.removed, c.countBefore), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TabRemoveRule,
                         ::testing::Values(RemoveCase{"SelectedMiddleSelectsFollower", 1, 1, 3, 1},
                                           RemoveCase{"SelectedLastSelectsLeftNeighbour", 2, 2, 3,
                                                      1},
                                           RemoveCase{"EarlierTabShiftsSelectionDown", 1, 0, 3, 0},
                                           RemoveCase{"LaterTabKeepsSelection", 1, 2, 3, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace vesk
