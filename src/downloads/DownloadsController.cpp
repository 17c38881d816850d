#include "downloads/DownloadsController.h"

#include <algorithm>

#include <glibmm/main.h>
#include <gtkmm/filechoosernative.h>

#include "downloads/DownloadsButton.h"
#include "engine/WebSession.h"
#include "store/VeskStore.h"
#include "widgets/Alert.h"

namespace vesk {

DownloadsController::DownloadsController(WebSession& session, DownloadsButton& button)
    : folder_(VeskStore::shared().paths().downloads), button_(button) {
    session.signalDownloadStarted().connect(
        sigc::mem_fun(*this, &DownloadsController::onDownloadStarted));
}

// Their rows in the button's list go with the window, after this.
DownloadsController::~DownloadsController() = default;

void DownloadsController::onDownloadStarted(WebKitDownload* download) {
    Download::FileQuestion ask;
    if (ask_ == AskEachTime::Yes)
        ask = [this](const std::string& name, auto answer) { askForFile(name, std::move(answer)); };
    downloads_.push_back(std::make_unique<Download>(download, folder_, std::move(ask)));
    button_.add(*downloads_.back());
}

void DownloadsController::setDestination(std::filesystem::path folder, AskEachTime ask) {
    folder_ = std::move(folder);
    ask_ = ask;
}

void DownloadsController::askForFile(
    const std::string& name, std::function<void(std::optional<std::filesystem::path>)> answer) {
    auto dialog = Gtk::FileChooserNative::create("Save File", Gtk::FileChooser::Action::SAVE,
                                                 "_Save", "_Cancel");
    if (parent_) {
        dialog->set_transient_for(*parent_);
        dialog->set_modal(true);
    }
    dialog->set_current_name(name);
    if (std::filesystem::is_directory(folder_))
        dialog->set_current_folder(Gio::File::create_for_path(folder_.string()));
    // The dialog is kept until it is answered, and let go once its answer is out.
    auto* held = new Glib::RefPtr<Gtk::FileChooserNative>(dialog);
    dialog->signal_response().connect([held, answer = std::move(answer)](int response) {
        std::optional<std::filesystem::path> chosen;
        if (response == int(Gtk::ResponseType::ACCEPT))
            if (auto file = (*held)->get_file(); file && !file->get_path().empty())
                chosen = file->get_path();
        answer(chosen);
        Glib::signal_idle().connect_once([held] { delete held; });
    });
    dialog->show();
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
