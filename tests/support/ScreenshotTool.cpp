// Renders the real window to a PNG, for looking at the chrome by eye:
//   vesk_screenshot OUT.png [theme NAME] [tabs N] [folder] [collapse] [sidebar] [history] [themes]
// It starts with an empty home page, so nothing is loaded from anywhere.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <adwaita.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>

#include "app/AppDelegate.h"
#include "platform/ConstraintView.h"

namespace {

void pump(int ms) {
    auto context = Glib::MainContext::get_default();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        auto tick = Glib::signal_timeout().connect([] { return false; }, 5);
        context->iteration(true);
        tick.disconnect();
    }
}

bool savePng(Gtk::Widget& widget, const char* path) {
    GtkWidget* w = widget.gobj();
    GdkPaintable* paintable = gtk_widget_paintable_new(w);
    GtkSnapshot* snapshot = gtk_snapshot_new();
    const int width = gtk_widget_get_width(w), height = gtk_widget_get_height(w);
    gdk_paintable_snapshot(paintable, GDK_SNAPSHOT(snapshot), width, height);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    g_object_unref(paintable);
    graphene_rect_t viewport = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
    GdkTexture* texture = gsk_renderer_render_texture(
        gtk_native_get_renderer(gtk_widget_get_native(w)), node, &viewport);
    gsk_render_node_unref(node);
    const bool ok = gdk_texture_save_to_png(texture, path);
    g_object_unref(texture);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [options]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    int result = 1;
    auto app = Gtk::Application::create("org.vesk.Screenshot", Gio::Application::Flags::NON_UNIQUE);
    app->signal_activate().connect([&] {
        adw_init();
        app->hold();
        vesk::AppDelegate delegate(vesk::AppOptions{""});
        delegate.applicationDidFinishLaunching(app.get());
        pump(300);
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "theme" && i + 1 < args.size())
                delegate.applyThemeNamed(args[++i], std::nullopt, std::nullopt,
                                         vesk::SaveTheme::No);
            else if (a == "custom")
                delegate.applyThemeNamed("custom", vesk::Color::rgb(0.2, 0.4, 0.6),
                                         vesk::Color::rgb(1.0, 0.45, 0.0), vesk::SaveTheme::No);
            else if (a == "tabs" && i + 1 < args.size())
                for (int n = std::atoi(args[++i].c_str()); n > 0; --n)
                    delegate.addNewTab();
            else if (a == "folder")
                delegate.createNewFolder();
            else if (a == "collapse" && !delegate.folders.empty())
                delegate.toggleFolderExpansion(delegate.folders.front()->folderHeaderBtn.get());
            else if (a == "sidebar")
                delegate.toggleLayoutMode();
            else if (a == "history")
                delegate.toggleHistory();
            else if (a == "themes")
                delegate.toggleThemePanel();
            else if (a == "select" && i + 1 < args.size())
                delegate.selectTab(std::atoi(args[++i].c_str()));
            pump(150);
        }
        pump(600);
        result = savePng(*delegate.window, argv[1]) ? 0 : 1;
        app->release();
        app->quit();
    });
    app->run(0, nullptr);
    return result;
}
