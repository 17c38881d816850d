#include "StoredFiles.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace vesk::test {

namespace {

using PlistPtr = std::unique_ptr<void, decltype(&plist_free)>;

// The file's root node when it is of `type`; null for a missing file.
PlistPtr readPlist(const std::filesystem::path& path, plist_type type) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {nullptr, plist_free};
    const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    plist_t root = nullptr;
    plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &root);
    PlistPtr owned(root, plist_free);
    if (!root || plist_get_node_type(root) != type) {
        ADD_FAILURE() << path << " is not the expected kind of property list";
        owned.reset();
    }
    return owned;
}

std::optional<std::string> stringValue(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    return std::string(plist_get_string_ptr(node, nullptr));
}

std::optional<double> realValue(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_REAL)
        return std::nullopt;
    double value = 0.0;
    plist_get_real_val(node, &value);
    return value;
}

} // namespace

std::vector<StoredHistoryEntry> readHistoryFile(const std::filesystem::path& dataDir) {
    std::vector<StoredHistoryEntry> entries;
    PlistPtr root = readPlist(dataDir / "Vesk" / "history.plist", PLIST_ARRAY);
    for (uint32_t i = 0; root && i < plist_array_get_size(root.get()); ++i) {
        plist_t item = plist_array_get_item(root.get(), i);
        StoredHistoryEntry entry;
        if (plist_get_node_type(item) == PLIST_DICT)
            entry = {stringValue(item, "url"), stringValue(item, "title"), realValue(item, "date")};
        entries.push_back(std::move(entry));
    }
    return entries;
}

StoredVault readVaultFile(const std::filesystem::path& dataDir) {
    StoredVault vault;
    PlistPtr root = readPlist(dataDir / "Vesk" / "vault.plist", PLIST_DICT);
    plist_dict_iter it = nullptr;
    if (root)
        plist_dict_new_iter(root.get(), &it);
    char* host = nullptr;
    plist_t record = nullptr;
    while (it && (plist_dict_next_item(root.get(), it, &host, &record), host)) {
        vault[host] = {stringValue(record, "user").value_or("<absent>"),
                       stringValue(record, "pass").value_or("<absent>")};
        free(std::exchange(host, nullptr));
    }
    free(it);
    return vault;
}

double secondsSince1970() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

} // namespace vesk::test
