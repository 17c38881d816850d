#include "TabGuiTest.h"

#include <regex>
#include <set>

namespace vesk::test {
namespace {

class TabFoldersTest : public TabGuiTest {
protected:
    Gtk::Widget* pill(std::size_t tab) { return app->tabs.at(tab)->pill.get(); }
    Gtk::Button* header(std::size_t folder) {
        return app->folders.at(folder)->folderHeaderBtn.get();
    }
    void toggleLayout(bool toSidebar) {
        pressLayout();
        settle();
        ASSERT_EQ(app->isSidebarMode, toSidebar);
        expectOnlyStripInUseFilled();
    }
    // What a user sees of a strip view: shown and drawn.
    static bool shown(Gtk::Widget* w) { return w->get_visible() && w->get_mapped(); }
    using Views = std::vector<Gtk::Widget*>;
};

TEST_F(TabFoldersTest, FoldersAreListedInCreationOrderNotTabOrder) {
    // Open A, open B, create a folder (B joins), select A, create a second
    // folder (A joins), open C.
    launch();
    pressNewTab();
    pressNewFolder();
    clickTab(0);
    pressNewFolder();
    pressNewTab();
    ASSERT_EQ(app->tabs.size(), 3u);
    ASSERT_EQ(app->folders.size(), 2u);
    expectSelected(2);
    EXPECT_EQ(topStrip(), (Views{pill(0), pill(1), pill(2)}));
    expectOnlyStripInUseFilled();

    toggleLayout(true);
    EXPECT_EQ(sidebar(), (Views{header(0), pill(1), header(1), pill(0), pill(2)}));
    for (Gtk::Widget* w : sidebar())
        EXPECT_TRUE(shown(w));

    toggleLayout(false);
    EXPECT_EQ(topStrip(), (Views{pill(0), pill(1), pill(2)}));
}

TEST_F(TabFoldersTest, FoldersAreNumberedInOrderWithUniqueUpperCaseUuids) {
    launch();
    const std::regex uuid("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
    std::set<std::string> ids;
    for (int i = 1; i <= 3; ++i) {
        pressNewFolder();
        const TabFolder& folder = *app->folders.back();
        EXPECT_EQ(folder.folderHeaderBtn->get_label(),
                  Glib::ustring("\U0001F4C1 Workspace " + std::to_string(i)));
        EXPECT_TRUE(std::regex_match(folder.folderId, uuid)) << folder.folderId;
        ids.insert(folder.folderId);
    }
    EXPECT_EQ(ids.size(), 3u);
}

TEST_F(TabFoldersTest, OnlyASelectedTabInNoFolderJoinsANewFolder) {
    launch();
    pressNewFolder();
    ASSERT_EQ(app->tabs[0]->parentFolderId, app->folders[0]->folderId);
    // The selected tab is already in a folder: the next folder starts empty.
    pressNewFolder();
    EXPECT_EQ(app->tabs[0]->parentFolderId, app->folders[0]->folderId);
    toggleLayout(true);
    EXPECT_EQ(sidebar(), (Views{header(0), pill(0), header(1)}));

    // A new tab opened while folders exist lands in no folder, at the bottom...
    pressNewTab();
    EXPECT_TRUE(app->tabs[1]->parentFolderId.empty());
    EXPECT_EQ(sidebar(), (Views{header(0), pill(0), header(1), pill(1)}));
    // ...and joins the next folder, being selected and in none.
    pressNewFolder();
    EXPECT_EQ(app->tabs[1]->parentFolderId, app->folders[2]->folderId);
    EXPECT_EQ(sidebar(), (Views{header(0), pill(0), header(1), header(2), pill(1)}));
    expectOnlyStripInUseFilled();
}

TEST_F(TabFoldersTest, CollapsedFolderHidesItsPillsInTheSidebarOnly) {
    launch();
    pressNewTab();
    pressNewFolder(); // tab 1 (selected) joins
    toggleLayout(true);
    click(header(0));
    settle();
    // Still arranged, just hidden; the selected tab's page stays on screen.
    EXPECT_EQ(sidebar(), (Views{header(0), pill(1), pill(0)}));
    EXPECT_FALSE(shown(pill(1)));
    EXPECT_TRUE(shown(pill(0)));
    expectSelected(1);
    EXPECT_TRUE(app->tabs[1]->web->widget().get_mapped());

    toggleLayout(false);
    EXPECT_EQ(topStrip(), (Views{pill(0), pill(1)}));
    EXPECT_TRUE(shown(pill(1)));

    toggleLayout(true);
    EXPECT_FALSE(shown(pill(1)));
    click(header(0));
    settle();
    EXPECT_TRUE(shown(pill(1)));
    expectOnlyStripInUseFilled();
}

} // namespace
} // namespace vesk::test
