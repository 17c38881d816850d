#include "store/SessionFile.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <system_error>

#include <glib.h>

#include "store/PlistData.h"
#include "store/PlistFile.h"

namespace vesk {

namespace {

bool isKeptText(const std::string& text, bool mayBeEmpty) {
    return (mayBeEmpty || !text.empty()) && text.size() <= sessionMaxTextBytes &&
           isStorableText(text);
}

plist_t stringNode(const std::string& text) {
    return plist_new_string(isKeptText(text, true) ? text.c_str() : "");
}

std::vector<SessionFolder> readFolders(plist_t array) {
    std::vector<SessionFolder> folders;
    std::set<std::string> seen;
    for (plist_t item : arrayItems(array)) {
        const auto id = dictionaryString(item, "id");
        const auto name = dictionaryString(item, "name");
        plist_t expanded = plist_dict_get_item(item, "expanded");
        if (folders.size() == sessionMaxTabs || !id || !name || !isKeptText(*id, false) ||
            !isKeptText(*name, true) || !seen.insert(*id).second)
            continue;
        uint8_t isExpanded = 1;
        if (expanded && plist_get_node_type(expanded) == PLIST_BOOLEAN)
            plist_get_bool_val(expanded, &isExpanded);
        folders.push_back({*id, *name, isExpanded != 0});
    }
    return folders;
}

// A restored address loads as it was stored, so a script address would run in
// whatever page the tab shows: such a tab is dropped.
bool isSafeToRestore(const std::string& address) {
    // The scheme comes lower-cased, and GLib keeps it.
    const char* scheme = g_uri_peek_scheme(address.c_str());
    return !scheme || std::string_view(scheme) != "javascript";
}

// A tab's saved page state; a value of another kind, or too large, reads as none.
std::vector<std::uint8_t> readState(plist_t tab) {
    plist_t node = plist_dict_get_item(tab, "state");
    if (!node || plist_get_node_type(node) != PLIST_DATA)
        return {};
    std::uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node, &length);
    if (!bytes || length > sessionMaxStateBytes)
        return {};
    return std::vector<std::uint8_t>(bytes, bytes + length);
}

} // namespace

std::optional<SessionState> readSession(const std::filesystem::path& file) {
    const LoadedPlistFile loaded = loadPlistFile(file, PLIST_DICT);
    if (loaded.state == PlistFileState::Damaged)
        setAsideDamagedFile(file);
    if (loaded.state != PlistFileState::Loaded)
        return std::nullopt;
    plist_t root = loaded.root.get();

    SessionState state;
    state.folders = readFolders(plist_dict_get_item(root, "folders"));
    std::set<std::string> folderIds;
    for (const SessionFolder& folder : state.folders)
        folderIds.insert(folder.folderId);

    // A dropped tab moves the selection with the tabs after it, so that it stays on its tab.
    const std::int64_t selected = dictionaryInteger(root, "selected").value_or(0);
    std::int64_t keptSelection = 0;
    std::int64_t index = 0;
    for (plist_t item : arrayItems(plist_dict_get_item(root, "tabs"))) {
        const bool isSelected = index++ == selected;
        const auto address = dictionaryString(item, "address");
        if (state.tabs.size() == sessionMaxTabs || !address || !isKeptText(*address, true) ||
            !isSafeToRestore(*address)) {
            if (isSelected)
                keptSelection = std::max<std::int64_t>(std::ssize(state.tabs) - 1, 0);
            continue;
        }
        std::string folder = dictionaryString(item, "folder").value_or("");
        if (!folderIds.contains(folder))
            folder.clear();
        state.tabs.push_back({*address, folder, readState(item)});
        if (isSelected)
            keptSelection = std::ssize(state.tabs) - 1;
    }
    state.selectedIndex = static_cast<std::size_t>(keptSelection);
    plist_t sidebar = plist_dict_get_item(root, "sidebar");
    uint8_t isSidebar = 0;
    if (sidebar && plist_get_node_type(sidebar) == PLIST_BOOLEAN)
        plist_get_bool_val(sidebar, &isSidebar);
    state.isSidebarMode = isSidebar != 0;
    return state;
}

bool writeSession(const std::filesystem::path& file, const SessionState& state) {
    PlistPtr root(plist_new_dict());
    plist_t tabs = plist_new_array();
    for (const SessionTab& tab : state.tabs) {
        plist_t item = plist_new_dict();
        plist_dict_set_item(item, "address", stringNode(tab.address));
        plist_dict_set_item(item, "folder", stringNode(tab.folderId));
        // A key of its own, which readers that do not know it pass over.
        if (!tab.state.empty() && tab.state.size() <= sessionMaxStateBytes)
            plist_dict_set_item(
                item, "state",
                newPlistData({reinterpret_cast<const char*>(tab.state.data()), tab.state.size()}));
        plist_array_append_item(tabs, item);
    }
    plist_t folders = plist_new_array();
    for (const SessionFolder& folder : state.folders) {
        plist_t item = plist_new_dict();
        plist_dict_set_item(item, "id", stringNode(folder.folderId));
        plist_dict_set_item(item, "name", stringNode(folder.name));
        plist_dict_set_item(item, "expanded", plist_new_bool(folder.isExpanded));
        plist_array_append_item(folders, item);
    }
    plist_dict_set_item(root.get(), "tabs", tabs);
    plist_dict_set_item(root.get(), "folders", folders);
    plist_dict_set_item(root.get(), "selected", plist_new_uint(state.selectedIndex));
    plist_dict_set_item(root.get(), "sidebar", plist_new_bool(state.isSidebarMode));
    return writeFileAtomically(file, plistToXml(root.get()));
}

void removeSession(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

} // namespace vesk
