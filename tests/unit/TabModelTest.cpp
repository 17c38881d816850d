#include "tabs/TabModel.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;

// Opens `count` unselected tabs at addresses "a", "b", "c"…
void openTabs(TabModel& model, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        model.append({std::string(1, static_cast<char>('a' + i))}, Select::No);
}

// The tabs' addresses in model order, as "a b c".
std::string order(const TabModel& model) {
    std::string text;
    for (const TabRecord& tab : model.tabs())
        text += (text.empty() ? "" : " ") + tab.address;
    return text;
}

auto rowName = [](const auto& row) { return std::string(row.param.name); };

// Three tabs "a b c", with "b" alone in a folder, and `selected` selected; a tab "n"
// opens after the one at `opener` (nothing: an opener already gone).
struct InsertCase {
    const char* name;
    std::size_t selected;
    std::optional<std::size_t> opener;
    Select select;
    const char* order;
    std::size_t selectedAfter;
};

class TabInsertion : public ::testing::TestWithParam<InsertCase> {};

TEST_P(TabInsertion, PlacesAfterTheOpenerInItsFolderAndKeepsTheSelection) {
    const InsertCase& c = GetParam();
    TabModel model;
    openTabs(model, 3);
    model.select(1);
    model.createFolder();
    model.select(c.selected);
    constexpr TabId kNeverOpened = 999;
    const TabId opener = c.opener ? model.tabs()[*c.opener].id : kNeverOpened;
    const std::string openerFolder = c.opener ? model.tabs()[*c.opener].folderId : "";
    const TabId selectedBefore = model.selected()->id;

    const TabId id = model.insertAfter(opener, {"n"}, c.select);
    EXPECT_EQ(order(model), c.order);
    EXPECT_EQ(model.selectedIndex(), c.selectedAfter);
    EXPECT_EQ(model.selected()->id, c.select == Select::Yes ? id : selectedBefore);
    EXPECT_EQ(model.find(id)->folderId, openerFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Opening, TabInsertion,
    ::testing::Values(InsertCase{"OpenerJustBeforeSelected", 1, 0, Select::No, "a n b c", 2},
                      InsertCase{"OpenerFarBeforeSelected", 2, 0, Select::No, "a n b c", 3},
                      InsertCase{"OpenerIsSelectedInAFolder", 1, 1, Select::No, "a b n c", 1},
                      InsertCase{"OpenerAfterSelected", 0, 2, Select::No, "a b c n", 0},
                      InsertCase{"OpenerGoneOpensAtTheEnd", 1, std::nullopt, Select::No, "a b c n",
                                 1},
                      InsertCase{"SelectingTakesTheNewTab", 2, 0, Select::Yes, "a n b c", 1}),
    rowName);

TEST(TabOpening, LinksOpenedOneAfterAnotherKeepTheirOrderAfterTheirOpener) {
    TabModel model;
    openTabs(model, 3);
    const TabId a = model.tabs()[0].id;
    model.insertAfter(a, {"x"}, Select::No);
    const TabId y = model.insertAfter(a, {"y"}, Select::No);
    model.insertAfter(a, {"z"}, Select::No);
    EXPECT_EQ(order(model), "a x y z b c");
    // A tab opened from one of them follows it, and the opener's next link still
    // goes after its own earlier ones only up to there.
    model.insertAfter(y, {"y1"}, Select::No);
    EXPECT_EQ(order(model), "a x y y1 z b c");
    model.insertAfter(model.tabs()[1].id, {"x1"}, Select::No);
    EXPECT_EQ(order(model), "a x x1 y y1 z b c");
}

// Tabs "a b c d" with "b" and "d" in one folder; the strip's place `place` names `expected`.
struct PlaceCase {
    const char* name;
    StripMode mode;
    bool folderExpanded;
    int place;
    std::optional<std::size_t> expected;
};

class TabPlaces : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(TabPlaces, CountInTheOrderTheStripShows) {
    const PlaceCase& c = GetParam();
    TabModel model;
    model.restore({{{"a", ""}, {"b", "F"}, {"c", ""}, {"d", "F"}},
                   {{"F", "Work", c.folderExpanded}},
                   0,
                   c.mode == StripMode::Sidebar});
    EXPECT_EQ(model.tabAtPlace(c.place), c.expected);
}

constexpr StripMode kTop = StripMode::TopBar, kSide = StripMode::Sidebar;

INSTANTIATE_TEST_SUITE_P(
    Places, TabPlaces,
    ::testing::Values(PlaceCase{"TopBarFirst", kTop, false, 1, 0},
                      PlaceCase{"TopBarIgnoresCollapsedFolder", kTop, false, 2, 1},
                      PlaceCase{"TopBarNineIsLast", kTop, true, 9, 3},
                      PlaceCase{"SidebarStartsWithFolderTabs", kSide, true, 2, 3},
                      PlaceCase{"SidebarLooseTabsFollowFolders", kSide, true, 3, 0},
                      PlaceCase{"SidebarSkipsCollapsedTabs", kSide, false, 2, 2},
                      PlaceCase{"SidebarNineIsLastShown", kSide, false, 9, 2},
                      PlaceCase{"BeyondShownCount", kSide, false, 3, std::nullopt},
                      PlaceCase{"BeyondTabCount", kTop, true, 5, std::nullopt},
                      PlaceCase{"PlaceZero", kTop, true, 0, std::nullopt}),
    rowName);

TEST(TabNeighbours, StepThroughTheShownOrderAndWrap) {
    TabModel model;
    EXPECT_EQ(model.tabAtPlace(1), std::nullopt);
    EXPECT_EQ(model.neighbour(+1), std::nullopt);
    model.restore({{{"a", ""}, {"b", "F"}, {"c", ""}}, {{"F", "Work", true}}, 2, true});
    EXPECT_EQ(model.neighbour(+1), 1u); // sidebar order: b a c
    EXPECT_EQ(model.neighbour(-1), 0u);
}

// An open window (with `openTabs` tabs, the last selected and in a folder of its own)
// restores `session`; restored tab k lands in the restored folder `folderOf[k]` (-1: none).
// A saved folderId "OPEN" stands for the open folder's id: the restored one must get another.
struct RestoreCase {
    const char* name;
    std::size_t openTabs;
    SessionState session;
    std::vector<int> folderOf;
    std::size_t selectedAfter;
};

class TabRestore : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(TabRestore, AppendsFoldersWithFreshIdsAndTabsUnloaded) {
    const RestoreCase& c = GetParam();
    TabModel model;
    SessionState session = c.session;
    if (c.openTabs > 0) {
        openTabs(model, c.openTabs);
        model.select(c.openTabs - 1);
        const std::string open = model.createFolder();
        for (auto* id : {&session.folders.front().folderId, &session.tabs.front().folderId})
            if (*id == "OPEN")
                *id = open;
    }
    const std::size_t openFolders = model.folders().size();
    model.restore(session);

    ASSERT_EQ(model.folders().size(), openFolders + session.folders.size());
    for (std::size_t f = 0; f < session.folders.size(); ++f) {
        const FolderRecord& restored = model.folders()[openFolders + f];
        EXPECT_EQ(restored.name, session.folders[f].name);
        EXPECT_EQ(restored.isExpanded, session.folders[f].isExpanded);
        EXPECT_NE(restored.folderId, session.folders[f].folderId);
    }
    ASSERT_EQ(model.tabs().size(), c.openTabs + session.tabs.size());
    for (std::size_t k = 0; k < session.tabs.size(); ++k) {
        SCOPED_TRACE("restored tab " + std::to_string(k));
        const TabRecord& tab = model.tabs()[c.openTabs + k];
        const std::string& address = session.tabs[k].address;
        EXPECT_EQ(tab.address, address);
        EXPECT_EQ(tab.title, address.empty() ? "Loading" : address);
        EXPECT_EQ(tab.state, address.empty() ? TabState::Live : TabState::Unloaded);
        const int f = c.folderOf[k];
        EXPECT_EQ(tab.folderId, f < 0 ? "" : model.folders()[openFolders + f].folderId);
    }
    EXPECT_EQ(model.selectedIndex(), c.selectedAfter);
    EXPECT_EQ(model.mode(), session.isSidebarMode ? kSide : kTop);
}

const RestoreCase kRestores[] = {
    {"TabsInFolders",
     0,
     {{{"a", "G"}, {"b", ""}, {"c", "F"}}, {{"F", "One"}, {"G", "Two", false}}, 1, true},
     {1, -1, 0},
     1},
    {"UnknownFolderIsNone", 0, {{{"a", "GONE"}, {"", "F"}}, {{"F", "One"}}, 0, false}, {-1, 0}, 0},
    {"OpenFolderIdGetsFresh", 2, {{{"a", "OPEN"}}, {{"OPEN", "Saved"}}, 0, false}, {0}, 2},
    {"OffsetByOpenTabs", 2, {{{"x", ""}, {"y", ""}}, {{"F", "One"}}, 1, false}, {-1, -1}, 3},
    {"OutOfRangeKeepsSelection", 2, {{{"x", ""}}, {{"F", "One"}}, 5, false}, {-1}, 1},
};

INSTANTIATE_TEST_SUITE_P(Restoring, TabRestore, ::testing::ValuesIn(kRestores), rowName);

// `count` tabs with `selected` selected; the tabs at `closes` close one after another.
struct CloseCase {
    const char* name;
    std::size_t count, selected;
    std::vector<std::size_t> closes;
    const char* order;
    std::optional<std::size_t> selectedAfter;
    // Every address reopening offers, newest first.
    const char* reopened;
};

class TabClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(TabClosing, SelectsTheRightTabAndOffersTheClosedAgain) {
    const CloseCase& c = GetParam();
    TabModel model;
    openTabs(model, c.count);
    model.select(c.selected);
    for (std::size_t index : c.closes)
        model.remove(model.tabs()[index].id);
    EXPECT_EQ(order(model), c.order);
    EXPECT_EQ(model.selectedIndex(), c.selectedAfter);
    std::string reopened;
    while (std::optional<std::string> address = model.takeClosedAddress())
        reopened += (reopened.empty() ? "" : " ") + *address;
    EXPECT_EQ(reopened, c.reopened);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, TabClosing,
    ::testing::Values(CloseCase{"SelectedMiddleSelectsFollower", 3, 1, {1}, "a c", 1, "b"},
                      CloseCase{"SelectedLastSelectsLeftNeighbour", 3, 2, {2}, "a b", 1, "c"},
                      CloseCase{"SelectedFirstSelectsFollower", 3, 0, {0}, "b c", 0, "a"},
                      CloseCase{"OnlyTabLeavesNoSelection", 1, 0, {0}, "", std::nullopt, "a"},
                      CloseCase{"EarlierTabShiftsSelection", 3, 2, {0}, "b c", 1, "a"},
                      CloseCase{"ReopensNewestFirst", 3, 0, {2, 0, 0}, "", std::nullopt, "b a c"},
                      CloseCase{"KeepsTheTenNewest", 12, 0, std::vector<std::size_t>(12, 0), "",
                                std::nullopt, "l k j i h g f e d c"}),
    rowName);

TEST(TabSignals, FireInOrderOnceTheModelHasChanged) {
    TabModel model;
    openTabs(model, 3);
    model.select(1);
    const TabId b = model.tabs()[1].id, c = model.tabs()[2].id;
    std::vector<std::string> events;
    model.signalRemoved().connect([&](TabId id, std::size_t index) {
        events.push_back("removed " + std::to_string(index) + (model.find(id) ? " still" : ""));
    });
    model.signalSelected().connect([&](std::optional<TabId> id) {
        events.push_back("selected " +
                         std::string(id == c && model.selected()->id == c ? "c" : "?"));
    });
    model.signalChanged().connect([&](TabId, TabField) { events.push_back("changed"); });

    EXPECT_FALSE(model.select(3));
    model.setTitle(b, "Loading");
    model.remove(b);
    EXPECT_EQ(events, (std::vector<std::string>{"removed 1", "selected c"}));
    events.clear();
    model.remove(model.tabs()[0].id); // not the selected tab: the selection only shifts
    EXPECT_EQ(events, (std::vector<std::string>{"removed 0"}));
}

TEST(TabMoves, KeepTheSelectionOnTheSameTab) {
    TabModel model;
    openTabs(model, 4);
    model.select(2);
    std::vector<std::size_t> moves;
    model.signalMoved().connect([&](TabId, std::size_t from, std::size_t to) {
        moves.insert(moves.end(), {from, to});
    });
    model.move(model.tabs()[0].id, 99);
    EXPECT_EQ(order(model), "b c d a");
    EXPECT_EQ(model.selectedIndex(), 1u);
    model.move(model.tabs()[3].id, 1);
    EXPECT_EQ(order(model), "b a c d");
    EXPECT_EQ(model.selectedIndex(), 2u);
    model.move(model.tabs()[1].id, 1);
    EXPECT_EQ(moves, (std::vector<std::size_t>{0, 3, 3, 1}));
}

// Folders that can be renamed and removed: a removed folder's tabs stay open in
// no folder, and its number is never given again.
TEST(TabFolders, RemovingAFolderKeepsItsTabsAndItsNumber) {
    TabModel model;
    const TabId a = model.append({.address = "a"}, Select::Yes);
    const TabId b = model.append({.address = "b"}, Select::No);
    const std::string first = model.createFolder();
    const std::string second = model.createFolder();
    model.setFolder(b, second);
    model.setFolder(b, "no such folder");
    EXPECT_EQ(model.find(b)->folderId, second);
    model.renameFolder(second, "Reading");
    EXPECT_EQ(model.findFolder(second)->name, "Reading");

    model.removeFolder(first);
    EXPECT_EQ(model.tabs().size(), 2u);
    EXPECT_EQ(model.find(a)->folderId, "");
    EXPECT_EQ(model.findFolder(first), nullptr);
    EXPECT_EQ(model.findFolder(model.createFolder())->name, "Workspace 3");
    model.setFolder(b, "");
    EXPECT_EQ(model.find(b)->folderId, "");
}

// A listener told that the selected tab joined a new folder already finds the
// folder: the sidebar places the folder's header before the tab's pill.
TEST(TabFolders, ANewFolderIsKnownBeforeTheTabThatJoinsIt) {
    TabModel model;
    const TabId a = model.append({.address = "a"}, Select::Yes);
    bool folderKnown = false;
    model.signalChanged().connect([&](TabId id, TabField field) {
        if (id == a && field == TabField::Folder)
            folderKnown = model.findFolder(model.find(a)->folderId) != nullptr;
    });
    model.createFolder();
    EXPECT_TRUE(folderKnown);
}

// A tab's saved page state survives the session file's round: a restored tab keeps
// it until it is selected, and the snapshot writes it back.
TEST(TabSavedState, TravelsWithTheSession) {
    TabModel model;
    const std::vector<std::uint8_t> state{1, 2, 3};
    model.restore({{{"a", "", state}, {"b", ""}, {"", "", state}}, {}, 1, false});
    EXPECT_EQ(model.tabs()[0].savedState, state);
    EXPECT_TRUE(model.tabs()[2].savedState.empty()) << "a blank tab has no page to restore";
    model.setSavedState(model.tabs()[1].id, state);
    const SessionState snapshot = model.snapshot();
    EXPECT_EQ(snapshot.tabs[0].state, state);
    EXPECT_EQ(snapshot.tabs[1].state, state);
}

} // namespace
