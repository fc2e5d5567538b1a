// Reading a fuzz input as a stream of small fields. Past the end every byte
// reads as 0, so any input, however short, decodes to something.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::fuzz {

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // `count` bytes (1 to 4), least significant first.
    std::uint32_t little(int count) {
        std::uint32_t value = 0;
        for (int k = 0; k < count; ++k) {
            value |= static_cast<std::uint32_t>(byte()) << (8 * k);
        }
        return value;
    }
    // A request cell: a kind byte (% 4: int8, int16, int32, float) and the
    // value, little-endian; narrow kinds are sign-extended to 32 bits.
    std::uint32_t cell() {
        switch (byte() % 4) {
        case 0:
            return static_cast<std::uint32_t>(static_cast<std::int8_t>(byte()));
        case 1:
            return static_cast<std::uint32_t>(static_cast<std::int16_t>(little(2)));
        default:  // int32 or float: the same four bytes
            return little(4);
        }
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace drv::fuzz
