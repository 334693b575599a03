// Files that several processes share and that must never be seen half
// written: read whole, replaced whole, and changed under a lock.
#ifndef QUORIX_PLATFORM_FILES_ATOMIC_FILE_H
#define QUORIX_PLATFORM_FILES_ATOMIC_FILE_H

#include <string>
#include <string_view>

#include "win32.h"

namespace platform {

// The Win32 error that stands for a host errno.
DWORD win32_error_of(int host_errno);

// Reads the whole file. ERROR_FILE_NOT_FOUND when there is none.
DWORD read_whole_file(const std::string& path, std::string& content);

// Replaces the file at `path` with `content`: the text goes to a temporary
// file in the same folder, is flushed to the disk, and is renamed over the
// old file, so that a reader (or a crash) sees the old file or the new one,
// never a mixture. The caller holds the file's FileLock; temporary files that
// a killed writer left behind are removed on the way.
DWORD write_file_atomically(const std::string& path, std::string_view content);

// True when this process may replace the file at `path` (it may write the
// folder, and the file if it exists).
bool may_replace(const std::string& path);

// An exclusive lock on the file `path` + ".lock", held while it lives. Every
// process that changes the file takes it first, so changes never overlap.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // ERROR_SUCCESS when the lock is held.
    DWORD error() const { return error_; }

private:
    int fd_ = -1;
    DWORD error_ = ERROR_SUCCESS;
};

}  // namespace platform

#endif
