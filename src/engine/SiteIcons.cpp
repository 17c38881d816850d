#include "engine/SiteIcons.h"

#include <gdkmm/texture.h>
#include <webkit/webkit.h>

#include "engine/WebSession.h"
#include "engine/WebView.h"

namespace vesk {

namespace {

Glib::RefPtr<Gdk::Paintable> paintableOf(GdkTexture* texture, bool isOwned) {
    if (!texture)
        return {};
    return Glib::wrap(GDK_PAINTABLE(texture), !isOwned);
}

} // namespace

SiteIcons::SiteIcons(WebSession& session) : session_(session) {}

void SiteIcons::lookUp(const std::string& url, Found found) {
    WebKitWebsiteDataManager* manager =
        webkit_network_session_get_website_data_manager(session_.raw());
    WebKitFaviconDatabase* database = webkit_website_data_manager_get_favicon_database(manager);
    if (!database)
        return;
    webkit_favicon_database_get_favicon(
        database, url.c_str(), nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Found> call(static_cast<Found*>(data));
            GdkTexture* texture = webkit_favicon_database_get_favicon_finish(
                WEBKIT_FAVICON_DATABASE(source), result, nullptr);
            if (texture)
                (*call)(paintableOf(texture, true));
        },
        new Found(std::move(found)));
}

PageIcon::PageIcon(WebView& web) : view_(web.raw()) {
    g_object_ref(view_);
    g_signal_connect(view_, "notify::favicon", G_CALLBACK(onFaviconChanged), this);
}

PageIcon::~PageIcon() {
    g_signal_handlers_disconnect_by_data(view_, this);
    g_object_unref(view_);
}

Glib::RefPtr<Gdk::Paintable> PageIcon::icon() const {
    return paintableOf(webkit_web_view_get_favicon(view_), false);
}

void PageIcon::onFaviconChanged(GObject*, GParamSpec*, void* self) {
    auto* page = static_cast<PageIcon*>(self);
    page->changed_.emit(page->icon());
}

} // namespace vesk
