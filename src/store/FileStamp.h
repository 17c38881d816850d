#pragma once

#include <filesystem>

#include <sys/stat.h>

namespace vesk {

// How a file looked when it was read or written. Anyone's change since shows in it: a
// file replaced whole has a new inode, one changed in place a new size or time.
struct FileStamp {
    // False until the file is looked at, and after a write that may have left it unlike
    // what we meant: it is read again.
    bool isKnown = false;
    bool isPresent = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    // The stamp of `file` as it is now; a link is looked at, never followed.
    static FileStamp of(const std::filesystem::path& file) {
        FileStamp stamp;
        stamp.isKnown = true;
        struct stat info {};
        if (lstat(file.c_str(), &info) == 0)
            stamp = {true,         true,         info.st_dev, info.st_ino,
                     info.st_size, info.st_mtim, info.st_ctim};
        return stamp;
    }

    // Equal only when both were looked at and nothing about the file changed between.
    bool operator==(const FileStamp& other) const {
        return isKnown && other.isKnown && isPresent == other.isPresent && device == other.device &&
               inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

} // namespace vesk
