#include "TabGuiTest.h"

#include <regex>
#include <set>

#include <gtkmm/label.h>

namespace vesk::test {
namespace {

class TabFoldersTest : public TabGuiTest {
protected:
    std::vector<Gtk::Widget*> sidebar() { return childrenOf(*app->sidebarTabBarStack); }
    std::vector<Gtk::Widget*> topStrip() { return childrenOf(*app->topTabBarStack); }
    Gtk::Widget* pill(std::size_t tab) { return app->tabs.at(tab)->pill.get(); }
    Gtk::Button* header(std::size_t folder) {
        return app->folders.at(folder)->folderHeaderBtn.get();
    }
    void switchToSidebar() {
        ASSERT_FALSE(app->isSidebarMode);
        pressLayout();
        settle();
        ASSERT_TRUE(app->isSidebarMode);
    }
    void switchToTopBar() {
        ASSERT_TRUE(app->isSidebarMode);
        pressLayout();
        settle();
        ASSERT_FALSE(app->isSidebarMode);
    }
    // What a user sees of a strip view: shown and drawn.
    static bool shown(Gtk::Widget* w) { return w->get_visible() && w->get_mapped(); }
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
    EXPECT_EQ(app->tabs[1]->parentFolderId, app->folders[0]->folderId);
    EXPECT_EQ(app->tabs[0]->parentFolderId, app->folders[1]->folderId);
    EXPECT_TRUE(app->tabs[2]->parentFolderId.empty());
    expectSelected(2);

    // Top bar: A, B, C and no headers.
    EXPECT_EQ(topStrip(), (std::vector<Gtk::Widget*>{pill(0), pill(1), pill(2)}));
    expectOnlyStripInUseFilled();

    switchToSidebar();
    EXPECT_EQ(sidebar(),
              (std::vector<Gtk::Widget*>{header(0), pill(1), header(1), pill(0), pill(2)}));
    for (Gtk::Widget* w : sidebar())
        EXPECT_TRUE(shown(w));
    expectOnlyStripInUseFilled();

    switchToTopBar();
    EXPECT_EQ(topStrip(), (std::vector<Gtk::Widget*>{pill(0), pill(1), pill(2)}));
    expectOnlyStripInUseFilled();
}

TEST_F(TabFoldersTest, FoldersAreNumberedInOrderWithUpperCaseUuids) {
    launch();
    const std::regex uuid("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
    std::set<std::string> ids;
    for (int i = 1; i <= 3; ++i) {
        pressNewFolder();
        const TabFolder& folder = *app->folders.back();
        const std::string n = std::to_string(i);
        EXPECT_EQ(folder.name, "Workspace " + n);
        EXPECT_EQ(folder.folderHeaderBtn->get_label(), Glib::ustring("\U0001F4C1 Workspace " + n));
        EXPECT_TRUE(std::regex_match(folder.folderId, uuid)) << folder.folderId;
        // The header carries its folder's id; that is how a click finds the folder.
        EXPECT_EQ(std::string(folder.folderHeaderBtn->get_name()), folder.folderId);
        EXPECT_TRUE(folder.isExpanded);
        ids.insert(folder.folderId);
    }
    EXPECT_EQ(ids.size(), 3u);
    // The header's text is bold 12.
    auto* label = dynamic_cast<Gtk::Label*>(header(0)->get_child());
    ASSERT_NE(label, nullptr);
    PangoAttrList* attrs = gtk_label_get_attributes(label->gobj());
    ASSERT_NE(attrs, nullptr);
    PangoAttrIterator* it = pango_attr_list_get_iterator(attrs);
    PangoFontDescription* font = pango_font_description_new();
    pango_attr_iterator_get_font(it, font, nullptr, nullptr);
    EXPECT_EQ(pango_font_description_get_weight(font), PANGO_WEIGHT_BOLD);
    EXPECT_EQ(pango_font_description_get_size(font), 12 * PANGO_SCALE);
    pango_font_description_free(font);
    pango_attr_iterator_destroy(it);
}

TEST_F(TabFoldersTest, OnlyASelectedTabInNoFolderJoinsANewFolder) {
    launch();
    pressNewFolder();
    ASSERT_EQ(app->tabs[0]->parentFolderId, app->folders[0]->folderId);
    // The selected tab is already in a folder: the next folder starts empty.
    pressNewFolder();
    EXPECT_EQ(app->tabs[0]->parentFolderId, app->folders[0]->folderId);

    switchToSidebar();
    EXPECT_EQ(sidebar(), (std::vector<Gtk::Widget*>{header(0), pill(0), header(1)}));

    // A new tab opened while folders exist lands in the no-folder group at the bottom.
    pressNewTab();
    EXPECT_TRUE(app->tabs[1]->parentFolderId.empty());
    EXPECT_EQ(sidebar(), (std::vector<Gtk::Widget*>{header(0), pill(0), header(1), pill(1)}));
    // It does join the next folder, being selected and in none.
    pressNewFolder();
    EXPECT_EQ(app->tabs[1]->parentFolderId, app->folders[2]->folderId);
    EXPECT_EQ(sidebar(),
              (std::vector<Gtk::Widget*>{header(0), pill(0), header(1), header(2), pill(1)}));
    expectOnlyStripInUseFilled();
}

TEST_F(TabFoldersTest, FolderMadeInTopBarChangesNothingThereButTakesTheTab) {
    launch();
    pressNewTab();
    const auto before = topStrip();
    pressNewFolder();
    EXPECT_EQ(topStrip(), before);
    EXPECT_EQ(app->tabs[1]->parentFolderId, app->folders[0]->folderId);
    expectOnlyStripInUseFilled();
    switchToSidebar();
    EXPECT_EQ(sidebar(), (std::vector<Gtk::Widget*>{header(0), pill(1), pill(0)}));
}

TEST_F(TabFoldersTest, CollapsedFolderHidesItsPillsInTheSidebarOnly) {
    launch();
    pressNewTab();
    pressNewFolder(); // tab 1 (selected) joins
    switchToSidebar();
    ASSERT_TRUE(shown(pill(1)));

    click(header(0));
    EXPECT_FALSE(app->folders[0]->isExpanded);
    settle();
    // Still arranged, just hidden; the selected tab's page stays on screen.
    EXPECT_EQ(sidebar(), (std::vector<Gtk::Widget*>{header(0), pill(1), pill(0)}));
    EXPECT_FALSE(shown(pill(1)));
    EXPECT_TRUE(shown(pill(0)));
    EXPECT_TRUE(shown(header(0)));
    expectSelected(1);
    EXPECT_TRUE(app->tabs[1]->web->widget().get_mapped());

    // The top bar shows every pill whatever the folder.
    switchToTopBar();
    EXPECT_EQ(topStrip(), (std::vector<Gtk::Widget*>{pill(0), pill(1)}));
    EXPECT_TRUE(shown(pill(0)));
    EXPECT_TRUE(shown(pill(1)));
    expectOnlyStripInUseFilled();

    // Back in the sidebar the folder is still collapsed.
    switchToSidebar();
    EXPECT_FALSE(shown(pill(1)));

    // A second click expands it again.
    click(header(0));
    EXPECT_TRUE(app->folders[0]->isExpanded);
    settle();
    EXPECT_TRUE(shown(pill(1)));
    expectOnlyStripInUseFilled();
}

TEST_F(TabFoldersTest, HeaderOfNoFolderOnlyRebuilds) {
    launch();
    pressNewFolder();
    Gtk::Button stranger("stray");
    stranger.set_name("00000000-0000-0000-0000-000000000000");
    app->toggleFolderExpansion(&stranger);
    app->toggleFolderExpansion(nullptr);
    EXPECT_TRUE(app->folders[0]->isExpanded);
    EXPECT_EQ(topStrip(), allPills());
    expectOnlyStripInUseFilled();
}

TEST_F(TabFoldersTest, FolderOutlivesItsLastTab) {
    launch();
    pressNewTab();
    pressNewFolder(); // tab 1 joins
    switchToSidebar();
    clickClose(1);
    ASSERT_EQ(app->tabs.size(), 1u);
    ASSERT_EQ(app->folders.size(), 1u);
    EXPECT_EQ(sidebar(), (std::vector<Gtk::Widget*>{header(0), pill(0)}));
    expectSelected(0);
    expectOnlyStripInUseFilled();
}

TEST_F(TabFoldersTest, SidebarPillsKeepTheirSizeInTheWiderColumn) {
    launch();
    pressNewFolder();
    switchToSidebar();
    pressNewTab();
    settle();
    EXPECT_EQ(app->sidebarContainer->get_width(), 200);
    // Header, then the folder's pill, then the new tab's, 6 apart from the
    // column's top (10 down), centred in the column.
    int nextY = 10;
    for (Gtk::Widget* w : sidebar()) {
        const auto frame = frameOf(*w);
        EXPECT_EQ(frame.get_y() - frameOf(*app->sidebarContainer).get_y(), nextY);
        EXPECT_NEAR(frame.get_x() + frame.get_width() / 2.0,
                    frameOf(*app->sidebarContainer).get_x() + 100, 1.0);
        nextY += frame.get_height() + 6;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(pill(i)->get_width(), 140);
        EXPECT_EQ(pill(i)->get_height(), 28);
    }
}

} // namespace
} // namespace vesk::test
