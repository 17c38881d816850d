#include "GuiTest.h"

#include <utility>

#include <giomm/simpleaction.h>
#include <glibmm/main.h>

#include "app/ActionNames.h"
#include "app/VeskApplication.h"

namespace vesk::test {
namespace {

class MainWindowTest : public GuiTest {
protected:
    // The frames the layout gives at the window's current size.
    void expectLayoutAt(int w, int h) {
        SCOPED_TRACE("window " + std::to_string(w) + " x " + std::to_string(h));
        ASSERT_EQ(glass().get_width(), w);
        ASSERT_EQ(glass().get_height(), h);
        const auto back = frameOf(toolbar().back());
        EXPECT_EQ(back.get_x(), 20);
        EXPECT_EQ(back.get_y(), 50);

        // The right group: layout 20 from the edge, then password, theme and history 15 apart.
        int rightEdge = w - 20;
        for (Gtk::Button* button : {&toolbar().layout(), &toolbar().password(), &toolbar().theme(),
                                    &toolbar().history()}) {
            const auto f = frameOf(*button);
            EXPECT_EQ(f.get_x() + f.get_width(), rightEdge) << button->get_action_name();
            rightEdge = f.get_x() - 15;
        }

        // The address field: 15 under the back button, centred, three quarters wide.
        const auto addr = frameOf(addressEntry());
        EXPECT_EQ(addr.get_y(), back.get_y() + back.get_height() + 15);
        EXPECT_EQ(addr.get_width(), w * 3 / 4);
        EXPECT_NEAR(addr.get_x() + addr.get_width() / 2.0, w / 2.0, 0.5);

        // The web area: 15 from the left, right and bottom edges and under the field.
        const auto web = frameOf(app->window().webContainer());
        EXPECT_EQ(web.get_x(), 15);
        EXPECT_EQ(web.get_x() + web.get_width(), w - 15);
        EXPECT_EQ(web.get_y(), addr.get_y() + addr.get_height() + 15);
        EXPECT_EQ(web.get_y() + web.get_height(), h - 15);
        EXPECT_EQ(frameOf(app->window().sidebarContainer()).get_width(), 0);
    }
};

TEST_F(MainWindowTest, LayoutAtDefaultAndMinimumSize) {
    launch();
    expectLayoutAt(1280, 800);
    resizeWindow(980, 640);
    expectLayoutAt(980, 640);
}

TEST_F(MainWindowTest, EveryToolbarButtonRunsItsWindowAction) {
    launch();
    Toolbar& t = toolbar();
    const std::pair<Gtk::Button*, const char*> buttons[] = {
        {&t.back(), action::kGoBack},
        {&t.forward(), action::kGoForward},
        {&t.reload(), action::kReload},
        {&t.zoomIn(), action::kZoomIn},
        {&t.zoomOut(), action::kZoomOut},
        {&t.newTab(), action::kNewTab},
        {&t.newFolder(), action::kNewFolder},
        {&t.history(), action::kToggleHistory},
        {&t.theme(), action::kToggleThemePanel},
        {&t.password(), action::kSavePassword},
        {&t.layout(), action::kToggleLayout},
    };
    for (const auto& [button, name] : buttons) {
        SCOPED_TRACE(name);
        EXPECT_EQ(button->get_action_name().raw(), std::string("win.") + name);
        auto action = std::dynamic_pointer_cast<Gio::SimpleAction>(
            app->window().window().lookup_action(name));
        ASSERT_TRUE(action);
        EXPECT_TRUE(action->get_enabled());
        int runs = 0;
        auto counter = action->signal_activate().connect([&](const Glib::VariantBase&) { ++runs; });
        click(*button);
        counter.disconnect();
        EXPECT_EQ(runs, 1);
    }
}

// A second launch only presents the running window; closing that window ends
// the program.
TEST(VeskApplicationTest, SecondActivationPresentsTheSameWindowAndClosingItQuits) {
    TempHome home;
    auto vesk = VeskApplication::create(AppOptions{""}, Gio::Application::Flags::NON_UNIQUE,
                                        "org.vesk.BrowserTests.Activation");
    bool windowShown = false, forced = false;
    auto closer = Glib::signal_timeout().connect(
        [&] {
            AppDelegate* first = vesk->delegate();
            if (!first || !first->window().window().get_mapped())
                return true;
            windowShown = true;
            Gtk::Window* window = &first->window().window();
            vesk->activate();
            EXPECT_EQ(vesk->delegate(), first);
            EXPECT_EQ(&first->window().window(), window);
            EXPECT_EQ(vesk->get_windows().size(), 1u);
            window->close();
            return false;
        },
        50);
    // A program that does not end by itself is ended after a while, and fails.
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
