#include <webkit/webkit.h>

#include "BrowsingFixture.h"
#include "tabs/FindBar.h"

// The find bar of a tab over a page with a known number of matches.

namespace vesk::test {
namespace {

using FindBarTest = BrowsingFixture;

// Delivers a key to `widget`'s own capture-phase key handlers, as GTK does on
// the way to the focused field; a test cannot type real keys into the window.
void press(Gtk::Widget& widget, guint keyval, Gdk::ModifierType state = {}) {
    GListModel* controllers = gtk_widget_observe_controllers(widget.gobj());
    for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
        auto* controller = static_cast<GtkEventController*>(g_list_model_get_item(controllers, i));
        gboolean handled = FALSE;
        if (GTK_IS_EVENT_CONTROLLER_KEY(controller) &&
            gtk_event_controller_get_propagation_phase(controller) == GTK_PHASE_CAPTURE)
            g_signal_emit_by_name(controller, "key-pressed", keyval, 0u, GdkModifierType(state),
                                  &handled);
        g_object_unref(controller);
    }
    g_object_unref(controllers);
}

TEST_F(FindBarTest, CountsMatchesAndStepsAroundThem) {
    server->addPage("/fruit", htmlPage("Fruit", "<p>Apple pie</p><p>apple tart</p><p>APPLE</p>"));
    launch();
    openPage("fruit", "Fruit");
    FindBar& bar = tab(0).findBar();
    const auto shows = [&](const std::string& text) {
        return waitUntil([&] { return bar.matchLabel().get_text().raw() == text; });
    };
    EXPECT_FALSE(bar.isOpen());
    bar.open();
    bar.entry().set_text("apple");
    ASSERT_TRUE(shows("1 of 3")) << bar.matchLabel().get_text();
    click(bar.nextButton());
    EXPECT_TRUE(shows("2 of 3"));
    press(bar.entry(), GDK_KEY_Return, Gdk::ModifierType::SHIFT_MASK);
    EXPECT_TRUE(shows("1 of 3"));
    press(bar.widget(), GDK_KEY_F3, Gdk::ModifierType::SHIFT_MASK);
    EXPECT_TRUE(shows("3 of 3")) << "previous wraps from the first match to the last";
    press(bar.entry(), GDK_KEY_Return);
    EXPECT_TRUE(shows("1 of 3")) << "next wraps from the last match to the first";
    bar.entry().set_text("cherry");
    EXPECT_TRUE(shows("No matches"));
    bar.entry().set_text("");
    EXPECT_TRUE(shows(""));
    press(bar.widget(), GDK_KEY_Escape);
    EXPECT_FALSE(bar.isOpen());
    EXPECT_EQ(window().get_focus()->gobj(), GTK_WIDGET(tab(0).web().raw()));
    // Opening again finds the text left in the field anew.
    bar.entry().set_text("pie");
    bar.open();
    EXPECT_TRUE(shows("1 of 1"));
}

// Real keys: the matches stepped through stay highlighted in the page after the bar closes.
TEST_F(FindBarTest, ReopeningSelectsTheLastSearchAndCountsFromTheTop) {
    std::string body;
    for (const char* n : {"1", "2", "3", "4", "5", "6"})
        body += std::string("<p id='fox") + n + "'>fox</p>";
    server->addPage("/foxes", htmlPage("Foxes", body));
    launch();
    openPage("foxes", "Foxes");
    FindBar& bar = tab(0).findBar();
    const auto highlighted = [&] { return evaluate("getSelection().anchorNode.parentElement.id"); };
    pressKeys("ctrl+f f o x");
    ASSERT_TRUE(waitUntil([&] { return bar.matchLabel().get_text() == "1 of 6"; }));
    pressKeys("Return Return Return");
    ASSERT_TRUE(waitUntil([&] { return bar.matchLabel().get_text() == "4 of 6"; }));
    EXPECT_EQ(highlighted(), "fox4");
    pressKeys("Escape");
    ASSERT_TRUE(waitUntil([&] { return !bar.isOpen(); }));
    pressKeys("ctrl+f");
    ASSERT_TRUE(waitUntil([&] { return bar.matchLabel().get_text() == "1 of 6"; }))
        << bar.matchLabel().get_text();
    EXPECT_EQ(highlighted(), "fox1") << "the count follows the highlighted match";
    pressKeys("o");
    EXPECT_TRUE(waitUntil([&] { return bar.entry().get_text() == "o"; }))
        << "typing replaces the old search, not " << bar.entry().get_text();
}

} // namespace
} // namespace vesk::test
