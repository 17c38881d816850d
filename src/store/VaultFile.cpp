#include "store/VaultFile.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <set>
#include <utility>

#include "store/PlistData.h"
#include "store/PlistFile.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

using VaultRecords = std::map<std::string, SavedPassword, std::less<>>;
using Hosts = std::set<std::string, std::less<>>;

// The hosts the companion file marks as typed on an https page: those holding true.
Hosts secureHosts(plist_t security) {
    Hosts hosts;
    for (const auto& [host, mark] : dictionaryItems(security)) {
        std::uint8_t isSecure = 0;
        if (plist_get_node_type(mark) == PLIST_BOOLEAN) {
            plist_get_bool_val(mark, &isSecure);
        }
        if (isSecure != 0) {
            hosts.insert(host);
        }
    }
    return hosts;
}

// The vault's records that pass their checks, made afresh: a storable host, once, with a
// storable user name and password. Their security comes from the companion file, which
// may be null: a record it does not mark is Insecure.
VaultRecords vaultRecords(plist_t vault, plist_t security) {
    const auto secure = security != nullptr ? secureHosts(security) : Hosts();
    VaultRecords records;
    Hosts hosts;
    for (const auto& [host, record] : dictionaryItems(vault)) {
        bool isUsable = plist_get_node_type(record) == PLIST_DICT && isStorableText(host) &&
                        hosts.insert(host).second;
        const auto user = isUsable ? checkedDictionaryText(record, "user", isUsable) : std::nullopt;
        const auto pass = isUsable ? checkedDictionaryText(record, "pass", isUsable) : std::nullopt;
        if (!isUsable || !user || !pass) {
            continue;
        }
        records.emplace(host, SavedPassword{host, *user, *pass,
                                            secure.contains(host) ? PageSecurity::Secure
                                                                  : PageSecurity::Insecure});
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

PlistPtr securityPlist(const Hosts& hosts) {
    PlistPtr dict(plist_new_dict());
    for (const std::string& host : hosts) {
        plist_dict_set_item(dict.get(), host.c_str(), plist_new_bool(1));
    }
    return dict;
}

Hosts secureHostsOf(const VaultRecords& records) {
    Hosts hosts;
    for (const auto& [host, record] : records) {
        if (record.security == PageSecurity::Secure) {
            hosts.insert(host);
        }
    }
    return hosts;
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
    const auto wasSecure = storedSecurity ? secureHosts(storedSecurity.get()) : Hosts();
    const auto isSecure = secureHostsOf(records);
    // A record never reads as Secure when it is not: marks that go leave the companion
    // file before the vault changes, new marks join it after.
    Hosts marked;
    std::ranges::set_intersection(wasSecure, isSecure, std::inserter(marked, marked.end()));
    bool isWritten = true;
    if (storedSecurity && marked != wasSecure) {
        isWritten = replacePlistFile(security, securityPlist(marked).get(), held);
    }
    isWritten = isWritten && replacePlistFile(vault, vaultPlist(items).get(), held);
    if (isWritten && storedSecurity && isSecure != marked) {
        isWritten = replacePlistFile(security, securityPlist(isSecure).get(), held);
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
