#include "lz/szdd.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace platform::szdd {

namespace {

// The output block keeps the last RING_SIZE bytes written in front of it, so
// that a match always finds its bytes in the same buffer: the ring itself is
// never kept apart. Before the first byte they are the ring's blanks.
constexpr size_t HISTORY = RING_SIZE;
// The fast path copies matches in words of 8 bytes and may write up to 24
// bytes for a match of 3; what lies past the match is rewritten later.
constexpr size_t SLACK = 32;
// The most a group (a control byte and its eight items) can read and write.
constexpr size_t GROUP_INPUT = 1 + 8 * 2;
constexpr size_t GROUP_OUTPUT = 8 * MAX_MATCH;

// For a match from less than 8 bytes back, where each of its 18 bytes comes
// from among the bytes just before it: its place modulo the distance.
constexpr auto REPEATS = [] {
    std::array<std::array<unsigned char, MAX_MATCH>, 8> table{};
    for (unsigned back = 1; back < 8; ++back)
        for (unsigned i = 0; i < MAX_MATCH; ++i) table[back][i] = (unsigned char)(i % back);
    return table;
}();

inline void copy8(unsigned char* to, const unsigned char* from)
{
    std::memcpy(to, from, 8);
}

class Expander {
public:
    Expander(Source& source, Sink& sink, uint32_t length) : source_(source), sink_(sink), remaining_(length) {}

    Outcome run()
    {
        // A small file takes small buffers: its whole data (all literals at
        // worst, 9 bytes for 8) and its whole output fit in one block each.
        in_size_ = (size_t)std::clamp<uint64_t>(remaining_ + remaining_ / 8 + 64, 4096, IN_BLOCK);
        block_size_ = (size_t)std::clamp<uint64_t>(remaining_, 4096, OUT_BLOCK);
        in_.reset(new (std::nothrow) unsigned char[in_size_]);
        out_.reset(new (std::nothrow) unsigned char[HISTORY + block_size_ + SLACK]);
        if (!in_ || !out_) return {Status::no_memory, 0};
        std::memset(out_.get(), RING_FILL, HISTORY);
        // Index HISTORY is the first byte of the file, at ring position RING_START.
        ring_base_ = RING_START;

        while (remaining_ > 0) {
            if (control_ == 1) fast_groups();
            if (remaining_ == 0) break;
            if (out_pos_ + MAX_MATCH > HISTORY + block_size_ && !flush()) return finish(Status::write_error);
            if (control_ == 1) {
                if (!need(1)) return fail(failure_);
                control_ = in_[in_pos_++] | 0x100u;
            }
            bool literal = control_ & 1;
            control_ >>= 1;
            if (literal) {
                if (!need(1)) return fail(failure_);
                out_[out_pos_++] = in_[in_pos_++];
                --remaining_;
            } else {
                if (!need(2)) return fail(failure_);
                unsigned first = in_[in_pos_], second = in_[in_pos_ + 1];
                in_pos_ += 2;
                // Only what the header's length leaves room for is written.
                size_t length = std::min<uint64_t>((second & 0x0F) + MIN_MATCH, remaining_);
                size_t from = out_pos_ - distance(first, second);
                for (size_t i = 0; i < length; ++i) out_[out_pos_ + i] = out_[from + i];
                out_pos_ += length;
                remaining_ -= length;
            }
        }
        if (out_pos_ > HISTORY && !flush()) return finish(Status::write_error);
        return finish(Status::ok);
    }

private:
    // How far back from the next byte a match's ring position lies: 1 to RING_SIZE.
    size_t distance(unsigned first, unsigned second) const
    {
        unsigned position = first | ((second & 0xF0u) << 4);
        unsigned here = (unsigned)((ring_base_ + out_pos_ - HISTORY) & (RING_SIZE - 1));
        return ((here - position - 1) & (RING_SIZE - 1)) + 1;
    }

    // Whole groups while the input holds one, the block has room for one and
    // the length cannot end inside one: no test per byte.
    void fast_groups()
    {
        const unsigned char* in = in_.get();
        unsigned char* out = out_.get();
        size_t ip = in_pos_, op = out_pos_;
        uint64_t remaining = remaining_;
        while (remaining >= GROUP_OUTPUT && in_end_ - ip >= GROUP_INPUT && op + GROUP_OUTPUT <= HISTORY + block_size_) {
            unsigned control = in[ip++];
            size_t start = op;
            if (control == 0xFF) {
                copy8(out + op, in + ip);
                ip += 8;
                op += 8;
            } else {
                for (int item = 0; item < 8; ++item, control >>= 1) {
                    if (control & 1) {
                        out[op++] = in[ip++];
                        continue;
                    }
                    unsigned first = in[ip], second = in[ip + 1];
                    ip += 2;
                    size_t length = (second & 0x0F) + MIN_MATCH;
                    unsigned position = first | ((second & 0xF0u) << 4);
                    unsigned here = (unsigned)((ring_base_ + op - HISTORY) & (RING_SIZE - 1));
                    size_t back = ((here - position - 1) & (RING_SIZE - 1)) + 1;
                    unsigned char* to = out + op;
                    const unsigned char* from = to - back;
                    if (back >= 8) {
                        // Each word's source lies wholly before it, so a
                        // match that overlaps itself repeats as it should.
                        copy8(to, from);
                        copy8(to + 8, from + 8);
                        if (length > 16) copy8(to + 16, from + 16);
                    } else if (back == 1) {
                        // A run of one byte.
                        uint64_t run = from[0] * 0x0101010101010101ull;
                        std::memcpy(to, &run, 8);
                        std::memcpy(to + 8, &run, 8);
                        if (length > 16) std::memcpy(to + 16, &run, 8);
                    } else {
                        // A short period: every byte is taken from the
                        // period's first copy, which lies wholly before the
                        // match, so that no byte waits for one just written.
                        const unsigned char* place = REPEATS[back].data();
                        for (int i = 0; i < 16; ++i) to[i] = from[place[i]];
                        if (length > 16)
                            for (int i = 16; i < 18; ++i) to[i] = from[place[i]];
                    }
                    op += length;
                }
            }
            remaining -= op - start;
        }
        in_pos_ = ip;
        out_pos_ = op;
        remaining_ = remaining;
    }

    // Makes `count` input bytes available; false at the end of the data
    // (the file is damaged: it ends before its length) or on a failed read.
    bool need(size_t count)
    {
        while (in_end_ - in_pos_ < count) {
            if (at_end_) {
                failure_ = Status::damaged;
                return false;
            }
            size_t left = in_end_ - in_pos_;
            std::memmove(in_.get(), in_.get() + in_pos_, left);
            in_pos_ = 0;
            in_end_ = left;
            long long n = source_.read(in_.get() + left, in_size_ - left);
            if (n < 0) {
                failure_ = Status::read_error;
                return false;
            }
            if (n == 0) at_end_ = true;
            in_end_ += (size_t)n;
        }
        return true;
    }

    // Writes the block and keeps its last RING_SIZE bytes as the history of the next.
    bool flush()
    {
        size_t produced = out_pos_ - HISTORY;
        if (!sink_.write(out_.get() + HISTORY, produced)) return false;
        written_ += produced;
        std::memmove(out_.get(), out_.get() + produced, HISTORY);
        ring_base_ = (ring_base_ + produced) & (RING_SIZE - 1);
        out_pos_ = HISTORY;
        return true;
    }

    // A damaged or unreadable file still yields what could be expanded
    // before the fault, as far as the sink takes it.
    Outcome fail(Status status)
    {
        if (out_pos_ > HISTORY) flush();
        return {status, written_};
    }

    Outcome finish(Status status) { return {status, written_}; }

    Source& source_;
    Sink& sink_;
    std::unique_ptr<unsigned char[]> in_;
    std::unique_ptr<unsigned char[]> out_;
    size_t in_size_ = IN_BLOCK;        // the input buffer's size
    size_t block_size_ = OUT_BLOCK;    // the output block's size, its history aside
    size_t in_pos_ = 0, in_end_ = 0;   // the unread input is in_[in_pos_, in_end_)
    bool at_end_ = false;              // the source has said it has no more
    size_t out_pos_ = HISTORY;         // the next byte's index in out_
    size_t ring_base_ = 0;             // the ring position of index HISTORY
    uint64_t remaining_;               // bytes of the file still to produce
    unsigned control_ = 1;             // the group's control bits left, above a marker bit
    uint64_t written_ = 0;
    Status failure_ = Status::ok;
};

}  // namespace

HeaderKind read_header(const unsigned char* bytes, size_t size, Header& header)
{
    header = Header{};
    if (size < sizeof MAGIC || std::memcmp(bytes, MAGIC, sizeof MAGIC) != 0) return HeaderKind::plain;
    if (size < HEADER_SIZE) return HeaderKind::truncated;
    header.mode = bytes[8];
    header.missing_char = bytes[9];
    header.length = (uint32_t)bytes[10] | (uint32_t)bytes[11] << 8 | (uint32_t)bytes[12] << 16 |
                    (uint32_t)bytes[13] << 24;
    return header.mode == MODE_LZSS ? HeaderKind::compressed : HeaderKind::unknown_mode;
}

Outcome expand(Source& source, Sink& sink, uint32_t length)
{
    return Expander(source, sink, length).run();
}

Outcome copy(Source& source, Sink& sink, uint64_t size_hint)
{
    size_t size = (size_t)std::clamp<uint64_t>(size_hint + 1, 4096, IN_BLOCK);
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
    if (!buffer) return {Status::no_memory, 0};
    Outcome outcome;
    for (;;) {
        long long n = source.read(buffer.get(), size);
        if (n < 0) return {Status::read_error, outcome.written};
        if (n == 0) return outcome;
        if (!sink.write(buffer.get(), (size_t)n)) return {Status::write_error, outcome.written};
        outcome.written += (uint64_t)n;
    }
}

}  // namespace platform::szdd
