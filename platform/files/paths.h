// Paths of the emulated machine. A path with a drive letter is a DOS path:
// drive x: is the folder drive_x of the machine folder, backslashes and
// slashes separate, each component is matched against what exists without
// regard to case (as Windows file systems do), and names Windows forbids are
// refused. A path that begins with a backslash alone is on drive c:. A path
// that begins with '/' is a host path, used as it is apart from backslashes as
// separators. Any other path is relative to the current directory, and its
// components are matched as a DOS path's are.
#ifndef QUORIX_PLATFORM_FILES_PATHS_H
#define QUORIX_PLATFORM_FILES_PATHS_H

#include <string>
#include <string_view>

#include "win32.h"

namespace platform {

struct MappedPath {
    std::string host;   // the host path it names; empty when error is set
    // Why the path names nothing, as the Win32 error Windows gives for it:
    // ERROR_INVALID_NAME (a forbidden character or device name),
    // ERROR_PATH_NOT_FOUND (a drive that does not exist),
    // ERROR_FILENAME_EXCED_RANGE (longer than MAX_PATH or a component over 255),
    // ERROR_BAD_NETPATH (a network path). 0 when the path maps.
    DWORD error = 0;
};

// Windows' limit on a path, the terminating zero included.
constexpr size_t MAX_PATH_LENGTH = 260;

MappedPath map_path(std::string_view path);
// The same for the machine in the folder `machine_root`, which need not be
// running (a tool that inspects a machine).
MappedPath map_path(std::string_view path, const std::string& machine_root);

// The host folder of a drive letter ('c' for c:), whether or not it exists.
std::string drive_folder(char letter);
std::string drive_folder(char letter, const std::string& machine_root);

}  // namespace platform

#endif
