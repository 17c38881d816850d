#include "store/VeskStore.h"

#include "store/PlistData.h"
#include "store/PlistFile.h"

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

// The text as given, with bad UTF-8 replaced: callers hand it to the toolkit.
std::optional<std::string> validText(std::optional<std::string> text) {
    if (!text) {
        return text;
    }
    gchar* valid = g_utf8_make_valid(text->data(), static_cast<gssize>(text->size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

HistoryEntry historyEntryFrom(plist_t node) {
    HistoryEntry entry;
    if (plist_get_node_type(node) != PLIST_DICT) {
        entry.isDictionary = false;
        return entry;
    }
    entry.url = validText(dictionaryString(node, "url"));
    entry.title = validText(dictionaryString(node, "title"));
    entry.date = dictionaryReal(node, "date");
    if (!entry.date) {
        // Other writers may store whole seconds as an integer.
        if (const auto wholeSeconds = dictionaryInteger(node, "date")) {
            entry.date = static_cast<double>(*wholeSeconds);
        }
    }
    return entry;
}

void replaceFile(const fs::path& file, plist_t root, const FileLock& lock) {
    if (lock.isHeld()) {
        removeStaleTemporaries(file);
    }
    writeFileAtomically(file, plistToXml(root));
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
    const LoadedPlistFile loaded = loadPlistFile(path(historyFileName), PLIST_ARRAY);
    std::vector<HistoryEntry> entries;
    if (loaded.state != PlistFileState::Loaded) {
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
    FileLock lock(fs::path(folder) / ".lock");
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
    FileLock lock(fs::path(folder) / ".lock");
    PlistPtr list = loadPlistForUpdate(file, PLIST_ARRAY);
    if (!list) {
        return;
    }
    const std::uint32_t count = plist_array_get_size(list.get());
    if (count > 0) {
        plist_t newest = plist_array_get_item(list.get(), 0);
        if (plist_get_node_type(newest) == PLIST_DICT &&
            dictionaryString(newest, "url") == address) {
            return;
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
    FileLock lock(fs::path(folder) / ".lock");
    PlistPtr vault = loadPlistForUpdate(file, PLIST_DICT);
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
