// Many tabs: tabs put to sleep and woken with nothing lost, the pages that
// never sleep, and the tab and folder menus.
#include <dirent.h>

#include <fstream>
#include <map>

#include <gtkmm/adjustment.h>
#include <gtkmm/popovermenu.h>

#include "BrowsingFixture.h"
#include "app/SleepController.h"
#include "app/TabListController.h"
#include "app/TabMenuController.h"
#include "store/SessionFile.h"
#include "tabs/TabStrip.h"

namespace vesk::test {
namespace {

// The web processes this test program has started, however deep the sandbox nests them.
std::size_t webProcesses() {
    std::map<int, int> parentOf;
    std::map<int, std::string> nameOf;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        int parent = 0;
        std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent);
        parentOf[pid] = parent;
        nameOf[pid] = line.substr(line.find('(') + 1, close - line.find('(') - 1);
    }
    if (proc)
        closedir(proc);
    std::size_t count = 0;
    for (const auto& [pid, name] : nameOf) {
        if (name.find("WebKitWebProces") == std::string::npos)
            continue;
        for (int up = parentOf[pid]; up > 1; up = parentOf[up])
            if (up == getpid()) {
                ++count;
                break;
            }
    }
    return count;
}

class ManyTabsTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        std::string lines;
        for (int i = 0; i < 200; ++i)
            lines += "<p>line " + std::to_string(i) + "</p>";
        server->addPage("/Long", htmlPage("Long", "<textarea id=note></textarea>" + lines));
        server->addPage("/Leave",
                        htmlPage("Leave", "<script>addEventListener('beforeunload', e => {"
                                          "e.preventDefault(); e.returnValue = ''; });</script>"));
        launch();
    }
    TabId idAt(std::size_t index) { return app->tabs().model().tabs().at(index).id; }
    // Asks for the tab to sleep as "Sleep Now" does, and gives the outcome.
    KeptAwake sleepNow(std::size_t index) {
        std::optional<KeptAwake> outcome;
        app->sleep().sleepNow(idAt(index), [&](KeptAwake o) { outcome = o; });
        EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(KeptAwake::Selected);
    }
    void openTab(const std::string& name) {
        app->tabs().open(server->url("/" + name));
        ASSERT_TRUE(waitForTitle(*app->tabs().current(), name));
        settle();
    }
};

TEST_F(ManyTabsTest, ASleepingTabEndsItsProcessAndWakesWhereItWasLeft) {
    openPage("Alpha");
    openPage("Long");
    runScript("document.getElementById('note').value = 'half a letter'; window.scrollTo(0, 1500);");
    EXPECT_EQ(evaluate("String(window.scrollY)"), "1500");
    openTab("Bravo");
    const std::size_t awake = webProcesses();
    ASSERT_GE(awake, 2u);

    ASSERT_EQ(sleepNow(0), KeptAwake::MaySleep);
    EXPECT_FALSE(tab(0).hasPage());
    EXPECT_TRUE(tab(0).pill().has_css_class("sleeping")) << "the pill is dimmed";
    EXPECT_EQ(tab(0).titleButton().get_label().raw(), "Long") << "and keeps its title";
    EXPECT_TRUE(waitUntil([&] { return webProcesses() < awake; }))
        << "the sleeping tab's web process did not end";
    EXPECT_EQ(sleepNow(1), KeptAwake::Selected);

    app->tabs().select(0);
    ASSERT_TRUE(tab(0).hasPage());
    EXPECT_FALSE(tab(0).pill().has_css_class("sleeping"));
    ASSERT_TRUE(
        waitUntil([&] { return !web().isLoading() && web().url() == server->url("/Long"); }));
    settle();
    EXPECT_TRUE(waitUntil([&] { return evaluate("String(window.scrollY)") == "1500"; }))
        << "scrolled to " << evaluate("String(window.scrollY)");
    EXPECT_EQ(evaluate("document.getElementById('note').value"), "half a letter");
    ASSERT_TRUE(web().canGoBack()) << "the back/forward list came back";
    web().goBack();
    EXPECT_TRUE(waitForTitle(tab(0), "Alpha"));
}

// The session file keeps each page's state, so a restored tab comes back with its
// back/forward list and scroll position, not only its address.
TEST_F(ManyTabsTest, ARestoredSessionBringsBackBackForwardListsAndScrollPositions) {
    openPage("Alpha");
    openPage("Long");
    runScript("window.scrollTo(0, 1200);");
    EXPECT_EQ(evaluate("String(window.scrollY)"), "1200");
    // The next change to the tabs writes the session, with every page's state as it is now.
    openTab("Bravo");
    const auto file = home->dataDir() / "Vesk" / sessionFileName;
    std::optional<SessionState> saved;
    ASSERT_TRUE(waitUntil([&] {
        saved = readSession(file);
        return saved && saved->tabs.size() == 2 && !saved->tabs[0].state.empty();
    })) << "no state was written";

    app->tabs().restore(*saved);
    ASSERT_EQ(app->tabs().size(), 4u);
    EXPECT_FALSE(tab(2).hasPage());
    app->tabs().select(2);
    ASSERT_TRUE(
        waitUntil([&] { return !web().isLoading() && web().url() == server->url("/Long"); }));
    EXPECT_TRUE(waitUntil([&] { return evaluate("String(window.scrollY)") == "1200"; }))
        << "scrolled to " << evaluate("String(window.scrollY)");
    ASSERT_TRUE(web().canGoBack());
    web().goBack();
    EXPECT_TRUE(waitForTitle(tab(2), "Alpha"));
}

TEST_F(ManyTabsTest, APageThatAsksBeforeItIsLeftNeverSleeps) {
    openPage("Leave");
    openTab("Bravo");
    EXPECT_EQ(sleepNow(0), KeptAwake::AsksBeforeLeaving);
    EXPECT_TRUE(tab(0).hasPage());
    // Nor does it sleep for being idle.
    app->sleep().sleepIdleTabs();
    settle();
    EXPECT_TRUE(tab(0).hasPage());
}

TEST_F(ManyTabsTest, TheTabMenuClosesOtherTabsAndMovesTabsBetweenFolders) {
    openPage("Alpha");
    openTab("Bravo");
    openTab("Charlie");
    TabMenuController& menus = app->tabMenus();
    menus.openTabMenu(idAt(1), 10, 10);
    ASSERT_NE(menus.openMenu(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return menus.openMenu()->get_visible(); }));

    window().activate_action("tab.move-to-new-folder");
    const std::string folderId = app->tabs().model().folders().at(0).folderId;
    EXPECT_EQ(app->tabs().model().tabs()[1].folderId, folderId);
    // Folder headers show in the sidebar only.
    app->tabs().toggleLayoutMode();
    waitForRedraw();
    menus.openFolderMenu(folderId, 5, 5);
    window().activate_action("folder.rename");
    menus.nameField().set_text("Reading");
    g_signal_emit_by_name(menus.nameField().gobj(), "activate");
    EXPECT_EQ(app->tabs().model().folders().at(0).name, "Reading");
    EXPECT_EQ(app->tabs().folderAt(0).header().get_label().raw(), "\U0001F4C1 Reading");
    window().activate_action("folder.remove");
    EXPECT_TRUE(app->tabs().model().folders().empty());
    EXPECT_EQ(app->tabs().model().tabs()[1].folderId, "") << "its tab stays, in no folder";

    const TabId kept = idAt(1);
    menus.openTabMenu(kept, 10, 10);
    window().activate_action("tab.close-others");
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 1; }));
    EXPECT_EQ(idAt(0), kept);
    EXPECT_EQ(app->tabs().current(), &tab(0));
}

// Opened from the button that shows once the pills overflow the top strip, the
// list finds a tab by its address and selects it, scrolling its pill into view.
TEST_F(ManyTabsTest, TheTabListSelectsATabAndTheStripScrollsToIt) {
    Gtk::Button& button = app->window().tabListButton();
    EXPECT_FALSE(button.get_visible());
    Strings addresses;
    for (int i = 0; i < 14; ++i)
        addresses.push_back(server->url(i == 3 ? "/Charlie" : "/Alpha?" + std::to_string(i)));
    app->openAddresses(addresses);
    ASSERT_TRUE(waitUntil([&] { return button.get_visible(); })) << "the pills do not overflow";
    auto strip = app->window().tabStrip().topScroller().get_hadjustment();
    ASSERT_TRUE(waitUntil([&] { return strip->get_value() > 0; })) << "the last tab is in view";

    click(button);
    TabList& list = app->tabList().list();
    ASSERT_TRUE(waitUntil([&] { return list.isOpen(); }));
    EXPECT_EQ(list.shownTabs().size(), 15u);
    list.searchField().set_text("charl");
    ASSERT_TRUE(waitUntil([&] { return list.shownTabs().size() == 1u; }));
    g_signal_emit_by_name(list.searchField().gobj(), "activate");
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(activeIndexOf(app->tabs()), 4);
    ASSERT_TRUE(waitForTitle(tab(4), "Charlie")) << "the chosen tab loads as it is selected";
    // The pill, the strip's fifth, is wholly in view.
    const double left =
        4 * (VeskTabPill::kWidth + app->window().tabStrip().topStrip().get_spacing());
    EXPECT_TRUE(waitUntil([&] {
        return strip->get_value() <= left &&
               strip->get_value() + strip->get_page_size() >= left + VeskTabPill::kWidth;
    })) << "scrolled to "
        << strip->get_value();
}

} // namespace
} // namespace vesk::test
