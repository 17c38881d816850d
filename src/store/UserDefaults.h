#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/PlistData.h"

namespace vesk {

// The user's settings: one property-list dictionary in
// $XDG_CONFIG_HOME/Vesk/defaults.plist, read when the object is made and
// written by synchronize. Keys this program does not know are kept.
class UserDefaults {
public:
    // The defaults in the standard file, located afresh on every call.
    static UserDefaults standard();

    // The standard file: under $XDG_CONFIG_HOME when it is an absolute path,
    // else under $HOME/.config; empty when no home folder can be found.
    static std::filesystem::path standardFile();

    // The defaults kept in `file`, read now. A missing file reads as empty; so
    // does a damaged or foreign one, which the next save sets aside first.
    explicit UserDefaults(std::filesystem::path file);
    ~UserDefaults();
    UserDefaults(UserDefaults&&) noexcept;
    UserDefaults& operator=(UserDefaults&&) noexcept;
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The file these defaults are kept in.
    const std::filesystem::path& file() const { return file_; }

    // The text under `key`; nothing when the key is absent or holds another kind of value.
    std::optional<std::string> stringForKey(std::string_view key) const;

    // The data under `key`; nothing when the key is absent or holds another kind of value.
    std::optional<std::vector<std::uint8_t>> dataForKey(std::string_view key) const;

    // Puts text under `key`, or removes the key for no text. Text that is not
    // valid UTF-8 has its bad bytes replaced, so the file always reads back.
    void setString(std::string_view key, const std::optional<std::string>& value);

    // Puts data under `key`, or removes the key for no data.
    void setData(std::string_view key, const std::optional<std::vector<std::uint8_t>>& value);

    // Writes the changes made since the last save into the file, merged over
    // what the file holds now, atomically. True when the file holds them (or
    // there was nothing to write); false leaves the old file as it was.
    bool synchronize();

private:
    void setValue(std::string_view key, PlistPtr value);

    std::filesystem::path file_;
    // The dictionary as read, with this object's changes applied.
    PlistPtr values_;
    // The changes not yet written; an empty pointer removes its key.
    std::map<std::string, PlistPtr, std::less<>> changes_;
};

} // namespace vesk
