#include "register/install_key.h"

#include <cstring>

#include "win32.h"

// A string value holds its text and the terminating zero.
static LSTATUS set_string_value(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
}

int write_install_key(const char* directory, const char* version)
{
    HKEY key;
    DWORD disposition;
    int result = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorix", 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        NULL, &key, &disposition) != ERROR_SUCCESS)
        return 1;
    if (set_string_value(key, "Path", directory) != ERROR_SUCCESS) result = 1;
    if (set_string_value(key, "Version", version) != ERROR_SUCCESS) result = 1;
    RegCloseKey(key);
    return result;
}
