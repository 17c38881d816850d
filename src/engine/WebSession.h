#pragma once

#include <filesystem>

#include <sigc++/signal.h>

#include "base/GObjectPtr.h"

typedef struct _WebKitNetworkSession WebKitNetworkSession;
typedef struct _WebKitDownload WebKitDownload;

namespace vesk {

// The website data every tab shares: cookies (in an SQLite file), local
// storage and the cache, kept on disk so that a login survives a restart.
// The folders are made owner-only. The engine's default third-party cookie
// policy holds: no cookies for third parties.
class WebSession {
public:
    WebSession(const std::filesystem::path& dataFolder, const std::filesystem::path& cacheFolder);
    // Views may keep the engine's session a little longer; it no longer reports here.
    ~WebSession();
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;

    WebKitNetworkSession* raw() const { return session_.get(); }

    // A page, or the user, started a download in one of the session's views.
    sigc::signal<void(WebKitDownload*)>& signalDownloadStarted() { return downloadStarted_; }

private:
    GObjectPtr<WebKitNetworkSession> session_;
    sigc::signal<void(WebKitDownload*)> downloadStarted_;
};

} // namespace vesk
