#include "GuiTest.h"

#include <glibmm/main.h>

#include "app/VeskApplication.h"
#include "platform/ConstraintView.h"

namespace vesk::test {
namespace {

class MainWindowTest : public GuiTest {
protected:
    // The frames the layout allocates at the window's current size.
    void expectLayoutAt(int w, int h) {
        SCOPED_TRACE("window " + std::to_string(w) + " x " + std::to_string(h));
        ASSERT_EQ(app->glass->get_width(), w);
        ASSERT_EQ(app->glass->get_height(), h);
        auto& b = app->controlButtons;
        const auto back = frameOf(*b[0]);
        EXPECT_EQ(back.get_x(), 20);
        EXPECT_EQ(back.get_y(), 50);

        // Right group: layout 20 from the right edge, then password, theme, history 15 apart.
        int rightEdge = w - 20;
        for (std::size_t i : {10u, 9u, 8u, 7u}) {
            const auto f = frameOf(*b[i]);
            EXPECT_EQ(f.get_x() + f.get_width(), rightEdge) << "button " << i;
            rightEdge = f.get_x() - 15;
        }

        // Address field: 15 under the back button, centred, three quarters wide.
        const auto addr = frameOf(*app->addr);
        EXPECT_EQ(addr.get_y(), back.get_y() + back.get_height() + 15);
        EXPECT_EQ(addr.get_width(), w * 3 / 4);
        EXPECT_NEAR(addr.get_x() + addr.get_width() / 2.0, w / 2.0, 0.5);

        // Web area: 15 from the left, right and bottom edges, 15 under the field.
        const auto web = frameOf(*app->webContainer);
        EXPECT_EQ(web.get_x(), 15);
        EXPECT_EQ(web.get_x() + web.get_width(), w - 15);
        EXPECT_EQ(web.get_y(), addr.get_y() + addr.get_height() + 15);
        EXPECT_EQ(web.get_y() + web.get_height(), h - 15);
        EXPECT_EQ(frameOf(*app->sidebarContainer).get_width(), 0);
    }
};

TEST_F(MainWindowTest, LayoutFollowsTheTableAtDefaultAndMinimumSize) {
    launch();
    expectLayoutAt(1280, 800);
    resizeWindow(980, 640);
    expectLayoutAt(980, 640);
    EXPECT_EQ(frameOf(*app->addr).get_width(), 735);
}

TEST_F(MainWindowTest, ViewTreeAndButtonsAreInTheirFixedOrder) {
    launch();
    auto children = app->glass->subviews();
    ASSERT_EQ(children.size(), 15u);
    EXPECT_EQ(children[0], app->topTabBarScroller);
    EXPECT_EQ(children[1], app->sidebarContainer);
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
}

TEST(VeskApplicationTest, SecondActivationPresentsTheSameWindow) {
    TempHome home;
    auto vesk = VeskApplication::create(AppOptions{""}, Gio::Application::Flags::NON_UNIQUE,
                                        "org.vesk.BrowserTests.SecondActivation");
    ASSERT_TRUE(vesk->register_application());
    vesk->activate();
    AppDelegate* first = vesk->delegate();
    ASSERT_NE(first, nullptr);
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
