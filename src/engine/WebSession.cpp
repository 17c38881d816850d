#include "engine/WebSession.h"

#include <glib/gstdio.h>
#include <webkit/webkit.h>

#include "engine/OpeningGuard.h"

namespace vesk {

namespace {

constexpr int kOwnerOnly = 0700;

void makeOwnerOnlyFolder(const std::filesystem::path& folder) {
    g_mkdir_with_parents(folder.c_str(), kOwnerOnly);
    g_chmod(folder.c_str(), kOwnerOnly);
}

} // namespace

WebSession::WebSession(const std::filesystem::path& dataFolder,
                       const std::filesystem::path& cacheFolder) {
    makeOwnerOnlyFolder(dataFolder);
    makeOwnerOnlyFolder(cacheFolder);
    session_ = GObjectPtr<WebKitNetworkSession>::adopt(
        webkit_network_session_new(dataFolder.c_str(), cacheFolder.c_str()));
    // Without a file of their own, cookies live only as long as the process.
    const std::filesystem::path cookies = dataFolder / "cookies.sqlite";
    webkit_cookie_manager_set_persistent_storage(
        webkit_network_session_get_cookie_manager(session_.get()), cookies.c_str(),
        WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    // Site icons are kept with the other website data, for the tabs and the lists of pages.
    webkit_website_data_manager_set_favicons_enabled(
        webkit_network_session_get_website_data_manager(session_.get()), TRUE);
    g_signal_connect(
        session_.get(), "download-started",
        G_CALLBACK(+[](WebKitNetworkSession*, WebKitDownload* download, WebSession* self) {
            // A page may not start download after download on its own.
            OpeningGuard* guard = OpeningGuard::of(webkit_download_get_web_view(download));
            if (guard && !guard->mayDownload(download))
                return;
            self->downloadStarted_.emit(download);
        }),
        this);
}

WebSession::~WebSession() {
    g_signal_handlers_disconnect_by_data(session_.get(), this);
}

} // namespace vesk
