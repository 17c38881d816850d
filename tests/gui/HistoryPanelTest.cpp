#include <filesystem>
#include <fstream>
#include <iterator>

#include <plist/plist.h>

#include "GuiTest.h"
#include "TestServer.h"

#include "platform/WebView.h"
#include "store/VeskStore.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

// One row as the panel shows it.
struct ShownRow {
    std::string title;
    std::string address;
    Gtk::Button* button = nullptr;
};

// A history element for writing files by hand, damaged ones included.
plist_t entry(std::optional<std::string> url, std::optional<std::string> title) {
    plist_t dict = plist_new_dict();
    if (url)
        plist_dict_set_item(dict, "url", plist_new_string(url->c_str()));
    if (title)
        plist_dict_set_item(dict, "title", plist_new_string(title->c_str()));
    return dict;
}

class HistoryPanelTest : public GuiTest {
protected:
    fs::path historyFile() const { return home->dataDir() / "Vesk" / "history.plist"; }

    std::string fileBytes() {
        std::ifstream in(historyFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Writes the history file with exactly these elements, newest first.
    void writeHistory(const std::vector<plist_t>& items) {
        plist_t list = plist_new_array();
        for (plist_t item : items)
            plist_array_append_item(list, item);
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(list, &xml, &length);
        fs::create_directories(historyFile().parent_path());
        std::ofstream(historyFile(), std::ios::binary).write(xml, length);
        plist_to_xml_free(xml);
        plist_free(list);
    }

    std::vector<ShownRow> shownRows() {
        std::vector<ShownRow> rows;
        for (Gtk::Widget* c = app->historyStack->get_first_child(); c; c = c->get_next_sibling()) {
            auto* button = dynamic_cast<Gtk::Button*>(c->get_first_child());
            auto* address =
                button ? dynamic_cast<Gtk::Label*>(button->get_next_sibling()) : nullptr;
            if (c->get_visible() && button && address)
                rows.push_back({button->get_label(), address->get_text(), button});
        }
        return rows;
    }

    std::vector<std::string> shownTitles() {
        std::vector<std::string> titles;
        for (const ShownRow& row : shownRows())
            titles.push_back(row.title);
        return titles;
    }

    // Whether the list shows the "No matching history" line and no row.
    bool showsNoMatch() {
        for (Gtk::Widget* c = app->historyStack->get_first_child(); c; c = c->get_next_sibling())
            if (auto* line = dynamic_cast<Gtk::Label*>(c); line && line->get_visible())
                return line->get_text() == "No matching history" && shownRows().empty();
        return false;
    }

    bool isInGlass(Gtk::Widget* view) {
        const auto views = app->glass->subviews();
        return std::find(views.begin(), views.end(), view) != views.end();
    }

    bool waitForNewestEntry(const std::string& url) {
        return waitUntil([&] {
            const auto history = VeskStore::shared().loadHistory();
            return !history.empty() && history.front().url == url;
        });
    }
};

TEST_F(HistoryPanelTest, FilterNarrowsTheListAsTheUserTypes) {
    writeHistory({entry("https://news.example/today", "Morning news"), entry("a.b/c", "Docs"),
                  entry("https://cafe.example/", "Cafe\u0301 Rouge"),
                  entry("https://none.example/", std::nullopt), entry("https://e.example/", "")});
    launch();
    app->toggleHistory();
    const std::vector<std::string> all = {"Morning news", "Docs", "Cafe\u0301 Rouge", "Untitled",
                                          ""};
    const std::vector<std::pair<std::string, std::vector<std::string>>> steps = {
        {"", all},
        {"    ", all},
        {" NEWS ", {"Morning news"}},
        {"s a", {"Docs"}}, // across the join of title and address
        {"CAFÉ", {"Cafe\u0301 Rouge"}},
        {"untitled", {"Untitled"}}, // the shown title, but not an empty one
        {"zzz", {}},
    };
    for (const auto& [typed, titles] : steps) {
        SCOPED_TRACE("typed \"" + typed + "\"");
        app->historySearchField->set_text(typed);
        EXPECT_EQ(shownTitles(), titles);
        EXPECT_EQ(showsNoMatch(), titles.empty());
    }
}

TEST_F(HistoryPanelTest, DamagedAndHugeEntriesListWhatTheyCan) {
    plist_t numberTitle = entry("https://a.example/", std::nullopt);
    plist_dict_set_item(numberTitle, "title", plist_new_uint(42));
    plist_t numberUrl = entry(std::nullopt, "Number address");
    plist_dict_set_item(numberUrl, "url", plist_new_uint(7));
    const std::string hugeTitle = std::string(4 * 1024 * 1024, 'x') + " needle-at-the-end";
    const std::string hugeAddress = "https://long.example/" + std::string(2 * 1024 * 1024, 'a');
    writeHistory({numberTitle, numberUrl, plist_new_string("not an entry"), plist_new_array(),
                  entry(hugeAddress, hugeTitle)});
    launch();
    app->toggleHistory();
    auto rows = shownRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].title, "Untitled");
    EXPECT_EQ(rows[1].title, "Number address");
    EXPECT_LE(g_utf8_strlen(rows[2].title.c_str(), -1), 256);
    EXPECT_LE(g_utf8_strlen(rows[2].address.c_str(), -1), 256);

    // The huge title still matches in full, and its row opens the whole address.
    app->historySearchField->set_text("NEEDLE-AT-THE-END");
    rows = shownRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(AppDelegate::historyAddressOf(*rows[0].button), hugeAddress);
}

TEST_F(HistoryPanelTest, ClickingARowLoadsItInTheCurrentTabAndCloses) {
    TestServer server;
    server.addPage("/target", htmlPage("Target page"));
    const std::string target = server.url("/target");
    writeHistory({entry("https://elsewhere.example/", "Elsewhere"), entry(target, "Target page")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("target");
    const auto rows = shownRows();
    ASSERT_EQ(rows.size(), 1u);
    click(*rows[0].button);

    EXPECT_EQ(app->historyPanel, nullptr) << "the panel closes at once";
    ASSERT_TRUE(waitForNewestEntry(target));
    EXPECT_EQ(app->currentTab()->web->url(), target);
    EXPECT_EQ(server.hits("/target"), 1);
}

TEST_F(HistoryPanelTest, AFinishedPageShowsAtTheTopWhenItMatches) {
    TestServer server;
    server.addPage("/alpha", htmlPage("Alpha page"));
    server.addPage("/beta", htmlPage("Beta page"));
    writeHistory({entry("https://older.example/alpha", "Older alpha")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("alpha");

    for (const std::string path : {"/alpha", "/beta"}) {
        app->currentTab()->web->loadURL(server.url(path));
        ASSERT_TRUE(waitForNewestEntry(server.url(path)));
        pump(std::chrono::milliseconds(30));
        // Only the matching page joins the list.
        const auto rows = shownRows();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].address, server.url("/alpha"));
        EXPECT_EQ(rows[1].title, "Older alpha");
    }
    EXPECT_EQ(app->historySearchField->get_text(), "alpha");
}

TEST_F(HistoryPanelTest, CancelAndEscapeKeepTheFileAndClearDeletesIt) {
    writeHistory({entry("https://a.example/", "A"), entry("https://b.example/", "B")});
    const std::string before = fileBytes();
    launch();
    app->toggleHistory();

    app->clearHistory();
    ASSERT_NE(app->openAlert(), nullptr);
    app->openAlert()->response(static_cast<int>(Gtk::ResponseType::CANCEL));
    app->clearHistory();
    ASSERT_NE(app->openAlert(), nullptr);
    g_signal_emit_by_name(app->openAlert()->gobj(), "close");
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(app->openAlert(), nullptr);
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"A", "B"}));

    app->clearHistory();
    ASSERT_NE(app->openAlert(), nullptr);
    app->openAlert()->response(1000);
    EXPECT_FALSE(fs::exists(historyFile()));
    EXPECT_TRUE(showsNoMatch());
    EXPECT_NE(app->historyPanel, nullptr);
}

TEST_F(HistoryPanelTest, PanelsExcludeEachOtherEvenWhileFading) {
    writeHistory({entry("https://a.example/", "Apples"), entry("https://b.example/", "Pears")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("pear");
    ConstraintView* history = app->historyPanel;
    app->toggleThemePanel();
    EXPECT_EQ(app->historyPanel, nullptr);
    ASSERT_NE(app->themePanel, nullptr);
    ConstraintView* theme = app->themePanel;

    // The history button while the history panel still fades out: a fresh
    // panel with an empty search field.
    ASSERT_TRUE(isInGlass(history));
    app->toggleHistory();
    EXPECT_EQ(app->themePanel, nullptr);
    ASSERT_NE(app->historyPanel, nullptr);
    EXPECT_EQ(app->historySearchField->get_text(), "");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Apples", "Pears"}));
    EXPECT_TRUE(waitUntil([&] { return !isInGlass(history) && !isInGlass(theme); },
                          std::chrono::seconds(2)));

    // Each press during the other's, or its own, fade-out.
    app->toggleThemePanel();
    EXPECT_EQ(app->historyPanel, nullptr);
    app->toggleHistory();
    EXPECT_EQ(app->themePanel, nullptr);
    app->toggleHistory();
    app->toggleHistory();
    ASSERT_NE(app->historyPanel, nullptr);
    EXPECT_EQ(app->historySearchField->get_text(), "");
    app->toggleThemePanel();
    EXPECT_EQ(app->historyPanel, nullptr);
    EXPECT_NE(app->themePanel, nullptr);
    pump(std::chrono::milliseconds(300));
    int panels = 0;
    for (Gtk::Widget* child : app->glass->subviews())
        panels += child->has_css_class("vesk-panel") ? 1 : 0;
    EXPECT_EQ(panels, 1);
}

} // namespace
} // namespace vesk::test
