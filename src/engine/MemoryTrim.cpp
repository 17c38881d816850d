#include "engine/MemoryTrim.h"

#include <malloc.h>

#include <glibmm/main.h>
#include <webkit/webkit.h>

#include "engine/WebView.h"

namespace vesk {

namespace {
constexpr unsigned kTrimDelayMs = 1000;
} // namespace

void releaseFreedMemoryOnceLoaded(WebView& view) {
    auto onLoad = +[](WebKitWebView* v, WebKitLoadEvent event, gulong* handler) {
        if (event != WEBKIT_LOAD_FINISHED)
            return;
        g_signal_handler_disconnect(v, *handler);
        Glib::signal_timeout().connect_once([] { malloc_trim(0); }, kTrimDelayMs,
                                            Glib::PRIORITY_LOW);
    };
    auto* handler = new gulong(0);
    *handler = g_signal_connect_data(
        view.raw(), "load-changed", G_CALLBACK(onLoad), handler,
        +[](gpointer data, GClosure*) { delete static_cast<gulong*>(data); }, GConnectFlags(0));
}

} // namespace vesk
