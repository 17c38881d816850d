#include "HistoryFile.h"

#include <chrono>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace vesk::test {

namespace {

std::optional<std::string> stringValue(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string value = text ? text : "";
    free(text);
    return value;
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
    const auto path = dataDir / "Vesk" / "history.plist";
    std::vector<StoredHistoryEntry> entries;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return entries;
    const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    plist_t root = nullptr;
    plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &root);
    if (!root || plist_get_node_type(root) != PLIST_ARRAY) {
        ADD_FAILURE() << path << " is not a property-list array";
        if (root)
            plist_free(root);
        return entries;
    }
    for (uint32_t i = 0; i < plist_array_get_size(root); ++i) {
        plist_t item = plist_array_get_item(root, i);
        StoredHistoryEntry entry;
        if (plist_get_node_type(item) == PLIST_DICT) {
            entry.url = stringValue(item, "url");
            entry.title = stringValue(item, "title");
            entry.date = realValue(item, "date");
        }
        entries.push_back(std::move(entry));
    }
    plist_free(root);
    return entries;
}

double secondsSince1970() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

} // namespace vesk::test
