#include "tabs/TabDrop.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;

constexpr StripMode kTop = StripMode::TopBar, kSide = StripMode::Sidebar;
constexpr DropSpot gap(std::size_t at) {
    return {DropSpot::Kind::Gap, at};
}
constexpr DropSpot onto(std::size_t at) {
    return {DropSpot::Kind::OntoHeader, at};
}

struct Drop {
    const char* name;
    StripMode mode;
    std::vector<std::string> tabFolders;
    std::vector<FolderSummary> folders;
    std::size_t dragged;
    DropSpot spot;
    // "index folder", or "-" for no move.
    const char* expected;
};

std::string shown(const std::optional<TabPlacement>& placement) {
    return placement ? std::to_string(placement->index) + " " + placement->folderId : "-";
}

class TabDropPlacement : public ::testing::TestWithParam<Drop> {};

TEST_P(TabDropPlacement, LandsWhereTheStripShowsIt) {
    const Drop& d = GetParam();
    EXPECT_EQ(shown(placeDroppedTab(d.mode, d.tabFolders, d.folders, d.dragged, d.spot)),
              d.expected);
}

const std::vector<std::string> kFourLoose{"", "", "", ""};
// Sidebar: h0 p0 p2 p1 p3 (folder A holds tabs 0 and 2).
const std::vector<std::string> kMixed{"A", "", "A", ""};
const std::vector<FolderSummary> kOpenA{{"A", true}};
// Sidebar: h0 (collapsed, hiding p0 and p2) h1 p3 p1 p4.
const std::vector<std::string> kTwoFolders{"A", "", "A", "B", ""};
const std::vector<FolderSummary> kShutAOpenB{{"A", false}, {"B", true}};

const Drop kDrops[] = {
    {"TopFirstPlace", kTop, kFourLoose, {}, 2, gap(0), "0 "},
    {"TopLastPlace", kTop, kFourLoose, {}, 0, gap(4), "3 "},
    {"TopForwardBetweenTwo", kTop, kFourLoose, {}, 0, gap(3), "2 "},
    {"TopGapBeforeItselfIsNoMove", kTop, kFourLoose, {}, 1, gap(1), "-"},
    {"TopGapPastTheEndIsTheLastPlace", kTop, kFourLoose, {}, 0, gap(99), "3 "},
    {"TopKeepsTheTabsFolder", kTop, kMixed, kOpenA, 0, gap(4), "3 A"},
    {"TopHasNoHeaderToDropOn", kTop, kFourLoose, {}, 0, onto(0), "-"},
    {"IntoFolderAmongItsTabs", kSide, kMixed, kOpenA, 1, gap(2), "1 A"},
    {"IntoFolderAfterItsLastTab", kSide, kMixed, kOpenA, 3, gap(3), "3 A"},
    {"OntoHeaderIsFirstInFolder", kSide, kMixed, kOpenA, 3, onto(0), "0 A"},
    {"RightAfterHeaderIsFirstInFolder", kSide, kMixed, kOpenA, 2, gap(1), "0 A"},
    {"BeforeEverythingIsFirstInFirstFolder", kSide, kMixed, kOpenA, 3, gap(0), "0 A"},
    {"OutOfFolderToTheEnd", kSide, kMixed, kOpenA, 0, gap(5), "3 "},
    {"OutOfFolderBetweenLooseTabs", kSide, kMixed, kOpenA, 2, gap(4), "2 "},
    {"WithinFolderBesideItselfIsNoMove", kSide, kMixed, kOpenA, 0, gap(2), "-"},
    {"OntoOwnFolderWhenFirstIsNoMove", kSide, kMixed, kOpenA, 0, onto(0), "-"},
    {"AcrossCollapsedFolderIntoNext", kSide, kTwoFolders, kShutAOpenB, 1, gap(1), "2 B"},
    {"OntoCollapsedHeaderJoinsIt", kSide, kTwoFolders, kShutAOpenB, 4, onto(0), "0 A"},
    {"AfterCollapsedHeaderBeforeLooseTab",
     kSide,
     {"A", "", "A", ""},
     {{"A", false}},
     3,
     gap(1),
     "1 "},
    {"HiddenTabCannotBeDropped", kSide, kTwoFolders, kShutAOpenB, 0, gap(4), "-"},
    {"IntoEmptyFolderKeepsIndex", kSide, {"", ""}, kOpenA, 1, onto(0), "1 A"},
    {"OutAfterCollapsedLastFolderWithNoLooseTabs",
     kSide,
     {"A", "B"},
     {{"A", true}, {"B", false}},
     0,
     gap(3),
     "0 "},
};

INSTANTIATE_TEST_SUITE_P(Drops, TabDropPlacement, ::testing::ValuesIn(kDrops),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(TabDropSpot, PointerPicksGapByMiddlesAndHeadersWhole) {
    // The top strip: three pills 140 wide, 8 apart.
    const std::vector<ItemSpan> top{{0, 140}, {148, 288}, {296, 436}};
    EXPECT_EQ(dropSpotAt(top, -5), gap(0));
    EXPECT_EQ(dropSpotAt(top, 69), gap(0));
    EXPECT_EQ(dropSpotAt(top, 71), gap(1));
    EXPECT_EQ(dropSpotAt(top, 900), gap(3));
    EXPECT_EQ(dropSpotAt({}, 10), gap(0));
    // The sidebar: a header, a pill, a header.
    const std::vector<ItemSpan> side{{0, 24, true}, {30, 58}, {64, 88, true}};
    EXPECT_EQ(dropSpotAt(side, 1), onto(0));
    EXPECT_EQ(dropSpotAt(side, 26), gap(1));
    EXPECT_EQ(dropSpotAt(side, 50), gap(2));
    EXPECT_EQ(dropSpotAt(side, 87), onto(2));
    EXPECT_EQ(dropSpotAt(side, 88), gap(3));
}

} // namespace
