#include "tools/szdd_writer.h"

#include <algorithm>
#include <cstring>

namespace tools {

namespace {

constexpr unsigned RING_SIZE = 4096;
constexpr unsigned RING_START = RING_SIZE - 16;
// Matches reach back at most one less than the ring, so that no match ever
// reads the slot it is about to overwrite: every expander agrees on that.
constexpr size_t MAX_DISTANCE = RING_SIZE - 1;
constexpr size_t MIN_MATCH = 3;
constexpr size_t MAX_MATCH = 18;
constexpr unsigned HASH_BITS = 15;
// How many earlier places with the same prefix are tried for each byte: far
// enough for a good match in a 4 KiB window, near enough to stay fast.
constexpr int CHAIN_LIMIT = 48;

unsigned hash3(const unsigned char* p)
{
    uint32_t v = (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    return (v * 2654435761u) >> (32 - HASH_BITS);
}

class GroupWriter {
public:
    explicit GroupWriter(std::vector<unsigned char>& out) : out_(out) {}

    void literal(unsigned char byte)
    {
        item(true);
        out_.push_back(byte);
    }

    void match(size_t from, size_t length)
    {
        item(false);
        unsigned position = (unsigned)((RING_START + from) & (RING_SIZE - 1));
        out_.push_back((unsigned char)(position & 0xFF));
        out_.push_back((unsigned char)(((position >> 4) & 0xF0) | (unsigned)(length - MIN_MATCH)));
    }

private:
    void item(bool is_literal)
    {
        if (in_group_ == 8) {
            control_at_ = out_.size();
            out_.push_back(0);
            in_group_ = 0;
        }
        if (is_literal) out_[control_at_] |= (unsigned char)(1u << in_group_);
        ++in_group_;
    }

    std::vector<unsigned char>& out_;
    size_t control_at_ = 0;
    int in_group_ = 8;
};

}  // namespace

std::vector<unsigned char> szdd_compress(const unsigned char* data, size_t size, unsigned char missing_char)
{
    std::vector<unsigned char> out = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', missing_char,
                                      (unsigned char)size, (unsigned char)(size >> 8), (unsigned char)(size >> 16),
                                      (unsigned char)(size >> 24)};
    out.reserve(out.size() + size + size / 8 + 16);
    GroupWriter writer(out);
    std::vector<int64_t> head(size_t(1) << HASH_BITS, -1);
    std::vector<int64_t> previous(RING_SIZE, -1);   // the earlier place with the same hash, by place modulo the ring
    auto insert = [&](size_t at) {
        if (at + MIN_MATCH > size) return;
        unsigned h = hash3(data + at);
        previous[at & (RING_SIZE - 1)] = head[h];
        head[h] = (int64_t)at;
    };

    size_t i = 0;
    while (i < size) {
        size_t best_length = 0, best_from = 0;
        size_t limit = std::min(MAX_MATCH, size - i);
        if (limit >= MIN_MATCH) {
            int64_t candidate = head[hash3(data + i)];
            for (int tries = 0; candidate >= 0 && tries < CHAIN_LIMIT; ++tries) {
                size_t from = (size_t)candidate;
                if (i - from > MAX_DISTANCE) break;
                size_t length = 0;
                while (length < limit && data[from + length] == data[i + length]) ++length;
                if (length > best_length) {
                    best_length = length;
                    best_from = from;
                    if (length == limit) break;
                }
                int64_t next = previous[from & (RING_SIZE - 1)];
                // A slot reused by a later place ends the chain.
                if (next >= candidate) break;
                candidate = next;
            }
        }
        if (best_length >= MIN_MATCH) {
            writer.match(best_from, best_length);
            for (size_t k = 0; k < best_length; ++k) insert(i + k);
            i += best_length;
        } else {
            writer.literal(data[i]);
            insert(i);
            ++i;
        }
    }
    return out;
}

std::string szdd_name(const std::string& name, unsigned char& replaced)
{
    replaced = 0;
    size_t separator = name.find_last_of("/\\");
    size_t dot = name.find('.', separator == std::string::npos ? 0 : separator + 1);
    if (dot == std::string::npos) return name + "._";
    if (name.size() - dot - 1 < 3) return name + "_";
    replaced = (unsigned char)name.back();
    return name.substr(0, name.size() - 1) + "_";
}

}  // namespace tools
