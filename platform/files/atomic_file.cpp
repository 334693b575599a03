#include "files/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "faults.h"

namespace platform {

namespace {

std::string folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The prefix of the temporary files of `path`; the writer's process number follows it.
std::string temporary_prefix(const std::string& path)
{
    return "." + name_of(path) + ".new-";
}

// A writer that was killed leaves its temporary file behind. With the lock
// held no other writer is at work, so every such file is a leftover.
void remove_leftovers(const std::string& path)
{
    std::string folder = folder_of(path);
    std::string prefix = temporary_prefix(path);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* entry = readdir(dir))
        if (std::string_view(entry->d_name).starts_with(prefix)) stale.push_back(folder + "/" + entry->d_name);
    closedir(dir);
    for (const std::string& file : stale) unlink(file.c_str());
}

bool write_all(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= (size_t)n;
    }
    return true;
}

}  // namespace

DWORD win32_error_of(int host_errno)
{
    switch (host_errno) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    }
    return ERROR_ACCESS_DENIED;
}

DWORD read_whole_file(const std::string& path, std::string& content)
{
    content.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return win32_error_of(errno);
    char buffer[8192];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            close(fd);
            return win32_error_of(saved);
        }
        if (n == 0) break;
        content.append(buffer, (size_t)n);
    }
    close(fd);
    return ERROR_SUCCESS;
}

DWORD write_file_atomically(const std::string& path, std::string_view content)
{
    remove_leftovers(path);
    std::string folder = folder_of(path);
    std::string temporary = folder + "/" + temporary_prefix(path) + std::to_string(getpid());
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return win32_error_of(errno);
    if (faults().killed_while_writing.fire()) {
        // The writer dies here, as under a power cut or a kill: half the new
        // text is in the temporary file and the old file is untouched.
        write_all(fd, content.data(), content.size() / 2);
        fsync(fd);
        raise(SIGKILL);
    }
    if (!write_all(fd, content.data(), content.size()) || fsync(fd) != 0) {
        int saved = errno;
        close(fd);
        unlink(temporary.c_str());
        return win32_error_of(saved);
    }
    close(fd);
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        int saved = errno;
        unlink(temporary.c_str());
        return win32_error_of(saved);
    }
    // The rename itself is made durable through the folder.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return ERROR_SUCCESS;
}

bool may_replace(const std::string& path)
{
    if (access(folder_of(path).c_str(), W_OK | X_OK) != 0) return false;
    return access(path.c_str(), W_OK) == 0 || errno == ENOENT;
}

FileLock::FileLock(const std::string& path)
{
    std::string lock_path = path + ".lock";
    fd_ = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error_ = win32_error_of(errno);
        return;
    }
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        error_ = win32_error_of(errno);
        close(fd_);
        fd_ = -1;
        return;
    }
}

FileLock::~FileLock()
{
    if (fd_ >= 0) close(fd_);
}

}  // namespace platform
