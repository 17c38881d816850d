#include "tabs/TabStripArrangement.h"

#include <gtest/gtest.h>

namespace vesk {

// Failure messages name the strip's views readably.
void PrintTo(const StripItem& item, std::ostream* os) {
    *os << (item.kind == StripItem::Kind::FolderHeader ? "header " : "pill ") << item.index
        << (item.hidden ? " hidden" : "");
}

namespace {

using Kind = StripItem::Kind;

StripItem header(std::size_t folder) {
    return {Kind::FolderHeader, folder, false};
}
StripItem pill(std::size_t tab, bool hidden = false) {
    return {Kind::TabPill, tab, hidden};
}

struct ArrangementCase {
    const char* name;
    StripMode mode;
    std::vector<std::string> tabParents;
    std::vector<FolderSummary> folders;
    std::vector<StripItem> expected;
};

class TabStripArrangement : public ::testing::TestWithParam<ArrangementCase> {};

TEST_P(TabStripArrangement, PlacesHeadersAndPillsInOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(arrangeTabStrip(c.mode, c.tabParents, c.folders), c.expected);
}

const std::string kF1 = "7C9E6679-7425-40DE-944B-E07FC1F90AE7";
const std::string kF2 = "0B8F1C2A-3D4E-4F50-8A6B-7C8D9E0F1A2B";

INSTANTIATE_TEST_SUITE_P(
    Rows, TabStripArrangement,
    ::testing::Values(ArrangementCase{"NoFoldersSidebarMatchesTopBar",
                                      StripMode::Sidebar,
                                      {"", "", ""},
                                      {},
                                      {pill(0), pill(1), pill(2)}},
                      // Open A, open B, folder 1 (B joins), select A, folder 2 (A joins), open C.
                      ArrangementCase{"FoldersInCreationOrderSidebar",
                                      StripMode::Sidebar,
                                      {kF2, kF1, ""},
                                      {{kF1, true}, {kF2, true}},
                                      {header(0), pill(1), header(1), pill(0), pill(2)}},
                      ArrangementCase{"CollapsedFolderHidesItsPillsInTheSidebar",
                                      StripMode::Sidebar,
                                      {kF1, "", kF1},
                                      {{kF1, false}},
                                      {header(0), pill(0, true), pill(2, true), pill(1)}},
                      ArrangementCase{"CollapsedFolderShowsEverythingInTheTopBar",
                                      StripMode::TopBar,
                                      {kF1, "", kF1},
                                      {{kF1, false}},
                                      {pill(0), pill(1), pill(2)}},
                      ArrangementCase{"EmptyFolderShowsOnlyItsHeader",
                                      StripMode::Sidebar,
                                      {kF1, ""},
                                      {{kF1, true}, {kF2, true}},
                                      {header(0), pill(0), header(1), pill(1)}},
                      // Ids match by exact text: another case of the same id is another folder.
                      // A folder summary with an empty id must not collect the tabs in no folder.
                      ArrangementCase{"EmptyIdNeverMatchesAFolder",
                                      StripMode::Sidebar,
                                      {"", ""},
                                      {{"", true}},
                                      {header(0), pill(0), pill(1)}}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace vesk
