// vesk_startup ADDRESS: starts Vesk exactly as `vesk ADDRESS` does and prints
// "FINISHED <page title>" on stdout once the first tab's page has finished
// loading and its title is known. The start-up harness times that line.
#include <cstdio>
#include <string>

#include <glibmm/main.h>
#include <webkit/webkit.h>

#include "app/TabsController.h"
#include "app/VeskApplication.h"

namespace {

bool loadFinished = false;
bool reported = false;

void reportWhenDone(WebKitWebView* view) {
    const char* title = webkit_web_view_get_title(view);
    if (reported || !loadFinished || title == nullptr || *title == '\0')
        return;
    reported = true;
    std::printf("FINISHED %s\n", title);
    std::fflush(stdout);
}

void onLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
    if (event == WEBKIT_LOAD_FINISHED) {
        loadFinished = true;
        reportWhenDone(view);
    }
}

void onTitle(WebKitWebView* view, GParamSpec*, gpointer) {
    reportWhenDone(view);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesk_startup ADDRESS\n");
        return 4;
    }
    auto app = vesk::VeskApplication::create(vesk::AppOptions{},
                                             Gio::Application::Flags::CAN_OVERRIDE_APP_ID);
    // The first tab exists once start-up has run, which the window being added
    // to the application is part of; its load has not finished yet.
    app->signal_window_added().connect([&app](Gtk::Window*) {
        Glib::signal_idle().connect_once(
            [&app] {
                vesk::AppDelegate* delegate = app->delegate();
                if (!delegate || delegate->tabs().empty())
                    return;
                WebKitWebView* view = delegate->tabs().at(0).web().raw();
                g_signal_connect(view, "load-changed", G_CALLBACK(onLoadChanged), nullptr);
                g_signal_connect(view, "notify::title", G_CALLBACK(onTitle), nullptr);
            },
            Glib::PRIORITY_HIGH);
    });
    return app->run(argc, argv);
}
