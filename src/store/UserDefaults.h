#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/PlistData.h"
#include "store/PlistFile.h"

namespace vesk {

// What a save of the defaults came to.
enum class SaveOutcome {
    // The file holds the changes, or there was nothing to write.
    Saved,
    // Another copy of the program held the file's lock all the while; the changes stay
    // for the next save.
    LockBusy,
    // The file could not be read or written; the old file stays as it was and the
    // changes stay for the next save.
    Failed
};

// The user's settings: one property-list dictionary, defaults.plist in the config
// folder, read by load and written by save. Keys this program does not set are kept
// exactly as they were, to the last bit of a date or an integer; a file holding anything
// that cannot be written back so (a key that is not storable text or holds a NUL, a key
// twice, a string with a control character, a date libplist rounds, a nested property
// list past the parser's limits) has a copy set aside at the next save, and the new file
// holds everything else.
class UserDefaults {
public:
    // The defaults kept in `file`, read now. A missing file reads as empty; so does a
    // damaged or foreign one, which the next save sets aside first. Of a file that cannot
    // be written back as it is, the values that pass their checks are read.
    static UserDefaults load(std::filesystem::path file);

    // Empty defaults for `file`, read from nothing: the changes made to them are saved
    // over whatever the file holds then, without the caller reading it first.
    static UserDefaults changesFor(std::filesystem::path file);

    ~UserDefaults();
    UserDefaults(UserDefaults&&) noexcept;
    UserDefaults& operator=(UserDefaults&&) noexcept;
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The file these defaults are kept in.
    const std::filesystem::path& file() const { return file_; }

    // The text under `key`; nothing when the key is absent or holds another kind of value.
    // A key that is not storable text (see isStorableText) is never present.
    std::optional<std::string> stringForKey(std::string_view key) const;

    // The integer under `key`; nothing when the key is absent or holds another kind of value.
    std::optional<std::int64_t> integerForKey(std::string_view key) const;

    // The data under `key`; nothing when the key is absent or holds another kind of value.
    std::optional<std::vector<std::uint8_t>> dataForKey(std::string_view key) const;

    // The boolean under `key`; nothing when the key is absent or holds another kind of value.
    std::optional<bool> boolForKey(std::string_view key) const;

    // The number under `key`, a real or an integer; nothing when the key is absent or
    // holds another kind of value.
    std::optional<double> realForKey(std::string_view key) const;

    // The numbers of the dictionary under `key`, by their keys; entries holding another
    // kind of value are left out. Empty when the key is absent or holds no dictionary.
    std::map<std::string, double> realsForKey(std::string_view key) const;

    // Puts text under `key`, or removes the key for no text. Bytes that are not
    // valid UTF-8 and control characters become U+FFFD, so the file always reads
    // back. A key that is not storable text is refused, for text and data alike.
    void setString(std::string_view key, const std::optional<std::string>& value);

    void setBool(std::string_view key, const std::optional<bool>& value);
    void setReal(std::string_view key, const std::optional<double>& value);
    // Puts a dictionary of numbers under `key`; its keys that are not storable text
    // are left out.
    void setReals(std::string_view key, const std::map<std::string, double>& values);

    // Puts data under `key`, or removes the key for no data.
    void setData(std::string_view key, const std::optional<std::vector<std::uint8_t>>& value);

    // Writes the changes made since the last save into the file, merged over what the
    // file holds now, atomically, waiting at most `patience` for another copy of the
    // program to let go of the file's lock. On anything but Saved the old file stays as
    // it was and the changes stay for the next call.
    SaveOutcome save(std::chrono::milliseconds patience = lockPatience);

private:
    explicit UserDefaults(std::filesystem::path file);

    // The entries of `dict` that pass their checks, for reading.
    static PlistPtr checkedEntries(plist_t dict);

    void setValue(std::string_view key, PlistPtr value);

    std::filesystem::path file_;
    // The dictionary as read, with this object's changes applied.
    PlistPtr values_;
    // The changes not yet written; an empty pointer removes its key.
    std::map<std::string, PlistPtr, std::less<>> changes_;
};

} // namespace vesk
