// How the machine's file calls report failures. A host call fails with a
// host errno; the Win32 calls report the Win32 error Windows gives for the
// same case; and the C runtime's calls (_mkdir) translate that Win32 error
// into an errno with the translation table of the Windows C runtime, so the
// program sees the numbers it would see on Windows.
#ifndef QUORIX_PLATFORM_FILES_ERRORS_H
#define QUORIX_PLATFORM_FILES_ERRORS_H

#include "win32.h"

namespace platform {

// The Win32 error for a host errno from a call on a path or a file.
DWORD win32_error_from_host(int host_errno);

// The errno that the Windows C runtime gives for a Win32 error.
int crt_errno_from_win32(DWORD error);

}  // namespace platform

#endif
