// SZDD files written item by item, for tests that need exact control of the
// compressed data: literals, and matches at chosen ring positions.
#ifndef QUORIX_TESTS_SUPPORT_SZDD_BUILDER_H
#define QUORIX_TESTS_SUPPORT_SZDD_BUILDER_H

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <cstdint>
#include <optional>
#include <vector>

class SzddBuilder {
public:
    SzddBuilder& literal(unsigned char byte)
    {
        item(true);
        data_.push_back(byte);
        produced_ += 1;
        return *this;
    }

    // A match of 3 to 18 bytes from a ring position (0 to 4095).
    SzddBuilder& match(unsigned position, unsigned length)
    {
        item(false);
        data_.push_back((unsigned char)(position & 0xFF));
        data_.push_back((unsigned char)(((position >> 4) & 0xF0) | ((length - 3) & 0x0F)));
        produced_ += length;
        return *this;
    }

    // The ring position the next byte is written to.
    unsigned ring_position() const { return (unsigned)((4080 + produced_) & 4095); }
    // The bytes the items expand to.
    size_t produced() const { return produced_; }
    // The compressed data after the header.
    const std::vector<unsigned char>& data() const { return data_; }

    // The whole file, with the header's length given or, by default, the
    // length the items produce.
    std::vector<unsigned char> file(std::optional<uint32_t> length = std::nullopt, unsigned char mode = 'A') const
    {
        uint32_t n = length.value_or((uint32_t)produced_);
        const unsigned char header[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, mode, 0,
                                        (unsigned char)n, (unsigned char)(n >> 8), (unsigned char)(n >> 16),
                                        (unsigned char)(n >> 24)};
        std::vector<unsigned char> out(sizeof header + data_.size());
        std::copy(std::begin(header), std::end(header), out.begin());
        std::copy(data_.begin(), data_.end(), out.begin() + sizeof header);
        return out;
    }

private:
    void item(bool is_literal)
    {
        if (in_group_ == 8) {
            control_at_ = data_.size();
            data_.push_back(0);
            in_group_ = 0;
        }
        if (is_literal) data_[control_at_] |= (unsigned char)(1u << in_group_);
        ++in_group_;
    }

    std::vector<unsigned char> data_;
    size_t control_at_ = 0;
    int in_group_ = 8;
    size_t produced_ = 0;
};

#endif
