#include "store/PlistFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesk {

namespace fs = std::filesystem;

namespace {

void syncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t wrote = write(fd, data.data(), data.size());
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

std::string temporaryPrefix(const fs::path& file) {
    return "." + file.filename().string() + ".";
}

// Makes a set-aside copy owner-only without following a link: a link keeps its own
// mode, and whatever it points to is left alone.
void makeOwnerOnly(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode)) {
        return;
    }
    const mode_t ownerOnly = S_ISDIR(info.st_mode) ? S_IRWXU : S_IRUSR | S_IWUSR;
    fchmodat(AT_FDCWD, path.c_str(), ownerOnly, AT_SYMLINK_NOFOLLOW);
}

// Whether `name` is `prefix` followed by nothing or by "." and digits.
bool isNumberedName(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) {
        return false;
    }
    name.remove_prefix(prefix.size());
    if (name.empty()) {
        return true;
    }
    if (name.size() < 2 || name.front() != '.') {
        return false;
    }
    return std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

LoadedPlistFile loadPlistFile(const fs::path& file, plist_type rootType) {
    // Only a regular file is read: a link is never followed, and a device or a FIFO
    // planted under the file's name is never opened, so it cannot hang or misdirect us.
    struct stat info {};
    if (lstat(file.c_str(), &info) != 0) {
        return {errno == ENOENT ? PlistFileState::Missing : PlistFileState::Unreadable, nullptr};
    }
    if (!S_ISREG(info.st_mode)) {
        return {PlistFileState::Damaged, nullptr};
    }
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // Replaced since the lstat: by a link, or by nothing.
        if (errno == ELOOP) {
            return {PlistFileState::Damaged, nullptr};
        }
        return {errno == ENOENT ? PlistFileState::Missing : PlistFileState::Unreadable, nullptr};
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return {PlistFileState::Damaged, nullptr};
    }
    std::string data;
    bool isTooLarge = static_cast<std::uint64_t>(info.st_size) > plistMaxBytes;
    bool isReadFine = true;
    if (!isTooLarge) {
        char buffer[65536];
        for (;;) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                isReadFine = false;
                break;
            }
            if (got == 0) {
                break;
            }
            data.append(buffer, static_cast<std::size_t>(got));
            if (data.size() > plistMaxBytes) {
                isTooLarge = true;
                break;
            }
        }
    }
    close(fd);
    if (!isReadFine) {
        return {PlistFileState::Unreadable, nullptr};
    }
    if (isTooLarge) {
        return {PlistFileState::Damaged, nullptr};
    }
    if (data.empty()) {
        return {PlistFileState::Missing, nullptr};
    }
    PlistPtr root = parsePlistData(data);
    if (!root || plist_get_node_type(root.get()) != rootType) {
        return {PlistFileState::Damaged, nullptr};
    }
    return {PlistFileState::Loaded, std::move(root)};
}

PlistPtr loadPlistForUpdate(const fs::path& file, plist_type rootType) {
    LoadedPlistFile loaded = loadPlistFile(file, rootType);
    switch (loaded.state) {
    case PlistFileState::Loaded:
        return std::move(loaded.root);
    case PlistFileState::Damaged:
        if (!setAsideDamagedFile(file)) {
            return nullptr;
        }
        break;
    case PlistFileState::Unreadable:
        return nullptr;
    case PlistFileState::Missing:
        break;
    }
    return PlistPtr(rootType == PLIST_ARRAY ? plist_new_array() : plist_new_dict());
}

bool setAsideDamagedFile(const fs::path& path) {
    const std::string file = path.string();
    constexpr int maxAttempts = 1000;
    for (int n = 0; n < maxAttempts; ++n) {
        std::string target = file + ".corrupt";
        if (n > 0) {
            target += "." + std::to_string(n);
        }
        int moved = renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // The file system cannot refuse to replace; the folder lock keeps other copies
            // of the program from racing this check.
            struct stat existing {};
            if (lstat(target.c_str(), &existing) == 0) {
                continue;
            }
            moved = rename(file.c_str(), target.c_str());
        }
        if (moved == 0) {
            makeOwnerOnly(target);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

void removeSetAsideCopies(const fs::path& file) {
    const std::string prefix = file.filename().string() + ".corrupt";
    std::error_code error;
    for (fs::directory_iterator it(file.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        // unlink removes a link itself and refuses folders.
        if (isNumberedName(name, prefix)) {
            unlink(it->path().c_str());
        }
    }
}

bool writeFileAtomically(const fs::path& file, std::string_view data) {
    std::string temporary = (file.parent_path() / (temporaryPrefix(file) + "XXXXXX")).string();
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool isWritten = fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, data) && fsync(fd) == 0;
    if (close(fd) != 0) {
        isWritten = false;
    }
    if (isWritten && rename(temporary.c_str(), file.c_str()) != 0) {
        isWritten = false;
    }
    if (!isWritten) {
        unlink(temporary.c_str());
        return false;
    }
    syncFolder(file.parent_path().string());
    return true;
}

void removeStaleTemporaries(const fs::path& file) {
    const std::string prefix = temporaryPrefix(file);
    constexpr std::size_t suffixLength = 6;
    std::error_code error;
    for (fs::directory_iterator it(file.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + suffixLength && name.starts_with(prefix)) {
            unlink(it->path().c_str());
        }
    }
}

FileLock::FileLock(const fs::path& lockFile, std::chrono::milliseconds patience) {
    fd_ = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (fd_ < 0) {
        return;
    }
    // Never a blocking flock: the caller may be the UI thread. Short steps keep the
    // wait close to the holder's release.
    constexpr auto step = std::chrono::milliseconds(2);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            return;
        }
        const bool isHeldElsewhere = errno == EWOULDBLOCK || errno == EINTR;
        if (!isHeldElsewhere || std::chrono::steady_clock::now() >= deadline) {
            isBusy_ = isHeldElsewhere;
            close(fd_);
            fd_ = -1;
            return;
        }
        std::this_thread::sleep_for(step);
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

fs::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && fs::path(home).is_absolute()) {
        return home;
    }
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && fs::path(found->pw_dir).is_absolute()) {
        return found->pw_dir;
    }
    return {};
}

} // namespace vesk
