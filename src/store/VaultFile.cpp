#include "store/VaultFile.h"

#include <cstdint>
#include <set>
#include <utility>

#include "store/PlistData.h"
#include "store/PlistFile.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

using VaultRecords = std::map<std::string, SavedPassword, std::less<>>;
// What the companion file says of one host's record: whether it was typed on an https
// page, and the origin it was typed on (empty when not known).
struct Mark {
    bool isSecure = false;
    std::string origin;
    bool operator==(const Mark&) const = default;
};
using Marks = std::map<std::string, Mark, std::less<>>;

constexpr const char* kSecureKey = "secure";
constexpr const char* kOriginKey = "origin";

bool boolValue(plist_t node) {
    std::uint8_t value = 0;
    if (node != nullptr && plist_get_node_type(node) == PLIST_BOOLEAN) {
        plist_get_bool_val(node, &value);
    }
    return value != 0;
}

// The companion file's marks: a host holding true (as older files have it) is secure, one
// holding a dictionary has its "secure" flag and its "origin"; anything else is no mark.
Marks companionMarks(plist_t security) {
    Marks marks;
    for (const auto& [host, item] : dictionaryItems(security)) {
        Mark mark;
        if (plist_get_node_type(item) == PLIST_DICT) {
            mark.isSecure = boolValue(plist_dict_get_item(item, kSecureKey));
            const std::optional<std::string> origin = dictionaryString(item, kOriginKey);
            mark.origin = origin && isStorableText(*origin) ? *origin : "";
        } else {
            mark.isSecure = boolValue(item);
        }
        if (mark != Mark{}) {
            marks.emplace(host, std::move(mark));
        }
    }
    return marks;
}

// The vault's records that pass their checks, made afresh: a storable host, once, with a
// storable user name and password. Their security and origin come from the companion
// file, which may be null: a record it does not mark is Insecure and of no known origin.
VaultRecords vaultRecords(plist_t vault, plist_t security) {
    const Marks marks = security != nullptr ? companionMarks(security) : Marks();
    VaultRecords records;
    std::set<std::string, std::less<>> hosts;
    for (const auto& [host, record] : dictionaryItems(vault)) {
        bool isUsable = plist_get_node_type(record) == PLIST_DICT && isStorableText(host) &&
                        hosts.insert(host).second;
        const auto user = isUsable ? checkedDictionaryText(record, "user", isUsable) : std::nullopt;
        const auto pass = isUsable ? checkedDictionaryText(record, "pass", isUsable) : std::nullopt;
        if (!isUsable || !user || !pass) {
            continue;
        }
        const auto mark = marks.find(host);
        const Mark found = mark != marks.end() ? mark->second : Mark{};
        records.emplace(
            host, SavedPassword{host, *user, *pass,
                                found.isSecure ? PageSecurity::Secure : PageSecurity::Insecure,
                                found.origin});
    }
    return records;
}

// The vault's items by host as they will be written: each as it was read, but for the
// records the writes set or remove.
using VaultItems = std::map<std::string, PlistPtr, std::less<>>;

// Sets the user name and password of `host`'s record, keeping any other key an older
// record holds: those belong to whoever wrote them.
void setRecord(VaultItems& items, const SavedPassword& record) {
    PlistPtr& item = items[record.host];
    if (!item || plist_get_node_type(item.get()) != PLIST_DICT) {
        item.reset(plist_new_dict());
    }
    plist_dict_set_item(item.get(), "user", plist_new_string(record.user.c_str()));
    plist_dict_set_item(item.get(), "pass", plist_new_string(record.password.c_str()));
}

void applyToItems(VaultItems& items, const StoreWrite& write) {
    switch (write.kind) {
    case StoreWrite::Kind::Password:
        setRecord(items, write.record);
        break;
    case StoreWrite::Kind::RemovePassword:
        items.erase(write.record.host);
        break;
    case StoreWrite::Kind::RemoveAllPasswords:
        // The user asked for every password to go, also those this program cannot show.
        items.clear();
        break;
    default:
        break;
    }
}

PlistPtr vaultPlist(const VaultItems& items) {
    PlistPtr dict(plist_new_dict());
    for (const auto& [host, item] : items) {
        plist_dict_set_item(dict.get(), host.c_str(), plist_copy(item.get()));
    }
    return dict;
}

PlistPtr securityPlist(const Marks& marks) {
    PlistPtr dict(plist_new_dict());
    for (const auto& [host, mark] : marks) {
        plist_t item = plist_new_dict();
        plist_dict_set_item(item, kSecureKey, plist_new_bool(mark.isSecure ? 1 : 0));
        if (!mark.origin.empty()) {
            plist_dict_set_item(item, kOriginKey, plist_new_string(mark.origin.c_str()));
        }
        plist_dict_set_item(dict.get(), host.c_str(), item);
    }
    return dict;
}

Marks marksOf(const VaultRecords& records) {
    Marks marks;
    for (const auto& [host, record] : records) {
        Mark mark{record.security == PageSecurity::Secure, record.origin};
        if (mark != Mark{}) {
            marks.emplace(host, std::move(mark));
        }
    }
    return marks;
}

} // namespace

void VaultFile::refresh(const fs::path& folder) {
    const fs::path vaultFile = folder / VeskStore::vaultFileName;
    const fs::path securityFile = folder / VeskStore::vaultSecurityFileName;
    const FileStamp vaultNow = FileStamp::of(vaultFile);
    const FileStamp securityNow = FileStamp::of(securityFile);
    if (vaultNow == vaultStamp && securityNow == securityStamp) {
        return;
    }
    const LoadedPlistFile vault = loadPlistFile(vaultFile, PLIST_DICT);
    const LoadedPlistFile security = loadPlistFile(securityFile, PLIST_DICT);
    records =
        vault.state == PlistFileState::Loaded
            ? vaultRecords(vault.root.get(),
                           security.state == PlistFileState::Loaded ? security.root.get() : nullptr)
            : VaultRecords();
    // Replaced while they were read: read again next time.
    const bool isSteady =
        FileStamp::of(vaultFile) == vaultNow && FileStamp::of(securityFile) == securityNow;
    vaultStamp = isSteady ? vaultNow : FileStamp{};
    securityStamp = isSteady ? securityNow : FileStamp{};
}

void VaultFile::apply(VaultRecords& records, const StoreWrite& write) {
    switch (write.kind) {
    case StoreWrite::Kind::Password:
        records.insert_or_assign(write.record.host, write.record);
        break;
    case StoreWrite::Kind::RemovePassword:
        records.erase(write.record.host);
        break;
    case StoreWrite::Kind::RemoveAllPasswords:
        records.clear();
        break;
    default:
        break;
    }
}

std::optional<VaultFile> VaultFile::write(const fs::path& folder,
                                          const std::vector<StoreWrite>& batch,
                                          const FileLock& held) {
    const fs::path vault = folder / VeskStore::vaultFileName;
    const fs::path security = folder / VeskStore::vaultSecurityFileName;
    // Another tool may read the vault in the format it wrote: a binary vault is kept aside.
    std::optional<DictionaryUpdate> stored =
        loadDictionaryForUpdate(vault, PlistFormat::Xml, ForeignFormat::IsSetAside);
    PlistPtr storedSecurity = loadPlistForUpdate(security, PLIST_DICT);
    if (!stored) {
        return std::nullopt;
    }
    VaultItems items;
    for (auto& [host, item] : stored->kept.items) {
        items.emplace(host, std::move(item));
    }
    VaultRecords records = vaultRecords(stored->root.get(), storedSecurity.get());
    // A record this program reads stays usable also when something beside its user name
    // and password could not be kept: that is in the copy set aside.
    for (const auto& [host, record] : records) {
        if (!items.contains(host)) {
            setRecord(items, record);
        }
    }
    for (const StoreWrite& write : batch) {
        apply(records, write);
        applyToItems(items, write);
    }
    const Marks was = storedSecurity ? companionMarks(storedSecurity.get()) : Marks();
    const Marks is = marksOf(records);
    // A record never reads as Secure, nor of an origin, when it is not: marks that change
    // or go leave the companion file before the vault changes, new marks join it after.
    Marks kept;
    for (const auto& [host, mark] : was) {
        const auto now = is.find(host);
        if (now != is.end() && now->second == mark) {
            kept.emplace(host, mark);
        }
    }
    bool isWritten = true;
    if (storedSecurity && kept != was) {
        isWritten = replacePlistFile(security, securityPlist(kept).get(), held);
    }
    isWritten = isWritten && replacePlistFile(vault, vaultPlist(items).get(), held);
    if (isWritten && storedSecurity && is != kept) {
        isWritten = replacePlistFile(security, securityPlist(is).get(), held);
    }
    if (!isWritten) {
        return std::nullopt;
    }
    if (!storedSecurity) {
        // The companion file is not what we meant it to be: both are read again when needed.
        return VaultFile{};
    }
    return VaultFile{std::move(records), FileStamp::of(vault), FileStamp::of(security)};
}

} // namespace vesk
