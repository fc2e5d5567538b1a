#include "tests/compressors/pcl_decoders.h"

#include <cstring>

namespace drv::test {

std::int64_t decodePackBits(const std::uint8_t *input, std::size_t inputLength,
                            std::uint8_t *output, std::size_t capacity) {
    std::size_t in = 0;
    std::size_t out = 0;
    while (in < inputLength) {
        const auto header = static_cast<std::int8_t>(input[in++]);
        if (header == -128) {
            return -1;
        }
        if (header >= 0) {
            const auto count = static_cast<std::size_t>(header) + 1;
            if (count > inputLength - in || count > capacity - out) {
                return -1;
            }
            std::memcpy(output + out, input + in, count);
            in += count;
            out += count;
        } else {
            const auto count = static_cast<std::size_t>(1 - header);
            if (in == inputLength || count > capacity - out) {
                return -1;
            }
            std::memset(output + out, input[in++], count);
            out += count;
        }
    }
    return static_cast<std::int64_t>(out);
}

bool applyDeltaRow(const std::uint8_t *input, std::size_t inputLength, std::uint8_t *row,
                   std::size_t rowLength) {
    std::size_t in = 0;
    std::size_t position = 0;
    while (in < inputLength) {
        const std::uint8_t command = input[in++];
        const std::size_t count = (command >> 5) + 1u;
        std::size_t offset = command & 0x1Fu;
        if (offset == 31) {
            std::uint8_t more = 0;
            do {
                if (in == inputLength) {
                    return false;
                }
                more = input[in++];
                offset += more;
            } while (more == 255);
        }
        if (offset > rowLength - position || count > rowLength - position - offset ||
            count > inputLength - in) {
            return false;
        }
        position += offset;
        std::memcpy(row + position, input + in, count);
        position += count;
        in += count;
    }
    return true;
}

}  // namespace drv::test
