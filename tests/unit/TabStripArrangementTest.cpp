#include "tabs/TabStripArrangement.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

// The strip as text: "h1" is folder 1's header, "p2" tab 2's pill, "p2-" a hidden pill.
std::string shown(const std::vector<StripItem>& items) {
    std::string text;
    for (const StripItem& item : items) {
        text += (text.empty() ? "" : " ") +
                std::string(item.kind == StripItem::Kind::FolderHeader ? "h" : "p") +
                std::to_string(item.index) + (item.hidden ? "-" : "");
    }
    return text;
}

struct ArrangementCase {
    const char* name;
    StripMode mode;
    std::vector<std::string> tabParents;
    std::vector<FolderSummary> folders;
    const char* expected;
};

void PrintTo(const ArrangementCase& c, std::ostream* os) {
    *os << c.name;
}

class TabStripArrangement : public ::testing::TestWithParam<ArrangementCase> {};

TEST_P(TabStripArrangement, PlacesHeadersAndPillsInOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(shown(arrangeTabStrip(c.mode, c.tabParents, c.folders)), c.expected);
}

const std::string kF1 = "7C9E6679-7425-40DE-944B-E07FC1F90AE7";
const std::string kF2 = "0B8F1C2A-3D4E-4F50-8A6B-7C8D9E0F1A2B";
constexpr StripMode kTop = StripMode::TopBar;
constexpr StripMode kSide = StripMode::Sidebar;

// In the folder rows: open A, open B, folder 1 (B joins), select A, folder 2 (A joins), open C.
INSTANTIATE_TEST_SUITE_P(
    Rows, TabStripArrangement,
    ::testing::Values(
        ArrangementCase{"NoTabs", kTop, {}, {}, ""},
        ArrangementCase{"NoFoldersSidebarMatchesTopBar", kSide, {"", "", ""}, {}, "p0 p1 p2"},
        ArrangementCase{"FoldersInCreationOrder",
                        kSide,
                        {kF2, kF1, ""},
                        {{kF1, true}, {kF2, true}},
                        "h0 p1 h1 p0 p2"},
        ArrangementCase{
            "CollapsedFolderHidesItsPills", kSide, {kF1, "", kF1}, {{kF1, false}}, "h0 p0- p2- p1"},
        ArrangementCase{
            "TopBarShowsEveryTabAndNoFolder", kTop, {kF1, "", kF1}, {{kF1, false}}, "p0 p1 p2"},
        ArrangementCase{"EmptyFolderShowsOnlyItsHeader",
                        kSide,
                        {kF1, ""},
                        {{kF1, true}, {kF2, true}},
                        "h0 p0 h1 p1"},
        ArrangementCase{
            "IdsCompareCaseSensitively", kSide, {"abc", "ABC"}, {{"ABC", true}}, "h0 p1"},
        // A folder summary with an empty id must not collect the tabs in no folder.
        ArrangementCase{"EmptyIdNeverMatchesAFolder", kSide, {"", ""}, {{"", true}}, "h0 p0 p1"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace vesk
