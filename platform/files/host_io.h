// The machine's disk: opening, reading, writing and removing host files and
// making host folders. Every call of the Win32 file functions reaches the
// host through here, so that the faults a test arms (platform/faults.h) hit
// all of them alike: the Nth read or write failing, a full disk, access
// refused.
#ifndef QUORIX_PLATFORM_FILES_HOST_IO_H
#define QUORIX_PLATFORM_FILES_HOST_IO_H

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "win32.h"

namespace platform {

// A host file descriptor that closes itself.
class HostFile {
public:
    HostFile() = default;
    explicit HostFile(int fd) : fd_(fd) {}
    ~HostFile() { close(); }
    HostFile(HostFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    HostFile& operator=(HostFile&& other) noexcept;
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;

    int fd() const { return fd_; }
    bool is_open() const { return fd_ >= 0; }
    void close();

private:
    int fd_ = -1;
};

// Opens an existing file for reading. On failure the file is not open and
// `error` holds the Win32 error (a folder cannot be opened as a file).
HostFile open_for_reading(const std::string& host_path, DWORD& error);
// Opens an existing file for writing, leaving its content.
HostFile open_for_writing(const std::string& host_path, DWORD& error);
// Creates a file for writing, or empties the one that is there.
HostFile create_for_writing(const std::string& host_path, DWORD& error);

// Reads up to `size` bytes from the file's position, as many as there are:
// the count (0 at the end), or -1 with errno set. One call is one read for
// the read fault, however many host reads it takes.
long long read_file(int fd, void* buffer, size_t size);
// The same at an offset, leaving the file's position alone.
long long read_file_at(int fd, void* buffer, size_t size, off_t offset);
// Writes all of `size` bytes: true, or false with errno set. A full disk
// takes what fits, as a real one does, before the write fails.
bool write_file(int fd, const void* data, size_t size);

// Reserves room for `size` bytes at the start of a file that is about to be
// written, without changing its size. The file system then lays the file
// out in one piece and its writes need no allocation of their own, which
// makes them faster by a quarter here. A file system that cannot reserve
// is simply written as it is.
void reserve_space(int fd, uint64_t size);
// The size of an open file, or 0 when it cannot be told.
uint64_t file_size(int fd);

// Makes a folder: 0, or the Win32 error.
DWORD make_directory(const std::string& host_path);
// Removes a file (not a folder): 0, or the Win32 error.
DWORD delete_file(const std::string& host_path);

}  // namespace platform

#endif
