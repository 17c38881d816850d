#include "downloads/DownloadsController.h"

#include <algorithm>

#include "downloads/DownloadsButton.h"
#include "engine/WebSession.h"
#include "store/VeskStore.h"
#include "widgets/Alert.h"

namespace vesk {

DownloadsController::DownloadsController(WebSession& session, DownloadsButton& button)
    : button_(button) {
    session.signalDownloadStarted().connect(
        sigc::mem_fun(*this, &DownloadsController::onDownloadStarted));
}

// Their rows in the button's list go with the window, after this.
DownloadsController::~DownloadsController() = default;

void DownloadsController::onDownloadStarted(WebKitDownload* download) {
    downloads_.push_back(
        std::make_unique<Download>(download, VeskStore::shared().paths().downloads));
    button_.add(*downloads_.back());
}

bool DownloadsController::mayQuit(AlertPresenter& alerts, std::function<void()> quit) {
    const bool running = std::ranges::any_of(
        downloads_, [](const auto& d) { return d->state() == DownloadState::Running; });
    if (!running || quitConfirmed_)
        return true;
    auto alert = alerts.makeAlert("Cancel downloads and quit?", "Quit", Gtk::MessageType::QUESTION);
    // Keeping the downloads is the safe answer to a Return pressed in passing.
    alert->set_default_response(Gtk::ResponseType::CANCEL);
    alerts.present(std::move(alert), [this, quit = std::move(quit)](AlertResponse answer) {
        if (answer != AlertResponse::Confirm)
            return;
        quitConfirmed_ = true;
        for (const auto& d : downloads_)
            d->cancel();
        quit();
    });
    return false;
}

} // namespace vesk
