// The calls of the program that name a folder or a file on the machine's
// disks: _mkdir, the C runtime's directory creation, and DeleteFileA.
#include <cerrno>

#include "files/errors.h"
#include "files/host_io.h"
#include "files/paths.h"
#include "trace/trace.h"

using namespace platform;

namespace {

// CreateDirectoryA: 0, or the Win32 error it sets.
DWORD create_directory(const char* path)
{
    MappedPath mapped = map_path(path);
    if (mapped.error) return mapped.error;
    return make_directory(mapped.host);
}

}  // namespace

int _mkdir(const char* path)
{
    // The runtime hands a null path to its invalid-parameter handler, which
    // returns EINVAL.
    DWORD error = path ? create_directory(path) : (DWORD)ERROR_INVALID_PARAMETER;
    int number = error ? crt_errno_from_win32(error) : 0;
    SetLastError(error);
    trace::Event("mkdir").text("path", path ? path : "").number("errno", number);
    if (error == 0) return 0;
    errno = number;
    return -1;
}

BOOL DeleteFileA(LPCSTR file_name)
{
    if (!file_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MappedPath mapped = map_path(file_name);
    DWORD error = mapped.error ? mapped.error : delete_file(mapped.host);
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
