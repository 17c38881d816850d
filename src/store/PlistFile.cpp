#include "store/PlistFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

namespace vesk {

namespace fs = std::filesystem;

namespace {

// The temporaries g_file_set_contents_full makes beside `file`, and the hidden ones
// earlier versions of the program made: each the prefix and six random characters.
constexpr std::size_t temporarySuffixLength = 6;

std::array<std::string, 2> temporaryPrefixes(const fs::path& file) {
    const std::string name = file.filename().string();
    return {name + ".", "." + name + "."};
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
    return {PlistFileState::Loaded, std::move(root), plistFormatOf(data), isReadExactly(data)};
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

std::optional<DictionaryUpdate> loadDictionaryForUpdate(const fs::path& file, PlistFormat format,
                                                        ForeignFormat foreign) {
    LoadedPlistFile loaded = loadPlistFile(file, PLIST_DICT);
    switch (loaded.state) {
    case PlistFileState::Unreadable:
        return std::nullopt;
    case PlistFileState::Missing:
        return DictionaryUpdate{};
    case PlistFileState::Damaged:
        if (!setAsideDamagedFile(file)) {
            return std::nullopt;
        }
        return DictionaryUpdate{};
    case PlistFileState::Loaded:
        break;
    }
    KeptItems kept = keptDictionaryItems(loaded.root.get(), format);
    const bool isForeign = foreign == ForeignFormat::IsSetAside && loaded.format != format;
    if (!kept.isWhole || !loaded.isReadExactly || isForeign) {
        kept.isWhole = false;
        if (!setAsideCopy(file)) {
            return std::nullopt;
        }
    }
    return DictionaryUpdate{std::move(loaded.root), std::move(kept)};
}

bool setAsideCopy(const fs::path& path) {
    const std::string file = path.string();
    struct stat original {};
    if (lstat(file.c_str(), &original) != 0 || !S_ISREG(original.st_mode)) {
        return false;
    }
    constexpr int maxAttempts = 1000;
    for (int n = 0; n < maxAttempts; ++n) {
        std::string target = file + ".corrupt";
        if (n > 0) {
            target += "." + std::to_string(n);
        }
        // A link takes no space, so a full disk does not stop it, and the file stays
        // whole where it is until the new one replaces it.
        if (link(file.c_str(), target.c_str()) == 0) {
            makeOwnerOnly(target);
            return true;
        }
        if (errno != EEXIST) {
            // A file system without hard links: a copy of the bytes.
            gchar* bytes = nullptr;
            gsize length = 0;
            struct stat existing {};
            if (lstat(target.c_str(), &existing) == 0) {
                continue;
            }
            const bool isCopied = g_file_get_contents(file.c_str(), &bytes, &length, nullptr) &&
                                  writeFileAtomically(target, std::string_view(bytes, length));
            g_free(bytes);
            return isCopied;
        }
        struct stat existing {};
        if (lstat(target.c_str(), &existing) == 0 && existing.st_dev == original.st_dev &&
            existing.st_ino == original.st_ino) {
            return true;
        }
    }
    return false;
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
    // GLib writes an owner-only temporary beside the file, flushes it, renames it over
    // the file and flushes the folder, and removes the temporary when anything fails.
    constexpr int ownerOnly = S_IRUSR | S_IWUSR;
    return g_file_set_contents_full(
        file.c_str(), data.data(), static_cast<gssize>(data.size()),
        static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT |
                                           G_FILE_SET_CONTENTS_DURABLE),
        ownerOnly, nullptr);
}

void removeStaleTemporaries(const fs::path& file) {
    const auto prefixes = temporaryPrefixes(file);
    std::error_code error;
    for (fs::directory_iterator it(file.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        for (const std::string& prefix : prefixes) {
            if (name.size() == prefix.size() + temporarySuffixLength && name.starts_with(prefix)) {
                unlink(it->path().c_str());
            }
        }
    }
}

bool replacePlistFile(const fs::path& file, plist_t root, const FileLock& held) {
    const std::string xml = plistToXml(root);
    if (xml.empty() || !isWithinPlistLimits(xml)) {
        return false;
    }
    if (held.isHeld()) {
        removeStaleTemporaries(file);
    }
    return writeFileAtomically(file, xml);
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

} // namespace vesk
