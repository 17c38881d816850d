#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

#include "store/PlistData.h"

namespace vesk {

// What reading one property-list file gave.
enum class PlistFileState { Missing, Unreadable, Damaged, Loaded };

struct LoadedPlistFile {
    PlistFileState state = PlistFileState::Missing;
    PlistPtr root;
    // For a loaded file: its format, and whether libplist read every value exactly.
    PlistFormat format = PlistFormat::Xml;
    bool isReadExactly = true;
};

// Reads the property list at `file` (XML or binary) and checks that its root has
// type `rootType`. An empty file counts as missing: it holds nothing to lose. A
// file that is not a property list, is past the parser's limits, has the other root,
// or is no regular file at all (a symlink, a folder, a device or a FIFO in its place,
// never followed or opened for reading) is damaged; one that cannot be read for lack
// of permission is unreadable.
LoadedPlistFile loadPlistFile(const std::filesystem::path& file, plist_type rootType);

// The root of `file` ready to be changed: as read, or a new empty container of type
// `rootType` when the file is missing or was damaged and has been set aside. Null when
// the file could not be read or moved, in which case it must not be replaced.
PlistPtr loadPlistForUpdate(const std::filesystem::path& file, plist_type rootType);

// When a stored dictionary is set aside before it is written in `format`: only when it
// holds anything that format would not keep, or whenever it is in the other one.
enum class ForeignFormat { IsKept, IsSetAside };

// The dictionary in `file` as read, and its items ready to be written again in
// `format`: those that format keeps exactly (keptDictionaryItems). A damaged file is set aside as
// loadPlistForUpdate does; a readable one holding anything that would not be written
// back exactly has a copy set aside first (setAsideCopy), so nothing in it is lost.
// Nothing when the file could not be read or set aside: it must not be replaced then.
struct DictionaryUpdate {
    // The dictionary as read; null for a missing or damaged file.
    PlistPtr root;
    KeptItems kept;
};
std::optional<DictionaryUpdate> loadDictionaryForUpdate(const std::filesystem::path& file,
                                                        PlistFormat format, ForeignFormat foreign);

// Puts a copy of `file` beside it under the first name setAsideDamagedFile would use,
// leaving the file in place until it is replaced; a copy already there of this very
// file (a hard link) is not made twice. False when no copy could be made.
bool setAsideCopy(const std::filesystem::path& file);

// Moves a damaged file out of the way under a name no earlier one holds
// (`name.corrupt`, then `name.corrupt.1`, ...), so nothing is ever overwritten. The
// rename moves a symlink itself, and the copy is made owner-only without following a
// link, so no file outside the folder changes.
bool setAsideDamagedFile(const std::filesystem::path& file);

// Removes every copy that setAsideDamagedFile made of `file` (files and links, never
// folders). Call it only while holding the lock of the file's folder.
void removeSetAsideCopies(const std::filesystem::path& file);

// Writes `data` to an owner-only temporary file next to `file`, flushes it and its
// folder to disk and renames it over `file`, so a reader sees the old file or the new
// one, never a part. On any failure the temporary goes and the old file stays as it was.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view data);

// Removes temporaries that a writer killed mid-write left beside `file`. Call it only
// while holding the lock of the file's folder.
void removeStaleTemporaries(const std::filesystem::path& file);

// How long FileLock waits at most for another holder: short enough that the window
// never visibly stops, long enough for another copy's write of a full history.
inline constexpr std::chrono::milliseconds lockPatience{50};

// An advisory lock on `lockFile`, held while the object lives, so that two running
// copies of the program never lose each other's changes. It is only ever tried without
// blocking, in short steps for at most `patience`; when another holder keeps it that
// long the lock is busy and the caller must not write. When the lock file cannot be
// opened the work goes on unlocked, as it would have without the lock.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& lockFile,
                      std::chrono::milliseconds patience = lockPatience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Whether this object holds the lock.
    bool isHeld() const { return fd_ >= 0; }

    // Whether another holder kept the lock for the whole wait.
    bool isBusy() const { return isBusy_; }

private:
    int fd_ = -1;
    bool isBusy_ = false;
};

// Writes `root` as XML over `file`, but only what the store itself would read back;
// while `held` is held, temporaries a killed writer left go first.
bool replacePlistFile(const std::filesystem::path& file, plist_t root, const FileLock& held);

} // namespace vesk
