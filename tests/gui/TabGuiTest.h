#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <gdkmm/frameclock.h>
#include <gtk/gtk.h>

#include "GuiTest.h"
#include "platform/WebView.h"
#include "tabs/VeskTabPill.h"

namespace vesk::test {

// A colour as drawn on screen, components 0..1, not premultiplied.
struct Pixel {
    double r = 0, g = 0, b = 0, a = 0;
};

// The tab tests drive the real window the way a user does: by clicking its
// buttons and moving the mouse over pills, then reading what is shown.
class TabGuiTest : public GuiTest {
protected:
    // Emits the button's click, exactly what a mouse click on it ends in.
    static void click(Gtk::Button* button) { g_signal_emit_by_name(button->gobj(), "clicked"); }

    void pressNewTab() { click(app->controlButtons[5]); }
    void pressNewFolder() { click(app->controlButtons[6]); }
    void pressLayout() { click(app->controlButtons[10]); }
    void clickTab(std::size_t i) { click(app->tabs.at(i)->btn); }
    void clickClose(std::size_t i) { click(app->tabs.at(i)->closeBtn); }

    // Returns once the window has drawn a frame after this call, so style
    // changes made before it are on screen (with any transition at its start).
    void afterNextFrame() {
        auto clock = app->window->get_frame_clock();
        ASSERT_TRUE(clock) << "the window has no frame clock";
        bool painted = false;
        auto connection = clock->signal_paint().connect([&] { painted = true; });
        app->window->queue_draw();
        EXPECT_TRUE(waitUntil([&] { return painted; }, std::chrono::seconds(2)))
            << "no frame was drawn";
        connection.disconnect();
    }

    // Lets every running fade and layout animation end (the longest is 0.3 s).
    static void settle() { pump(std::chrono::milliseconds(600)); }

    static std::vector<Gtk::Widget*> childrenOf(Gtk::Widget& strip) {
        std::vector<Gtk::Widget*> out;
        for (Gtk::Widget* c = strip.get_first_child(); c; c = c->get_next_sibling())
            out.push_back(c);
        return out;
    }

    std::vector<Gtk::Widget*> allPills() const {
        std::vector<Gtk::Widget*> out;
        for (const auto& t : app->tabs)
            out.push_back(t->pill.get());
        return out;
    }

    // Pills that show the active (accent) look.
    std::vector<std::size_t> activePills() const {
        std::vector<std::size_t> out;
        for (std::size_t i = 0; i < app->tabs.size(); ++i) {
            const VeskTabPill& pill = *app->tabs[i]->pill;
            if (pill.isActive || pill.has_css_class("active"))
                out.push_back(i);
        }
        return out;
    }

    // After any selection: one active pill, the selected tab's; its page is the
    // only thing in the web area; the address field shows its address.
    void expectSelected(std::size_t index) {
        SCOPED_TRACE("selected tab " + std::to_string(index));
        ASSERT_LT(index, app->tabs.size());
        EXPECT_EQ(app->activeIdx, static_cast<std::int64_t>(index));
        EXPECT_EQ(activePills(), std::vector<std::size_t>{index});
        Tab& tab = *app->tabs[index];
        EXPECT_TRUE(tab.pill->isActive && tab.pill->has_css_class("active"));
        EXPECT_EQ(childrenOf(*app->webContainer), std::vector<Gtk::Widget*>{&tab.web->widget()});
        EXPECT_EQ(std::string(app->addr->get_text()), tab.web->url().value_or(""));
    }

    // The strip not in use is always empty.
    void expectOnlyStripInUseFilled() {
        Gtk::Box* unused = app->isSidebarMode ? app->topTabBarStack : app->sidebarTabBarStack;
        EXPECT_TRUE(childrenOf(*unused).empty())
            << (app->isSidebarMode ? "top strip" : "sidebar strip") << " is not empty";
    }

    // Renders the widget as the window would and reads one pixel of it.
    Pixel pixelAt(Gtk::Widget& widget, int x, int y) {
        const int w = widget.get_width();
        const int h = widget.get_height();
        if (w <= 0 || h <= 0 || x < 0 || y < 0 || x >= w || y >= h) {
            ADD_FAILURE() << "pixel " << x << "," << y << " outside a " << w << "x" << h
                          << " widget";
            return {};
        }
        GdkPaintable* paintable = gtk_widget_paintable_new(widget.gobj());
        GtkSnapshot* snapshot = gtk_snapshot_new();
        gdk_paintable_snapshot(paintable, snapshot, w, h);
        GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
        Pixel p;
        if (node) {
            GskRenderer* renderer = gtk_native_get_renderer(gtk_widget_get_native(widget.gobj()));
            graphene_rect_t viewport = GRAPHENE_RECT_INIT(0, 0, float(w), float(h));
            GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
            std::vector<guchar> data(std::size_t(w) * std::size_t(h) * 4);
            gdk_texture_download(texture, data.data(), std::size_t(w) * 4);
            // Premultiplied B, G, R, A bytes.
            const guchar* px = &data[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4];
            p.a = px[3] / 255.0;
            if (px[3] > 0) {
                p.r = px[2] / double(px[3]);
                p.g = px[1] / double(px[3]);
                p.b = px[0] / double(px[3]);
            }
            g_object_unref(texture);
            gsk_render_node_unref(node);
        }
        g_object_unref(paintable);
        return p;
    }

    // A pixel of the pill's own background, left of its title button.
    Pixel pillBackground(std::size_t tab) { return pixelAt(*app->tabs.at(tab)->pill, 4, 14); }

    // Feeds the pill's motion controller as the pointer crossing its edge does.
    static void pointerEnters(VeskTabPill& pill) {
        g_signal_emit_by_name(pill.tracking()->gobj(), "enter", 5.0, 5.0);
    }
    static void pointerLeaves(VeskTabPill& pill) {
        g_signal_emit_by_name(pill.tracking()->gobj(), "leave");
    }
};

} // namespace vesk::test
