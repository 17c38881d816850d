#include "theme/UserDefaults.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <glib.h>
#include <plist/plist.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesk {

namespace {

using PlistPtr = UserDefaults::PlistPtr;

// A defaults file holds a handful of keys. The bounds keep a damaged or
// hostile file away from the property-list library's recursion: a binary
// list cannot nest deeper than it has objects.
constexpr std::size_t kMaxFileBytes = 1024 * 1024;
constexpr std::uint64_t kMaxBinaryObjects = 20000;
constexpr int kMaxNesting = 1000;
constexpr int kMaxSetAsideNames = 1000;

enum class FileKind { Missing, Dictionary, Damaged };

struct FileState {
    FileKind kind = FileKind::Missing;
    PlistPtr dictionary;
};

// A descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

bool binaryObjectCountIsBounded(const std::string& bytes) {
    // The trailer's last 32 bytes hold the object count at offset 8.
    if (bytes.size() < 32)
        return true;
    const auto* trailer = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size() - 32;
    return bigEndian(trailer + 8, 8) <= kMaxBinaryObjects;
}

// Whether containers inside `root` nest deeper than `limit`, walked without
// recursion so that the check itself cannot overflow the stack.
bool nestsDeeperThan(plist_t root, int limit) {
    std::vector<std::pair<plist_t, int>> pending{{root, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        const plist_type type = plist_get_node_type(node);
        if (type != PLIST_ARRAY && type != PLIST_DICT)
            continue;
        if (depth >= limit)
            return true;
        if (type == PLIST_ARRAY) {
            plist_array_iter it = nullptr;
            plist_array_new_iter(node, &it);
            for (plist_t item = nullptr;;) {
                plist_array_next_item(node, it, &item);
                if (item == nullptr)
                    break;
                pending.emplace_back(item, depth + 1);
            }
            std::free(it);
        } else {
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            for (;;) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, it, &key, &item);
                std::free(key);
                if (item == nullptr)
                    break;
                pending.emplace_back(item, depth + 1);
            }
            std::free(it);
        }
    }
    return false;
}

bool readAll(int fd, std::string& out) {
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        out.append(buffer, static_cast<std::size_t>(got));
        if (out.size() > kMaxFileBytes)
            return false;
    }
}

FileState readDefaultsFile(const std::filesystem::path& file) {
    FileState state;
    if (file.empty())
        return state;
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        // Anything there that cannot be opened is kept out of harm's way too.
        state.kind = (errno == ENOENT || errno == ENOTDIR) ? FileKind::Missing : FileKind::Damaged;
        return state;
    }
    state.kind = FileKind::Damaged;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return state;
    std::string bytes;
    if (!readAll(fd.get(), bytes))
        return state;
    if (bytes.empty()) {
        // An empty file holds nothing that a save could lose.
        state.kind = FileKind::Dictionary;
        state.dictionary.reset(plist_new_dict());
        return state;
    }
    plist_t root = nullptr;
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (plist_is_binary(bytes.data(), length) != 0) {
        if (!binaryObjectCountIsBounded(bytes))
            return state;
        plist_from_bin(bytes.data(), length, &root);
    } else {
        plist_from_xml(bytes.data(), length, &root);
    }
    PlistPtr owned(root);
    if (!owned || plist_get_node_type(owned.get()) != PLIST_DICT ||
        nestsDeeperThan(owned.get(), kMaxNesting))
        return state;
    state.kind = FileKind::Dictionary;
    state.dictionary = std::move(owned);
    return state;
}

bool sameFile(const std::filesystem::path& a, const struct stat& b) {
    struct stat info {};
    return ::lstat(a.c_str(), &info) == 0 && info.st_dev == b.st_dev && info.st_ino == b.st_ino;
}

// Moves a damaged file out of the way under a name no earlier one holds, so
// that the save that follows destroys nothing. A hard link keeps the file in
// place until the new one replaces it; where links are not possible, a rename
// that refuses to replace does the job.
bool setAside(const std::filesystem::path& file) {
    struct stat original {};
    if (::lstat(file.c_str(), &original) != 0)
        return errno == ENOENT;
    for (int i = 0; i < kMaxSetAsideNames; ++i) {
        std::string aside = file.string() + ".corrupt";
        if (i > 0)
            aside += "." + std::to_string(i);
        if (sameFile(aside, original))
            return true; // set aside by an earlier save that could not write
        if (::link(file.c_str(), aside.c_str()) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool writeAll(int fd, const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t put = ::write(fd, bytes, length);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        length -= static_cast<std::size_t>(put);
    }
    return true;
}

// Writes a temporary file beside `file`, flushes it to disk and renames it
// over `file`, so that readers see the old contents or the new, never a part.
bool writeAtomically(const std::filesystem::path& file, const char* bytes, std::size_t length) {
    std::string temporary = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX"));
    Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    const bool written = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), bytes, length) &&
                         ::fsync(fd.get()) == 0 && ::close(fd.release()) == 0 &&
                         ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new contents are in place either way.
    Fd folder(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return true;
}

// Holds an advisory lock on a file beside the defaults, so that two running
// copies do not lose each other's keys between read and write.
class SaveLock {
public:
    explicit SaveLock(const std::filesystem::path& file)
        : fd_(::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_.get() >= 0) {
            while (::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }

private:
    Fd fd_;
};

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && std::filesystem::path(home).is_absolute())
        return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr &&
        std::filesystem::path(found->pw_dir).is_absolute())
        return found->pw_dir;
    return {};
}

} // namespace

void UserDefaults::PlistFree::operator()(void* node) const {
    plist_free(node);
}

std::filesystem::path UserDefaults::standardFile() {
    std::filesystem::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG path is invalid by the XDG rules and is ignored.
    if (config != nullptr && std::filesystem::path(config).is_absolute()) {
        base = config;
    } else {
        const std::filesystem::path home = homeFolder();
        if (home.empty())
            return {};
        base = home / ".config";
    }
    return base / "Vesk" / "defaults.plist";
}

UserDefaults UserDefaults::standard() {
    return UserDefaults(standardFile());
}

UserDefaults::UserDefaults(std::filesystem::path file) : file_(std::move(file)) {
    FileState state = readDefaultsFile(file_);
    values_ = state.kind == FileKind::Dictionary ? std::move(state.dictionary)
                                                 : PlistPtr(plist_new_dict());
}

UserDefaults::~UserDefaults() = default;
UserDefaults::UserDefaults(UserDefaults&&) noexcept = default;
UserDefaults& UserDefaults::operator=(UserDefaults&&) noexcept = default;

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
    plist_t node = plist_dict_get_item(values_.get(), std::string(key).c_str());
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (text == nullptr)
        return std::nullopt;
    return std::string(text, length);
}

std::optional<std::vector<std::uint8_t>> UserDefaults::dataForKey(std::string_view key) const {
    plist_t node = plist_dict_get_item(values_.get(), std::string(key).c_str());
    if (node == nullptr || plist_get_node_type(node) != PLIST_DATA)
        return std::nullopt;
    std::uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node, &length);
    if (bytes == nullptr)
        return std::vector<std::uint8_t>{};
    return std::vector<std::uint8_t>(bytes, bytes + length);
}

void UserDefaults::setString(std::string_view key, const std::optional<std::string>& value) {
    if (!value) {
        setValue(key, nullptr);
        return;
    }
    gchar* valid = g_utf8_make_valid(value->data(), static_cast<gssize>(value->size()));
    setValue(key, PlistPtr(plist_new_string(valid)));
    g_free(valid);
}

void UserDefaults::setData(std::string_view key,
                           const std::optional<std::vector<std::uint8_t>>& value) {
    if (!value) {
        setValue(key, nullptr);
        return;
    }
    setValue(key,
             PlistPtr(plist_new_data(reinterpret_cast<const char*>(value->data()), value->size())));
}

void UserDefaults::setValue(std::string_view key, PlistPtr value) {
    const std::string name(key);
    if (value)
        plist_dict_set_item(values_.get(), name.c_str(), plist_copy(value.get()));
    else
        plist_dict_remove_item(values_.get(), name.c_str());
    changes_.insert_or_assign(name, std::move(value));
}

bool UserDefaults::synchronize() {
    if (changes_.empty())
        return true;
    if (file_.empty())
        return false;
    if (!file_.parent_path().empty()) {
        std::error_code error;
        std::filesystem::create_directories(file_.parent_path(), error);
        if (error)
            return false;
    }

    SaveLock lock(file_);
    // Merge over the file as it is now, so that keys written meanwhile by
    // another copy or by hand survive this save.
    FileState current = readDefaultsFile(file_);
    if (current.kind == FileKind::Damaged && !setAside(file_))
        return false;
    PlistPtr merged = current.kind == FileKind::Dictionary ? std::move(current.dictionary)
                                                           : PlistPtr(plist_new_dict());
    for (const auto& [key, value] : changes_) {
        if (value)
            plist_dict_set_item(merged.get(), key.c_str(), plist_copy(value.get()));
        else
            plist_dict_remove_item(merged.get(), key.c_str());
    }

    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(merged.get(), &bytes, &length);
    if (bytes == nullptr)
        return false;
    // Never put down a file that would not read back.
    plist_t check = nullptr;
    plist_from_bin(bytes, length, &check);
    const bool readsBack = check != nullptr;
    if (check != nullptr)
        plist_free(check);
    const bool written = readsBack && writeAtomically(file_, bytes, length);
    plist_to_bin_free(bytes);
    if (!written)
        return false;

    values_ = std::move(merged);
    changes_.clear();
    return true;
}

} // namespace vesk
