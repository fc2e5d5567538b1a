#include "plotters/drevant/body.h"

#include <cstring>

namespace drv::drevant {

std::size_t putCode(const PlotterState &state, Body &body, std::int64_t value) {
    // Unsigned arithmetic: only the low byte of the sum is sent, and a code
    // value may be any 64-bit number (a pen number, a high digit).
    const auto byte = static_cast<unsigned char>(
        (static_cast<std::uint64_t>(static_cast<std::uint8_t>(state.biasChar)) +
         static_cast<std::uint64_t>(value)) & 0xFFu);
    if (body.spoiled || byte == 0 || body.length >= kLineCapacity) {
        body.spoiled = true;
        return 0;
    }
    body.bytes[body.length++] = byte;
    return 1;
}

std::size_t putCodes(const PlotterState &state, Body &body, std::initializer_list<std::int64_t> values) {
    std::size_t n = 0;
    for (std::int64_t value : values) {
        n += putCode(state, body, value);
    }
    return n;
}

std::size_t putText(Body &body, const unsigned char *text, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    if (body.spoiled || count > kLineCapacity - body.length ||
        std::memchr(text, 0, count) != nullptr) {
        body.spoiled = true;
        return 0;
    }
    std::memcpy(body.bytes + body.length, text, count);
    body.length += count;
    return count;
}

std::size_t boundedLength(const char *text, std::size_t limit) {
    if (text == nullptr) {
        return 0;
    }
    // A plain walk: the bound is exact and nothing past the NUL is read.
    std::size_t n = 0;
    while (n < limit && text[n] != '\0') {
        ++n;
    }
    return n;
}

}  // namespace drv::drevant
