// The machine's global atom table, beyond what Win32 offers: a fresh table
// for each machine, and the reference counts that tests check releases with.
#ifndef QUORIX_PLATFORM_KERNEL_ATOMS_H
#define QUORIX_PLATFORM_KERNEL_ATOMS_H

#include "win32.h"

namespace platform {

// Empties the table: a machine starts with no atoms.
void reset_atoms();
// How many additions of the string atom with this name are not yet deleted
// (0 when there is no such atom).
int atom_references(const char* name);

}  // namespace platform

#endif
