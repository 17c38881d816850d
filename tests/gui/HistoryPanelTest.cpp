#include "BrowsingFixture.h"

#include <filesystem>

#include "history/HistoryPanel.h"
#include "theme/ThemePanel.h"

// The history panel over the real window, filled by real loads: typing filters
// the list, a row opens its page, the trash button clears after asking, and
// the panel shares its place with the theme panel.

namespace vesk::test {
namespace {

using Titles = std::vector<std::string>;

class HistoryPanelTest : public BrowsingFixture {
protected:
    HistoryPanel& panel() { return app->historyPanel(); }
    Titles shownTitles() {
        Titles titles;
        for (Gtk::Button* row : panel().shownRowButtons())
            titles.push_back(row->get_label());
        return titles;
    }
    // Presses the panel's trash button and answers the alert with `label`.
    void clearAnswering(const std::string& label) {
        for (auto* button : descendants<Gtk::Button>(*panel().view()))
            if (button->get_action_name() == "win.clear-history")
                click(*button);
        answerAlert(label);
    }
};

TEST_F(HistoryPanelTest, FiltersOpensAndClearsTheRecordedPages) {
    for (const std::string name : {"Alpha", "Beta", "Alphabet"})
        server->addPage("/" + name, htmlPage(name + " page"));
    launch();
    loadAndWait("/Alpha", "Alpha page");
    loadAndWait("/Beta", "Beta page");
    click(toolbar().history());
    ASSERT_TRUE(panel().isOpen());
    EXPECT_EQ(shownTitles(), (Titles{"Beta page", "Alpha page"}));
    panel().searchField()->set_text("zzz");
    EXPECT_TRUE(shownTitles().empty());
    EXPECT_TRUE(panel().showsNoMatch());

    // A page finishing meanwhile joins the filtered list at the top only if it matches.
    panel().searchField()->set_text(" ALPHA ");
    EXPECT_EQ(shownTitles(), (Titles{"Alpha page"}));
    web().loadURL(server->url("/Alphabet"));
    ASSERT_TRUE(waitUntil([&] { return shownTitles() == Titles{"Alphabet page", "Alpha page"}; }));

    click(*panel().shownRowButtons().at(1));
    EXPECT_FALSE(panel().isOpen()) << "the panel closes at once";
    ASSERT_TRUE(waitForTitle(tab(0), "Alpha page"));
    EXPECT_EQ(server->hits("/Alpha"), 2);

    click(toolbar().history());
    ASSERT_NO_FATAL_FAILURE(clearAnswering("Cancel"));
    EXPECT_EQ(history().size(), 4u);
    ASSERT_NO_FATAL_FAILURE(clearAnswering("Clear"));
    EXPECT_FALSE(std::filesystem::exists(home->dataDir() / "Vesk" / "history.plist"));
    EXPECT_TRUE(panel().showsNoMatch());
    EXPECT_TRUE(panel().isOpen());
}

// Either panel's button while the other, or its own, still fades out.
TEST_F(HistoryPanelTest, OnePanelAtATimeAndAFreshOneEvenWhileFading) {
    launch();
    click(toolbar().history());
    panel().searchField()->set_text("typed");
    click(toolbar().theme());
    EXPECT_FALSE(panel().isOpen());
    EXPECT_TRUE(app->themePanel().isOpen());
    click(toolbar().history());
    EXPECT_FALSE(app->themePanel().isOpen());
    ASSERT_TRUE(panel().isOpen());
    EXPECT_EQ(panel().searchField()->get_text(), "");
    click(toolbar().history());
    click(toolbar().history());
    pump(std::chrono::milliseconds(400));
    EXPECT_TRUE(panel().isOpen());
    int panels = 0;
    for (Gtk::Widget* child : glass().subviews())
        panels += child->has_css_class("vesk-panel") ? 1 : 0;
    EXPECT_EQ(panels, 1) << "the faded panels are gone and the open one stays";
}

} // namespace
} // namespace vesk::test
