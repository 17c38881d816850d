#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vesk {

// Where one download lands: its final name, reserved at once as an empty file so
// that no other download can take it, and a partial file beside it that holds the
// data until the download is complete. Nothing that was already there is ever
// overwritten or removed.
class DownloadFile {
public:
    // A plain file name from a server's suggestion: its last path component, with
    // control characters and leading dots dropped; "download" when nothing is left.
    static std::string safeName(const std::string& suggested);

    // Reserves "name.ext" in `folder` (created when missing), or else "name (1).ext", "name
    // (2).ext" …, and a partial file beside it; nothing when neither can be created.
    static std::optional<DownloadFile> reserve(const std::filesystem::path& folder,
                                               const std::string& suggested);

    // The file the download becomes.
    const std::filesystem::path& target() const { return target_; }
    // The file the data is written to meanwhile.
    const std::filesystem::path& partial() const { return partial_; }

    // Moves the complete partial file over its own reservation; false when the
    // reservation is no longer the empty file it was.
    bool finish() const;
    // Removes the partial file, and the reservation while it is still empty.
    void abandon() const;

private:
    DownloadFile(std::filesystem::path target, std::filesystem::path partial)
        : target_(std::move(target)), partial_(std::move(partial)) {}

    std::filesystem::path target_;
    std::filesystem::path partial_;
};

} // namespace vesk
