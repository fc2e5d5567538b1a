#include "plotters/drevant/body.h"

#include <cstring>

namespace drv::drevant {

std::int32_t putCode(Body &body, const PlotterState &state, std::int64_t value) {
    // Unsigned arithmetic: only the low byte of the sum is sent, and a code
    // value may be any 64-bit number (a pen number, a high digit).
    const auto byte = static_cast<std::uint8_t>(
        (static_cast<std::uint64_t>(static_cast<std::uint8_t>(state.biasChar)) +
         static_cast<std::uint64_t>(value)) & 0xFFu);
    if (body.spoiled || byte == 0 || body.length >= kLineCapacity) {
        body.spoiled = true;
        return 0;
    }
    body.bytes[body.length++] = byte;
    return 1;
}

std::int32_t putCodes(Body &body, const PlotterState &state,
                      std::initializer_list<std::int64_t> values) {
    std::int32_t n = 0;
    for (std::int64_t value : values) {
        n += putCode(body, state, value);
    }
    return n;
}

std::int32_t putText(Body &body, const std::uint8_t *text, std::int32_t count) {
    if (count <= 0) {
        return 0;
    }
    if (body.spoiled || count > kLineCapacity - body.length ||
        std::memchr(text, 0, static_cast<std::size_t>(count)) != nullptr) {
        body.spoiled = true;
        return 0;
    }
    std::memcpy(body.bytes + body.length, text, static_cast<std::size_t>(count));
    body.length += count;
    return count;
}

std::int32_t boundedLength(const char *text, std::int32_t limit) {
    if (text == nullptr) {
        return 0;
    }
    // A plain walk: the bound is exact and nothing past the NUL is read.
    std::int32_t n = 0;
    while (n < limit && text[n] != '\0') {
        ++n;
    }
    return n;
}

}  // namespace drv::drevant
