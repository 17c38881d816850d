#include "engine/Download.h"

#include <webkit/webkit.h>

namespace vesk {

Download::Download(WebKitDownload* download, std::filesystem::path folder, FileQuestion ask)
    : download_(GObjectPtr<WebKitDownload>::retain(download)), folder_(std::move(folder)),
      ask_(std::move(ask)) {
    g_signal_connect(download, "decide-destination", G_CALLBACK(onDecideDestination), this);
    auto progress = +[](WebKitDownload*, gpointer, Download* self) { self->progress_.emit(); };
    g_signal_connect(download, "notify::estimated-progress", G_CALLBACK(progress), this);
    g_signal_connect(
        download, "failed", G_CALLBACK(+[](WebKitDownload*, GError* error, Download* self) {
            const bool cancelled =
                self->cancelRequested_ || g_error_matches(error, WEBKIT_DOWNLOAD_ERROR,
                                                          WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER);
            self->end(cancelled ? DownloadState::Cancelled : DownloadState::Failed);
        }),
        this);
    // Also emitted after "failed", when the state has already moved on.
    g_signal_connect(download, "finished", G_CALLBACK(+[](WebKitDownload*, Download* self) {
                         self->end(DownloadState::Finished);
                     }),
                     this);
}

Download::~Download() {
    g_signal_handlers_disconnect_by_data(download_.get(), this);
    if (state_ == DownloadState::Running) {
        webkit_download_cancel(download_.get());
        if (file_)
            file_->abandon();
    }
}

int Download::onDecideDestination(WebKitDownload*, const char* suggested, Download* self) {
    self->suggested_ = suggested ? suggested : "";
    if (!self->ask_) {
        self->saveIn(self->folder_, self->suggested_);
        return TRUE;
    }
    // The engine waits for the destination, as long as the question is open.
    self->ask_(DownloadFile::safeName(self->suggested_),
               [self, alive = std::weak_ptr<int>(self->lifetime_)](
                   std::optional<std::filesystem::path> chosen) {
                   if (alive.expired() || self->state_ != DownloadState::Running)
                       return;
                   if (!chosen || chosen->filename().empty())
                       self->cancel();
                   else
                       self->saveIn(chosen->parent_path(), chosen->filename().string());
               });
    return TRUE;
}

void Download::saveIn(const std::filesystem::path& folder, const std::string& name) {
    file_ = DownloadFile::reserve(folder, name);
    if (!file_) {
        // Not the user's doing: it failed.
        webkit_download_cancel(download_.get());
        return;
    }
    // The partial file is our own empty reservation: the engine may replace it.
    webkit_download_set_allow_overwrite(download_.get(), TRUE);
    webkit_download_set_destination(download_.get(), file_->partial().c_str());
    progress_.emit();
}

void Download::cancel() {
    if (state_ != DownloadState::Running)
        return;
    cancelRequested_ = true;
    webkit_download_cancel(download_.get());
}

void Download::end(DownloadState state) {
    if (state_ != DownloadState::Running)
        return;
    if (state == DownloadState::Finished && !(file_ && file_->finish()))
        state = DownloadState::Failed;
    if (state != DownloadState::Finished && file_)
        file_->abandon();
    state_ = state;
    stateChanged_.emit(state);
}

std::string Download::name() const {
    if (file_)
        return file_->target().filename().string();
    return DownloadFile::safeName(suggested_);
}

double Download::progress() const {
    return webkit_download_get_estimated_progress(download_.get());
}

std::uint64_t Download::receivedBytes() const {
    return webkit_download_get_received_data_length(download_.get());
}

std::uint64_t Download::totalBytes() const {
    WebKitURIResponse* response = webkit_download_get_response(download_.get());
    return response ? webkit_uri_response_get_content_length(response) : 0;
}

} // namespace vesk
