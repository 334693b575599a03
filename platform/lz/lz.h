// The LZ expansion calls (LZOpenFileA, LZCopy, LZClose) and their handles.
#ifndef QUORIX_PLATFORM_LZ_LZ_H
#define QUORIX_PLATFORM_LZ_LZ_H

#include <string>

namespace platform {

// The name Windows tries for a file that is missing, in case it was
// compressed: the last character of an extension of three or more becomes
// '_', a shorter extension gets a '_' appended, and a name without one gets
// "._". The extension starts at the first dot of the last component.
std::string compressed_name(const std::string& name);

// Closes every handle still open: the machine's run is over.
void close_lz_files();

}  // namespace platform

#endif
