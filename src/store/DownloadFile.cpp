#include "store/DownloadFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gstdio.h>

namespace vesk {

namespace {

// Leaves room for " (123)" and the partial file's suffix within a file name's 255 bytes.
constexpr std::size_t kMaxNameBytes = 200;
constexpr int kMaxNumber = 9999;
constexpr int kFolderMode = 0755;
constexpr int kFileMode = 0666;

// Creates `path` empty, failing when anything (a file, a link) is already there.
bool createExclusive(const std::filesystem::path& path) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

// Where " (n)" goes: before the extension, and before both parts of ".tar.gz" and the like.
std::size_t numberPosition(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return name.size();
    const std::size_t inner = name.rfind('.', dot - 1);
    if (inner != std::string::npos && inner > 0 && name.compare(inner, dot - inner, ".tar") == 0)
        return inner;
    return dot;
}

bool isEmptyRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

} // namespace

std::string DownloadFile::safeName(const std::string& suggested) {
    std::string name = suggested.substr(suggested.find_last_of("/\\") + 1);
    std::erase_if(name, [](unsigned char c) { return c < 0x20 || c == 0x7f; });
    name.erase(0, name.find_first_not_of(". "));
    if (name.size() > kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes;
        // Never cut a UTF-8 character in two.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return name.empty() ? "download" : name;
}

std::optional<DownloadFile> DownloadFile::reserve(const std::filesystem::path& folder,
                                                  const std::string& suggested) {
    g_mkdir_with_parents(folder.c_str(), kFolderMode);
    const std::string name = safeName(suggested);
    const std::size_t at = numberPosition(name);
    for (int n = 0; n <= kMaxNumber; ++n) {
        const std::string candidate =
            n == 0 ? name : name.substr(0, at) + " (" + std::to_string(n) + ")" + name.substr(at);
        const std::filesystem::path target = folder / candidate;
        if (!createExclusive(target)) {
            if (errno == EEXIST)
                continue;
            return std::nullopt;
        }
        // Hidden, and unique among every download of this name.
        std::string partial = (folder / ("." + candidate + ".XXXXXX.part")).string();
        const int fd = g_mkstemp_full(partial.data(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC, kFileMode);
        if (fd < 0) {
            g_unlink(target.c_str());
            return std::nullopt;
        }
        close(fd);
        return DownloadFile(target, partial);
    }
    return std::nullopt;
}

bool DownloadFile::finish() const {
    if (!isEmptyRegularFile(target_))
        return false;
    return g_rename(partial_.c_str(), target_.c_str()) == 0;
}

void DownloadFile::abandon() const {
    g_unlink(partial_.c_str());
    if (isEmptyRegularFile(target_))
        g_unlink(target_.c_str());
}

} // namespace vesk
