// The machine's registry: each root key is a .reg text file in the machine
// folder (platform/registry/reg_file.h), read afresh by every call and
// replaced atomically under a file lock by every change, so that two
// processes never lose each other's values and a crash never leaves half a
// file. Win32 reaches it through the Reg* calls; tools read it through here.
#ifndef QUORIX_PLATFORM_REGISTRY_REGISTRY_H
#define QUORIX_PLATFORM_REGISTRY_REGISTRY_H

#include <string>

#include "registry/reg_file.h"

namespace platform::registry {

// The root keys that have files of their own, in the order they are shown.
// HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
inline constexpr const char* ROOT_NAMES[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS"};

// The host file of a root key in the machine folder `machine_root`.
std::string hive_file(const std::string& machine_root, const std::string& root_name);

// Reads a root key's file; a missing file is an empty hive. Returns
// ERROR_SUCCESS, a file error, or ERROR_REGISTRY_CORRUPT with the reason.
DWORD load_hive(const std::string& file, const std::string& root_name, Hive& hive, std::string& error);

// Closes every open key: a machine starts with none.
void reset_registry();

}  // namespace platform::registry

#endif
