#pragma once

#include <filesystem>

#include "platform/GObjectPtr.h"

typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace vesk {

// The website data every tab shares: cookies (in an SQLite file), local
// storage and the cache, kept on disk so that a login survives a restart.
// The folders are made owner-only. The engine's default third-party cookie
// policy holds: no cookies for third parties.
class WebSession {
public:
    WebSession(const std::filesystem::path& dataFolder, const std::filesystem::path& cacheFolder);

    // $XDG_CACHE_HOME/Vesk, or ~/.cache/Vesk.
    static std::filesystem::path defaultCacheFolder();

    WebKitNetworkSession* raw() const { return session_.get(); }

private:
    GObjectPtr<WebKitNetworkSession> session_;
};

} // namespace vesk
