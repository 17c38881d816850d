#include <algorithm>
#include <filesystem>

#include "BrowsingFixture.h"
#include "history/HistoryPanel.h"
#include "theme/ThemePanel.h"

// The history panel over the real window, filled by real loads, and sharing its
// place with the theme panel.

namespace vesk::test {
namespace {

class HistoryPanelTest : public BrowsingFixture {
protected:
    HistoryPanel& panel() { return app->historyPanel(); }
    Strings shownTitles() {
        Strings titles;
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
    launch();
    openPage("Alpha");
    openPage("Bravo");
    click(toolbar().history());
    ASSERT_TRUE(panel().isOpen());
    EXPECT_EQ(shownTitles(), (Strings{"Bravo", "Alpha"}));
    panel().searchField()->set_text("zzz");
    EXPECT_TRUE(shownTitles().empty());
    EXPECT_TRUE(panel().showsNoMatch());

    // A page finishing meanwhile joins the filtered list at the top only if it matches.
    panel().searchField()->set_text(" ALPHA ");
    EXPECT_EQ(shownTitles(), Strings{"Alpha"});
    web().loadURL(server->url("/Alphabet"));
    ASSERT_TRUE(waitUntil([&] { return shownTitles() == Strings{"Alphabet", "Alpha"}; }));

    click(*panel().shownRowButtons().at(1));
    EXPECT_FALSE(panel().isOpen()) << "the panel closes at once";
    ASSERT_TRUE(waitForTitle(tab(0), "Alpha"));
    EXPECT_EQ(server->hits("/Alpha"), 2);

    click(toolbar().history());
    ASSERT_NO_FATAL_FAILURE(clearAnswering("Cancel"));
    EXPECT_EQ(recorded().size(), 4u);
    ASSERT_NO_FATAL_FAILURE(clearAnswering("Clear"));
    EXPECT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(3)));
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
    waitForRedraw();
    EXPECT_TRUE(panel().isOpen());
    // The faded panels are gone and the open one stays.
    EXPECT_EQ(std::ranges::count_if(glass().children(),
                                    [](auto* view) { return view->has_css_class("vesk-panel"); }),
              1);
}

// The toolbar button leaves the keyboard where it is; Ctrl+H gives it to the
// search field, and Escape closes the panel and gives it back.
TEST_F(HistoryPanelTest, CtrlHSearchesAndEscapeCloses) {
    launch();
    openPage("Alpha");
    Gtk::Widget& page = *Glib::wrap(GTK_WIDGET(web().raw()));
    page.grab_focus();
    click(toolbar().history());
    ASSERT_TRUE(panel().isOpen());
    EXPECT_TRUE(hasKeyboard(page));
    pressKeys("Escape");
    ASSERT_TRUE(waitUntil([&] { return !panel().isOpen(); }));
    pressKeys("ctrl+h");
    ASSERT_TRUE(waitUntil([&] { return panel().isOpen(); }));
    EXPECT_TRUE(hasKeyboard(*panel().searchField()));
    pressKeys("a l p");
    EXPECT_TRUE(waitUntil([&] { return panel().searchField()->get_text() == "alp"; }));
    pressKeys("Escape");
    ASSERT_TRUE(waitUntil([&] { return !panel().isOpen(); }));
    EXPECT_TRUE(hasKeyboard(page));
}

} // namespace
} // namespace vesk::test
