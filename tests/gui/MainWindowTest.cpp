#include "GuiTest.h"

#include <glibmm/main.h>
#include <gtkmm/icontheme.h>

#include "app/VeskApplication.h"
#include "platform/ConstraintView.h"

namespace vesk::test {
namespace {

class MainWindowTest : public GuiTest {};

// The toolbar's natural button sizes are the icon theme's; positions follow the table.
void expectLayoutAt(GuiTest& t, AppDelegate& app, int w, int h,
                    const std::function<Gdk::Rectangle(Gtk::Widget&)>& frameOf) {
    (void)t;
    SCOPED_TRACE("window " + std::to_string(w) + " x " + std::to_string(h));
    ASSERT_EQ(app.glass->get_width(), w);
    ASSERT_EQ(app.glass->get_height(), h);
    auto& b = app.controlButtons;
    const auto back = frameOf(*b[0]);
    EXPECT_EQ(back.get_x(), 20);
    EXPECT_EQ(back.get_y(), 50);
    const int rowCentre = back.get_y() + back.get_height() / 2;

    // Left group: back, forward, reload (10 apart), zoom-out (+15), zoom-in (+5).
    const auto forward = frameOf(*b[1]);
    const auto reload = frameOf(*b[2]);
    const auto zoomOut = frameOf(*b[4]);
    const auto zoomIn = frameOf(*b[3]);
    EXPECT_EQ(forward.get_x(), back.get_x() + back.get_width() + 10);
    EXPECT_EQ(reload.get_x(), forward.get_x() + forward.get_width() + 10);
    EXPECT_EQ(zoomOut.get_x(), reload.get_x() + reload.get_width() + 15);
    EXPECT_EQ(zoomIn.get_x(), zoomOut.get_x() + zoomOut.get_width() + 5);

    // Right group: layout 20 from the right edge, then password, theme, history 15 apart.
    const auto layout = frameOf(*b[10]);
    const auto password = frameOf(*b[9]);
    const auto theme = frameOf(*b[8]);
    const auto history = frameOf(*b[7]);
    EXPECT_EQ(layout.get_x() + layout.get_width(), w - 20);
    EXPECT_EQ(password.get_x() + password.get_width(), layout.get_x() - 15);
    EXPECT_EQ(theme.get_x() + theme.get_width(), password.get_x() - 15);
    EXPECT_EQ(history.get_x() + history.get_width(), theme.get_x() - 15);

    // The strip, new-tab (+15) and new-folder (+10) follow zoom-in (+20).
    const auto strip = frameOf(*app.topTabBarScroller);
    const auto newTab = frameOf(*b[5]);
    const auto newFolder = frameOf(*b[6]);
    EXPECT_EQ(strip.get_x(), zoomIn.get_x() + zoomIn.get_width() + 20);
    EXPECT_EQ(strip.get_height(), 32);
    EXPECT_EQ(newTab.get_x(), strip.get_x() + strip.get_width() + 15);
    EXPECT_EQ(newFolder.get_x(), newTab.get_x() + newTab.get_width() + 10);

    // Every toolbar item shares the back button's vertical centre.
    for (Gtk::Widget* item : {static_cast<Gtk::Widget*>(b[1]), static_cast<Gtk::Widget*>(b[2]),
                              static_cast<Gtk::Widget*>(b[3]), static_cast<Gtk::Widget*>(b[4]),
                              static_cast<Gtk::Widget*>(b[5]), static_cast<Gtk::Widget*>(b[6]),
                              static_cast<Gtk::Widget*>(b[7]), static_cast<Gtk::Widget*>(b[8]),
                              static_cast<Gtk::Widget*>(b[9]), static_cast<Gtk::Widget*>(b[10]),
                              static_cast<Gtk::Widget*>(app.topTabBarScroller)}) {
        const auto f = frameOf(*item);
        EXPECT_NEAR(f.get_y() + f.get_height() / 2.0, rowCentre, 1.0);
    }

    // Address field: 15 under the back button, centred, three quarters wide, 28 tall.
    const auto addr = frameOf(*app.addr);
    EXPECT_EQ(addr.get_y(), back.get_y() + back.get_height() + 15);
    EXPECT_EQ(addr.get_width(), static_cast<int>(w * 0.75));
    EXPECT_EQ(addr.get_height(), 28);
    EXPECT_NEAR(addr.get_x() + addr.get_width() / 2.0, w / 2.0, 0.5);

    // Web area: 15 from the left, right and bottom edges, 15 under the field.
    const auto web = frameOf(*app.webContainer);
    EXPECT_EQ(web.get_x(), 15);
    EXPECT_EQ(web.get_x() + web.get_width(), w - 15);
    EXPECT_EQ(web.get_y(), addr.get_y() + addr.get_height() + 15);
    EXPECT_EQ(web.get_y() + web.get_height(), h - 15);

    // Sidebar column: 0 wide at 15 from the left, same rows as the web area.
    const auto sidebar = frameOf(*app.sidebarContainer);
    EXPECT_EQ(sidebar.get_width(), 0);
    EXPECT_EQ(sidebar.get_x(), 15);
    EXPECT_EQ(sidebar.get_y(), web.get_y());
    EXPECT_EQ(sidebar.get_y() + sidebar.get_height(), h - 15);
}

TEST_F(MainWindowTest, LayoutFollowsTheTableAtDefaultAndMinimumSize) {
    launch();
    auto frame = [this](Gtk::Widget& w) { return frameOf(w); };
    expectLayoutAt(*this, *app, 1280, 800, frame);
    resizeWindow(980, 640);
    expectLayoutAt(*this, *app, 980, 640, frame);
    EXPECT_EQ(frameOf(*app->addr).get_width(), 735);
}

TEST_F(MainWindowTest, ViewTreeAndButtonsAreInTheirFixedOrder) {
    launch();
    auto children = app->glass->subviews();
    ASSERT_EQ(children.size(), 15u);
    EXPECT_EQ(children[0], app->topTabBarScroller);
    EXPECT_EQ(app->topTabBarStack->get_parent()->get_parent(), app->topTabBarScroller);
    EXPECT_EQ(children[1], app->sidebarContainer);
    EXPECT_EQ(app->sidebarTabBarStack->get_parent()->get_parent(), app->sidebarTabBarScroller);
    EXPECT_EQ(app->sidebarTabBarScroller->get_parent(), app->sidebarContainer);
    EXPECT_EQ(children[2], app->addr);
    EXPECT_EQ(children[3], app->webContainer);
    ASSERT_EQ(app->controlButtons.size(), 11u);
    const char* icons[] = {"go-previous-symbolic",
                           "go-next-symbolic",
                           "view-refresh-symbolic",
                           "zoom-in-symbolic",
                           "zoom-out-symbolic",
                           "list-add-symbolic",
                           "folder-new-symbolic",
                           "document-open-recent-symbolic",
                           "applications-graphics-symbolic",
                           "dialog-password-symbolic",
                           "sidebar-show-symbolic"};
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(children[4 + i], app->controlButtons[i]) << "button " << i;
        EXPECT_EQ(app->controlButtons[i]->get_icon_name(), icons[i]) << "button " << i;
    }
    // Every icon exists in the installed theme, so no button shows a broken image.
    auto theme = Gtk::IconTheme::get_for_display(app->window->get_display());
    for (const char* icon : icons)
        EXPECT_TRUE(theme->has_icon(icon)) << icon;
}

TEST_F(MainWindowTest, StartUpLeavesTopBarModeAndOneSelectedTab) {
    launch();
    EXPECT_FALSE(app->isSidebarMode);
    ASSERT_EQ(app->tabs.size(), 1u);
    EXPECT_EQ(app->activeIdx, 0);
    EXPECT_EQ(app->currentTab(), app->tabs[0].get());
    EXPECT_TRUE(app->folders.empty());
    EXPECT_EQ(app->addr->get_text(), "");
    EXPECT_TRUE(app->window->get_title().empty());
}

TEST(VeskApplicationTest, SecondActivationPresentsTheSameWindow) {
    TempHome home;
    auto vesk = VeskApplication::create(AppOptions{""}, Gio::Application::Flags::NON_UNIQUE,
                                        "org.vesk.BrowserTests.SecondActivation");
    ASSERT_TRUE(vesk->register_application());
    vesk->activate();
    ASSERT_NE(vesk->delegate(), nullptr);
    AppDelegate* first = vesk->delegate();
    Gtk::Window* window = first->window.get();
    ASSERT_TRUE(waitUntil([&] { return window->get_mapped(); }));
    vesk->activate();
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(vesk->delegate(), first);
    EXPECT_EQ(first->window.get(), window);
    EXPECT_EQ(vesk->get_windows().size(), 1u);
}

TEST(VeskApplicationTest, ClosingTheWindowQuits) {
    TempHome home;
    auto vesk = VeskApplication::create(AppOptions{""}, Gio::Application::Flags::NON_UNIQUE,
                                        "org.vesk.BrowserTests.Closing");
    bool forced = false;
    bool windowShown = false;
    // Close the window once it is up; if the program does not end by itself,
    // end it after a while and fail.
    auto closer = Glib::signal_timeout().connect(
        [&] {
            AppDelegate* d = vesk->delegate();
            if (!d || !d->window || !d->window->get_mapped())
                return true;
            windowShown = true;
            d->window->close();
            return false;
        },
        50);
    auto guard = Glib::signal_timeout().connect(
        [&] {
            forced = true;
            vesk->quit();
            return false;
        },
        10000);
    vesk->run(0, nullptr);
    closer.disconnect();
    guard.disconnect();
    ASSERT_TRUE(windowShown) << "the window never appeared";
    EXPECT_FALSE(forced) << "the program kept running without a window";
    EXPECT_EQ(vesk->delegate(), nullptr) << "the delegate outlived the run";
}

} // namespace
} // namespace vesk::test
