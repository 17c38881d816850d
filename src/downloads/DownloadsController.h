#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <sigc++/trackable.h>

#include "engine/Download.h"

namespace vesk {

class AlertPresenter;
class DownloadsButton;
class WebSession;

// This session's downloads: each one the engine starts is saved under a name of
// our own and listed in the toolbar's button; a quit while some still run asks first.
class DownloadsController : public sigc::trackable {
public:
    DownloadsController(WebSession& session, DownloadsButton& button);
    ~DownloadsController();
    DownloadsController(const DownloadsController&) = delete;
    DownloadsController& operator=(const DownloadsController&) = delete;

    // True while the window may close now. Otherwise asks the user in `alerts`
    // whether to cancel the running downloads, and calls `quit` once they agree.
    bool mayQuit(AlertPresenter& alerts, std::function<void()> quit);

private:
    void onDownloadStarted(WebKitDownload* download);

    DownloadsButton& button_;
    // In the order they started.
    std::vector<std::unique_ptr<Download>> downloads_;
    // The user agreed to cancel the running downloads and quit.
    bool quitConfirmed_ = false;
};

} // namespace vesk
