// Renders the real window to a PNG, for looking at the chrome by eye:
//   vesk_screenshot OUT.png [theme NAME] [custom] [tabs N] [folder] [collapse] [sidebar]
//                   [entries] [history] [filter TEXT] [themes] [select N] [page HOST]
//                   [site HOST TITLE] [password] [clear] [wait MS] [dark]
// With `dark` the desktop asks for a dark look (GNOME's setting, kept in memory).
// It starts with an empty home page and a fresh home folder, so nothing is loaded from
// anywhere and nothing of the user's is read or written. An open alert is saved beside
// OUT.png as OUT-alert.png.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include <glibmm/main.h>
#include <gtk/gtk.h>

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/TabsController.h"
#include "engine/WebView.h"
#include "history/HistoryController.h"
#include "history/HistoryPanel.h"
#include "passwords/PasswordsController.h"
#include "store/VeskStore.h"
#include "theme/ThemeController.h"
#include "widgets/ConstraintView.h"

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

// Sample history in several scripts, one title missing and one very long address.
void addSampleHistory() {
    const std::vector<std::pair<std::string, std::optional<std::string>>> pages = {
        {"https://news.example/2024/morning-briefing", std::string("Morning news")},
        {"https://docs.example/guide/getting-started", std::string("Docs – Getting started")},
        {"https://he.example/", std::string("ברוכים הבאים לאתר")},
        {"https://ja.example/tokyo", std::string("東京タワーの歴史")},
        {"https://long.example/" + std::string(300, 'a') + "/end", std::string("Long address")},
        {"https://empty-title.example/", std::string("")},
        {"https://weather.example/today", std::string("Weather and news for today")},
    };
    for (auto it = pages.rbegin(); it != pages.rend(); ++it)
        vesk::VeskStore::shared().addHistory(it->first, it->second);
}

std::string sitePage(const std::string& title) {
    return "<title>" + title +
           "</title><style>body{font:17px/1.6 sans-serif;color:#2e3436;max-width:40em;"
           "margin:3em auto;padding:0 1em}h1{font-weight:600}</style><h1>" +
           title +
           "</h1><p>This page stands in for a website: the screenshot tool makes it, so "
           "nothing is loaded from the network.</p><p>Vesk keeps to one window: a glass "
           "backdrop, the address field in the middle, and the tabs across the top or in a "
           "sidebar, gathered in folders when there are many.</p><p>Its history can be "
           "searched, its themes change the glass and the accent colour, and it offers to "
           "save a password when you sign in.</p>";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [options]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    const std::string out = argv[1];
    const std::string alertOut =
        (out.size() > 4 ? out.substr(0, out.size() - 4) : out) + "-alert.png";

    char folder[] = "/tmp/vesk-screenshot-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    ::setenv("HOME", folder, 1);
    ::setenv("XDG_DATA_HOME", (std::string(folder) + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (std::string(folder) + "/config").c_str(), 1);
    vesk::VeskStore::shared().usePaths(vesk::AppPaths::under(folder));
    if (std::find(args.begin(), args.end(), "dark") != args.end()) {
        // Set before anything reads settings, so that they stay in this process.
        ::setenv("GSETTINGS_BACKEND", "memory", 1);
        GSettings* gnome = g_settings_new("org.gnome.desktop.interface");
        g_settings_set_string(gnome, "color-scheme", "prefer-dark");
        g_object_unref(gnome);
    }
    int result = 1;
    auto app = Gtk::Application::create("org.vesk.Screenshot", Gio::Application::Flags::NON_UNIQUE);
    app->signal_activate().connect([&] {
        app->hold();
        vesk::AppDelegate delegate(vesk::AppOptions{"", {}});
        delegate.applicationDidFinishLaunching(app.get());
        pump(300);
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "theme" && i + 1 < args.size())
                delegate.theme().applyThemeNamed(args[++i], std::nullopt, std::nullopt,
                                                 vesk::SaveTheme::No);
            else if (a == "custom")
                delegate.theme().applyThemeNamed("custom", vesk::Color::rgb(0.2, 0.4, 0.6),
                                                 vesk::Color::rgb(1.0, 0.45, 0.0),
                                                 vesk::SaveTheme::No);
            else if (a == "tabs" && i + 1 < args.size())
                for (int n = std::atoi(args[++i].c_str()); n > 0; --n)
                    delegate.tabs().addNewTab();
            else if (a == "folder")
                delegate.tabs().model().createFolder();
            else if (a == "collapse" && !delegate.tabs().model().folders().empty())
                delegate.tabs().model().toggleFolder(
                    delegate.tabs().model().folders().front().folderId);
            else if (a == "sidebar")
                delegate.tabs().toggleLayoutMode();
            else if (a == "history")
                delegate.history().toggleHistory();
            else if (a == "themes")
                delegate.theme().toggleThemePanel();
            else if (a == "select" && i + 1 < args.size())
                delegate.tabs().select(std::atoi(args[++i].c_str()));
            else if (a == "entries")
                addSampleHistory();
            else if (a == "filter" && i + 1 < args.size() && delegate.historyPanel().searchField())
                delegate.historyPanel().searchField()->set_text(args[++i]);
            else if (a == "page" && i + 1 < args.size() && delegate.tabs().current())
                // A page of its own under that address; nothing goes over the network.
                delegate.tabs().current()->web().loadHTML("<h1>Sign in</h1>",
                                                          "https://" + args[++i] + "/login");
            else if (a == "site" && i + 2 < args.size() && delegate.tabs().current()) {
                // A titled page of text under that address, for the screenshots of the
                // software centre; it too is made here.
                const std::string host = args[++i], title = args[++i];
                delegate.tabs().current()->web().loadHTML(sitePage(title), "https://" + host + "/");
            } else if (a == "password")
                delegate.passwords().promptSavePassword();
            else if (a == "clear")
                delegate.history().clearHistory();
            else if (a == "wait" && i + 1 < args.size())
                // For pages that take longer to draw than the usual pause.
                pump(std::atoi(args[++i].c_str()));
            pump(150);
        }
        pump(600);
        result = savePng(delegate.window().window(), out.c_str()) ? 0 : 1;
        Gtk::MessageDialog* alert = delegate.window().alerts().openAlert();
        if (alert && !savePng(*alert, alertOut.c_str()))
            result = 1;
        app->release();
        app->quit();
    });
    app->run(0, nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
