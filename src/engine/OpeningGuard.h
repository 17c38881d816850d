#pragma once

#include <string>
#include <vector>

#include <sigc++/connection.h>
#include <sigc++/signal.h>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitDownload WebKitDownload;

namespace vesk {

class WebView;

// Keeps a page from opening windows and starting downloads the user did not ask
// for. Each press of a key or a button in the page lets it open one window and
// start one download; a page may also start one download of its own after it
// loads. What goes beyond is refused and counted, and the count is told, so that
// the user can let the page's origin do so for as long as Vesk runs.
class OpeningGuard {
public:
    explicit OpeningGuard(WebView& web);
    ~OpeningGuard();
    OpeningGuard(const OpeningGuard&) = delete;
    OpeningGuard& operator=(const OpeningGuard&) = delete;

    // The guard of the engine's view `view`, if it has one.
    static OpeningGuard* of(WebKitWebView* view);

    // Whether the page may open a window for `uri` now; `userGesture` is the
    // engine's word that a user's action led to it. A refusal is counted.
    bool mayOpenWindow(const std::string& uri, bool userGesture);
    // Whether `download`, started by the page, may go on; when not, it is
    // cancelled and kept to be started again if the user allows.
    bool mayDownload(WebKitDownload* download);

    // Windows and downloads refused since the page came, and its host.
    int blockedWindows() const { return blockedWindows_; }
    int blockedDownloads() const { return static_cast<int>(blockedDownloads_.size()); }
    const std::string& host() const { return host_; }
    // Lets the page's origin open windows and start downloads freely for as long as
    // Vesk runs, opens the last window refused and starts the downloads refused.
    void allow();
    // Forgets what was refused; the page stays held back.
    void dismiss();

    // The counts changed.
    sigc::signal<void()>& signalChanged() { return changed_; }
    // The window the user let through after all, to be opened in a tab of its own.
    sigc::signal<void(const std::string&)>& signalOpenAllowed() { return openAllowed_; }

    // The user pressed a key or a button in the page.
    void userActed();
    // The browser loads an address or starts a download for the user: the next
    // download is the user's, not the page's.
    void ownLoadBegins() { ownDownloadUsed_ = false; }

private:
    bool originAllowed() const;
    void pageChanged(const std::string& url);

    WebView& web_;
    std::string origin_;
    std::string host_;
    bool mayOpen_ = false;
    bool mayDownload_ = false;
    bool ownDownloadUsed_ = false;
    int blockedWindows_ = 0;
    std::string lastBlockedWindow_;
    std::vector<std::string> blockedDownloads_;
    sigc::connection committed_;
    sigc::signal<void()> changed_;
    sigc::signal<void(const std::string&)> openAllowed_;
};

} // namespace vesk
