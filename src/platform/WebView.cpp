#include "platform/WebView.h"

#include <webkit/webkit.h>

namespace vesk {

WebView::WebView() {
    view_ = WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()));
    widget_ = Glib::wrap(GTK_WIDGET(view_));
    widget_->add_css_class("vesk-web-view");
    widget_->set_overflow(Gtk::Overflow::HIDDEN);
    g_signal_connect(view_, "load-changed", G_CALLBACK(onLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(onLoadFailed), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(onProcessTerminated), this);
}

WebView::~WebView() {
    callbacks_ = {};
    if (finishIdle_)
        g_source_remove(finishIdle_);
    g_signal_handlers_disconnect_by_data(view_, this);
    webkit_web_view_stop_loading(view_);
    if (gtk_widget_get_parent(GTK_WIDGET(view_)))
        gtk_widget_unparent(GTK_WIDGET(view_));
    g_object_unref(view_);
}

void WebView::loadURL(const std::string& url) {
    suppressFinish_ = false;
    webkit_web_view_load_uri(view_, url.c_str());
}

void WebView::loadHTML(const std::string& html, const std::string& baseURL) {
    webkit_web_view_load_alternate_html(view_, html.c_str(), baseURL.c_str(), baseURL.c_str());
}

void WebView::stopLoading() {
    webkit_web_view_stop_loading(view_);
}

void WebView::showProcessEndedPage() {
    const std::string address = url().value_or("about:blank");
    // The notice is WebKit's error page mechanism: it is not a navigation of
    // the user's, so it must not count as a finished one.
    suppressFinish_ = true;
    webkit_web_view_load_alternate_html(
        view_,
        "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Page stopped</title>"
        "<style>body{font-family:sans-serif;color:#777;display:flex;align-items:center;"
        "justify-content:center;height:90vh;margin:0}</style></head>"
        "<body><p>This page stopped working. Reload to try again.</p></body></html>",
        address.c_str(), nullptr);
}

std::optional<std::string> WebView::url() const {
    const char* uri = webkit_web_view_get_uri(view_);
    if (!uri)
        return std::nullopt;
    return std::string(uri);
}

std::optional<std::string> WebView::title() const {
    const char* t = webkit_web_view_get_title(view_);
    if (!t)
        return std::nullopt;
    return std::string(t);
}

bool WebView::canGoBack() const {
    return webkit_web_view_can_go_back(view_);
}
bool WebView::canGoForward() const {
    return webkit_web_view_can_go_forward(view_);
}

void WebView::goBack() {
    suppressFinish_ = false;
    webkit_web_view_go_back(view_);
}

void WebView::goForward() {
    suppressFinish_ = false;
    webkit_web_view_go_forward(view_);
}

void WebView::reload() {
    suppressFinish_ = false;
    processCrashed_ = false;
    webkit_web_view_reload(view_);
}

double WebView::magnification() const {
    return webkit_web_view_get_zoom_level(view_);
}
void WebView::setMagnification(double factor) {
    webkit_web_view_set_zoom_level(view_, factor);
}
void WebView::terminateWebProcess() {
    webkit_web_view_terminate_web_process(view_);
}
bool WebView::isLoading() const {
    return webkit_web_view_is_loading(view_);
}

void WebView::onLoadChanged(WebKitWebView*, int event, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    if (self->suppressFinish_) {
        self->suppressFinish_ = false;
        return;
    }
    // The title arrives just after the load finishes; deliver on the next idle.
    if (self->finishIdle_)
        g_source_remove(self->finishIdle_);
    self->finishIdle_ = g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer p) -> gboolean {
            auto* view = static_cast<WebView*>(p);
            view->finishIdle_ = 0;
            view->deliverFinished();
            return G_SOURCE_REMOVE;
        },
        self, nullptr);
}

void WebView::deliverFinished() {
    if (callbacks_.didFinishNavigation)
        callbacks_.didFinishNavigation(*this);
}

gboolean WebView::onLoadFailed(WebKitWebView*, int event, char*, GError* error, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    const bool cancelled =
        g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED);
    const int code = cancelled ? kCancelledErrorCode : (error ? error->code : 0);
    if (!cancelled)
        self->suppressFinish_ = true;
    if (event == WEBKIT_LOAD_COMMITTED) {
        if (self->callbacks_.didFailNavigation)
            self->callbacks_.didFailNavigation(*self, code);
    } else if (self->callbacks_.didFailProvisionalNavigation) {
        self->callbacks_.didFailProvisionalNavigation(*self, code);
    }
    return FALSE;
}

void WebView::onProcessTerminated(WebKitWebView*, int, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    self->processCrashed_ = true;
    if (self->callbacks_.webProcessTerminated)
        self->callbacks_.webProcessTerminated(*self);
}

} // namespace vesk
