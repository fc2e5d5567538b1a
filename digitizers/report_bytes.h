// Reading report bytes the way the tablet protocols define them.
//
// Every byte that enters arithmetic is a signed 8-bit value: a byte from
// 0x80 up counts as its value minus 256. All reads of a report go through
// this one helper so that no decoder can take a byte as unsigned by mistake.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::digitizer {

// The byte at `offset` as a signed value, -128..127. The caller guarantees
// the offset lies within the host's buffer (at most 20 for a report).
constexpr std::int32_t signedByte(const unsigned char *report, std::size_t offset) {
    return static_cast<std::int8_t>(report[offset]);
}

}  // namespace drv::digitizer
