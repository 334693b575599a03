// The thread's last error and the module handle.
#include "win32.h"

namespace {

DWORD last_error = 0;   // the value of the latest SetLastError, by any call of the layer

// The program's module is mapped where Windows maps an executable by default.
const HMODULE PROGRAM_MODULE = (HMODULE)(uintptr_t)0x400000;

}  // namespace

DWORD GetLastError(void)
{
    return last_error;
}

void SetLastError(DWORD error)
{
    last_error = error;
}

HMODULE GetModuleHandleA(LPCSTR module_name)
{
    // Only the program's own module is loaded in this machine.
    if (module_name == NULL) return PROGRAM_MODULE;
    SetLastError(126);   // ERROR_MOD_NOT_FOUND
    return NULL;
}
