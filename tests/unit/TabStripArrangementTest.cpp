#include "tabs/TabStripArrangement.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;

// The strip as text: "h1" is folder 1's header, "p2" tab 2's pill, "p2-" a hidden pill.
std::string shown(const std::vector<StripItem>& items) {
    std::string text;
    for (const StripItem& item : items)
        text += (text.empty() ? "" : " ") +
                std::string(item.kind == StripItem::Kind::FolderHeader ? "h" : "p") +
                std::to_string(item.index) + (item.hidden ? "-" : "");
    return text;
}

struct Strip {
    const char* name;
    StripMode mode;
    std::vector<std::string> tabParents;
    std::vector<FolderSummary> folders;
    const char* expected;
};

class TabStripArrangement : public ::testing::TestWithParam<Strip> {};

TEST_P(TabStripArrangement, PlacesHeadersAndPillsInOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(shown(arrangeTabStrip(c.mode, c.tabParents, c.folders)), c.expected);
}

const std::string kF1 = "7C9E6679-7425-40DE-944B-E07FC1F90AE7";
const std::string kF2 = "0B8F1C2A-3D4E-4F50-8A6B-7C8D9E0F1A2B";
constexpr StripMode kTop = StripMode::TopBar, kSide = StripMode::Sidebar;

const Strip kStrips[] = {
    {"NoTabs", kTop, {}, {}, ""},
    {"NoFoldersSidebarMatchesTopBar", kSide, {"", "", ""}, {}, "p0 p1 p2"},
    {"FoldersInCreationOrder", kSide, {kF2, kF1, ""}, {{kF1, true}, {kF2, true}}, "h0 p1 h1 p0 p2"},
    {"CollapsedFolderHidesItsPills", kSide, {kF1, "", kF1}, {{kF1, false}}, "h0 p0- p2- p1"},
    {"TopBarShowsEveryTabAndNoFolder", kTop, {kF1, "", kF1}, {{kF1, false}}, "p0 p1 p2"},
    {"EmptyFolderShowsOnlyItsHeader", kSide, {kF1, ""}, {{kF1, true}, {kF2, true}}, "h0 p0 h1 p1"},
    {"IdsCompareCaseSensitively", kSide, {"abc", "ABC"}, {{"ABC", true}}, "h0 p1"},
    // A folder summary with an empty id must not collect the tabs in no folder.
    {"EmptyIdNeverMatchesAFolder", kSide, {"", ""}, {{"", true}}, "h0 p0 p1"},
};

INSTANTIATE_TEST_SUITE_P(Strips, TabStripArrangement, ::testing::ValuesIn(kStrips),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(TabStripOrder, StepsGoThroughShownPillsAndWrap) {
    // Sidebar: folder 0 holds tabs 0 and 2 (collapsed, so tab 2 is not shown), tab 1 in none.
    const auto order = shownTabOrder(arrangeTabStrip(kSide, {kF1, "", kF1}, {{kF1, false}}));
    EXPECT_EQ(order, (std::vector<std::size_t>{1}));
    const auto open = shownTabOrder(arrangeTabStrip(kSide, {kF2, "", kF2}, {{kF2, true}}));
    EXPECT_EQ(open, (std::vector<std::size_t>{0, 2, 1}));
    EXPECT_EQ(tabAfterStep(open, 0, +1), 2);
    EXPECT_EQ(tabAfterStep(open, 1, +1), 0);
    EXPECT_EQ(tabAfterStep(open, 0, -1), 1);
    EXPECT_EQ(tabAfterStep(order, 2, +1), 1);           // from a hidden tab: the first shown
    EXPECT_EQ(tabAfterStep(open, std::nullopt, -1), 0); // from no selection: the first shown
    EXPECT_EQ(tabAfterStep({}, 0, +1), std::nullopt);
}

} // namespace
