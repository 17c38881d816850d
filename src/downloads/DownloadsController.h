#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm/window.h>
#include <sigc++/trackable.h>

#include "engine/Download.h"

namespace vesk {

class AlertPresenter;

// Whether each download asks where to be saved.
enum class AskEachTime { No, Yes };
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

    // Where the next downloads are saved: into `folder`, or, when `askEachTime`, where
    // the user chooses in a file dialog over `parent`.
    void setDestination(std::filesystem::path folder, AskEachTime ask);
    void setParent(Gtk::Window* parent) { parent_ = parent; }

    // True while the window may close now. Otherwise asks the user in `alerts`
    // whether to cancel the running downloads, and calls `quit` once they agree.
    bool mayQuit(AlertPresenter& alerts, std::function<void()> quit);

private:
    void onDownloadStarted(WebKitDownload* download);
    void askForFile(const std::string& name,
                    std::function<void(std::optional<std::filesystem::path>)> answer);

    std::filesystem::path folder_;
    AskEachTime ask_ = AskEachTime::No;
    Gtk::Window* parent_ = nullptr;
    DownloadsButton& button_;
    // In the order they started.
    std::vector<std::unique_ptr<Download>> downloads_;
    // The user agreed to cancel the running downloads and quit.
    bool quitConfirmed_ = false;
};

} // namespace vesk
