#include "files/host_io.h"

#include <fcntl.h>
#include <linux/falloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "faults.h"
#include "files/errors.h"

namespace platform {

namespace {

bool parent_exists(const std::string& host_path)
{
    size_t slash = host_path.find_last_of('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : host_path.substr(0, slash);
    struct stat st;
    return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file is ERROR_FILE_NOT_FOUND when its folder is there and
// ERROR_PATH_NOT_FOUND when the folder itself is missing, as Windows tells them apart.
DWORD open_error(const std::string& host_path, int host_errno)
{
    if (host_errno == ENOENT) return parent_exists(host_path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    return win32_error_from_host(host_errno);
}

}  // namespace

HostFile& HostFile::operator=(HostFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void HostFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

namespace {

// Whether a test has armed a fault that refuses the next open, and the error it gives.
bool refused_by_faults(DWORD& error)
{
    if (faults().access_denied.fire()) {
        error = ERROR_ACCESS_DENIED;
        return true;
    }
    if (faults().drive_lost.fire()) {
        error = ERROR_PATH_NOT_FOUND;
        return true;
    }
    return false;
}

}  // namespace

HostFile open_for_reading(const std::string& host_path, DWORD& error)
{
    error = 0;
    if (refused_by_faults(error)) return {};
    HostFile file(::open(host_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.is_open()) {
        error = open_error(host_path, errno);
        return {};
    }
    struct stat st;
    if (fstat(file.fd(), &st) != 0) {
        error = win32_error_from_host(errno);
        return {};
    }
    // Windows refuses to open a folder as a file.
    if (S_ISDIR(st.st_mode)) {
        error = ERROR_ACCESS_DENIED;
        return {};
    }
    // The copy reads a file once from start to end: let the host read ahead.
    posix_fadvise(file.fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return file;
}

namespace {

// Opens a file to write with these flags, after the faults have had their say.
HostFile open_to_write(const std::string& host_path, int flags, DWORD& error)
{
    error = 0;
    if (refused_by_faults(error)) return {};
    HostFile file(::open(host_path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0666));
    if (!file.is_open()) error = open_error(host_path, errno);
    return file;
}

}  // namespace

HostFile open_for_writing(const std::string& host_path, DWORD& error)
{
    return open_to_write(host_path, 0, error);
}

HostFile create_for_writing(const std::string& host_path, DWORD& error)
{
    return open_to_write(host_path, O_CREAT | O_TRUNC, error);
}

namespace {

// Reads until `size` bytes are in or the file ends; at `offset`, or at the
// file's position when the offset is negative.
long long read_fully(int fd, void* buffer, size_t size, off_t offset)
{
    if (faults().file_read.fire()) {
        errno = EIO;
        return -1;
    }
    size_t done = 0;
    while (done < size) {
        char* at = static_cast<char*>(buffer) + done;
        ssize_t n = offset < 0 ? ::read(fd, at, size - done) : ::pread(fd, at, size - done, offset + (off_t)done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += (size_t)n;
    }
    return (long long)done;
}

}  // namespace

long long read_file(int fd, void* buffer, size_t size)
{
    return read_fully(fd, buffer, size, -1);
}

long long read_file_at(int fd, void* buffer, size_t size, off_t offset)
{
    return read_fully(fd, buffer, size, offset);
}

bool write_file(int fd, const void* data, size_t size)
{
    if (faults().file_write.fire()) {
        errno = EIO;
        return false;
    }
    bool full = faults().disk_full.fire();
    size_t allowed = full ? size / 2 : size;
    size_t done = 0;
    while (done < allowed) {
        ssize_t n = ::write(fd, static_cast<const char*>(data) + done, allowed - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += (size_t)n;
    }
    if (full) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

void reserve_space(int fd, uint64_t size)
{
    if (size > 0) fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, (off_t)size);
}

uint64_t file_size(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && st.st_size > 0 ? (uint64_t)st.st_size : 0;
}

DWORD make_directory(const std::string& host_path)
{
    if (faults().access_denied.fire()) return ERROR_ACCESS_DENIED;
    if (faults().disk_full.fire()) return ERROR_DISK_FULL;
    if (faults().drive_lost.fire()) return ERROR_PATH_NOT_FOUND;
    if (::mkdir(host_path.c_str(), 0777) != 0) return win32_error_from_host(errno);
    return 0;
}

DWORD delete_file(const std::string& host_path)
{
    if (faults().access_denied.fire()) return ERROR_ACCESS_DENIED;
    if (::unlink(host_path.c_str()) != 0) return open_error(host_path, errno);
    return 0;
}

}  // namespace platform
