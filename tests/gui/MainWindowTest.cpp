#include "GuiTest.h"

#include <giomm/simpleaction.h>
#include <glibmm/main.h>

#include "app/VeskApplication.h"

namespace vesk::test {
namespace {

using MainWindowTest = GuiTest;

TEST_F(MainWindowTest, LayoutAtDefaultAndMinimumSizeAndEveryButtonRunsItsWindowAction) {
    launch();
    Toolbar& t = toolbar();
    ASSERT_EQ(std::pair(glass().get_width(), glass().get_height()), std::pair(1280, 800));
    for (auto [w, h] : {std::pair{1280, 800}, std::pair{980, 640}}) {
        resizeWindow(w, h);
        ASSERT_EQ(std::pair(glass().get_width(), glass().get_height()), std::pair(w, h));
        const auto back = frameOf(t.back());
        EXPECT_EQ(std::pair(back.get_x(), back.get_y()), std::pair(20, 50));
        // The right group: layout 20 from the edge, then password, theme and history 15 apart.
        int rightEdge = w - 20;
        for (Gtk::Button* button : {&t.layout(), &t.password(), &t.theme(), &t.history()}) {
            const auto f = frameOf(*button);
            EXPECT_EQ(f.get_x() + f.get_width(), rightEdge) << button->get_action_name();
            rightEdge = f.get_x() - 15;
        }
        // The address field: 15 under the back button, centred, three quarters wide.
        const auto addr = frameOf(addressEntry());
        EXPECT_EQ(addr.get_y(), back.get_y() + back.get_height() + 15);
        EXPECT_EQ(addr.get_width(), w * 3 / 4);
        EXPECT_NEAR(addr.get_x() + addr.get_width() / 2.0, w / 2.0, 0.5);
        // The web area: 15 in from each side but the top, where it is 15 under the field.
        const auto web = frameOf(app->window().webContainer());
        EXPECT_EQ(std::pair(web.get_x(), web.get_x() + web.get_width()), std::pair(15, w - 15));
        EXPECT_EQ(std::pair(web.get_y(), web.get_y() + web.get_height()),
                  std::pair(addr.get_y() + addr.get_height() + 15, h - 15));
    }
    std::string wiring; // every toolbar button's action name, in this order
    for (Gtk::Button* button :
         {&t.back(), &t.forward(), &t.reload(), &t.zoomIn(), &t.zoomOut(), &t.newTab(),
          &t.newFolder(), &t.history(), &t.theme(), &t.password(), &t.layout()}) {
        wiring += button->get_action_name() + " ";
        auto action = std::dynamic_pointer_cast<Gio::SimpleAction>(
            app->window().window().lookup_action(button->get_action_name().raw().substr(4)));
        ASSERT_TRUE(action) << wiring;
        int runs = 0;
        auto counter = action->signal_activate().connect([&](const Glib::VariantBase&) { ++runs; });
        click(*button);
        counter.disconnect();
        EXPECT_EQ(runs, 1) << wiring;
    }
    EXPECT_EQ(wiring, "win.go-back win.go-forward win.reload win.zoom-in win.zoom-out win.new-tab "
                      "win.new-folder win.toggle-history win.toggle-theme-panel "
                      "win.save-password win.toggle-layout ");
}

// A second launch only presents the running window; closing that window ends the program.
TEST(VeskApplicationTest, SecondActivationPresentsTheSameWindowAndClosingItQuits) {
    TempHome home;
    auto vesk = VeskApplication::create(AppOptions{"", {}}, Gio::Application::Flags::NON_UNIQUE,
                                        "org.vesk.BrowserTests.Activation");
    int ticks = 0; // of 50 ms; at 200 a program that does not end by itself is ended, and fails
    Gtk::Window* shown = nullptr;
    auto poll = Glib::signal_timeout().connect(
        [&] {
            if (++ticks == 200)
                vesk->quit();
            AppDelegate* first = vesk->delegate();
            if (shown || !first || !first->window().window().get_mapped())
                return ticks < 200;
            shown = &first->window().window();
            vesk->activate();
            EXPECT_EQ(vesk->delegate(), first);
            EXPECT_EQ(&first->window().window(), shown);
            EXPECT_EQ(vesk->get_windows().size(), 1u);
            shown->close();
            return true;
        },
        50);
    vesk->run(0, nullptr);
    poll.disconnect();
    ASSERT_TRUE(shown) << "the window never appeared";
    EXPECT_LT(ticks, 200) << "the program kept running without a window";
    EXPECT_EQ(vesk->delegate(), nullptr) << "the delegate outlived the run";
}

} // namespace
} // namespace vesk::test
