// Writes files in the SZDD format that the LZ expansion library reads (see
// platform/lz/szdd.h for the format): greedy LZSS over the 4096-byte ring,
// matches found through hash chains of three-byte prefixes.
#ifndef QUORIX_TOOLS_SZDD_WRITER_H
#define QUORIX_TOOLS_SZDD_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The largest file the format's 32-bit length can describe.
constexpr uint64_t SZDD_MAX_INPUT = 0xFFFFFFFFu;

// The whole compressed file for `size` bytes of `data`. `missing_char` is
// the original name's last character that the compressed name replaced, or
// 0 when none was.
std::vector<unsigned char> szdd_compress(const unsigned char* data, size_t size, unsigned char missing_char = 0);

// The name a compressed file takes, as Windows looks for it: the last
// character of an extension of three or more becomes '_', a shorter
// extension gets a '_' appended, a name without one gets "._". `replaced`
// receives the character that gave way, or 0.
std::string szdd_name(const std::string& name, unsigned char& replaced);

}  // namespace tools

#endif
