// The SZDD format of the classic compression tool, and its expander.
//
// A file starts with a 14-byte header: the 8 magic bytes, the compression
// mode ('A', the only one there is), the last character of the original
// name (which the compressed name replaces with '_'), and the length of the
// expanded file, 32 bits little-endian. The data after it is LZSS over a
// 4096-byte ring that starts filled with blanks, written from position 4080:
// a control byte gives, from its lowest bit up, eight items, a set bit for a
// literal byte and a clear one for a match of two bytes, the ring position
// in the low byte and the high nibble of the second, and the length less 3
// in its low nibble (3 to 18 bytes).
#ifndef QUORIX_PLATFORM_LZ_SZDD_H
#define QUORIX_PLATFORM_LZ_SZDD_H

#include <cstddef>
#include <cstdint>

namespace platform::szdd {

constexpr unsigned char MAGIC[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr size_t HEADER_SIZE = 14;
constexpr unsigned char MODE_LZSS = 'A';
constexpr unsigned RING_SIZE = 4096;
constexpr unsigned RING_START = RING_SIZE - 16;
constexpr unsigned char RING_FILL = ' ';
constexpr unsigned MIN_MATCH = 3;
constexpr unsigned MAX_MATCH = 18;

struct Header {
    unsigned char mode = 0;
    unsigned char missing_char = 0;   // the original name's last character, 0 when not kept
    uint32_t length = 0;              // the expanded file's size in bytes
};

enum class HeaderKind {
    plain,          // not an SZDD file: its bytes are its content
    compressed,     // a header with the known mode
    truncated,      // the magic, but the file ends inside the header
    unknown_mode,   // the magic with a mode no expander knows
};

// What the first bytes of a file (`size` of them, up to HEADER_SIZE) say.
HeaderKind read_header(const unsigned char* bytes, size_t size, Header& header);

// Where the expander reads from and writes to. Both are called with large
// blocks only.
class Source {
public:
    virtual ~Source() = default;
    // Fills up to `size` bytes: the count, 0 at the end, negative on a failed read.
    virtual long long read(unsigned char* buffer, size_t size) = 0;
};

class Sink {
public:
    virtual ~Sink() = default;
    // Writes all of it; false on a failed write.
    virtual bool write(const unsigned char* data, size_t size) = 0;
};

enum class Status {
    ok,
    read_error,    // the source failed
    damaged,       // the data ends before the header's length is reached
    write_error,   // the sink failed
    no_memory,     // the buffers could not be had
};

struct Outcome {
    Status status = Status::ok;
    uint64_t written = 0;   // bytes handed to the sink, also when it failed later
};

// The block sizes: reads of IN_BLOCK, writes of up to OUT_BLOCK; a file
// smaller than a block takes buffers of its own size. Large blocks keep the
// system calls few; the writes go out from the expanding thread itself, which
// on a machine whose cores are busy beats handing them to a thread of their
// own. These buffers and a few KiB are all the memory a copy takes.
constexpr size_t IN_BLOCK = 2 * 1024 * 1024;
constexpr size_t OUT_BLOCK = 2 * 1024 * 1024;

// Expands the data that follows a header until `length` bytes are out. What
// follows in the source after that is not part of the file and is not read.
// Any input gives either the defined output or an error: the expander never
// reads or writes outside its buffers, whatever the bytes are.
Outcome expand(Source& source, Sink& sink, uint32_t length);

// Copies the source to the sink unchanged. The size the source is expected
// to have sizes the buffers of a small file; any size is copied whole.
Outcome copy(Source& source, Sink& sink, uint64_t size_hint = IN_BLOCK);

}  // namespace platform::szdd

#endif
