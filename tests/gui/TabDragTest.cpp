#include <cstdlib>

#include "BrowsingFixture.h"
#include "store/SessionFile.h"

namespace vesk::test {
namespace {

// Pills dragged with the real pointer, through the X server, as a user drags them.
class TabDragTest : public BrowsingFixture {
protected:
    // Moves the pointer to (x, y) on `widget` and lets the window take in the motion.
    void pointTo(Gtk::Widget& widget, double x, double y, const std::string& then = "") {
        double wx = 0, wy = 0;
        ASSERT_TRUE(widget.translate_coordinates(window(), x, y, wx, wy));
        pointer("mousemove " + std::to_string(int(wx)) + " " + std::to_string(int(wy)) + " " +
                then);
    }
    void pointer(const std::string& command) {
        ASSERT_EQ(std::system(("xdotool " + command).c_str()), 0) << "needs xdotool";
        waitForRedraw();
    }
    // Presses on the middle of tab `from`'s pill and moves past the drag threshold, then on
    // to (x, y) on `to`.
    void dragFrom(std::size_t from, Gtk::Widget& to, double x, double y) {
        Gtk::Widget& pill = tab(from).pill();
        const double midX = pill.get_width() / 2.0, midY = pill.get_height() / 2.0;
        pointTo(pill, midX, midY, "mousedown 1");
        pointTo(pill, midX + 6, midY + 6);
        pointTo(pill, midX + 12, midY + 12);
        pointTo(to, x, y);
    }
    // The tabs in model order, as their pages' names with "*" for a tab in a folder.
    std::string order() {
        std::string text;
        for (const TabRecord& record : app->tabs().model().tabs())
            text += (text.empty() ? "" : " ") + record.address.substr(server->url("/").size()) +
                    (record.folderId.empty() ? "" : "*");
        return text;
    }
    std::string selectedName() {
        return app->tabs().model().selected()->address.substr(server->url("/").size());
    }
    std::string savedOrder() {
        const auto session = readSession(home->dataDir() / "Vesk" / sessionFileName);
        std::string text;
        for (const SessionTab& saved : session.value_or(SessionState{}).tabs)
            text += (text.empty() ? "" : " ") + saved.address.substr(server->url("/").size()) +
                    (saved.folderId.empty() ? "" : "*");
        return text;
    }
};

TEST_F(TabDragTest, DraggedPillsReorderTheTopStripAndJoinAFolderInTheSidebar) {
    launch(AppOptions{"",
                      {server->url("/Alpha"), server->url("/Bravo"), server->url("/Charlie"),
                       server->url("/Alphabet")}});
    waitForRedraw();
    // The pill's buttons still take a real click.
    Gtk::Button& close = tab(3).closeButton();
    // A motion into the window first: one made after another window went from under the
    // pointer does not otherwise see the pointer come in.
    pointTo(close, 1, 1);
    pointTo(close, close.get_width() / 2.0, close.get_height() / 2.0, "click 1");
    ASSERT_TRUE(waitUntil([&] { return order() == "Alpha Bravo Charlie"; }));

    // A press that moves less than the threshold is the title's click: it selects.
    Gtk::Widget& first = tab(0).pill();
    pointTo(first, 60, 14, "mousedown 1");
    pointTo(first, 63, 15, "mouseup 1");
    ASSERT_TRUE(waitUntil([&] { return selectedName() == "Alpha"; }));

    // Escape puts a dragged pill back.
    dragFrom(0, tab(2).pill(), 120, 14);
    EXPECT_TRUE(waitUntil([&] { return app->window().tabStrip().isDragging(); }));
    pointer("key Escape");
    EXPECT_TRUE(waitUntil([&] { return !app->window().tabStrip().isDragging(); }));
    pointer("mouseup 1");
    EXPECT_EQ(order(), "Alpha Bravo Charlie");
    EXPECT_EQ(&first, app->window().tabStrip().topStrip().get_first_child());
    // So does a release away from the strip, over the page.
    dragFrom(0, tab(2).pill(), 120, 14);
    pointTo(app->window().webContainer(), 100, 100, "mouseup 1");
    EXPECT_TRUE(waitUntil([&] { return !app->window().tabStrip().isDragging(); }));
    EXPECT_EQ(order(), "Alpha Bravo Charlie");
    EXPECT_EQ(&first, app->window().tabStrip().topStrip().get_first_child());

    // Past the last pill's middle: the tab goes last, and stays selected.
    dragFrom(0, tab(2).pill(), 120, 14);
    EXPECT_TRUE(waitUntil([&] {
        return app->window().tabStrip().topStrip().get_last_child() == &first;
    })) << "the dragged pill shows where it lands";
    EXPECT_EQ(order(), "Alpha Bravo Charlie") << "the model changes only on release";
    pointer("mouseup 1");
    EXPECT_TRUE(waitUntil([&] { return order() == "Bravo Charlie Alpha"; }));
    EXPECT_EQ(selectedName(), "Alpha");
    EXPECT_EQ(app->window().tabStrip().topStrip().get_last_child(), &first);

    // The sidebar: a folder takes the selected tab; Charlie is dropped under it.
    app->tabs().toggleLayoutMode();
    app->tabs().model().createFolder();
    ASSERT_TRUE(waitUntil([&] { return tab(2).pill().get_mapped(); }));
    waitForRedraw();
    ASSERT_EQ(order(), "Bravo Charlie Alpha*");
    // Sidebar: the folder's header, Alpha; Bravo, Charlie. The drop goes below Alpha's middle.
    dragFrom(1, tab(2).pill(), 70, 24);
    EXPECT_TRUE(waitUntil(
        [&] { return app->tabs().folderAt(0).header().has_css_class("vesk-drop-target"); }));
    pointer("mouseup 1");
    EXPECT_TRUE(waitUntil([&] { return order() == "Bravo Alpha* Charlie*"; }));
    EXPECT_EQ(selectedName(), "Alpha");
    EXPECT_FALSE(app->tabs().folderAt(0).header().has_css_class("vesk-drop-target"));

    // The session file keeps the new order and folders after the program ends.
    EXPECT_TRUE(waitUntil([&] { return savedOrder() == "Bravo Alpha* Charlie*"; }));
    app.reset();
    EXPECT_EQ(savedOrder(), "Bravo Alpha* Charlie*");
}

} // namespace
} // namespace vesk::test
