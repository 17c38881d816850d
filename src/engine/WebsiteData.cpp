#include "engine/WebsiteData.h"

#include <webkit/webkit.h>

#include "engine/WebSession.h"
#include "navigation/NavigationRules.h"

namespace vesk {

namespace {

constexpr auto kSiteData = WebKitWebsiteDataTypes(
    WEBKIT_WEBSITE_DATA_COOKIES | WEBKIT_WEBSITE_DATA_LOCAL_STORAGE |
    WEBKIT_WEBSITE_DATA_SESSION_STORAGE | WEBKIT_WEBSITE_DATA_INDEXEDDB_DATABASES |
    WEBKIT_WEBSITE_DATA_OFFLINE_APPLICATION_CACHE |
    WEBKIT_WEBSITE_DATA_SERVICE_WORKER_REGISTRATIONS | WEBKIT_WEBSITE_DATA_DOM_CACHE |
    WEBKIT_WEBSITE_DATA_DEVICE_ID_HASH_SALT | WEBKIT_WEBSITE_DATA_HSTS_CACHE |
    WEBKIT_WEBSITE_DATA_ITP);
constexpr auto kCache =
    WebKitWebsiteDataTypes(WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE);

WebKitWebsiteDataManager* managerOf(WebSession& session) {
    return webkit_network_session_get_website_data_manager(session.raw());
}

// The report a call waits to make, and the hosts a clear of sites is for.
struct Pending {
    std::function<void()> done;
    std::set<std::string> hosts;
};

void report(Pending* pending) {
    if (pending->done)
        pending->done();
    delete pending;
}

} // namespace

void WebsiteData::clear(WebsiteDataKind kinds, std::optional<std::chrono::seconds> age,
                        std::function<void()> done) {
    unsigned types = 0;
    if (kinds & WebsiteDataKind::CookiesAndSiteData)
        types |= age ? kSiteData & ~WEBKIT_WEBSITE_DATA_COOKIES : kSiteData;
    if (kinds & WebsiteDataKind::Cache)
        types |= kCache;
    if (types == 0) {
        if (done)
            done();
        return;
    }
    // The engine counts a time span in microseconds back from now; 0 is all time.
    const GTimeSpan span = age ? GTimeSpan(age->count()) * G_TIME_SPAN_SECOND : 0;
    webkit_website_data_manager_clear(
        managerOf(session_), WebKitWebsiteDataTypes(types), span, nullptr,
        +[](GObject* manager, GAsyncResult* result, gpointer data) {
            webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(manager), result,
                                                     nullptr);
            report(static_cast<Pending*>(data));
        },
        new Pending{std::move(done), {}});
}

void WebsiteData::clearSites(std::set<std::string> hosts, std::function<void()> done) {
    if (hosts.empty()) {
        if (done)
            done();
        return;
    }
    webkit_website_data_manager_fetch(
        managerOf(session_), kSiteData, nullptr,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
            auto* pending = static_cast<Pending*>(data);
            auto* manager = WEBKIT_WEBSITE_DATA_MANAGER(source);
            GList* all = webkit_website_data_manager_fetch_finish(manager, result, nullptr);
            GList* site = nullptr;
            for (GList* item = all; item; item = item->next) {
                auto* record = static_cast<WebKitWebsiteData*>(item->data);
                const char* name = webkit_website_data_get_name(record);
                if (!name)
                    continue;
                for (const std::string& host : pending->hosts)
                    if (isHostOfSite(host, name)) {
                        site = g_list_prepend(site, record);
                        break;
                    }
            }
            if (!site) {
                g_list_free_full(all, GDestroyNotify(webkit_website_data_unref));
                report(pending);
                return;
            }
            webkit_website_data_manager_remove(
                manager, kSiteData, site, nullptr,
                +[](GObject* from, GAsyncResult* removed, gpointer later) {
                    webkit_website_data_manager_remove_finish(WEBKIT_WEBSITE_DATA_MANAGER(from),
                                                              removed, nullptr);
                    report(static_cast<Pending*>(later));
                },
                pending);
            g_list_free(site);
            g_list_free_full(all, GDestroyNotify(webkit_website_data_unref));
        },
        new Pending{std::move(done), std::move(hosts)});
}

} // namespace vesk
