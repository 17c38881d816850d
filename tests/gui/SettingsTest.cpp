#include <string>

#include "BrowsingFixture.h"
#include "app/PageController.h"
#include "app/RestoreBar.h"
#include "app/SecurityPopover.h"
#include "settings/BrowsingDataController.h"
#include "settings/PreferencesController.h"
#include "settings/SiteZoomController.h"
#include "store/UserDefaults.h"

namespace vesk::test {
namespace {

class SettingsTest : public BrowsingFixture {
protected:
    void SetUp() override {
        BrowsingFixture::SetUp();
        server->addHandler("/search", [](SoupServerMessage* msg) {
            const char* query = g_uri_get_query(soup_server_message_get_uri(msg));
            const std::string html = htmlPage(std::string("Found ") + (query ? query : ""));
            soup_server_message_set_status(msg, 200, nullptr);
            soup_server_message_set_response(msg, "text/html", SOUP_MEMORY_COPY, html.data(),
                                             html.size());
        });
    }
    // Writes defaults.plist before the launch, as the user would have left it.
    void storeDefaults(const std::function<void(UserDefaults&)>& set) {
        UserDefaults defaults = UserDefaults::changesFor(VeskStore::shared().defaultsFile());
        set(defaults);
        ASSERT_EQ(defaults.save(), SaveOutcome::Saved);
    }
    void act(const char* name) { window().activate_action(std::string("win.") + name); }
    Tab& current() { return *app->tabs().current(); }
};

TEST_F(SettingsTest, HomePageAndSearchFromTheDefaultsServeStartNewTabsAndTypedWords) {
    storeDefaults([&](UserDefaults& d) {
        d.setString("HomePage", server->url("/Alpha"));
        d.setString("SearchURL", server->url("/search?terms=%s"));
    });
    launch();
    ASSERT_TRUE(waitForTitle(tab(0), "Alpha")) << "the home page was not opened at start";
    act("new-tab-for-address");
    ASSERT_EQ(app->tabs().size(), 2u);
    ASSERT_TRUE(waitForTitle(tab(1), "Alpha")) << "Ctrl+T";
    typeAndReturn("two words");
    ASSERT_TRUE(waitForTitle(tab(1), "Found terms=two%20words"));

    // A change in the window is in force at once, and saved.
    act("preferences");
    PreferencesWindow& prefs = *app->preferences().window();
    ASSERT_TRUE(prefs.isOpen());
    EXPECT_EQ(prefs.homeEntry().get_text().raw(), server->url("/Alpha"));
    prefs.homeEntry().set_text("no address");
    EXPECT_TRUE(prefs.homeEntry().has_css_class("error"));
    prefs.homeEntry().set_text(server->url("/Bravo"));
    prefs.blankHome().set_active(true);
    prefs.engines().set_selected(kSearchEngines.size());
    prefs.searchEntry().set_text(server->url("/search?words="));
    EXPECT_TRUE(prefs.searchEntry().has_css_class("error")) << "no place for the terms";
    prefs.searchEntry().set_text(server->url("/search?words=%s"));
    prefs.close();
    typeAndReturn("three more words");
    ASSERT_TRUE(waitForTitle(tab(1), "Found words=three%20more%20words"));
    click(toolbar().newTab());
    ASSERT_EQ(app->tabs().size(), 3u);
    EXPECT_TRUE(staysFalse([&] { return tab(2).web().url().has_value(); }))
        << "a blank home page loads nothing";
    VeskStore::shared().writePending(std::chrono::seconds(3));
    const UserDefaults saved = UserDefaults::load(VeskStore::shared().defaultsFile());
    EXPECT_EQ(saved.stringForKey("HomePage"), "about:blank");
    EXPECT_EQ(saved.stringForKey("SearchURL"), server->url("/search?words=%s"));
}

TEST_F(SettingsTest, InvalidValuesFallBackWithoutStoppingTheValidOnes) {
    storeDefaults([&](UserDefaults& d) {
        d.setString("HomePage", "start page");
        d.setString("SearchURL", server->url("/search?q="));
        d.setReal("DefaultZoom", 0.05);
        d.setBool("RestoreSessionOnStart", false);
        d.setString("DownloadsFolder", home->path().string());
    });
    launch(AppOptions{server->url("/Charlie"), {}});
    ASSERT_TRUE(waitForTitle(tab(0), "Charlie")) << "the program's own home page is the fallback";
    EXPECT_EQ(app->preferences().searchURL(), kDefaultSearchURL);
    EXPECT_EQ(tab(0).web().magnification(), 1.0);
    EXPECT_EQ(app->preferences().downloadsFolder(), home->path());
}

TEST_F(SettingsTest, RestoreOnStartBringsTheTabsBackAfterAQuit) {
    storeDefaults([](UserDefaults& d) { d.setBool("RestoreSessionOnStart", true); });
    launch(AppOptions{"", {server->url("/Alpha"), server->url("/Bravo")}});
    ASSERT_TRUE(waitForTitle(tab(1), "Bravo"));
    act("quit");
    ASSERT_TRUE(waitUntil([&] { return app->tabs().empty(); }));
    ASSERT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(3)));
    app.reset();

    launch();
    EXPECT_FALSE(app->window().restoreBar().isShown()) << "restored without asking";
    ASSERT_EQ(app->tabs().size(), 2u) << "the untouched start-up tab gives way";
    EXPECT_EQ(activeIndexOf(app->tabs()), 1);
    ASSERT_TRUE(waitForTitle(tab(1), "Bravo"));
}

TEST_F(SettingsTest, ClearingCookiesOfTheLastHourKeepsTheHistoryAndTheSignClearsOneSite) {
    launch();
    openPage("Alpha");
    runScript("document.cookie = 'kept=1; max-age=3600'");
    ASSERT_TRUE(waitUntil([&] { return evaluate("document.cookie") == "kept=1"; }));
    bool cleared = false;
    app->browsingData().signalCleared().connect([&] { cleared = true; });

    act("clear-browsing-data");
    ClearDataDialog& dialog = app->browsingData().dialog();
    ASSERT_TRUE(dialog.isOpen());
    EXPECT_FALSE(dialog.passwords().get_sensitive()) << "the vault keeps no dates";
    dialog.history().set_active(false);
    dialog.cache().set_active(false);
    click(dialog.clearButton());
    ASSERT_TRUE(waitUntil([&] { return cleared; }));
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(evaluate("document.cookie"), "");
    EXPECT_EQ(recorded(), Strings{"/Alpha Alpha"});

    runScript("document.cookie = 'again=1; max-age=3600'");
    ASSERT_TRUE(waitUntil([&] { return evaluate("document.cookie") == "again=1"; }));
    cleared = false;
    SecurityPopover& popover = app->window().addressField().securityPopover();
    app->window().addressField().openSecurityPopover();
    ASSERT_TRUE(popover.clearSiteDataButton().get_visible());
    click(popover.clearSiteDataButton());
    EXPECT_EQ(evaluate("document.cookie"), "again=1") << "nothing goes before the user agrees";
    answerAlert("Clear");
    ASSERT_TRUE(waitUntil([&] { return cleared; }));
    EXPECT_EQ(evaluate("document.cookie"), "");
}

TEST_F(SettingsTest, AZoomStaysWithItsHostAndCtrl0ForgetsIt) {
    const std::filesystem::path other = home->path() / "other.html";
    std::ofstream(other) << htmlPage("Other");
    launch();
    openPage("Alpha");
    click(toolbar().zoomIn());
    click(toolbar().zoomIn());
    click(toolbar().newTab());
    openPage("Bravo");
    EXPECT_NEAR(web().magnification(), 1.2, 1e-9) << "the host's zoom in a new tab";
    typeAndReturn("file://" + other.string());
    ASSERT_TRUE(waitForTitle(current(), "Other"));
    EXPECT_EQ(web().magnification(), 1.0) << "another site keeps the default";

    click(app->tabs().at(0).titleButton());
    act("zoom-reset");
    EXPECT_EQ(web().magnification(), 1.0);
    click(toolbar().newTab());
    openPage("Charlie");
    EXPECT_EQ(web().magnification(), 1.0) << "the host forgot its zoom";
}

TEST_F(SettingsTest, ViewSourceOpensAReadOnlyTabAfterTheCurrentOneOutsideTheHistory) {
    launch();
    openPage("Alpha");
    click(toolbar().newTab());
    openPage("Bravo");
    click(app->tabs().at(0).titleButton());
    act("view-source");
    ASSERT_TRUE(waitUntil([&] { return app->tabs().size() == 3u; }));
    EXPECT_EQ(activeIndexOf(app->tabs()), 1) << "right after the page, and selected";
    ASSERT_TRUE(waitUntil([&] {
        return web().url() == "view-source:" + server->url("/Alpha") && !web().isLoading();
    }));
    settle();
    EXPECT_NE(evaluate("document.body.innerText").find("<title>Alpha</title>"), std::string::npos);
    EXPECT_EQ(evaluate("document.querySelector('pre') ? 'pre' : ''"), "pre");
    EXPECT_EQ(evaluate("document.body.isContentEditable"), "false");
    EXPECT_EQ(recorded(), (Strings{"/Bravo Bravo", "/Alpha Alpha"}));
}

// The page menu as the engine builds it for a selection inside a link: after our
// changes, its entries' actions in order, each found by its place.
TEST_F(SettingsTest, PageMenuSavesLinksSearchesTheSelectionAndCtrlSSavesThePage) {
    const std::filesystem::path downloads = home->path() / "chosen";
    storeDefaults([&](UserDefaults& d) {
        d.setString("SearchURL", server->url("/search?q=%s"));
        d.setString("DownloadsFolder", downloads.string());
    });
    launch();
    openPage("Alpha");
    // The selection reaches the view as the page reports it before a menu opens.
    webkit_web_view_evaluate_javascript(
        web().raw(), "window.webkit.messageHandlers.vesk_selection.postMessage('  two words ')", -1,
        "vesk-tools", nullptr, nullptr, nullptr, nullptr);
    settle();
    const std::string link = server->url("/Bravo");
    WebKitContextMenu* menu = webkit_context_menu_new();
    for (auto action :
         {WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK,
          WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD, WEBKIT_CONTEXT_MENU_ACTION_COPY})
        webkit_context_menu_append(menu, webkit_context_menu_item_new_from_stock_action(action));
    auto* hit = WEBKIT_HIT_TEST_RESULT(
        g_object_new(WEBKIT_TYPE_HIT_TEST_RESULT, "context",
                     WEBKIT_HIT_TEST_RESULT_CONTEXT_LINK | WEBKIT_HIT_TEST_RESULT_CONTEXT_SELECTION,
                     "link-uri", link.c_str(), nullptr));
    gboolean handled = FALSE;
    g_signal_emit_by_name(web().raw(), "context-menu", menu, hit, &handled);
    std::vector<WebKitContextMenuAction> kinds;
    std::vector<GAction*> actions;
    for (GList* item = webkit_context_menu_get_items(menu); item; item = item->next) {
        auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
        kinds.push_back(webkit_context_menu_item_get_stock_action(entry));
        actions.push_back(webkit_context_menu_item_get_gaction(entry));
    }
    ASSERT_EQ(kinds,
              (std::vector{WEBKIT_CONTEXT_MENU_ACTION_CUSTOM, WEBKIT_CONTEXT_MENU_ACTION_CUSTOM,
                           WEBKIT_CONTEXT_MENU_ACTION_COPY, WEBKIT_CONTEXT_MENU_ACTION_NO_ACTION,
                           WEBKIT_CONTEXT_MENU_ACTION_CUSTOM}))
        << "Save Link As, Copy Link, Copy, a separator, Search for";

    // Save Link As goes through the downloads into the chosen folder.
    g_action_activate(actions[0], nullptr);
    EXPECT_TRUE(waitUntil([&] {
        std::ifstream saved(downloads / "Bravo.html");
        const std::string text{std::istreambuf_iterator<char>(saved), {}};
        return text.find("<title>Bravo</title>") != std::string::npos;
    })) << "the link was not saved";
    // Search for opens the chosen engine in a tab after this one.
    g_action_activate(actions[4], nullptr);
    ASSERT_EQ(app->tabs().size(), 2u);
    EXPECT_EQ(activeIndexOf(app->tabs()), 1);
    EXPECT_TRUE(waitForTitle(tab(1), "Found q=two%20words"));
    g_object_unref(hit);
    g_object_unref(menu);

    click(app->tabs().at(0).titleButton());
    act("save-page");
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(downloads / "Alpha.html"); }))
        << "Ctrl+S saved nothing";
}

} // namespace
} // namespace vesk::test
