// The row compressors as the device rules state them, one byte at a time:
// the yardstick the driver's compressors are held to (tests, fuzz targets)
// and measured against (benchmarks). Nothing here is fast or clever; each
// step is one sentence of the rules.
//
// Same contract as the driver: the destination holds `length` bytes; the
// result is the compressed count or 0x7FFF when the form does not fit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::reference {

constexpr std::int32_t kGaveUp = 0x7FFF;

// PackBits (PCL method 2). A repeat run starts at p when the next byte is
// equal and p is a run boundary (row start or right after a run), or p is
// one of the row's last two bytes, or a third equal byte follows; runs are
// cut into pieces of 128 and a single byte left over becomes a literal.
// Literal runs hold at most 128 bytes behind a header of count - 1. Gives up
// once the output reaches `length` bytes.
inline std::int32_t packBits(std::uint8_t *out, const std::uint8_t *row, std::int32_t length) {
    if (length <= 0) {
        return 0;
    }
    const auto end = static_cast<std::size_t>(length);
    std::size_t written = 0;
    std::size_t header = 0;
    bool literalOpen = false;
    const auto put = [&](std::uint8_t byte) {
        out[written++] = byte;
        return written < end;
    };
    std::size_t p = 0;
    while (p < end) {
        const std::uint8_t c = row[p];
        const bool run = p + 1 < end && row[p + 1] == c &&
                         (!literalOpen || p + 2 >= end || row[p + 2] == c);
        if (!run) {
            if (!literalOpen || out[header] == 127) {
                header = written;
                literalOpen = true;
                if (!put(0xFF)) {
                    return kGaveUp;
                }
            }
            ++out[header];
            if (!put(c)) {
                return kGaveUp;
            }
            ++p;
            continue;
        }
        std::size_t count = 0;
        while (p + count < end && row[p + count] == c) {
            ++count;
            if (count == 128 && p + count < end && row[p + count] == c) {
                literalOpen = false;
                if (!put(0x81) || !put(c)) {
                    return kGaveUp;
                }
                p += count;
                count = 0;
            }
        }
        literalOpen = false;
        if (count >= 2) {
            if (!put(static_cast<std::uint8_t>(257 - count)) || !put(c)) {
                return kGaveUp;
            }
            p += count;
        }
        // A single byte left over is taken again as a literal.
    }
    return static_cast<std::int32_t>(written);
}

// Delta row (PCL method 3) against `seed`. Walks the row keeping the
// unchanged bytes since the last replacement and at most one pending
// replacement of up to 8 bytes; a command is its byte ((n - 1) << 5 | offset
// up to 31), offset bytes of 255 and a last one below 255 for offsets of 31
// and more, then the replacement bytes. Gives up before a byte would go past
// `length`.
inline std::int32_t deltaRow(std::uint8_t *out, const std::uint8_t *row, std::int32_t length,
                             const std::uint8_t *seed) {
    if (length <= 0) {
        return 0;
    }
    const auto end = static_cast<std::size_t>(length);
    std::size_t written = 0;
    const auto put = [&](std::uint8_t byte) {
        if (written == end) {
            return false;
        }
        out[written++] = byte;
        return true;
    };
    const auto command = [&](std::size_t offset, std::size_t start, std::size_t count) {
        if (!put(static_cast<std::uint8_t>((count - 1) << 5 | (offset < 31 ? offset : 31)))) {
            return false;
        }
        if (offset >= 31) {
            std::size_t rest = offset - 31;
            for (; rest >= 255; rest -= 255) {
                if (!put(255)) {
                    return false;
                }
            }
            if (!put(static_cast<std::uint8_t>(rest))) {
                return false;
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!put(row[start + i])) {
                return false;
            }
        }
        return true;
    };
    std::size_t offset = 0;
    std::size_t start = 0;
    std::size_t pending = 0;
    for (std::size_t p = 0; p < end; ++p) {
        const bool same = row[p] == seed[p];
        if (pending == 0) {
            if (same) {
                ++offset;
            } else {
                start = p;
                pending = 1;
            }
        } else if (!same && pending < 8) {
            ++pending;
        } else {
            if (!command(offset, start, pending)) {
                return kGaveUp;
            }
            if (same) {
                pending = 0;
                offset = 1;
            } else {
                start = p;
                pending = 1;
                offset = 0;
            }
        }
    }
    if (pending != 0 && !command(offset, start, pending)) {
        return kGaveUp;
    }
    return static_cast<std::int32_t>(written);
}

}  // namespace drv::reference
