#include "store/UserDefaults.h"

#include "store/PlistFile.h"

#include <set>
#include <string>
#include <system_error>
#include <utility>

#include <plist/plist.h>

namespace vesk {

UserDefaults UserDefaults::load(std::filesystem::path file) {
    UserDefaults defaults(std::move(file));
    const LoadedPlistFile read = loadPlistFile(defaults.file_, PLIST_DICT);
    if (read.state == PlistFileState::Loaded)
        defaults.values_ = checkedEntries(read.root.get());
    return defaults;
}

UserDefaults UserDefaults::changesFor(std::filesystem::path file) {
    return UserDefaults(std::move(file));
}

UserDefaults::UserDefaults(std::filesystem::path file)
    : file_(std::move(file)), values_(plist_new_dict()) {}

UserDefaults::~UserDefaults() = default;
UserDefaults::UserDefaults(UserDefaults&&) noexcept = default;
UserDefaults& UserDefaults::operator=(UserDefaults&&) noexcept = default;

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
    if (!isStorableText(key))
        return std::nullopt;
    return dictionaryString(values_.get(), std::string(key).c_str());
}

std::optional<std::int64_t> UserDefaults::integerForKey(std::string_view key) const {
    if (!isStorableText(key))
        return std::nullopt;
    return dictionaryInteger(values_.get(), std::string(key).c_str());
}

std::optional<std::vector<std::uint8_t>> UserDefaults::dataForKey(std::string_view key) const {
    if (!isStorableText(key))
        return std::nullopt;
    plist_t node = plist_dict_get_item(values_.get(), std::string(key).c_str());
    if (node == nullptr || plist_get_node_type(node) != PLIST_DATA)
        return std::nullopt;
    std::uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node, &length);
    if (bytes == nullptr)
        return std::vector<std::uint8_t>{};
    return std::vector<std::uint8_t>(bytes, bytes + length);
}

std::optional<bool> UserDefaults::boolForKey(std::string_view key) const {
    if (!isStorableText(key))
        return std::nullopt;
    plist_t node = plist_dict_get_item(values_.get(), std::string(key).c_str());
    if (node == nullptr || plist_get_node_type(node) != PLIST_BOOLEAN)
        return std::nullopt;
    std::uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
}

namespace {

std::optional<double> numberOf(plist_t node) {
    if (node == nullptr)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_UINT: {
        // libplist keeps a negative integer as its two's complement.
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<double>(static_cast<std::int64_t>(value));
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<double> UserDefaults::realForKey(std::string_view key) const {
    if (!isStorableText(key))
        return std::nullopt;
    return numberOf(plist_dict_get_item(values_.get(), std::string(key).c_str()));
}

std::map<std::string, double> UserDefaults::realsForKey(std::string_view key) const {
    std::map<std::string, double> numbers;
    if (!isStorableText(key))
        return numbers;
    plist_t node = plist_dict_get_item(values_.get(), std::string(key).c_str());
    if (node == nullptr || plist_get_node_type(node) != PLIST_DICT)
        return numbers;
    for (const auto& [name, value] : dictionaryItems(node))
        if (const std::optional<double> number = numberOf(value))
            numbers.emplace(name, *number);
    return numbers;
}

void UserDefaults::setBool(std::string_view key, const std::optional<bool>& value) {
    setValue(key, value ? PlistPtr(plist_new_bool(*value ? 1 : 0)) : nullptr);
}

void UserDefaults::setReal(std::string_view key, const std::optional<double>& value) {
    setValue(key, value ? PlistPtr(plist_new_real(*value)) : nullptr);
}

void UserDefaults::setReals(std::string_view key, const std::map<std::string, double>& values) {
    PlistPtr dict(plist_new_dict());
    for (const auto& [name, number] : values)
        if (isStorableText(name))
            plist_dict_set_item(dict.get(), name.c_str(), plist_new_real(number));
    setValue(key, std::move(dict));
}

void UserDefaults::setString(std::string_view key, const std::optional<std::string>& value) {
    setValue(key, value ? PlistPtr(plist_new_string(xmlSafeText(*value).c_str())) : nullptr);
}

void UserDefaults::setData(std::string_view key,
                           const std::optional<std::vector<std::uint8_t>>& value) {
    if (!value) {
        setValue(key, nullptr);
        return;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(value->data()), value->size());
    setValue(key, PlistPtr(newPlistData(bytes)));
}

void UserDefaults::setValue(std::string_view key, PlistPtr value) {
    // A key that could not be written back is refused rather than changed.
    if (!isStorableText(key))
        return;
    const std::string name(key);
    if (value)
        plist_dict_set_item(values_.get(), name.c_str(), plist_copy(value.get()));
    else
        plist_dict_remove_item(values_.get(), name.c_str());
    changes_.insert_or_assign(name, std::move(value));
}

PlistPtr UserDefaults::checkedEntries(plist_t dict) {
    PlistPtr checked(plist_new_dict());
    std::set<std::string, std::less<>> keys;
    for (const auto& [key, value] : dictionaryItems(dict)) {
        // The first of two equal keys is the one every reader sees.
        const bool isNewKey = isStorableText(key) && keys.insert(key).second;
        PlistPtr copy = isNewKey ? checkedPlistCopy(value) : nullptr;
        if (copy)
            plist_dict_set_item(checked.get(), key.c_str(), copy.release());
    }
    return checked;
}

SaveOutcome UserDefaults::save(std::chrono::milliseconds patience) {
    if (changes_.empty())
        return SaveOutcome::Saved;
    if (file_.empty())
        return SaveOutcome::Failed;
    if (!file_.parent_path().empty()) {
        std::error_code error;
        std::filesystem::create_directories(file_.parent_path(), error);
        if (error)
            return SaveOutcome::Failed;
    }

    // Another copy holding the lock makes this save fail; the changes stay for the next.
    FileLock lock(file_.string() + ".lock", patience);
    if (lock.isBusy())
        return SaveOutcome::LockBusy;
    // Merge over the file as it is now, so that keys written meanwhile by another copy
    // or by hand survive this save, each exactly as it was. A file holding anything the
    // binary format would not keep exactly has a copy set aside first.
    std::optional<DictionaryUpdate> current =
        loadDictionaryForUpdate(file_, PlistFormat::Binary, ForeignFormat::IsKept);
    if (!current)
        return SaveOutcome::Failed;
    PlistPtr merged(plist_new_dict());
    for (auto& [key, value] : current->kept.items)
        plist_dict_set_item(merged.get(), key.c_str(), value.release());
    for (const auto& [key, value] : changes_) {
        if (value)
            plist_dict_set_item(merged.get(), key.c_str(), plist_copy(value.get()));
        else
            plist_dict_remove_item(merged.get(), key.c_str());
    }

    const std::string bytes = plistToBinary(merged.get());
    // Never put down a file that would not read back.
    if (bytes.empty() || !parsePlistData(bytes) || !writeFileAtomically(file_, bytes))
        return SaveOutcome::Failed;

    values_ = std::move(merged);
    changes_.clear();
    return SaveOutcome::Saved;
}

} // namespace vesk
