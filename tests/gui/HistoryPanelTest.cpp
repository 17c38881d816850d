#include <filesystem>
#include <fstream>
#include <iterator>

#include <plist/plist.h>

#include <gtkmm/text.h>

#include "GuiTest.h"
#include "TestServer.h"

#include "platform/ColorRgba.h"
#include "platform/WebView.h"
#include "store/VeskStore.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

constexpr int kClearResponse = 1000;

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

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class HistoryPanelTest : public GuiTest {
protected:
    fs::path historyFile() const { return home->dataDir() / "Vesk" / "history.plist"; }

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
        if (!app->historyStack)
            return rows;
        for (Gtk::Widget* child = app->historyStack->get_first_child(); child;
             child = child->get_next_sibling()) {
            if (!child->get_visible())
                continue;
            auto* button = dynamic_cast<Gtk::Button*>(child->get_first_child());
            auto* address =
                button ? dynamic_cast<Gtk::Label*>(button->get_next_sibling()) : nullptr;
            if (button && address)
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

    // Whether the list shows only the centred "No matching history" line.
    bool showsNoMatch() {
        if (!app->historyStack)
            return false;
        std::vector<Gtk::Widget*> shown;
        for (Gtk::Widget* child = app->historyStack->get_first_child(); child;
             child = child->get_next_sibling())
            if (child->get_visible())
                shown.push_back(child);
        auto* only = shown.size() == 1 ? dynamic_cast<Gtk::Label*>(shown[0]) : nullptr;
        return only && only->get_text() == "No matching history" && only->get_xalign() == 0.5f;
    }

    bool isInGlass(Gtk::Widget* view) {
        for (Gtk::Widget* child : app->glass->subviews())
            if (child == view)
                return true;
        return false;
    }

    // Loads a page in the current tab and waits until it is in the history.
    void loadAndRecord(const std::string& url) {
        app->currentTab()->web->loadURL(url);
        ASSERT_TRUE(waitUntil([&] {
            const auto history = VeskStore::shared().loadHistory();
            return !history.empty() && history.front().url == url;
        })) << "the page never finished: "
            << url;
        pump(std::chrono::milliseconds(30));
    }
};

TEST_F(HistoryPanelTest, EmptyHistoryShowsOnlyTheNoMatchLine) {
    launch();
    app->toggleHistory();
    ASSERT_NE(app->historyPanel, nullptr);
    ASSERT_NE(app->historySearchField, nullptr);
    ASSERT_NE(app->historyScrollView, nullptr);
    ASSERT_NE(app->historyStack, nullptr);
    EXPECT_TRUE(showsNoMatch());
    EXPECT_EQ(app->historySearchField->get_text(), "");
    EXPECT_EQ(app->historySearchField->get_placeholder_text(), "Search history");
    // Opening does not take the keyboard focus away from where it was.
    EXPECT_FALSE(app->historySearchField->has_focus());
}

TEST_F(HistoryPanelTest, HangsBelowTheAddressFieldAtTheRight) {
    launch();
    app->toggleHistory();
    pump(std::chrono::milliseconds(250));
    const auto panel = frameOf(*app->historyPanel);
    const auto addr = frameOf(*app->addr);
    EXPECT_EQ(panel.get_width(), 300);
    EXPECT_EQ(panel.get_height(), 380);
    EXPECT_EQ(panel.get_y(), addr.get_y() + addr.get_height() + 10);
    EXPECT_EQ(panel.get_x() + panel.get_width(), app->glass->get_width() - 20);

    const auto search = app->historySearchField->get_allocation();
    EXPECT_EQ(search.get_x(), 12);
    EXPECT_EQ(search.get_y(), 12);
    EXPECT_EQ(search.get_height(), 28);
    const auto buttons = descendants<Gtk::Button>(*app->historyPanel);
    ASSERT_GE(buttons.size(), 2u);
    Gtk::Widget* trash = buttons[buttons.size() - 2];
    Gtk::Widget* close = buttons.back();
    const auto t = trash->get_allocation();
    const auto c = close->get_allocation();
    EXPECT_EQ(c.get_x() + c.get_width(), 300 - 12);
    EXPECT_EQ(t.get_x() + t.get_width(), c.get_x() - 8);
    EXPECT_EQ(search.get_x() + search.get_width(), t.get_x() - 8);
    for (const auto& b : {t, c}) {
        EXPECT_EQ(b.get_y(), 12);
        EXPECT_EQ(b.get_width(), 22);
        EXPECT_EQ(b.get_height(), 22);
    }
    const auto scroll = app->historyScrollView->get_allocation();
    EXPECT_EQ(scroll.get_y(), 12 + 28 + 10);
    EXPECT_EQ(scroll.get_x(), 12);
    EXPECT_EQ(scroll.get_width(), 300 - 24);
    EXPECT_EQ(scroll.get_y() + scroll.get_height(), 380 - 12);
}

TEST_F(HistoryPanelTest, FilterNarrowsTheListAsTheUserTypes) {
    // Newest first.
    writeHistory({entry("https://news.example/today", "Morning news"), entry("a.b/c", "Docs"),
                  entry("https://cafe.example/", "Cafe\u0301 Rouge"),
                  entry("https://he.example/", "ברוכים הבאים")});
    launch();
    app->toggleHistory();
    const std::vector<std::string> all = {"Morning news", "Docs", "Cafe\u0301 Rouge",
                                          "ברוכים הבאים"};
    struct Step {
        const char* name;
        std::string typed;
        std::vector<std::string> titles;
    };
    const std::vector<Step> steps = {
        {"Nothing typed", "", all},
        {"Only spaces", "    ", all},
        {"Trimmed and lower-cased", " NEWS ", {"Morning news"}},
        {"Across the title-address join", "s a", {"Docs"}},
        {"Composed filter, decomposed title", "CAFÉ", {"Cafe\u0301 Rouge"}},
        {"Right-to-left", "הבאים", {"ברוכים הבאים"}},
        {"No match", "zzz", {}},
        {"Deleted again", "", all},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        app->historySearchField->set_text(step.typed);
        EXPECT_EQ(shownTitles(), step.titles);
        EXPECT_EQ(showsNoMatch(), step.titles.empty());
    }
}

TEST_F(HistoryPanelTest, RowsShowTitleAndAddressWithTheirColours) {
    writeHistory({entry("https://news.example/today", "Morning news")});
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    app->toggleHistory();
    const auto rows = shownRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].address, "https://news.example/today");
    EXPECT_EQ(AppDelegate::historyAddressOf(*rows[0].button), "https://news.example/today");
    const auto text = attributeColorOf(*rows[0].button);
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(nearColor(*text, toRgba(*app->themeTextColor, nullptr)));
    auto* label = dynamic_cast<Gtk::Label*>(rows[0].button->get_next_sibling());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->get_ellipsize(), Pango::EllipsizeMode::MIDDLE);
    EXPECT_TRUE(nearColor(*attributeColorOf(*label), toRgba(*app->themeMutedTextColor, nullptr)));

    // A theme apply rebuilds the open list with the new colours.
    app->applyThemeNamed("light", std::nullopt, std::nullopt, SaveTheme::No);
    const auto rebuilt = shownRows();
    ASSERT_EQ(rebuilt.size(), 1u);
    EXPECT_TRUE(
        nearColor(*attributeColorOf(*rebuilt[0].button), toRgba(*app->themeTextColor, nullptr)));
}

TEST_F(HistoryPanelTest, DamagedEntriesListWhatTheyCan) {
    plist_t numberTitle = entry("https://a.example/", std::nullopt);
    plist_dict_set_item(numberTitle, "title", plist_new_uint(42));
    plist_t numberUrl = entry(std::nullopt, "Number address");
    plist_dict_set_item(numberUrl, "url", plist_new_uint(7));
    plist_t dictTitle = entry("https://c.example/", std::nullopt);
    plist_dict_set_item(dictTitle, "title", plist_new_dict());
    writeHistory({numberTitle, entry(std::nullopt, "Only a title"), numberUrl,
                  plist_new_string("not an entry"), plist_new_array(),
                  entry("https://b.example/", ""), dictTitle});
    launch();
    app->toggleHistory();
    const auto rows = shownRows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].title, "Untitled");
    EXPECT_EQ(rows[0].address, "https://a.example/");
    EXPECT_EQ(rows[1].title, "Only a title");
    EXPECT_EQ(rows[1].address, "");
    EXPECT_EQ(rows[2].title, "Number address");
    EXPECT_EQ(rows[2].address, "");
    EXPECT_EQ(rows[3].title, "");
    EXPECT_EQ(rows[3].address, "https://b.example/");
    EXPECT_EQ(rows[4].title, "Untitled");

    // "Untitled" is what the filter sees too; the empty title is not.
    app->historySearchField->set_text("untitled");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Untitled", "Untitled"}));

    // A row without an address opens nothing and the panel stays.
    app->historySearchField->set_text("only a title");
    ASSERT_EQ(shownRows().size(), 1u);
    click(*shownRows()[0].button);
    EXPECT_NE(app->historyPanel, nullptr);
    EXPECT_FALSE(app->currentTab()->web->url().has_value());
}

TEST_F(HistoryPanelTest, RebuildFollowsTheFileWhateverChanged) {
    writeHistory({entry("https://a.example/", "A"), entry("https://b.example/", "B"),
                  entry("https://c.example/", "C")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("example");
    ASSERT_EQ(shownTitles(), (std::vector<std::string>{"A", "B", "C"}));

    // Reordered, one gone, then duplicates and a new one: the list is the file's.
    writeHistory({entry("https://c.example/", "C"), entry("https://a.example/", "A")});
    app->rebuildHistoryPanel();
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"C", "A"}));
    writeHistory({entry("https://d.example/", "D"), entry("https://c.example/", "C"),
                  entry("https://a.example/", "A"), entry("https://a.example/", "A")});
    app->rebuildHistoryPanel();
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"D", "C", "A", "A"}));
    app->historySearchField->set_text("a.ex");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"A", "A"}));
    fs::remove(historyFile());
    app->rebuildHistoryPanel();
    EXPECT_TRUE(showsNoMatch());
}

TEST_F(HistoryPanelTest, UnreadableFileListsAsEmpty) {
    fs::create_directories(historyFile().parent_path());
    std::ofstream(historyFile(), std::ios::binary) << "<plist><array><dict><key>url";
    launch();
    app->toggleHistory();
    EXPECT_TRUE(showsNoMatch());
    app->historySearchField->set_text("url");
    EXPECT_TRUE(showsNoMatch());
}

TEST_F(HistoryPanelTest, HugeTitlesShowShortenedAndStillMatchInFull) {
    const std::string hugeTitle = std::string(4 * 1024 * 1024, 'x') + " needle-at-the-end";
    const std::string hugeAddress = "https://long.example/" + std::string(2 * 1024 * 1024, 'a');
    writeHistory({entry(hugeAddress, hugeTitle), entry("https://ar.example/", "مرحبا بالعالم"),
                  entry("https://ja.example/", "東京タワー")});
    launch();
    app->toggleHistory();
    auto rows = shownRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_LE(g_utf8_strlen(rows[0].title.c_str(), -1), 256);
    EXPECT_LE(g_utf8_strlen(rows[0].address.c_str(), -1), 256);
    // The row still opens the whole address.
    EXPECT_EQ(AppDelegate::historyAddressOf(*rows[0].button), hugeAddress);
    EXPECT_EQ(rows[1].title, "مرحبا بالعالم");

    app->historySearchField->set_text("NEEDLE-AT-THE-END");
    rows = shownRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(AppDelegate::historyAddressOf(*rows[0].button), hugeAddress);
    pump(std::chrono::milliseconds(100));
    EXPECT_NE(app->historyPanel, nullptr);
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
    EXPECT_EQ(app->historySearchField, nullptr);
    ASSERT_TRUE(waitUntil([&] {
        const auto history = VeskStore::shared().loadHistory();
        return !history.empty() && history.front().url == target;
    }));
    EXPECT_EQ(app->currentTab()->web->url(), target);
    EXPECT_EQ(server.hits("/target"), 1);
}

TEST_F(HistoryPanelTest, WithoutACurrentTabARowDoesNothing) {
    writeHistory({entry("http://127.0.0.1:9/never", "Never")});
    launch();
    app->toggleHistory();
    const auto rows = shownRows();
    ASSERT_EQ(rows.size(), 1u);
    const auto selected = app->activeIdx;
    app->activeIdx = NSNotFound;
    click(*rows[0].button);
    EXPECT_NE(app->historyPanel, nullptr);
    app->activeIdx = selected;
    pump(std::chrono::milliseconds(50));
    EXPECT_FALSE(app->currentTab()->web->url().has_value());
}

TEST_F(HistoryPanelTest, ReturnInTheSearchFieldLoadsNothing) {
    writeHistory({entry("http://127.0.0.1:9/never", "Never")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("never");
    // What Return in the field does.
    for (auto* text : descendants<Gtk::Text>(*app->historySearchField))
        g_signal_emit_by_name(text->gobj(), "activate");
    pump(std::chrono::milliseconds(100));
    EXPECT_NE(app->historyPanel, nullptr);
    EXPECT_FALSE(app->currentTab()->web->url().has_value());
}

TEST_F(HistoryPanelTest, AFinishedPageShowsAtTheTopWhenItMatches) {
    TestServer server;
    server.addPage("/alpha", htmlPage("Alpha page"));
    server.addPage("/beta", htmlPage("Beta page"));
    writeHistory({entry("https://older.example/alpha", "Older alpha")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("alpha");
    ASSERT_EQ(shownTitles(), std::vector<std::string>{"Older alpha"});

    // The page's own title or, when the engine had none yet, its address: either
    // way the entry matches "alpha" through its address.
    loadAndRecord(server.url("/alpha"));
    auto rows = shownRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].address, server.url("/alpha"));
    EXPECT_EQ(rows[1].title, "Older alpha");
    loadAndRecord(server.url("/beta"));
    rows = shownRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].address, server.url("/alpha"));
    EXPECT_EQ(app->historySearchField->get_text(), "alpha");
}

TEST_F(HistoryPanelTest, ClearingAsksFirstAndCancelKeepsEverything) {
    writeHistory({entry("https://a.example/", "A"), entry("https://b.example/", "B")});
    const std::string before = readBytes(historyFile());
    launch();
    app->toggleHistory();

    app->clearHistory();
    Gtk::MessageDialog* alert = app->openAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->property_text().get_value(), "Clear all history?");
    EXPECT_EQ(alert->property_secondary_text().get_value(),
              "This removes every saved history item.");
    EXPECT_TRUE(alert->get_modal());
    EXPECT_EQ(alert->get_transient_for(), app->window.get());
    std::vector<std::string> labels;
    for (auto* button : descendants<Gtk::Button>(*alert))
        labels.push_back(button->get_label());
    EXPECT_EQ(labels, (std::vector<std::string>{"Clear", "Cancel"}));

    alert->response(static_cast<int>(Gtk::ResponseType::CANCEL));
    EXPECT_EQ(app->openAlert(), nullptr);
    EXPECT_EQ(readBytes(historyFile()), before);
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"A", "B"}));
    EXPECT_NE(app->historyPanel, nullptr);

    // Escape answers like "Cancel".
    app->clearHistory();
    ASSERT_NE(app->openAlert(), nullptr);
    g_signal_emit_by_name(app->openAlert()->gobj(), "close");
    EXPECT_EQ(app->openAlert(), nullptr);
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(readBytes(historyFile()), before);
}

TEST_F(HistoryPanelTest, ClearDeletesTheHistoryAndThePanelStays) {
    writeHistory({entry("https://a.example/", "A")});
    launch();
    app->toggleHistory();
    app->clearHistory();
    ASSERT_NE(app->openAlert(), nullptr);
    app->openAlert()->response(kClearResponse);
    EXPECT_FALSE(fs::exists(historyFile()));
    EXPECT_TRUE(showsNoMatch());
    EXPECT_NE(app->historyPanel, nullptr);
    pump(std::chrono::milliseconds(50));
}

TEST_F(HistoryPanelTest, ReturnInTheClearingAlertPressesClear) {
    writeHistory({entry("https://a.example/", "A")});
    launch();
    app->toggleHistory();
    app->clearHistory();
    ASSERT_NE(app->openAlert(), nullptr);
    pump(std::chrono::milliseconds(50));
    gtk_widget_activate_action(GTK_WIDGET(app->openAlert()->gobj()), "default.activate", nullptr);
    // A button pressed by key answers after its short pressed look.
    ASSERT_TRUE(waitUntil([&] { return app->openAlert() == nullptr; }, std::chrono::seconds(2)));
    EXPECT_FALSE(fs::exists(historyFile()));
    EXPECT_TRUE(showsNoMatch());
}

TEST_F(HistoryPanelTest, TogglingClosesAtOnceAndReopensEmpty) {
    writeHistory({entry("https://a.example/", "Apples"), entry("https://b.example/", "Pears")});
    launch();
    app->toggleHistory();
    app->historySearchField->set_text("pear");
    ConstraintView* first = app->historyPanel;

    app->toggleHistory();
    EXPECT_EQ(app->historyPanel, nullptr);
    EXPECT_EQ(app->historySearchField, nullptr);
    EXPECT_EQ(app->historyScrollView, nullptr);
    EXPECT_EQ(app->historyStack, nullptr);
    // Rebuilding a closed panel does nothing, even while it still fades.
    app->rebuildHistoryPanel();
    EXPECT_TRUE(isInGlass(first)) << "the panel fades out before it goes";

    // Pressed again during the fade: a fresh panel with an empty search field.
    app->toggleHistory();
    ASSERT_NE(app->historyPanel, nullptr);
    EXPECT_NE(app->historyPanel, first);
    EXPECT_EQ(app->historySearchField->get_text(), "");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Apples", "Pears"}));
    EXPECT_TRUE(waitUntil([&] { return !isInGlass(first); }, std::chrono::seconds(2)));
    EXPECT_TRUE(isInGlass(app->historyPanel));
    pump(std::chrono::milliseconds(250));
    EXPECT_DOUBLE_EQ(app->historyPanel->get_opacity(), 1.0);
}

TEST_F(HistoryPanelTest, PanelsExcludeEachOtherEvenWhileFading) {
    launch();
    app->toggleHistory();
    ConstraintView* history = app->historyPanel;
    app->toggleThemePanel();
    EXPECT_EQ(app->historyPanel, nullptr);
    ASSERT_NE(app->themePanel, nullptr);
    ConstraintView* theme = app->themePanel;

    // The history button while the history panel still fades out and the theme panel is open.
    app->toggleHistory();
    EXPECT_EQ(app->themePanel, nullptr);
    EXPECT_EQ(app->themeBackgroundWell, nullptr);
    EXPECT_EQ(app->themeAccentWell, nullptr);
    ASSERT_NE(app->historyPanel, nullptr);
    EXPECT_NE(app->historyPanel, history);
    EXPECT_TRUE(waitUntil([&] { return !isInGlass(history) && !isInGlass(theme); },
                          std::chrono::seconds(2)));
    EXPECT_TRUE(isInGlass(app->historyPanel));

    // And the other way round, each press during the other's fade-out.
    app->toggleThemePanel();
    EXPECT_EQ(app->historyPanel, nullptr);
    EXPECT_NE(app->themePanel, nullptr);
    app->toggleHistory();
    EXPECT_EQ(app->themePanel, nullptr);
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
