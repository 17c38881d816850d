#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <sigc++/signal.h>

#include "base/GObjectPtr.h"
#include "store/DownloadFile.h"

typedef struct _WebKitDownload WebKitDownload;

namespace vesk {

enum class DownloadState { Running, Finished, Failed, Cancelled };

// One download of the engine's, written under a partial name beside a target
// reserved in `folder`, and moved into place only once it is complete. A
// download that fails or is cancelled leaves nothing behind.
class Download {
public:
    // Asks the user where to save a download offered under `name`; `answer` gets the
    // file chosen, or nothing for a cancel.
    using FileQuestion = std::function<void(
        const std::string& name, std::function<void(std::optional<std::filesystem::path>)> answer)>;

    // Saves into `folder`; with `ask`, into the folder of the file the user chooses
    // instead, under that file's name made safe and unique the same way.
    Download(WebKitDownload* download, std::filesystem::path folder, FileQuestion ask = nullptr);
    // A download still running is cancelled and its files removed.
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    void cancel();

    DownloadState state() const { return state_; }
    // The file name it is saved under, or the one it asked for before that is decided.
    std::string name() const;
    // The complete file; empty before the name is decided.
    std::filesystem::path file() const { return file_ ? file_->target() : std::filesystem::path(); }
    double progress() const;
    std::uint64_t receivedBytes() const;
    // The length the server announced; 0 when it gave none.
    std::uint64_t totalBytes() const;

    // Bytes arrived.
    sigc::signal<void()>& signalProgress() { return progress_; }
    // It finished, failed or was cancelled.
    sigc::signal<void(DownloadState)>& signalStateChanged() { return stateChanged_; }

private:
    static int onDecideDestination(WebKitDownload*, const char* suggested, Download* self);
    // Saves in `folder` under `name`, or cancels when no file can be reserved there.
    void saveIn(const std::filesystem::path& folder, const std::string& name);
    void end(DownloadState state);

    // Expires with this object, for an answer that comes after it has gone.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);

    GObjectPtr<WebKitDownload> download_;
    std::filesystem::path folder_;
    FileQuestion ask_;
    std::optional<DownloadFile> file_;
    std::string suggested_;
    DownloadState state_ = DownloadState::Running;
    bool cancelRequested_ = false;
    sigc::signal<void()> progress_;
    sigc::signal<void(DownloadState)> stateChanged_;
};

} // namespace vesk
