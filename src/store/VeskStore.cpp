#include "store/VeskStore.h"

#include "store/PlistData.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <plist/plist.h>

namespace vesk {
namespace {

namespace fs = std::filesystem;

// Far beyond any history of 200 entries; a larger file is set aside rather than loaded.
constexpr std::size_t maxFileBytes = 256u * 1024 * 1024;

std::optional<std::string> stringValue(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (text == nullptr) {
        return std::string();
    }
    // Callers hand these to the toolkit, which wants valid UTF-8.
    gchar* valid = g_utf8_make_valid(text, static_cast<gssize>(length));
    std::string result(valid);
    g_free(valid);
    return result;
}

std::optional<double> numberValue(plist_t node) {
    if (node == nullptr) {
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_UINT: {
        // Other writers may store whole seconds as an integer; libplist keeps negative
        // integers in two's complement.
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<double>(static_cast<std::int64_t>(value));
    }
    default:
        return std::nullopt;
    }
}

HistoryEntry historyEntryFrom(plist_t node) {
    HistoryEntry entry;
    if (plist_get_node_type(node) != PLIST_DICT) {
        entry.isDictionary = false;
        return entry;
    }
    entry.url = stringValue(plist_dict_get_item(node, "url"));
    entry.title = stringValue(plist_dict_get_item(node, "title"));
    entry.date = numberValue(plist_dict_get_item(node, "date"));
    return entry;
}

// What reading one store file gave.
enum class FileState { Missing, Unreadable, Damaged, Loaded };

struct LoadedFile {
    FileState state = FileState::Missing;
    PlistPtr root;
};

// Reads the property list at `file` and checks that its root has type `rootType`.
// An empty file counts as missing: it holds nothing that could be lost.
LoadedFile loadFile(const std::string& file, plist_type rootType) {
    // Non-blocking, so a FIFO planted under the file's name cannot hang the browser.
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return {errno == ENOENT ? FileState::Missing : FileState::Unreadable, nullptr};
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return {FileState::Unreadable, nullptr};
    }
    std::string data;
    bool isTooLarge = static_cast<std::uint64_t>(info.st_size) > maxFileBytes;
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
            if (data.size() > maxFileBytes) {
                isTooLarge = true;
                break;
            }
        }
    }
    close(fd);
    if (!isReadFine) {
        return {FileState::Unreadable, nullptr};
    }
    if (isTooLarge) {
        return {FileState::Damaged, nullptr};
    }
    if (data.empty()) {
        return {FileState::Missing, nullptr};
    }
    PlistPtr root = parsePlistData(data);
    if (!root || plist_get_node_type(root.get()) != rootType) {
        return {FileState::Damaged, nullptr};
    }
    return {FileState::Loaded, std::move(root)};
}

void syncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Moves a damaged file out of the way under a name no earlier one holds
// (`name.corrupt`, then `name.corrupt.1`, ...), so nothing is ever overwritten.
bool setAside(const std::string& file) {
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
            chmod(target.c_str(), S_IRUSR | S_IWUSR);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
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

// Writes `data` to a temporary file next to `file`, flushes it to disk and renames it
// over `file`, so a reader sees the old file or the new one, never a part of either.
// On any failure the temporary goes and the old file stays as it was.
bool writeAtomically(const fs::path& file, std::string_view data) {
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

// Removes temporaries that a writer killed mid-write left behind. Only called under the
// folder lock, when no other writer can be using one.
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

// An advisory lock on ".lock" in the folder, held for one read-modify-write, so that two
// running copies of the program never lose each other's changes. When the lock file
// cannot be opened the work goes on unlocked, as it would have without the lock.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) {
        const std::string lockFile = (fs::path(folder) / ".lock").string();
        fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
        while (fd >= 0 && flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd);
                fd = -1;
            }
        }
    }
    ~FolderLock() {
        if (fd >= 0) {
            close(fd);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool isHeld() const { return fd >= 0; }

private:
    int fd = -1;
};

// The file's root ready to be changed: as read, or a new empty container when the file
// is missing or was damaged and has been set aside. Nothing when the file could not be
// read or moved, in which case it must not be replaced.
PlistPtr rootForUpdate(const std::string& file, plist_type rootType) {
    LoadedFile loaded = loadFile(file, rootType);
    switch (loaded.state) {
    case FileState::Loaded:
        return std::move(loaded.root);
    case FileState::Damaged:
        if (!setAside(file)) {
            return nullptr;
        }
        break;
    case FileState::Unreadable:
        return nullptr;
    case FileState::Missing:
        break;
    }
    return PlistPtr(rootType == PLIST_ARRAY ? plist_new_array() : plist_new_dict());
}

void replaceFile(const fs::path& file, plist_t root, const FolderLock& lock) {
    if (lock.isHeld()) {
        removeStaleTemporaries(file);
    }
    writeAtomically(file, plistToXml(root));
}

double secondsSince1970() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

} // namespace

VeskStore& VeskStore::shared() {
    static VeskStore store;
    return store;
}

VeskStore::VeskStore(std::optional<std::filesystem::path> baseOverride)
    : folderOverride(std::move(baseOverride)) {}

std::string VeskStore::folderPath() const {
    if (folderOverride) {
        return folderOverride->string();
    }
    // Looked up on every call rather than through GLib's cached user folders, so the
    // folder follows the environment as it is now.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && g_path_is_absolute(dataHome)) {
        return (fs::path(dataHome) / "Vesk").string();
    }
    const char* home = std::getenv("HOME");
    const fs::path homeFolder =
        home != nullptr && g_path_is_absolute(home) ? home : g_get_home_dir();
    return (homeFolder / ".local" / "share" / "Vesk").string();
}

std::string VeskStore::basePath() {
    const std::string folder = folderPath();
    // History and passwords are private: the folder is the owner's alone, also when an
    // earlier version left it open to others.
    constexpr mode_t ownerOnly = S_IRWXU;
    g_mkdir_with_parents(folder.c_str(), ownerOnly);
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
        (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        chmod(folder.c_str(), info.st_mode & ownerOnly);
    }
    return folder;
}

std::string VeskStore::path(std::string_view fileName) {
    return (fs::path(basePath()) / fileName).string();
}

std::vector<HistoryEntry> VeskStore::loadHistory() {
    const LoadedFile loaded = loadFile(path(historyFileName), PLIST_ARRAY);
    std::vector<HistoryEntry> entries;
    if (loaded.state != FileState::Loaded) {
        return entries;
    }
    const std::uint32_t count = plist_array_get_size(loaded.root.get());
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        entries.push_back(historyEntryFrom(plist_array_get_item(loaded.root.get(), i)));
    }
    return entries;
}

void VeskStore::clearHistory() {
    const std::string folder = basePath();
    FolderLock lock(folder);
    unlink((fs::path(folder) / historyFileName).c_str());
}

void VeskStore::addHistory(std::optional<std::string_view> url,
                           std::optional<std::string_view> title) {
    if (!url || url->empty()) {
        return;
    }
    const std::string address = xmlSafeText(*url);
    const std::string name = title ? xmlSafeText(*title) : address;

    const std::string folder = basePath();
    const fs::path file = fs::path(folder) / historyFileName;
    FolderLock lock(folder);
    PlistPtr list = rootForUpdate(file.string(), PLIST_ARRAY);
    if (!list) {
        return;
    }
    const std::uint32_t count = plist_array_get_size(list.get());
    if (count > 0) {
        plist_t newest = plist_array_get_item(list.get(), 0);
        if (plist_get_node_type(newest) == PLIST_DICT) {
            plist_t newestUrl = plist_dict_get_item(newest, "url");
            if (newestUrl != nullptr && plist_get_node_type(newestUrl) == PLIST_STRING) {
                std::uint64_t length = 0;
                const char* text = plist_get_string_ptr(newestUrl, &length);
                if (text != nullptr && std::string_view(text, length) == address) {
                    return;
                }
            }
        }
    }

    plist_t entry = plist_new_dict();
    plist_dict_set_item(entry, "url", plist_new_string(address.c_str()));
    plist_dict_set_item(entry, "title", plist_new_string(name.c_str()));
    plist_dict_set_item(entry, "date", plist_new_real(secondsSince1970()));

    // A new list rather than removals from the old one: a long file is cut to the newest
    // entries in one pass, and the older entries stay exactly as they were read.
    PlistPtr updated(plist_new_array());
    plist_array_append_item(updated.get(), entry);
    const std::uint32_t kept = std::min<std::uint32_t>(count, historyLimit - 1);
    for (std::uint32_t i = 0; i < kept; ++i) {
        plist_array_append_item(updated.get(), plist_copy(plist_array_get_item(list.get(), i)));
    }
    replaceFile(file, updated.get(), lock);
}

void VeskStore::savePassword(std::optional<std::string_view> user,
                             std::optional<std::string_view> pass,
                             std::optional<std::string_view> host) {
    if (!host || host->empty()) {
        return;
    }
    const std::string hostKey = xmlSafeText(*host);
    const std::string userText = xmlSafeText(user.value_or(std::string_view()));
    const std::string passText = xmlSafeText(pass.value_or(std::string_view()));

    const std::string folder = basePath();
    const fs::path file = fs::path(folder) / vaultFileName;
    FolderLock lock(folder);
    PlistPtr vault = rootForUpdate(file.string(), PLIST_DICT);
    if (!vault) {
        return;
    }
    plist_t record = plist_new_dict();
    plist_dict_set_item(record, "user", plist_new_string(userText.c_str()));
    plist_dict_set_item(record, "pass", plist_new_string(passText.c_str()));
    plist_dict_set_item(vault.get(), hostKey.c_str(), record);
    replaceFile(file, vault.get(), lock);
}

} // namespace vesk
