#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/FileStamp.h"
#include "store/SavedPassword.h"
#include "store/StoreWrite.h"

namespace vesk {

class FileLock;

// The password vault and its companion file as a read or a write left them: the usable
// records by host, and how both files looked then. The vault keeps host -> {user, pass}
// only, in the format other tools read; the companion file marks, per host, whether its
// record was typed on an https page and the origin it was typed on.
struct VaultFile {
    std::map<std::string, SavedPassword, std::less<>> records;
    FileStamp vaultStamp;
    FileStamp securityStamp;

    // Reads the files in `folder` again when anyone changed either since this was read
    // or written; a missing or damaged vault reads as empty, a missing or damaged
    // companion file leaves every record Insecure and of no known origin.
    void refresh(const std::filesystem::path& folder);

    // Applies one write to `records`; writes of other files change nothing.
    static void apply(std::map<std::string, SavedPassword, std::less<>>& records,
                      const StoreWrite& write);

    // Does the vault writes of `batch` to the files in `folder` under `held`, keeping
    // every item of the vault that is not a record this program changes as it was (or
    // a copy of the file set aside, where XML cannot hold it). The vault as the files
    // now hold it, with unknown stamps, so it is read again, when the companion file is
    // not what was meant; nothing when the vault could not be written.
    static std::optional<VaultFile> write(const std::filesystem::path& folder,
                                          const std::vector<StoreWrite>& batch,
                                          const FileLock& held);
};

} // namespace vesk
