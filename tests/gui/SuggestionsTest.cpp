#include "BrowsingFixture.h"
#include "suggestions/SuggestionsController.h"

// The suggestions under the address field, from the long-term history of real loads.

namespace vesk::test {
namespace {

class SuggestionsTest : public BrowsingFixture {
protected:
    SuggestionList& list() { return app->suggestions().list(); }
    Strings shownUrls() {
        Strings urls;
        for (const Suggestion& row : list().rows())
            urls.push_back(row.kind == Suggestion::Kind::Search ? "search" : row.url);
        return urls;
    }
    // The user types `text` into the empty field and waits for the list to show `urls`.
    // Real keys, and the field's text once they were handled.
    bool pressAndSee(const std::string& keys, const std::string& text) {
        pressKeys(keys);
        return waitUntil([&] { return addressEntry().get_text().raw() == text; });
    }
    bool typeAndSee(const std::string& text, const Strings& urls) {
        EXPECT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(5)));
        addressEntry().grab_focus();
        addressEntry().set_text(text);
        return waitUntil([&] { return list().isOpen() && shownUrls() == urls; });
    }
    // A real click on the row at `index`, in the list's own surface over the window.
    void clickRow(std::size_t index) {
        ASSERT_TRUE(test::waitForRedraw(list().popover()));
        Gtk::Widget* row = list().rowWidget(index);
        ASSERT_NE(row, nullptr);
        Gtk::Popover& popover = list().popover();
        double x = 0, y = 0;
        ASSERT_TRUE(row->translate_coordinates(popover, row->get_width() / 2.0,
                                               row->get_height() / 2.0, x, y));
        double shadowX = 0, shadowY = 0;
        gtk_native_get_surface_transform(GTK_NATIVE(popover.gobj()), &shadowX, &shadowY);
        GdkPopup* surface = GDK_POPUP(gtk_native_get_surface(GTK_NATIVE(popover.gobj())));
        x += shadowX + gdk_popup_get_position_x(surface);
        y += shadowY + gdk_popup_get_position_y(surface);
        const std::string command = "xdotool mousemove " + std::to_string(int(x)) + " " +
                                    std::to_string(int(y)) + " click 1";
        ASSERT_EQ(std::system(command.c_str()), 0) << "needs xdotool";
    }
    VisitedPage stored(const std::string& url) {
        EXPECT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(5)));
        VisitDatabase db(VeskStore::shared().visitDatabaseFile(), VisitDatabase::Access::ReadOnly);
        return db.page(url);
    }
};

TEST_F(SuggestionsTest, AVisitedPageComesBackAfterARestartAndLoadsWithDownAndReturn) {
    launch();
    openPage("Alpha");
    openPage("Bravo");
    EXPECT_EQ(stored(server->url("/Alpha")).typedCount, 1);
    app.reset();
    launch();
    ASSERT_TRUE(typeAndSee("alph", {"search", server->url("/Alpha")}));
    ASSERT_TRUE(pressAndSee("Down Down", server->url("/Alpha")));
    pressKeys("Return");
    ASSERT_TRUE(waitForTitle(tab(0), "Alpha"));
    EXPECT_FALSE(list().isOpen());
    EXPECT_EQ(server->hits("/Alpha"), 2);
    EXPECT_EQ(stored(server->url("/Alpha")).visitCount, 2);

    // A click loads its row, not the text typed so far (an address on this server, so
    // that a wrong load stays on the machine).
    const std::string typed = server->url("/Brav").substr(std::string("http://").size());
    ASSERT_TRUE(typeAndSee(typed, {server->url("/Bravo")}));
    ASSERT_NO_FATAL_FAILURE(clickRow(0));
    ASSERT_TRUE(waitForTitle(tab(0), "Bravo")) << addressEntry().get_text().raw();
    EXPECT_EQ(server->hits("/Bravo"), 2);
    EXPECT_FALSE(list().isOpen());
}

TEST_F(SuggestionsTest, TitleWordsMatchEscapeRestoresTheTextAndShiftDeleteForgetsAPage) {
    server->addPage("/q1", htmlPage("Quarterly report"));
    server->addPage("/q2", htmlPage("Quarterly plans"));
    launch();
    openPage("q1", "Quarterly report");
    openPage("q2", "Quarterly plans");
    openPage("q2", "Quarterly plans");
    ASSERT_TRUE(typeAndSee("REPORT quarterly", {"search", server->url("/q1")}));
    ASSERT_TRUE(typeAndSee("quarterly", {"search", server->url("/q2"), server->url("/q1")}))
        << "the page visited more often comes first";
    ASSERT_TRUE(pressAndSee("Down Down", server->url("/q2")));
    ASSERT_TRUE(pressAndSee("Escape", "quarterly"));
    EXPECT_FALSE(list().isOpen());

    ASSERT_TRUE(typeAndSee("quarterl", {"search", server->url("/q2"), server->url("/q1")}));
    ASSERT_TRUE(pressAndSee("Down Down shift+Delete", server->url("/q1")));
    EXPECT_EQ(shownUrls(), (Strings{"search", server->url("/q1")}));
    EXPECT_EQ(stored(server->url("/q2")).visitCount, 0);
    EXPECT_EQ(stored(server->url("/q1")).visitCount, 1);
}

// A 16 x 16 PNG of one colour.
std::string pngIcon() {
    std::vector<guchar> pixels(16 * 16 * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        pixels[i] = pixels[i + 3] = 0xff;
    GBytes* bytes = g_bytes_new(pixels.data(), pixels.size());
    GdkTexture* texture = gdk_memory_texture_new(16, 16, GDK_MEMORY_R8G8B8A8, bytes, 16 * 4);
    GBytes* png = gdk_texture_save_to_png_bytes(texture);
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(png, &size));
    std::string result(data, size);
    g_bytes_unref(png);
    g_object_unref(texture);
    g_bytes_unref(bytes);
    return result;
}

TEST_F(SuggestionsTest, APagesIconShowsInItsPillBeforeItsTitleAndNoGapWithoutOne) {
    // The engine reads the icon links of a page's head.
    server->addPage("/iconic", "<!DOCTYPE html><html><head><title>Iconic</title>"
                               "<link rel='icon' href='/dot.png'></head><body>i</body></html>");
    const std::string png = pngIcon();
    server->addHandler("/dot.png", [&png](SoupServerMessage* msg) {
        soup_server_message_set_response(msg, "image/png", SOUP_MEMORY_COPY, png.data(),
                                         png.size());
        soup_server_message_set_status(msg, 200, nullptr);
    });
    launch();
    openPage("Alpha");
    waitForRedraw();
    EXPECT_FALSE(tab(0).hasIcon());
    const double plainTitleX = frameOf(tab(0).titleButton()).get_x();
    openPage("iconic", "Iconic");
    ASSERT_TRUE(waitUntil([&] { return tab(0).hasIcon(); })) << "no icon came";
    waitForRedraw();
    EXPECT_GE(frameOf(tab(0).titleButton()).get_x(), plainTitleX + 16);
    openPage("Bravo");
    ASSERT_TRUE(waitUntil([&] { return !tab(0).hasIcon(); }));
    waitForRedraw();
    EXPECT_EQ(frameOf(tab(0).titleButton()).get_x(), plainTitleX);
}

} // namespace
} // namespace vesk::test
