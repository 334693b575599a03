#include "files/errors.h"

#include <cerrno>

namespace platform {

namespace {

struct HostError {
    int host;
    DWORD win32;
};

// A host failure as the Windows file system reports the same situation. A
// component that is a file where a folder is needed (ENOTDIR) is a path that
// does not exist to Windows; a name too long for the host is one too long for
// Windows.
constexpr HostError HOST_ERRORS[] = {
    {EEXIST, ERROR_ALREADY_EXISTS},
    {ENOENT, ERROR_PATH_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_DISK_FULL},
    {EBUSY, ERROR_SHARING_VIOLATION},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EBADF, ERROR_INVALID_HANDLE},
    {ELOOP, ERROR_INVALID_NAME},
    {EMLINK, ERROR_ACCESS_DENIED},
    {EMFILE, 4 /* ERROR_TOO_MANY_OPEN_FILES */},
    {ENFILE, 4 /* ERROR_TOO_MANY_OPEN_FILES */},
};

struct CrtError {
    DWORD win32;
    int crt;
};

// The Windows C runtime's table. Errors it does not list map by range below.
constexpr CrtError CRT_ERRORS[] = {
    {1, EINVAL},      // ERROR_INVALID_FUNCTION
    {2, ENOENT},      // ERROR_FILE_NOT_FOUND
    {3, ENOENT},      // ERROR_PATH_NOT_FOUND
    {4, EMFILE},      // ERROR_TOO_MANY_OPEN_FILES
    {5, EACCES},      // ERROR_ACCESS_DENIED
    {6, EBADF},       // ERROR_INVALID_HANDLE
    {7, ENOMEM},      // ERROR_ARENA_TRASHED
    {8, ENOMEM},      // ERROR_NOT_ENOUGH_MEMORY
    {9, ENOMEM},      // ERROR_INVALID_BLOCK
    {10, E2BIG},      // ERROR_BAD_ENVIRONMENT
    {11, ENOEXEC},    // ERROR_BAD_FORMAT
    {12, EINVAL},     // ERROR_INVALID_ACCESS
    {13, EINVAL},     // ERROR_INVALID_DATA
    {15, ENOENT},     // ERROR_INVALID_DRIVE
    {16, EACCES},     // ERROR_CURRENT_DIRECTORY
    {17, EXDEV},      // ERROR_NOT_SAME_DEVICE
    {18, ENOENT},     // ERROR_NO_MORE_FILES
    {33, EACCES},     // ERROR_LOCK_VIOLATION
    {53, ENOENT},     // ERROR_BAD_NETPATH
    {65, EACCES},     // ERROR_NETWORK_ACCESS_DENIED
    {67, ENOENT},     // ERROR_BAD_NET_NAME
    {80, EEXIST},     // ERROR_FILE_EXISTS
    {82, EACCES},     // ERROR_CANNOT_MAKE
    {83, EACCES},     // ERROR_FAIL_I24
    {87, EINVAL},     // ERROR_INVALID_PARAMETER
    {89, EAGAIN},     // ERROR_NO_PROC_SLOTS
    {108, EACCES},    // ERROR_DRIVE_LOCKED
    {109, EPIPE},     // ERROR_BROKEN_PIPE
    {112, ENOSPC},    // ERROR_DISK_FULL
    {114, EBADF},     // ERROR_INVALID_TARGET_HANDLE
    {120, EINVAL},    // ERROR_CALL_NOT_IMPLEMENTED
    {128, ECHILD},    // ERROR_WAIT_NO_CHILDREN
    {129, ECHILD},    // ERROR_CHILD_NOT_COMPLETE
    {130, EBADF},     // ERROR_DIRECT_ACCESS_HANDLE
    {131, EINVAL},    // ERROR_NEGATIVE_SEEK
    {132, EACCES},    // ERROR_SEEK_ON_DEVICE
    {145, ENOTEMPTY}, // ERROR_DIR_NOT_EMPTY
    {158, EACCES},    // ERROR_NOT_LOCKED
    {161, ENOENT},    // ERROR_BAD_PATHNAME
    {164, EAGAIN},    // ERROR_MAX_THRDS_REACHED
    {167, EACCES},    // ERROR_LOCK_FAILED
    {183, EEXIST},    // ERROR_ALREADY_EXISTS
    {206, ENOENT},    // ERROR_FILENAME_EXCED_RANGE
    {215, EAGAIN},    // ERROR_NESTING_NOT_ALLOWED
    {1816, ENOMEM},   // ERROR_NOT_ENOUGH_QUOTA
};

}  // namespace

DWORD win32_error_from_host(int host_errno)
{
    for (const HostError& e : HOST_ERRORS)
        if (e.host == host_errno) return e.win32;
    // Anything else is the disk itself failing (EIO among them), which
    // Windows reports as a general failure of the device.
    return ERROR_GEN_FAILURE;
}

int crt_errno_from_win32(DWORD error)
{
    for (const CrtError& e : CRT_ERRORS)
        if (e.win32 == error) return e.crt;
    // The runtime maps the write-protect to sharing-buffer range
    // (ERROR_WRITE_PROTECT, ERROR_NOT_READY, ERROR_GEN_FAILURE, ...) to EACCES,
    // the executable-format range to ENOEXEC, and everything else to EINVAL.
    if (error >= 19 && error <= 36) return EACCES;
    if (error >= 188 && error <= 202) return ENOEXEC;
    return EINVAL;
}

}  // namespace platform
